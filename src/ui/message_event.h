// A posted window message on Qt: a custom event whose type is the message number, with the
// message's wParam and its heap block. The block is owned by the event, so whoever handles the
// message last releases it by construction, and an event never handled releases it too.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <cstdint>
#include <memory>

#include "link/link_event.h"
#include "link/transfer_request.h"

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

// The block of a MessageEvent<Block>, or null when the event is of another class.
template <typename Block>
Block* BlockOf(QEvent* event) {
    auto* m = dynamic_cast<MessageEvent<Block>*>(event);
    return m ? m->block() : nullptr;
}

// wParam of a posted message, whichever of the program's event classes carries it (a
// MessageEvent or the link's LinkEvent); 0 for any other event.
inline intptr_t WParamOf(const QEvent* event) {
    if (auto* m = dynamic_cast<const MessageEventBase*>(event)) return m->wParam();
    if (auto* l = dynamic_cast<const LinkEvent*>(event)) return static_cast<intptr_t>(l->wParam);
    return 0;
}

// The request a posted message carries (UM_LINK_REQUEST, UM_LINK_RESULT codes 0, 1, 2, 4),
// taken from the event; null when it carries none.
inline TransferRequestPtr TakeRequest(QEvent* event) {
    if (auto* m = dynamic_cast<MessageEvent<TransferRequest>*>(event)) return m->takeBlock();
    if (auto* l = dynamic_cast<LinkEvent*>(event)) return std::move(l->request);
    return nullptr;
}

}  // namespace qn410
