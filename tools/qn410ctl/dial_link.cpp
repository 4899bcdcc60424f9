#include "dial_link.h"

#include <QEventLoop>

#include "link/link_event.h"

namespace qn410::ctl {

DialLink::DialLink(SettingDocument& doc, Prompt& prompt, std::ostream* progress, int timeoutSeconds)
    : progress_(progress),
      prompt_(prompt, progress_),
      broker_(history_, SystemClock::Instance(), prompt_),
      transfer_(doc, *this, prompt_, *this, this, [this] { return cancel_ != 0; }) {
    if (timeoutSeconds > 0) transfer_.setTimeoutLimit(timeoutSeconds);
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, [this] { transfer_.OnTimer(); });
    broker_.dispatch().SetDialEditor(this);
    broker_.dispatch().SetProgress(this);
    connect(&interrupt_, &InterruptNotice::interrupted, this, [this] {
        if (!transfer_.running()) return;
        progress_.OnProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
        prompt_.Tell("interrupted: abandoning the link", PromptIcon::None);
        cancel_ = 1;
        timer_.start();  // the next tick sees the flag and abandons the link
    });
}

DialLink::~DialLink() {
    broker_.dispatch().SetProgress(nullptr);
}

TransferOutcome DialLink::Run(const MaintenanceSetting& settings, bool upload, int exchange,
                              int master) {
    broker_.Start(settings);
    QEventLoop loop;
    connect(this, &DialLink::transferFinished, &loop, &QEventLoop::quit);
    if (upload) {
        transfer_.StartUpload(exchange, master);
    } else {
        transfer_.StartDownload(exchange, master);
    }
    if (transfer_.running()) loop.exec();
    timer_.stop();
    // Requests still under way (an abandon after a time-out) are answered before the end.
    broker_.Stop(3000);
    return transfer_.outcome();
}

void DialLink::PostProgress(AppMessage message, int kind, std::string name, int count) {
    progress_.OnProgress(message, kind, name, count);
}

void DialLink::PostLinkRequest(uint32_t wParam, TransferRequestPtr request) {
    qn410::PostLinkRequest(&broker_, this, std::move(request), wParam == kLinkAbandon);
}

void DialLink::CloseAsCancelled() {
    progress_.OnProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
    cancel_ = 1;
}

bool DialLink::event(QEvent* event) {
    auto* e = dynamic_cast<LinkEvent*>(event);
    if (!e) return QObject::event(event);
    switch (e->message()) {
        case UM_LINK_RESULT:
            transfer_.OnLinkResult(e->wParam, std::move(e->request));
            return true;
        case UM_RCV_CANCEL_DIAL:
            transfer_.OnExchangeCancel();
            return true;
        default:
            return QObject::event(event);
    }
}

}  // namespace qn410::ctl
