#include "link/receive_dispatch.h"

#include "link/link_event.h"
#include "link/receive_route.h"

namespace qn410 {

void ReceiveDispatch::Dispatch(TransferRequestPtr item) {
    if (!item || item->body.empty()) return;
    switch (RouteOfLetter(item->letter())) {
        case ReceiveRoute::kTransferSheet:
            return ToWindow(transferSheet_, std::move(item));
        case ReceiveRoute::kDialEditor:
            return ToWindow(dialEditor_, std::move(item));
        case ReceiveRoute::kLogRecord:
            return LogRecord(*item);
        case ReceiveRoute::kMonitorRecord:
            return MonitorRecord(*item);
        case ReceiveRoute::kExchangeStatus:
            return ExchangeStatus(*item);
        case ReceiveRoute::kDiscard:
            return;
    }
}

void ReceiveDispatch::DeviceLost() {
    PostLinkEvent(transferSheet_, std::make_unique<LinkEvent>(UM_LINK_RESULT, kResultNotDelivered));
}

void ReceiveDispatch::ToWindow(QObject* window, TransferRequestPtr item) {
    if (window) {
        PostLinkEvent(
            window, std::make_unique<LinkEvent>(UM_LINK_RESULT, kResultReceived, std::move(item)));
    }
}

void ReceiveDispatch::LogRecord(const TransferRequest& item) {
    const auto line = BuildLogLine(item.body, clock_.Now());
    if (!line) return;
    history_.AddLog(*line);
    PostLinkEvent(logSaver_,
                  std::make_unique<LinkEvent>(UM_LOG_RECORD, 0, std::make_unique<LogLine>(*line)));
    PostLinkEvent(logWindow_, std::make_unique<LinkEvent>(UM_LINK_RESULT, kResultReceived,
                                                          std::make_unique<LogLine>(*line)));
}

void ReceiveDispatch::MonitorRecord(const TransferRequest& item) {
    const auto entry = BuildMonitorEntry(item.body, clock_.Now());
    if (!entry) return;
    history_.AddMonitor(*entry);
    PostLinkEvent(logSaver_, std::make_unique<LinkEvent>(UM_MONITOR_RECORD, 0,
                                                         std::make_unique<MonitorEntry>(*entry)));
    PostLinkEvent(monitorWindow_,
                  std::make_unique<LinkEvent>(UM_LINK_RESULT, kResultReceived,
                                              std::make_unique<MonitorEntry>(*entry)));
}

void ReceiveDispatch::ExchangeStatus(const TransferRequest& item) {
    if (progress_ && progress_->IsTransferProgressOpen()) {
        progress_->CloseAsCancelled();
        PostLinkEvent(transferSheet_, std::make_unique<LinkEvent>(UM_RCV_CANCEL_SHEET, 0));
        PostLinkEvent(dialEditor_, std::make_unique<LinkEvent>(UM_RCV_CANCEL_DIAL, 0));
    }
    if (const auto text = ExchangeStatusMessage(item.body)) {
        prompt_.Tell(*text, PromptIcon::Exclamation);
    }
}

}  // namespace qn410
