#include "ui/progress_display.h"

#include <QWidget>

#include "link/link_messages.h"
#include "ui/ansi_text.h"
#include "ui/message_event.h"
#include "ui/progress_dialog.h"

namespace qn410 {

namespace {

struct KindTexts {
    const char* title;
    const char* message;
};

const KindTexts* TextsOf(int kind) {
    static const KindTexts kTexts[] = {
        {"Printing", "Printing\n\nPlease wait."},
        {"Transmitting data", "Transmitting data\n\nPlease wait."},
        {"Receiving data", "Receiving data\n\nPlease wait."},
    };
    return kind >= 1 && kind <= 3 ? &kTexts[kind - 1] : nullptr;
}

QString MessageFor(const KindTexts& texts, const ProgressRequest& request) {
    return AnsiToQString(request.prefix) + QLatin1Char(' ') + QString::fromLatin1(texts.message);
}

}  // namespace

void PostProgress(QObject* view, uint16_t message, int kind, std::string prefix, int count) {
    if (message == UM_PROGRESS_CLOSE || message == UM_PROGRESS_ADVANCE) {
        PostMessageTo(view, message, kind);
        return;
    }
    PostMessageTo(view, message, kind,
                  std::make_unique<ProgressRequest>(ProgressRequest{std::move(prefix), count}));
}

ProgressDisplay::ProgressDisplay(QWidget* owner, std::function<void()> onTransmitEnded)
    : owner_(owner), onTransmitEnded_(std::move(onTransmitEnded)) {}

ProgressDisplay::~ProgressDisplay() {
    delete dialog_;
}

bool ProgressDisplay::HandleMessage(QEvent* event) {
    const int type = event->type();
    if (type < UM_PROGRESS_RESTART || type > UM_PROGRESS_STEP) return false;
    // 0x1700, 0x1703 and 0x1704 carry a ProgressRequest block, released with the event whatever
    // happens here; 0x1701 and 0x1702 carry none.
    const int kind = static_cast<int>(WParamOf(event));
    const bool hasBlock = type != UM_PROGRESS_CLOSE && type != UM_PROGRESS_ADVANCE;
    const ProgressRequest* block = hasBlock ? BlockOf<ProgressRequest>(event) : nullptr;
    const ProgressRequest empty;
    const ProgressRequest& request = block ? *block : empty;
    switch (type) {
        case UM_PROGRESS_START:
            if (kind == kProgressReceiving) {
                if (dialog_) dialog_->SetRange(0, request.count);
            } else if (TextsOf(kind)) {
                Open(kind, request);
            }
            break;
        case UM_PROGRESS_RESTART:
            if (dialog_) Relabel(kind, request);
            break;
        case UM_PROGRESS_STEP:
            if (dialog_) Retitle(kind, request);
            break;
        case UM_PROGRESS_ADVANCE:
            if (dialog_) dialog_->Advance();
            break;
        case UM_PROGRESS_CLOSE:
            if (dialog_) dialog_->Close();
            break;
    }
    return true;
}

void ProgressDisplay::Open(int kind, const ProgressRequest& request) {
    // Only one display exists; a second start while one runs re-labels the one that is open.
    if (dialog_) {
        Relabel(kind, request);
        return;
    }
    const KindTexts& texts = *TextsOf(kind);
    kind_ = kind;
    dialog_ = new CDlgProgress(owner_);
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->SetTitle(QString::fromLatin1(texts.title));
    dialog_->SetButtonText(QStringLiteral("Cancel"));
    dialog_->SetMessage(MessageFor(texts, request));
    g_transferCancelled = 0;
    dialog_->SetRange(0, request.count);
    QObject::connect(dialog_, &QDialog::finished, dialog_, [this] { Ended(); });
    dialog_->open();
}

void ProgressDisplay::Relabel(int kind, const ProgressRequest& request) {
    const KindTexts* texts = TextsOf(kind);
    if (!texts) return;
    if (kind == kProgressReceiving)
        dialog_->SetTitle(QString::fromLatin1(texts->title));
    else
        dialog_->SetButtonText(QStringLiteral("Cancel"));
    dialog_->SetMessage(MessageFor(*texts, request));
    dialog_->SetRange(0, request.count);
}

void ProgressDisplay::Retitle(int kind, const ProgressRequest& request) {
    const KindTexts* texts = TextsOf(kind);
    if (!texts) return;
    dialog_->SetTitle(QString::fromLatin1(texts->title));
    dialog_->SetMessage(MessageFor(*texts, request));
}

void ProgressDisplay::Ended() {
    g_transferCancelled = 0;
    CDlgProgress* ended = dialog_;
    dialog_ = nullptr;
    ended->deleteLater();
    if (kind_ == kProgressTransmitting && onTransmitEnded_) onTransmitEnded_();
    kind_ = 0;
}

bool ProgressDisplay::IsTransferProgressOpen() const {
    return dialog_ && (kind_ == kProgressTransmitting || kind_ == kProgressReceiving);
}

void ProgressDisplay::CloseAsCancelled() {
    if (dialog_) dialog_->Close();
    g_transferCancelled = 1;
}

}  // namespace qn410
