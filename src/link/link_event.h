// The posted messages of the link as Qt events: the event type is the message number, wParam
// travels as a number and the lParam block is owned by the event, so whoever handles the event
// last releases it by construction (take the pointer to keep it).
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <cstdint>
#include <memory>

#include "link/link_messages.h"
#include "link/transfer_request.h"
#include "monitor/log_records.h"

namespace qn410 {

class LinkEvent : public QEvent {
  public:
    LinkEvent(uint16_t message, uint32_t wParam, TransferRequestPtr request = nullptr)
        : QEvent(static_cast<QEvent::Type>(message)), wParam(wParam), request(std::move(request)) {}
    LinkEvent(uint16_t message, uint32_t wParam, std::unique_ptr<LogLine> line)
        : QEvent(static_cast<QEvent::Type>(message)), wParam(wParam), logLine(std::move(line)) {}
    LinkEvent(uint16_t message, uint32_t wParam, std::unique_ptr<MonitorEntry> entry)
        : QEvent(static_cast<QEvent::Type>(message)),
          wParam(wParam),
          monitorEntry(std::move(entry)) {}

    uint16_t message() const { return static_cast<uint16_t>(type()); }

    uint32_t wParam = 0;
    TransferRequestPtr request;                  // a request or a received item
    std::unique_ptr<LogLine> logLine;            // a copy of a log record
    std::unique_ptr<MonitorEntry> monitorEntry;  // a copy of a monitor record
    QPointer<QObject> requester;                 // UM_LINK_REQUEST: who posted it,
    bool requesterTracked = false;               // watched from the moment of posting
};

// Posts message to receiver; does nothing (and releases the payload) when receiver is gone.
inline void PostLinkEvent(QObject* receiver, std::unique_ptr<LinkEvent> event) {
    if (receiver) QCoreApplication::postEvent(receiver, event.release());
}

// How a window hands a request to the view's broker: submit (abandon false) or abandon. The
// window must stay alive or be destroyed; either way exactly one UM_LINK_RESULT is answered to it
// while it lives.
inline void PostLinkRequest(QObject* broker, QObject* requester, TransferRequestPtr request,
                            bool abandon = false) {
    request->requester = requester;
    auto event =
        std::make_unique<LinkEvent>(UM_LINK_REQUEST, abandon ? 1u : 0u, std::move(request));
    event->requester = requester;
    event->requesterTracked = true;
    PostLinkEvent(broker, std::move(event));
}

}  // namespace qn410
