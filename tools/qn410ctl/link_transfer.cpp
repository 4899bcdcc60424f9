#include "link_transfer.h"

#include <QEventLoop>

#include "link/link_event.h"

namespace qn410::ctl {

LinkTransfer::LinkTransfer(SettingDocument& doc, Prompt& prompt, std::ostream* progress,
                           int timeoutSeconds)
    : progress_(progress),
      prompt_(prompt, progress_),
      broker_(history_, SystemClock::Instance(), prompt_),
      session_(doc, *this, prompt_, *this, this, cancel_, &SystemClock::Instance()) {
    if (timeoutSeconds > 0) session_.setTimeoutLimit(timeoutSeconds);
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, [this] { session_.OnTimer(); });
    broker_.dispatch().SetTransferSheet(this);
    broker_.dispatch().SetProgress(this);
    connect(&interrupt_, &InterruptNotice::interrupted, this, [this] {
        if (session_.outcome() != TransferOutcome::Running) return;
        progress_.OnProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
        prompt_.Tell("interrupted: abandoning the link", PromptIcon::None);
        Cancel();
    });
}

LinkTransfer::~LinkTransfer() {
    broker_.dispatch().SetProgress(nullptr);
}

TransferOutcome LinkTransfer::Run(const MaintenanceSetting& settings, bool upload, int exchange) {
    // A port that does not open now is silent; the first request tries again and reports it.
    broker_.Start(settings);
    finished_ = false;
    if (upload) {
        session_.StartUpload(exchange);
    } else {
        session_.StartDownload(exchange);
    }
    QEventLoop loop;
    connect(this, &LinkTransfer::transferFinished, &loop, &QEventLoop::quit);
    if (!finished_) loop.exec();
    timer_.stop();
    // Requests still under way (an abandon after a time-out) are answered before the end.
    broker_.Stop(3000);
    return session_.outcome();
}

void LinkTransfer::PostProgress(AppMessage message, int kind, std::string name, int count) {
    progress_.OnProgress(message, kind, name, count);
}

void LinkTransfer::PostLinkRequest(uint32_t wParam, TransferRequestPtr request) {
    qn410::PostLinkRequest(&broker_, this, std::move(request), wParam == kLinkAbandon);
}

void LinkTransfer::Finished(TransferOutcome) {
    finished_ = true;
    emit transferFinished();  // ends Run's loop once control returns to it
}

void LinkTransfer::CloseAsCancelled() {
    progress_.OnProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
    cancel_ = 1;
}

void LinkTransfer::Cancel() {
    cancel_ = 1;
    // With nobody to close a window, the timer must run for its tick to see the flag.
    if (session_.outcome() == TransferOutcome::Running) timer_.start();
}

bool LinkTransfer::event(QEvent* event) {
    auto* e = dynamic_cast<LinkEvent*>(event);
    if (!e) return QObject::event(event);
    switch (e->message()) {
        case UM_LINK_RESULT:
            session_.OnLinkResult(e->wParam, std::move(e->request));
            return true;
        case UM_RCV_CANCEL_SHEET:
            session_.OnExchangeCancel();  // abandons the link, as the sheet does
            return true;
        default:
            return QObject::event(event);
    }
}

}  // namespace qn410::ctl
