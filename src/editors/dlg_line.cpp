#include "editors/dlg_line.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

#include "editors/edit_spin.h"
#include "editors/exchange_selector.h"
#include "editors/tab_order.h"
#include "setting/text_field.h"
#include "transfer/record_codec.h"
#include "ui/ansi_text.h"

namespace qn410 {

namespace {
constexpr const char* kRowNames[kRxMasterCount] = {"Rep", "Member1", "Member2", "Member3"};
constexpr int kColumnWidths[] = {0, 85, 90, 90, 100, 100};
constexpr int kRowHeight = 20;

std::string NumberText(int value) {
    return value == 0 ? std::string() : std::to_string(value);
}
}  // namespace

CDlgLine::CDlgLine(EditorHost& host, QWidget* parent)
    : EditorFrame(host, parent),
      copy_(std::make_unique<TrunkCopy>(LoadTrunks(host.Document().data()))),
      selector_(std::make_unique<ExchangeSelector>(host.Document().data(), false, this)),
      timeOut_(new EditSpin(1, kMaxTimeOut, 1, 2, this)) {
    setWindowTitle(QStringLiteral("C/O Trunks"));
    auto* timeOutRow = new QHBoxLayout;
    auto* timeOutLabel = new QLabel(QStringLiteral("C/O Time-Out(1-%1 min):").arg(kMaxTimeOut));
    timeOutLabel->setBuddy(timeOut_);
    timeOutRow->addWidget(timeOutLabel);
    timeOutRow->addWidget(timeOut_);
    timeOutRow->addStretch();
    connect(timeOut_, &QSpinBox::valueChanged, this, [this](int v) {
        Shown().LineCntLimit =
            static_cast<uint8_t>(v >= 1 && v <= kMaxTimeOut ? v : kTimeOutNotValid);
    });

    auto* linesRow = new QHBoxLayout;
    for (int l = 0; l < kTrunkLineCount; ++l) {
        lines_[l] = MakeLine(l);
        linesRow->addWidget(lines_[l].group, 1);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(selector_.get());
    connect(selector_.get(), &ExchangeSelector::changed, this,
            [this] { Show(selector_->Selected()); });
    layout->addLayout(timeOutRow);
    layout->addLayout(linesRow, 1);
    layout->addLayout(CommandButtonRow());

    // Reading order: selector, time-out, then each line top to bottom, then the buttons.
    std::vector<QWidget*> order = {selector_->list(), timeOut_};
    for (const LineControls& c : lines_)
        order.insert(order.end(), {c.name, c.outgoing, c.access, c.directInDial, c.directInLine,
                                   c.grid, c.deleteAll});
    order.insert(order.end(), {PrintButton(), UploadButton(), OverwriteButton(), CloseButton()});
    SetReadingOrder(order);

    Show(1);
    selector_->list()->setFocus(Qt::OtherFocusReason);
}

CDlgLine::~CDlgLine() {
    // The controls outlive the working copy: a box that loses the focus while the dialog is
    // taken down must not store into it.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

CDlgLine::LineControls CDlgLine::MakeLine(int l) {
    LineControls c;
    c.group = new QGroupBox(QStringLiteral("C/O Line %1").arg(l + 1), this);
    c.name = new QLineEdit(c.group);
    c.outgoing = new QCheckBox(QStringLiteral("Outgoing"), c.group);
    c.access = new EditSpin(0, 9, 1, 2, c.group);
    c.directInDial = new QCheckBox(QStringLiteral("Incoming (Direct-In Dial)"), c.group);
    c.directInLine = new QCheckBox(QStringLiteral("Incoming (Direct-In Line)"), c.group);
    c.grid = new GridCtrl(c.group);
    c.deleteAll = new QPushButton(QStringLiteral("Delete ALL"), c.group);
    SetUpGrid(c.grid);

    auto* nameLabel = new QLabel(QStringLiteral("Name:"), c.group);
    nameLabel->setBuddy(c.name);
    auto* accessLabel = new QLabel(QStringLiteral("Access No. :"), c.group);
    accessLabel->setBuddy(c.access);
    auto* grid = new QGridLayout(c.group);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(c.name, 0, 1, 1, 2);
    grid->addWidget(c.outgoing, 1, 0);
    auto* access = new QHBoxLayout;
    access->addWidget(accessLabel);
    access->addWidget(c.access);
    access->addStretch();
    grid->addLayout(access, 1, 1, 1, 2);
    grid->addWidget(c.directInDial, 2, 0, 1, 3);
    grid->addWidget(c.directInLine, 3, 0, 1, 3);
    grid->addWidget(c.grid, 4, 0, 1, 3);
    grid->addWidget(c.deleteAll, 5, 2, Qt::AlignRight);
    grid->setColumnStretch(2, 1);

    const auto line = [this, l]() -> TrunkLineSetting& { return Shown().Line[l]; };
    connect(c.name, &QLineEdit::editingFinished, this, [this, l, line] {
        const std::string typed = QStringToAnsi(lines_[l].name->text());
        nameTooLong_[shown_ - 1][l] = typed.size() > sizeof line().Name - 1;
        SetText(line().Name, typed);  // cut to the field; Overwrite reports the rest
    });
    connect(c.outgoing, &QCheckBox::clicked, this, [this, l, line](bool on) {
        line().TxNumberOnOff = on ? 1 : 0;
        UpdateEnabled(l);
    });
    connect(c.access, &QSpinBox::valueChanged, this, [line](int v) {
        line().TxNumber = static_cast<uint8_t>(v <= 9 ? v : kAccessNotValid);
    });
    connect(c.directInDial, &QCheckBox::clicked, this,
            [line](bool on) { line().RxDial = on ? 1 : 0; });
    connect(c.directInLine, &QCheckBox::clicked, this, [this, l, line](bool on) {
        line().RxLine = on ? 1 : 0;
        UpdateEnabled(l);
    });
    connect(c.grid, &GridCtrl::editEnded, this,
            [this, l](int row, int column, const std::string& text, bool* accept) {
                OnCellEnded(l, row, column, text, accept);
            });
    connect(c.deleteAll, &QPushButton::clicked, this, [this, l] { OnDeleteAll(l); });
    return c;
}

void CDlgLine::SetUpGrid(GridCtrl* grid) {
    grid->SetColumnCount(6);
    grid->SetFixedColumnCount(2);
    const char* headers[] = {"", "Rcv Station", "Exchange", "Line", "Station", "Name"};
    int width = 0;
    for (int c = 0; c < 6; ++c) {
        grid->SetHeaderText(c, headers[c]);
        grid->SetColumnWidth(c, kColumnWidths[c]);
        width += kColumnWidths[c];
    }
    grid->SetColumnReadOnly(kRcvStation, true);
    grid->SetColumnReadOnly(kName, true);
    grid->SetDefaultRowHeight(kRowHeight);
    grid->SetRowCount(kRxMasterCount);
    grid->SetBackground(Qt::white);
    grid->SetColumnMaxLength(kExchange, 2);
    grid->SetColumnMaxLength(kLine, 1);
    grid->SetColumnMaxLength(kStation, 6);
    // All columns and rows in view without scrolling, and no empty band below the rows.
    const int frame = 2 * grid->frameWidth();
    grid->setMinimumWidth(width + frame + 2);
    grid->setFixedHeight(grid->HeaderHeight() + kRxMasterCount * kRowHeight + frame + 2);
}

void CDlgLine::Show(int exchange) {
    shown_ = std::clamp(exchange, 1, kExchangeCount);
    const TrunkBlock& block = Shown();
    {
        const QSignalBlocker blocker(timeOut_);
        timeOut_->setValue(block.LineCntLimit);
    }
    for (int l = 0; l < kTrunkLineCount; ++l) {
        const TrunkLineSetting& line = block.Line[l];
        LineControls& c = lines_[l];
        c.name->setText(AnsiToQString(TextOf(line.Name)));
        c.outgoing->setChecked(line.TxNumberOnOff != 0);
        {
            const QSignalBlocker blocker(c.access);
            c.access->setValue(line.TxNumber);
        }
        c.directInDial->setChecked(line.RxDial != 0);
        c.directInLine->setChecked(line.RxLine != 0);
        FillGrid(l);
        UpdateEnabled(l);
    }
}

void CDlgLine::FillGrid(int l) {
    const TrunkLineSetting& line = Shown().Line[l];
    GridCtrl* grid = lines_[l].grid;
    for (int k = 0; k < kRxMasterCount; ++k) {
        const StationEntry& rx = line.RxMaster[k];
        const bool shown =
            rx.ExchangeNo != 0 && rx.StationNo != 0 && line.RxNumberValue[k] != kNoNumber;
        grid->SetItemText(k, kRowNo, std::to_string(k + 1));
        grid->SetItemText(k, kRcvStation, kRowNames[k]);
        grid->SetItemText(k, kExchange, NumberText(rx.ExchangeNo));
        grid->SetItemText(k, kLine, NumberText(rx.StationNo));
        grid->SetItemText(k, kStation, shown ? TextOf(line.RxNumberText[k]) : "");
        grid->SetItemText(k, kName, shown ? TextOf(line.RxName[k]) : "");
    }
}

void CDlgLine::UpdateEnabled(int l) {
    const TrunkLineSetting& line = Shown().Line[l];
    lines_[l].access->setEnabled(line.TxNumberOnOff != 0);
    lines_[l].grid->setEnabled(line.RxLine != 0);
    lines_[l].deleteAll->setEnabled(line.RxLine != 0);
}

void CDlgLine::OnCellEnded(int l, int row, int column, const std::string& text, bool* accept) {
    *accept = false;  // the row is redrawn from the entry, whatever was typed
    if (row < 0 || row >= kRxMasterCount) return;
    TrunkLineSetting& line = Shown().Line[l];
    const SettingData& data = host().Document().data();
    if (column == kExchange)
        EnterReceiverExchange(line, row, text, data);
    else if (column == kLine)
        EnterReceiverMaster(line, row, text, data);
    else if (column == kStation)
        EnterReceiverStation(line, row, text, data);
    FillGrid(l);
}

void CDlgLine::OnDeleteAll(int l) {
    if (!host().prompt().AskYesNo("Will delete all list data. OK?")) return;
    for (int k = 0; k < kRxMasterCount; ++k) ClearReceiver(Shown().Line[l], k);
    FillGrid(l);
}

void CDlgLine::ShowExchange(int exchange) {
    selector_->Reselect(exchange);
}

std::optional<ValidationFailure> CDlgLine::Validate() {
    const std::optional<TrunkFailure> f =
        ValidateTrunks(*copy_, nameTooLong_, host().Document().data());
    if (!f) return std::nullopt;
    ValidationFailure failure{f->message, f->exchange};
    const LineControls& c = lines_[f->line];
    switch (f->field) {
        case TrunkField::TimeOut:
            failure.focus = timeOut_;
            break;
        case TrunkField::Name:
            failure.focus = c.name;
            break;
        case TrunkField::Access:
            failure.focus = c.access;
            break;
        case TrunkField::Receivers:
            failure.grid = c.grid;
            failure.cell = GridCell{f->row, kExchange};
            break;
    }
    return failure;
}

bool CDlgLine::WorkingCopyDiffers() const {
    for (const auto& lines : nameTooLong_)
        for (bool tooLong : lines)
            if (tooLong) return true;
    return TrunksDiffer(*copy_, host().Document().data());
}

void CDlgLine::CommitWorkingCopy() {
    StoreTrunks(*copy_, host().Document().data());
}

void CDlgLine::ReloadWorkingCopy() {
    *copy_ = LoadTrunks(host().Document().data());
    nameTooLong_ = {};
    Show(shown_);
}

void CDlgLine::BeginUpload() {
    uploadExchange_ = shown_;
}

void CDlgLine::SendUploadMessage(int step) {
    RecordRequest request;
    request.exchange = static_cast<uint8_t>(uploadExchange_);
    request.data = &host().Document().data();
    const std::optional<WireRecord> record = Encode('D', request);
    SendUploadRecord(ProgressMode::Single, /*bound=*/1, step, kUseSingle, kUseSingle,
                     request.exchange, record ? std::string_view(*record) : std::string_view());
}

PrintJob CDlgLine::MakePrintJob() const {
    // What is on screen, not what was last saved: the working copy written into a copy.
    PrintJob job = PrintJob::WithCopyOf(kPrintTrunks, shown_, host().Document().data());
    StoreTrunks(*copy_, job.copy());
    return job;
}

}  // namespace qn410
