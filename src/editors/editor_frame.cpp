#include "editors/editor_frame.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QSettings>
#include <algorithm>

#include "link/link_messages.h"
#include "ui/message_event.h"

namespace qn410 {

namespace {
constexpr char kTextChanged[] = "Text changed. Exit?";
constexpr char kFailedToTransmit[] = "Failed to transmit";
constexpr char kFailedToOpen[] = "Failed to open the device";
constexpr int kWatchdogPeriodMs = 1000;
}  // namespace

EditorFrame::EditorFrame(EditorHost& host, QWidget* parent)
    : QDialog(parent),
      host_(host),
      print_(new QPushButton(QStringLiteral("Print"), this)),
      upload_(new QPushButton(QStringLiteral("Upload"), this)),
      overwrite_(new QPushButton(QStringLiteral("Overwrite"), this)),
      close_(new QPushButton(QStringLiteral("Close"), this)) {
    overwrite_->setDefault(true);
    connect(print_, &QPushButton::clicked, this, &EditorFrame::Print);
    connect(upload_, &QPushButton::clicked, this, &EditorFrame::Upload);
    connect(overwrite_, &QPushButton::clicked, this, &EditorFrame::Overwrite);
    connect(close_, &QPushButton::clicked, this, &EditorFrame::reject);
    watchdog_.setInterval(kWatchdogPeriodMs);
    connect(&watchdog_, &QTimer::timeout, this, &EditorFrame::OnWatchdogTick);
    // The keyboard rules see every key press of the dialog's controls, grids and their line
    // editors included, before the control or the dialog handles it.
    qApp->installEventFilter(this);
}

EditorFrame::~EditorFrame() = default;

QHBoxLayout* EditorFrame::CommandButtonRow() {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* b : {print_, upload_, overwrite_, close_}) row->addWidget(b);
    return row;
}

bool EditorFrame::ValidateAndReport(bool upload) {
    const std::optional<ValidationFailure> failure = upload ? ValidateUpload() : Validate();
    if (!failure) return true;
    host_.prompt().Show(failure->message, PromptIcon::Question, PromptButtons::Ok);
    ShowFailurePlace(*failure);
    return false;
}

void EditorFrame::ShowFailurePlace(const ValidationFailure& failure) {
    if (failure.exchange > 0) ShowExchange(failure.exchange);
    if (failure.grid) {
        failure.grid->SetCurrentCell(failure.cell.row, failure.cell.column);
    } else if (failure.focus) {
        failure.focus->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(failure.focus)) edit->selectAll();
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(failure.focus)) spin->selectAll();
    }
}

bool EditorFrame::Overwrite() {
    if (!ValidateAndReport()) return false;
    // An unchanged working copy leaves the modified flag as it was.
    if (WorkingCopyDiffers()) {
        CommitWorkingCopy();
        host_.Document().modified = true;
        ReloadWorkingCopy();
    }
    return true;
}

void EditorFrame::reject() {
    if (WorkingCopyDiffers() && !host_.prompt().AskYesNo(kTextChanged)) return;
    QDialog::reject();
}

QString EditorFrame::SizeKey() const {
    return QStringLiteral("Editor Size/") + QString::fromLatin1(metaObject()->className());
}

void EditorFrame::setVisible(bool visible) {
    if (visible && !arranged_) {
        arranged_ = true;
        ArrangeForFirstShow();
    }
    // The size is remembered only when the user chose it, so that windows made by tests and
    // scripts leave nothing behind.
    if (!visible && isVisible() && userResized_) QSettings().setValue(SizeKey(), size());
    QDialog::setVisible(visible);
}

void EditorFrame::resizeEvent(QResizeEvent* event) {
    if (event->spontaneous() && isVisible()) userResized_ = true;
    QDialog::resizeEvent(event);
}

void EditorFrame::ArrangeForFirstShow() {
    // Grids take the room a larger window gives: their last column widens.
    for (GridCtrl* grid : findChildren<GridCtrl*>()) grid->StretchLastColumn();
    const QSize remembered = QSettings().value(SizeKey()).toSize();
    if (remembered.isValid()) resize(remembered.expandedTo(minimumSizeHint()));
    if (layout()) layout()->activate();

    // Reading order: by the middle of each control from the top, then from the left; the
    // command buttons close the chain. Controls on pages not shown keep their own place.
    QList<QWidget*> chain;
    for (QWidget* w : findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(this) || !w->isEnabled() ||
            w->focusProxy() || w->window() != this)
            continue;
        // Pieces inside a control (a grid's line editor, a spin box's edit) are not stops.
        bool inner = false;
        for (QWidget* p = w->parentWidget(); p && p != this; p = p->parentWidget())
            if (qobject_cast<QAbstractItemView*>(p) || qobject_cast<QAbstractSpinBox*>(p) ||
                qobject_cast<QComboBox*>(p))
                inner = true;
        if (!inner) chain.append(w);
    }
    const auto place = [this](const QWidget* w) {
        const QRect r(w->mapTo(this, QPoint(0, 0)), w->size());
        return std::pair(IsCommandButton(w) ? 1 : 0, std::pair(r.center().y(), r.left()));
    };
    std::stable_sort(chain.begin(), chain.end(),
                     [&](const QWidget* a, const QWidget* b) { return place(a) < place(b); });
    for (qsizetype i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);
    // The first input, not the default button: Enter and Escape then go to that input.
    if (!chain.isEmpty() && !IsCommandButton(chain.front()))
        chain.front()->setFocus(Qt::TabFocusReason);
}

void EditorFrame::Print() {
    host_.PostPrint(MakePrintJob());
}

void EditorFrame::Upload() {
    if (!ValidateAndReport(/*upload=*/true)) return;
    if (!host_.ConfirmTransmit()) return;
    if (!Overwrite()) return;
    watchdogCount_ = 0;
    step_ = 1;
    done_ = false;
    uploading_ = true;
    BeginUpload();
    watchdog_.start();
    SendStep();
}

void EditorFrame::SendStep() {
    done_ = step_ >= UploadMessageCount();
    SendUploadMessage(step_);
}

void EditorFrame::EndUpload() {
    watchdog_.stop();
    watchdogCount_ = 0;
    uploading_ = false;
}

void EditorFrame::HandleLinkResult(uint32_t result, TransferRequestPtr request) {
    request.reset();  // the request came back to its requester and ends here
    // A result that arrives after the watchdog has given the upload up changes nothing: the
    // progress display is closed and the user has been told.
    if (!uploading_) return;
    watchdog_.stop();
    switch (result) {
        case kResultNotDelivered:
            host_.prompt().Tell(kFailedToTransmit, PromptIcon::Exclamation);
            host_.CloseProgress();
            EndUpload();
            break;
        case kResultOpenFailed:
            host_.prompt().Tell(kFailedToOpen, PromptIcon::Exclamation);
            host_.CloseProgress();
            EndUpload();
            break;
        case kResultDone:
            host_.AdvanceProgress();
            if (done_) {
                host_.CloseProgress();
                EndUpload();
            } else {
                watchdogCount_ = 0;
                watchdog_.start();
                ++step_;
                SendStep();
            }
            break;
        default:  // the slot was reset after an abandon request: nothing more is sent
            EndUpload();
            break;
    }
}

void EditorFrame::OnWatchdogTick() {
    if (!uploading_) {
        watchdog_.stop();
        return;
    }
    ++watchdogCount_;
    const bool cancelled = host_.ProgressCancelled();
    if (!cancelled && watchdogCount_ < watchdogLimit_) return;
    watchdog_.stop();
    host_.SubmitRequest(MakeCloseRequest(this), true);
    if (!cancelled) host_.prompt().Tell(kFailedToTransmit, PromptIcon::Exclamation);
    host_.CloseProgress();
    EndUpload();
}

void EditorFrame::SetWatchdog(int limitTicks, int periodMs) {
    watchdogLimit_ = limitTicks;
    watchdog_.setInterval(periodMs);
}

void EditorFrame::SendUploadRecord(ProgressMode mode, int bound, int step, uint8_t setMask,
                                   uint8_t clearMask, uint8_t exchange, std::string_view record) {
    TransferRequest header;
    header.requester = this;
    header.setMask = setMask;
    header.clearMask = clearMask;
    header.exchange = exchange;
    HostPoster poster(host_);
    SendRecord(poster, mode, bound, step, header, record, host_.ProgressCancelled());
}

bool EditorFrame::event(QEvent* event) {
    if (event->type() == static_cast<QEvent::Type>(UM_LINK_RESULT)) {
        HandleLinkResult(static_cast<uint32_t>(WParamOf(event)), TakeRequest(event));
        return true;
    }
    return QDialog::event(event);
}

bool EditorFrame::IsCommandButton(const QWidget* widget) const {
    return widget == print_ || widget == upload_ || widget == overwrite_ || widget == close_;
}

bool EditorFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != this) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    QWidget* focus = QApplication::focusWidget();

    if (key->key() == Qt::Key_S && key->modifiers() == Qt::ControlModifier) {
        host_.SaveDocument();
        return true;
    }
    if (qobject_cast<QComboBox*>(focus) && key->modifiers() == Qt::NoModifier &&
        ((key->key() >= Qt::Key_0 && key->key() <= Qt::Key_9) || key->key() == Qt::Key_Space))
        return true;
    // An Enter or Escape that the focused control left unhandled travels up to the dialog,
    // which would press Overwrite or Close; it stops here unless a command button has the focus.
    const bool enterOrEscape =
        key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape;
    if (enterOrEscape && watched == this && !IsCommandButton(focus)) return true;
    return false;
}

}  // namespace qn410
