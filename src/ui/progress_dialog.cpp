#include "ui/progress_dialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/transfer_progress.h"

namespace qn410 {

CDlgProgress::CDlgProgress(QWidget* parent)
    : QDialog(parent),
      message_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      button_(new QPushButton(this)) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    message_->setMinimumHeight(message_->fontMetrics().lineSpacing() * 3);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    bar_->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_);
    layout->addWidget(bar_);
    layout->addWidget(button_, 0, Qt::AlignHCenter);
    setMinimumWidth(320);
    connect(button_, &QPushButton::clicked, this, &CDlgProgress::reject);
}

void CDlgProgress::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // In front with the focus from the start, so that Escape cancels without a click first.
    raise();
    activateWindow();
    button_->setFocus(Qt::ActiveWindowFocusReason);
}

void CDlgProgress::SetTitle(const QString& title) {
    title_ = title;
    ShowTitle();
}

void CDlgProgress::SetMessage(const QString& text) {
    message_->setText(text);
}
void CDlgProgress::SetButtonText(const QString& text) {
    button_->setText(text);
}
QString CDlgProgress::message() const {
    return message_->text();
}
QString CDlgProgress::buttonText() const {
    return button_->text();
}

void CDlgProgress::SetRange(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    step_ = 1;
    position_ = lower;
    percent_ = 0;
    // QProgressBar cannot show a position past its maximum; the title carries the real figure.
    bar_->setRange(lower, upper > lower ? upper : lower + 1);
    bar_->setValue(lower);
    ShowTitle();
}

void CDlgProgress::Advance() {
    if (!isVisible()) show();
    position_ += step_;
    const int span = upper_ - lower_;
    // 64-bit product: a large count must not overflow into a negative percentage.
    const int percent =
        span > 0 ? static_cast<int>(static_cast<long long>(position_) * 100 / span) : 0;
    if (percent != percent_) {
        percent_ = percent;
        ShowTitle();
    }
    bar_->setValue(std::min(position_, bar_->maximum()));
}

void CDlgProgress::Close() {
    QDialog::done(QDialog::Rejected);
}

void CDlgProgress::reject() {
    g_transferCancelled = 1;
}

void CDlgProgress::ShowTitle() {
    setWindowTitle(QStringLiteral("%1 [%2%]").arg(title_).arg(percent_));
}

}  // namespace qn410
