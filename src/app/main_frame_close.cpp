// Closing the main window: the questions, stopping a running reading, and trying again once
// the stop has been answered (timer 5) or has timed out (the watchdog, timer 1).
#include <QCloseEvent>
#include <QTimerEvent>

#include "app/main_frame.h"
#include "app/qn410_view.h"
#include "link/link_messages.h"
#include "ui/message_event.h"
#include "ui/progress_display.h"
#include "ui/transfer_progress.h"

namespace qn410 {

namespace {
constexpr int kTimerPeriodMs = 1000;
constexpr char kLogRequest = 'O';
constexpr char kMonitorRequest = 'P';
constexpr int kExchangeFlags = 16;  // one '1'/'0' per exchange; all '0' stops the reading
}  // namespace

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (closeDecided_) {
        event->accept();
        return;
    }
    closeDecided_ = TryClose(/*askUnsaved=*/true);
    event->setAccepted(closeDecided_);
}

void CMainFrame::CloseNow() {
    closeDecided_ = true;
    close();
}

bool CMainFrame::TryClose(bool askUnsaved) {
    Prompt& prompt = view_->prompt();
    if (askUnsaved && view_->document().modified && !prompt.AskYesNo("Set file not saved. Exit?"))
        return false;
    if (view_->readingLog()) {
        if (prompt.AskYesNo("Reading log data. Will stop reading."))
            StopReading(kLogRequest, "Log Data Request");
        return false;
    }
    if (view_->readingMonitor()) {
        if (prompt.AskYesNo("Reading communication data. Will stop reading."))
            StopReading(kMonitorRequest, "Communication Monitoring Request");
        return false;
    }
    return view_->link().PrepareClose();  // false: already closing for good
}

void CMainFrame::StopReading(char letter, const char* name) {
    // The reading window's own request with no exchange selected: the exchanges stop sending.
    auto request = std::make_unique<TransferRequest>();
    request->requester = this;
    const uint8_t mask = letter == kLogRequest ? kUseLog : kUseMonitor;
    request->setMask = mask;
    request->clearMask = mask;
    request->body = std::string(1, letter) + "00" + std::string(kExchangeFlags, '0');
    PostProgress(view_, UM_PROGRESS_START, kProgressTransmitting, name, 1);
    PostLinkRequest(view_, this, std::move(request));
    watchdogTicks_ = 0;
    watchdog_.start(kTimerPeriodMs, this);
}

bool CMainFrame::event(QEvent* event) {
    if (static_cast<int>(event->type()) != UM_LINK_RESULT) return QMainWindow::event(event);
    // The frame's own requests come back with codes 0, 1, 2 or 4, each carrying the request.
    const auto code = static_cast<uint32_t>(WParamOf(event));
    if (code == kResultReceived) return true;
    const TransferRequestPtr request = TakeRequest(event);
    OnStopResult(code, request ? request->letter() : '\0');
    return true;  // the request is released with the event
}

void CMainFrame::OnStopResult(uint32_t result, char letter) {
    watchdog_.stop();
    // Code 4 answers the abandon of a stop the user cancelled: the reading goes on, and so does
    // the program.
    if (result != kResultDone && result != kResultNotDelivered && result != kResultOpenFailed)
        return;
    lastResult_ = result;
    Prompt& prompt = view_->prompt();
    if (result == kResultDone) {
        PostMessageTo(view_, UM_PROGRESS_ADVANCE, 2);
        PostMessageTo(view_, UM_PROGRESS_CLOSE);
        if (letter == kLogRequest) view_->SetReadingLog(false);
        if (letter == kMonitorRequest) view_->SetReadingMonitor(false);
    } else {
        if (result == kResultNotDelivered)
            prompt.Tell("Failed to transmit", PromptIcon::Exclamation);
        else if (result == kResultOpenFailed)
            prompt.Tell("Failed to open the device", PromptIcon::Exclamation);
        PostMessageTo(view_, UM_PROGRESS_CLOSE);
    }
    closeRetry_.start(kTimerPeriodMs, this);
}

void CMainFrame::timerEvent(QTimerEvent* event) {
    if (event->timerId() == watchdog_.timerId()) {
        ++watchdogTicks_;
        const bool cancelled = g_transferCancelled == 1;
        if (!cancelled && watchdogTicks_ < kWatchdogLimit) return;
        watchdog_.stop();
        watchdogTicks_ = 0;
        auto abandon = std::make_unique<TransferRequest>();
        abandon->requester = this;
        abandon->clearMask = kUseSingle | kUseMulti;
        PostLinkRequest(view_, this, std::move(abandon), /*abandon=*/true);
        PostMessageTo(view_, UM_PROGRESS_CLOSE);
        if (!cancelled) {
            // No answer in time: treat it as a failed stop so the program can still end.
            view_->prompt().Tell("Failed to transmit", PromptIcon::Exclamation);
            lastResult_ = kResultNotDelivered;
            closeRetry_.start(kTimerPeriodMs, this);
        }
        return;
    }
    if (event->timerId() == closeRetry_.timerId()) {
        if (view_->link().TransferPending()) return;
        closeRetry_.stop();
        if (lastResult_ != kResultDone) {
            view_->SetReadingLog(false);
            view_->SetReadingMonitor(false);
        }
        if (TryClose(/*askUnsaved=*/false)) {
            closeDecided_ = true;
            close();
        }
        return;
    }
    QMainWindow::timerEvent(event);
}

}  // namespace qn410
