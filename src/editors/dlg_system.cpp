#include "editors/dlg_system.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "setting/text_field.h"
#include "transfer/record_codec.h"

namespace qn410 {

namespace {
constexpr int kMinDigits = 2;
constexpr int kMaxDigits = 6;
constexpr int kMaxCellText = 50;  // a longer entry counts as empty
constexpr int kClockPeriodMs = 1000;
constexpr char kNotSetText[] = "-1";  // how a first station number that is not set is held

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

long long PowerOfTen(int digits) {
    long long value = 1;
    for (int k = 0; k < digits; ++k) value *= 10;
    return value;
}

void ClearEntry(ExchangeNumberEntry& entry) {
    entry.Value = kNoNumber;
    SetText(entry.Text, kNotSetText);
}
}  // namespace

CDlgSystem::CDlgSystem(EditorHost& host, const Clock& clock, QWidget* parent)
    : EditorFrame(host, parent),
      clock_(clock),
      exchangeCount_(new QComboBox(this)),
      digits_(new QComboBox(this)),
      grid_(new GridCtrl(this)),
      clockField_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Global Setting"));
    for (int n = 1; n <= kExchangeCount; ++n) exchangeCount_->addItem(QString::number(n));
    for (int n = kMinDigits; n <= kMaxDigits; ++n) digits_->addItem(QString::number(n));
    for (int line = 0; line < kTieLineCount; ++line)
        tieLines_[line] = new QCheckBox(QStringLiteral("Line %1").arg(line + 1), this);
    BuildLayout();
    SetUpGrid();

    connect(exchangeCount_, &QComboBox::activated, this, &CDlgSystem::OnExchangeCountChosen);
    connect(digits_, &QComboBox::activated, this,
            [this](int index) { copy_.NumberSize = static_cast<uint8_t>(index + kMinDigits); });
    for (int line = 0; line < kTieLineCount; ++line)
        connect(tieLines_[line], &QCheckBox::clicked, this,
                [this, line](bool on) { copy_.TieLine[line] = on ? 1 : 0; });
    connect(grid_, &GridCtrl::editEnded, this, &CDlgSystem::OnCellEnded);

    ReloadWorkingCopy();
    RefreshClock();
    clockTimer_.setInterval(kClockPeriodMs);
    connect(&clockTimer_, &QTimer::timeout, this, &CDlgSystem::RefreshClock);
    clockTimer_.start();
}

CDlgSystem::~CDlgSystem() = default;

void CDlgSystem::BuildLayout() {
    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("No. of Exchanges:"), this), 0, 0);
    exchangeCount_->setFixedWidth(70);
    digits_->setFixedWidth(70);
    lists->addWidget(exchangeCount_, 0, 1, Qt::AlignLeft);
    lists->addWidget(new QLabel(QStringLiteral("Station Digits:"), this), 1, 0);
    lists->addWidget(digits_, 1, 1, Qt::AlignLeft);
    lists->addWidget(new QLabel(QStringLiteral("Tie-Line Connections:"), this), 2, 0);
    auto* boxes = new QHBoxLayout;
    for (QCheckBox* box : tieLines_) boxes->addWidget(box);
    lists->addLayout(boxes, 2, 1);
    lists->setColumnStretch(2, 1);

    auto* time = new QHBoxLayout;
    time->addWidget(new QLabel(QStringLiteral("Time"), this));
    clockField_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    clockField_->setMinimumWidth(80);
    time->addWidget(clockField_);
    time->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addWidget(new QLabel(QStringLiteral("Exchange Station No. Assignment"), this));
    layout->addWidget(grid_, 1, Qt::AlignLeft);
    layout->addLayout(time);
    layout->addLayout(CommandButtonRow());
}

void CDlgSystem::SetUpGrid() {
    grid_->SetColumnCount(2);
    grid_->SetFixedColumnCount(1);
    grid_->SetHeaderText(0, "Exchange");
    grid_->SetHeaderText(1, "First Station No.");
    grid_->SetColumnWidth(0, 85);
    grid_->SetColumnWidth(1, 120);
    grid_->SetColumnReadOnly(0, true);
    grid_->SetDefaultRowHeight(20);
    grid_->SetHeaderHeight(grid_->DefaultHeaderHeight() * 3 / 2);
    grid_->SetBackground(Qt::white);
    // As wide as its two columns and a vertical scroll bar: no empty white band beside them.
    const int scrollBar = grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    grid_->setFixedWidth(85 + 120 + 2 * grid_->frameWidth() + scrollBar);
    grid_->setMinimumHeight(200);
}

void CDlgSystem::ReloadWorkingCopy() {
    copy_ = host().Document().data().System;
    ShowCopy();
}

void CDlgSystem::ShowCopy() {
    exchangeCount_->setCurrentIndex(copy_.SwitchCnt - 1);  // out of range shows nothing
    digits_->setCurrentIndex(copy_.NumberSize - kMinDigits);
    for (int line = 0; line < kTieLineCount; ++line)
        tieLines_[line]->setChecked(copy_.TieLine[line] != 0);
    FillGrid();
}

void CDlgSystem::FillGrid() {
    const int rows = std::clamp<int>(copy_.SwitchCnt, 0, kExchangeCount);
    grid_->SetRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        const ExchangeNumberEntry& entry = copy_.SwNumber[row];
        grid_->SetItemText(row, 0, std::to_string(entry.ExchangeNo));
        grid_->SetItemText(row, 1, entry.Value == kNoNumber ? "" : TextOf(entry.Text));
    }
}

void CDlgSystem::RefreshClock() {
    const LocalTime now = clock_.Now();
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", now.hour, now.minute, now.second);
    clockField_->setText(QString::fromLatin1(text));
}

void CDlgSystem::OnExchangeCountChosen(int index) {
    copy_.SwitchCnt = static_cast<uint8_t>(index + 1);
    for (int i = 0; i < kExchangeCount; ++i) {
        copy_.SwNumber[i].ExchangeNo = static_cast<uint8_t>(i + 1);
        if (i >= copy_.SwitchCnt) ClearEntry(copy_.SwNumber[i]);
    }
    FillGrid();
    exchangeCount_->setFocus(Qt::OtherFocusReason);
}

void CDlgSystem::OnCellEnded(int row, int column, const std::string& text, bool* accept) {
    *accept = false;
    if (column != 1) return;
    const int exchange = std::atoi(grid_->ItemText(row, 0).c_str());
    if (exchange < 1 || exchange > kExchangeCount) return;
    ExchangeNumberEntry& entry = copy_.SwNumber[exchange - 1];
    const std::string_view entered =
        text.size() > static_cast<std::size_t>(kMaxCellText) ? std::string_view() : text;
    // The digit count is checked on Overwrite, against the station digits chosen by then.
    if (!entered.empty() && entered.size() <= static_cast<std::size_t>(kMaxDigits) &&
        AllDigits(entered)) {
        SetText(entry.Text, entered);
        entry.Value = std::stoi(std::string(entered));
    }
    grid_->SetItemText(row, 1, entry.Value == kNoNumber ? "" : TextOf(entry.Text));
}

std::optional<ValidationFailure> CDlgSystem::Validate() {
    if (copy_.SwitchCnt < 1 || copy_.SwitchCnt > kExchangeCount)
        return ValidationFailure{"Incorrect No.of exchanges.", 0, exchangeCount_};
    if (copy_.NumberSize < kMinDigits || copy_.NumberSize > kMaxDigits)
        return ValidationFailure{"Incorrect station digit length.", 0, digits_};

    const auto cellFailure = [this](const char* message, int index) {
        return ValidationFailure{message, 0, nullptr, grid_, GridCell{index, 1}};
    };
    const int count = copy_.SwitchCnt;
    const long long limit = PowerOfTen(copy_.NumberSize) - 1;
    for (int i = 0; i < count; ++i) {
        const ExchangeNumberEntry& entry = copy_.SwNumber[i];
        if (entry.Value == kNoNumber || TextOf(entry.Text).size() != copy_.NumberSize ||
            entry.Value > limit)
            return cellFailure("Incorrect first station No.digit length", i);
        // An entry that is not set is reported by its own digit-length check, on its row.
        const ExchangeNumberEntry* next = i + 1 < count ? &copy_.SwNumber[i + 1] : nullptr;
        if (next && next->Value != kNoNumber && next->Value < entry.Value)
            return cellFailure("First station No.is greater than that of the next exchange.", i);
    }
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count; ++j)
            if (copy_.SwNumber[i].Value == copy_.SwNumber[j].Value)
                return cellFailure("Duplicated first station No.", i);
    return std::nullopt;
}

bool CDlgSystem::WorkingCopyDiffers() const {
    const SystemSetting& stored = host().Document().data().System;
    if (copy_.SwitchCnt != stored.SwitchCnt || copy_.NumberSize != stored.NumberSize) return true;
    if (!std::equal(std::begin(copy_.TieLine), std::end(copy_.TieLine), stored.TieLine))
        return true;
    const int entries =
        std::clamp<int>(std::max(copy_.SwitchCnt, stored.SwitchCnt), 0, kExchangeCount);
    return !std::equal(copy_.SwNumber, copy_.SwNumber + entries, stored.SwNumber);
}

void CDlgSystem::CommitWorkingCopy() {
    // Only what this editor edits: the external sources' zones stay with their own editor.
    SystemSetting& stored = host().Document().data().System;
    stored.SwitchCnt = copy_.SwitchCnt;
    stored.NumberSize = copy_.NumberSize;
    std::copy(std::begin(copy_.TieLine), std::end(copy_.TieLine), stored.TieLine);
    std::copy(std::begin(copy_.SwNumber), std::end(copy_.SwNumber), stored.SwNumber);
}

void CDlgSystem::SendUploadMessage(int step) {
    RecordRequest request;
    request.exchange = 0;
    request.data = &host().Document().data();
    request.clock = &clock_;
    const std::optional<WireRecord> record = Encode('A', request);
    SendUploadRecord(ProgressMode::Single, /*bound=*/1, step, kUseSingle, kUseSingle, 0,
                     record ? std::string_view(*record) : std::string_view());
}

PrintJob CDlgSystem::MakePrintJob() const {
    return {kPrintGlobalSetting, 0, copy_};
}

}  // namespace qn410
