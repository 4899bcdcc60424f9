// A posted window message on Qt: a custom event whose type is the message number, with the
// message's wParam and its heap block. The block is owned by the event, so whoever handles the
// message last releases it by construction, and an event never handled releases it too.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <cstdint>
#include <memory>

namespace qn410 {

// What every message has, whatever its block: a handler that needs only wParam casts to this.
class MessageEventBase : public QEvent {
  public:
    MessageEventBase(uint16_t message, intptr_t wParam)
        : QEvent(static_cast<QEvent::Type>(message)), wParam_(wParam) {}
    uint16_t message() const { return static_cast<uint16_t>(type()); }
    intptr_t wParam() const { return wParam_; }

  private:
    intptr_t wParam_;
};

template <typename Block>
class MessageEvent : public MessageEventBase {
  public:
    MessageEvent(uint16_t message, intptr_t wParam, std::unique_ptr<Block> block = nullptr)
        : MessageEventBase(message, wParam), block_(std::move(block)) {}

    Block* block() const { return block_.get(); }
    std::unique_ptr<Block> takeBlock() { return std::move(block_); }

  private:
    std::unique_ptr<Block> block_;
};

// A message without a block.
struct NoBlock {};
using PlainMessage = MessageEvent<NoBlock>;

template <typename Block>
void PostMessageTo(QObject* receiver, uint16_t message, intptr_t wParam,
                   std::unique_ptr<Block> block) {
    QCoreApplication::postEvent(receiver,
                                new MessageEvent<Block>(message, wParam, std::move(block)));
}

inline void PostMessageTo(QObject* receiver, uint16_t message, intptr_t wParam = 0) {
    QCoreApplication::postEvent(receiver, new PlainMessage(message, wParam));
}

}  // namespace qn410
