#include "editors/dlg_function.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "editors/edit_spin.h"
#include "editors/exchange_selector.h"
#include "editors/tab_order.h"
#include "editors/time_text.h"
#include "setting/text_field.h"
#include "transfer/record_codec.h"
#include "ui/ansi_text.h"

namespace qn410 {

namespace {
struct LimitRule {
    int first, last, step;
    const char* message;
};
constexpr LimitRule kRules[] = {
    {1, 99, 1, "Incorrect call time(sec)"},
    {1, 99, 1, "Incorrect call time(minute)"},
    {10, 990, 10, "Incorrect conversation time(sec)"},
};
constexpr char kBadStart[] = "Incorrect starting time";
constexpr char kBadEnd[] = "Incorrect ending time";
}  // namespace

CDlgFunction::CDlgFunction(EditorHost& host, QWidget* parent)
    : EditorFrame(host, parent),
      selector_(std::make_unique<ExchangeSelector>(host.Document().data(), false, this)),
      forwarding_(new QCheckBox(QStringLiteral("Call Forwarding"), this)),
      timeBased_(new QCheckBox(QStringLiteral("Time-Based Call Forwarding"), this)),
      startLabel_(new QLabel(QStringLiteral("Start Time:"), this)),
      start_(new QLineEdit(this)),
      endLabel_(new QLabel(QStringLiteral("End Time:"), this)),
      end_(new QLineEdit(this)),
      busy_(new QCheckBox(QStringLiteral("Busy Call Forwarding"), this)) {
    setWindowTitle(QStringLiteral("Call Forwarding/Time-Out"));
    limits_[kNoAnswer] =
        MakeLimit("No-Answer Call Fwd", QStringLiteral("Interval(1-%1 s):").arg(99), 1, 99, 1, 2);
    limits_[kCallTimeOut] =
        MakeLimit("Call Time-Out", QStringLiteral("Time Limit(1-%1 min):").arg(99), 1, 99, 1, 2);
    limits_[kConversation] = MakeLimit(
        "Conversation Time-Out", QStringLiteral("Time Limit(10-%1 s):").arg(990), 10, 990, 10, 3);
    BuildLayout();

    connect(forwarding_, &QCheckBox::clicked, this, [this](bool on) {
        Shown().OutSend = on ? 1 : 0;
        UpdateEnabled();
    });
    connect(timeBased_, &QCheckBox::clicked, this, [this](bool on) {
        Shown().AutoOutSend = on ? 1 : 0;
        UpdateEnabled();
    });
    connect(busy_, &QCheckBox::clicked, this, [this](bool on) { Shown().TalkSend = on ? 1 : 0; });
    for (int k = 0; k < 3; ++k) {
        const auto kind = static_cast<LimitKind>(k);
        connect(limits_[k].box, &QCheckBox::clicked, this,
                [this, kind](bool on) { OnLimitBox(kind, on); });
        connect(limits_[k].value, &QSpinBox::valueChanged, this,
                [this, kind](int v) { OnLimitValue(kind, v); });
    }

    copy_ = [&] {
        FunctionCopy c;
        std::copy(std::begin(host.Document().data().Function),
                  std::end(host.Document().data().Function), c.begin());
        return c;
    }();
    Show(1, false);
    selector_->list()->setFocus(Qt::OtherFocusReason);
}

CDlgFunction::~CDlgFunction() {
    // The controls outlive the working copy: a box that loses the focus while the dialog is
    // taken down must not store into it.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

CDlgFunction::Limit CDlgFunction::MakeLimit(const char* box, QString label, int first, int last,
                                            int step, int digits) {
    Limit limit{new QCheckBox(QString::fromLatin1(box), this), new QLabel(label, this),
                new EditSpin(first, last, step, digits, this)};
    limit.label->setBuddy(limit.value);
    return limit;
}

void CDlgFunction::BuildLayout() {
    auto* grid = new QGridLayout;
    grid->addWidget(forwarding_, 0, 0, 1, 3);
    grid->addWidget(timeBased_, 1, 0, 1, 3);
    auto* times = new QHBoxLayout;
    times->addSpacing(20);
    for (QWidget* w : std::initializer_list<QWidget*>{startLabel_, start_, endLabel_, end_})
        times->addWidget(w);
    times->addStretch();
    start_->setFixedWidth(70);
    end_->setFixedWidth(70);
    startLabel_->setBuddy(start_);
    endLabel_->setBuddy(end_);
    grid->addLayout(times, 2, 0, 1, 3);
    grid->addWidget(busy_, 3, 0, 1, 3);
    for (int k = 0; k < 3; ++k) {
        grid->addWidget(limits_[k].box, 4 + k, 0);
        grid->addWidget(limits_[k].label, 4 + k, 1);
        grid->addWidget(limits_[k].value, 4 + k, 2, Qt::AlignLeft);
        limits_[k].value->setMinimumWidth(70);
    }
    grid->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(selector_.get());
    connect(selector_.get(), &ExchangeSelector::changed, this, [this] {
        // Typed times are read in before another exchange is shown, not lost.
        const int e = selector_->Selected();
        const bool same = e == shown_;
        copy_ = Gathered();
        Show(e, same);
    });
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(CommandButtonRow());

    SetReadingOrder({selector_->list(), forwarding_, timeBased_, start_, end_, busy_,
                     limits_[0].box, limits_[0].value, limits_[1].box, limits_[1].value,
                     limits_[2].box, limits_[2].value, PrintButton(), UploadButton(),
                     OverwriteButton(), CloseButton()});
}

uint16_t CDlgFunction::LimitValue(const FunctionSetting& f, LimitKind kind) const {
    return kind == kNoAnswer ? f.CallCnt : kind == kCallTimeOut ? f.CallTime : f.TalkTime;
}

void CDlgFunction::SetLimitValue(FunctionSetting& f, LimitKind kind, int value) {
    if (kind == kNoAnswer)
        f.CallCnt = static_cast<uint8_t>(value);
    else if (kind == kCallTimeOut)
        f.CallTime = static_cast<uint8_t>(value);
    else
        f.TalkTime = static_cast<uint16_t>(value);
}

void CDlgFunction::Show(int exchange, bool keepTimes) {
    shown_ = std::clamp(exchange, 1, kExchangeCount);
    const FunctionSetting& f = Shown();
    forwarding_->setChecked(f.OutSend != 0);
    timeBased_->setChecked(f.AutoOutSend != 0);
    if (!keepTimes) {
        start_->setText(AnsiToQString(TextOf(f.StartTime.Text)));
        end_->setText(AnsiToQString(TextOf(f.EndTime.Text)));
    }
    busy_->setChecked(f.TalkSend != 0);
    ShowLimits();
    UpdateEnabled();
}

void CDlgFunction::ShowLimits() {
    for (int k = 0; k < 3; ++k) {
        const int value = LimitValue(Shown(), static_cast<LimitKind>(k));
        limits_[k].box->setChecked(value != 0);
        const QSignalBlocker blocker(limits_[k].value);
        limits_[k].value->setValue(value);
    }
    UpdateEnabled();
}

void CDlgFunction::UpdateEnabled() {
    timeBased_->setEnabled(forwarding_->isChecked());
    const bool times = forwarding_->isChecked() && timeBased_->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{startLabel_, start_, endLabel_, end_})
        w->setEnabled(times);
    for (const Limit& limit : limits_) {
        limit.label->setEnabled(limit.box->isChecked());
        limit.value->setEnabled(limit.box->isChecked());
    }
}

void CDlgFunction::OnLimitBox(LimitKind kind, bool on) {
    const int value = LimitValue(Shown(), kind);
    if (!on)
        SetLimitValue(Shown(), kind, 0);
    else if (value == 0)
        SetLimitValue(Shown(), kind, kRules[kind].first);
    const QSignalBlocker blocker(limits_[kind].value);
    limits_[kind].value->setValue(LimitValue(Shown(), kind));
    UpdateEnabled();
}

void CDlgFunction::OnLimitValue(LimitKind kind, int value) {
    const LimitRule& rule = kRules[kind];
    if (value >= rule.first && value <= rule.last) {
        SetLimitValue(Shown(), kind, value);
        return;
    }
    const QSignalBlocker blocker(limits_[kind].value);
    limits_[kind].value->setValue(LimitValue(Shown(), kind));
}

FunctionCopy CDlgFunction::Gathered() const {
    FunctionCopy copy = copy_;
    FunctionSetting& f = copy[shown_ - 1];
    if (const auto t = ParseTimeText(QStringToAnsi(start_->text()))) f.StartTime = *t;
    if (const auto t = ParseTimeText(QStringToAnsi(end_->text()))) f.EndTime = *t;
    return copy;
}

bool CDlgFunction::TimeBoxesReadable() const {
    return ParseTimeText(QStringToAnsi(start_->text())) &&
           ParseTimeText(QStringToAnsi(end_->text()));
}

std::optional<ValidationFailure> CDlgFunction::TimeFailure(int exchange, bool start) const {
    return ValidationFailure{start ? kBadStart : kBadEnd, exchange, start ? start_ : end_};
}

std::optional<ValidationFailure> CDlgFunction::Validate() {
    copy_ = Gathered();
    const int exchanges = ExchangesInUse(host().Document().data());
    for (int e = 1; e <= exchanges; ++e) {
        const FunctionSetting& f = copy_[e - 1];
        if (f.OutSend && f.AutoOutSend) {
            // The exchange shown is checked as typed; the others as stored.
            const bool shown = e == shown_;
            if (!ParseTimeText(shown ? QStringToAnsi(start_->text()) : TextOf(f.StartTime.Text)))
                return TimeFailure(e, true);
            if (!ParseTimeText(shown ? QStringToAnsi(end_->text()) : TextOf(f.EndTime.Text)))
                return TimeFailure(e, false);
        }
        for (int k = 0; k < 3; ++k) {
            const int value = LimitValue(f, static_cast<LimitKind>(k));
            if (value > kRules[k].last || value % kRules[k].step != 0)
                return ValidationFailure{kRules[k].message, e, limits_[k].value};
        }
    }
    ShowLimits();  // a limit of 0 shows its box off
    return std::nullopt;
}

std::optional<ValidationFailure> CDlgFunction::ValidateUpload() {
    if (auto failure = Validate()) return failure;
    // Before sending, the stored times count whether or not time-based forwarding is on.
    const int exchanges = ExchangesInUse(host().Document().data());
    for (int e = 1; e <= exchanges; ++e) {
        if (!IsTimeOfDay(copy_[e - 1].StartTime.Value)) return TimeFailure(e, true);
        if (!IsTimeOfDay(copy_[e - 1].EndTime.Value)) return TimeFailure(e, false);
    }
    return std::nullopt;
}

bool CDlgFunction::WorkingCopyDiffers() const {
    if (!TimeBoxesReadable()) return true;
    const FunctionCopy gathered = Gathered();
    return !std::equal(gathered.begin(), gathered.end(), host().Document().data().Function);
}

void CDlgFunction::CommitWorkingCopy() {
    copy_ = Gathered();
    std::copy(copy_.begin(), copy_.end(), host().Document().data().Function);
}

void CDlgFunction::ReloadWorkingCopy() {
    std::copy(std::begin(host().Document().data().Function),
              std::end(host().Document().data().Function), copy_.begin());
    Show(shown_, false);
}

void CDlgFunction::ShowExchange(int exchange) {
    selector_->Reselect(exchange);
}

void CDlgFunction::ShowFailurePlace(const ValidationFailure& failure) {
    EditorFrame::ShowFailurePlace(failure);
    // A stored time that fails Upload's check while its box is off: the focus goes to the
    // check box that turns the time boxes on.
    if (failure.focus && !failure.focus->isEnabled())
        (forwarding_->isChecked() ? timeBased_ : forwarding_)->setFocus(Qt::OtherFocusReason);
}

void CDlgFunction::BeginUpload() {
    uploadExchange_ = shown_;
}

void CDlgFunction::SendUploadMessage(int step) {
    if (step == 2) {  // the release request
        SendUploadRecord(ProgressMode::Single, 1, step, 0, kUseMulti, 0, {});
        return;
    }
    RecordRequest request;
    request.exchange = static_cast<uint8_t>(uploadExchange_);
    request.data = &host().Document().data();
    const std::optional<WireRecord> record = Encode('F', request);
    SendUploadRecord(ProgressMode::Single, /*bound=*/1, step, kUseMulti, 0, request.exchange,
                     record ? std::string_view(*record) : std::string_view());
}

PrintJob CDlgFunction::MakePrintJob() const {
    PrintJob job = PrintJob::WithCopyOf(kPrintForwarding, shown_, host().Document().data());
    const auto shown = Gathered();
    std::copy(shown.begin(), shown.end(), job.copy().Function);
    return job;
}

}  // namespace qn410
