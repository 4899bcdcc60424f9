#include "editors/dlg_direct_dial.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "setting/text_field.h"
#include "ui/message_event.h"

namespace qn410 {

namespace {
constexpr char kDeleteAllQuestion[] = "Will delete all list data. OK?";
constexpr int kColumnWidths[] = {80, 110, 200, 130};
constexpr const char* kColumnTitles[] = {"Switch No.", "Dial", "Name", "Door Lock(Switch No)"};
constexpr int kTickMs = 1000;
}  // namespace

CDlgDirectDial::CDlgDirectDial(EditorHost& host, QWidget* parent)
    : EditorFrame(host, parent),
      copy_(std::make_unique<DialTables>()),
      transfer_(host.Document(), *this, host.prompt(), *this, static_cast<QObject*>(this),
                [&host] { return host.ProgressCancelled(); }),
      exchange_(new QComboBox(this)),
      master_(new QComboBox(this)),
      doorLock_(new QComboBox(this)),
      exchangeLabel_(new QLabel(this)),
      deleteAll_(new QPushButton(QStringLiteral("Delete ALL"), this)),
      download_(new QPushButton(QStringLiteral("Download"), this)),
      grid_(new GridCtrl(this)) {
    setWindowTitle(QStringLiteral("Dialing Assignment"));
    const int switchCnt =
        std::clamp<int>(host.Document().data().System.SwitchCnt, 1, kExchangeCount);
    exchangeLabel_->setText(QStringLiteral("Exchange No. (1-%1):").arg(switchCnt));
    for (int e = 1; e <= switchCnt; ++e) exchange_->addItem(QString::number(e));
    for (int m = 1; m <= kMasterCount; ++m) master_->addItem(QString::number(m));
    for (int t = 1; t <= 10; ++t) doorLock_->addItem(QString::number(t));
    BuildLayout();
    SetUpGrid();
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, [this] { transfer_.OnTimer(); });

    connect(exchange_, &QComboBox::activated, this, [this] { FillGrid(); });
    connect(master_, &QComboBox::activated, this, [this] { FillGrid(); });
    connect(doorLock_, &QComboBox::activated, this, [this](int index) {
        copy_->ShotT[exchange() - 1][master() - 1] = static_cast<uint8_t>(index + 1);
    });
    connect(deleteAll_, &QPushButton::clicked, this, &CDlgDirectDial::DeleteAll);
    connect(download_, &QPushButton::clicked, this, &CDlgDirectDial::Download);
    connect(grid_, &GridCtrl::editEnded, this, &CDlgDirectDial::OnCellEnded);

    ReloadWorkingCopy();
    exchange_->setFocus(Qt::OtherFocusReason);  // the first input, once the dialog shows
}

CDlgDirectDial::~CDlgDirectDial() {
    Register(false);
}

void CDlgDirectDial::BuildLayout() {
    auto* lists = new QHBoxLayout;
    const auto add = [&](QLabel* label, QComboBox* list) {
        lists->addWidget(label);
        list->setMinimumContentsLength(3);
        lists->addWidget(list);
        lists->addSpacing(12);
    };
    add(exchangeLabel_, exchange_);
    add(new QLabel(QStringLiteral("Master Station No. (1-%1):").arg(kMasterCount), this), master_);
    add(new QLabel(QStringLiteral("Door Lock Time:"), this), doorLock_);
    lists->addStretch();

    QHBoxLayout* buttons = CommandButtonRow();
    buttons->insertWidget(0, deleteAll_);
    buttons->insertWidget(1, download_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addWidget(grid_, 1);
    layout->addLayout(buttons);

    // Reading order: the lists, the grid, then the buttons from left to right.
    QWidget* order[] = {exchange_,         master_,      doorLock_,     grid_,
                        deleteAll_,        download_,    PrintButton(), UploadButton(),
                        OverwriteButton(), CloseButton()};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void CDlgDirectDial::SetUpGrid() {
    grid_->SetColumnCount(4);
    grid_->SetFixedColumnCount(1);
    int width = 0;
    const QFontMetrics metrics = grid_->horizontalHeader()->fontMetrics();
    for (int c = 0; c < 4; ++c) {
        grid_->SetHeaderText(c, kColumnTitles[c]);
        // At least wide enough for its title in the font in use.
        const int title = metrics.horizontalAdvance(QString::fromLatin1(kColumnTitles[c])) + 16;
        grid_->SetColumnWidth(c, std::max(kColumnWidths[c], title));
        width += grid_->ColumnWidth(c);
    }
    grid_->horizontalHeader()->setStretchLastSection(true);  // the grid takes the space
    grid_->SetDefaultRowHeight(20);
    grid_->SetColumnReadOnly(0, true);
    grid_->SetColumnReadOnly(kNameColumn, true);
    grid_->SetBackground(Qt::white);
    grid_->SetRowCount(kDialCount);
    const int scrollBar = grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    grid_->setMinimumSize(width + 2 * grid_->frameWidth() + scrollBar, 300);
}

int CDlgDirectDial::exchange() const {
    return exchange_->currentIndex() + 1;
}

int CDlgDirectDial::master() const {
    return master_->currentIndex() + 1;
}

void CDlgDirectDial::Select(int exchange, int master) {
    exchange_->setCurrentIndex(exchange - 1);
    master_->setCurrentIndex(master - 1);
    FillGrid();
}

void CDlgDirectDial::FillGrid() {
    RebuildDoorLockMarks(table());
    for (int row = 0; row < kDialCount; ++row) ShowRow(row);
    // A door lock time out of range is 3, in the setting data too.
    uint8_t& stored = host().Document().data().ShotT[exchange() - 1][master() - 1];
    uint8_t& shown = copy_->ShotT[exchange() - 1][master() - 1];
    stored = ValidDoorLockTime(stored);
    shown = ValidDoorLockTime(shown);
    doorLock_->setCurrentIndex(shown - 1);
}

void CDlgDirectDial::ShowRow(int row) {
    DialEntry& entry = table()[row];
    SetText(entry.Name, LookUpStationName(host().Document().data(), TextOf(entry.Dial)));
    grid_->SetItemText(row, 0, std::to_string(row + 1));
    grid_->SetItemText(row, kDialColumn, TextOf(entry.Dial));
    grid_->SetItemText(row, kNameColumn, TextOf(entry.Name));
    grid_->SetItemText(row, kShotColumn, TextOf(entry.Shot));
}

void CDlgDirectDial::OnCellEnded(int row, int column, const std::string& text, bool* accept) {
    *accept = false;  // the cells are redrawn from the table; a refused edit keeps its text
    DialEntry& entry = table()[row];
    if (column == kDialColumn) {
        // A door-lock switch of another entry dials nothing.
        if (TextOf(entry.Dial) == kDoorLockMark || !IsAcceptedDialEdit(text)) return;
        SetText(entry.Dial, text);
        ShowRow(row);
        return;
    }
    if (column != kShotColumn) return;
    const std::optional<int> target = ParseDoorLockSwitch(text);
    // An emptied cell removes the door-lock assignment; anything else must name a switch that
    // dials nothing itself.
    if (!text.empty() && (!target || !HasNoOwnDial(table()[*target - 1]))) return;
    ClearDoorLockMarks(table());
    SetText(entry.Shot, target ? std::to_string(*target) : std::string());
    FillGrid();
}

void CDlgDirectDial::DeleteAll() {
    if (!host().prompt().AskYesNo(kDeleteAllQuestion)) return;
    ClearDialTable(table());  // the door lock time stays: it is the master's, not the list's
    FillGrid();
}

std::optional<ValidationFailure> CDlgDirectDial::Validate() {
    const auto failure = CheckDialTables(*copy_, host().Document().data().System.SwitchCnt);
    if (!failure) return std::nullopt;
    failedMaster_ = failure->master;
    return ValidationFailure{DialFailureText(*failure), failure->exchange, nullptr, grid_,
                             GridCell{failure->entry - 1, kDialColumn}};
}

void CDlgDirectDial::ShowFailurePlace(const ValidationFailure& failure) {
    Select(failure.exchange, failedMaster_);
    grid_->SetCurrentCell(failure.cell.row, failure.cell.column);
}

bool CDlgDirectDial::WorkingCopyDiffers() const {
    return !SameDialTables(*copy_, host().Document().data());
}

void CDlgDirectDial::CommitWorkingCopy() {
    CopyDialTables(*copy_, host().Document().data());
}

void CDlgDirectDial::ReloadWorkingCopy() {
    CopyDialTables(host().Document().data(), *copy_);
    FillGrid();
}

void CDlgDirectDial::Upload() {
    if (transfer_.running()) return;
    if (const auto failure = Validate()) {
        host().prompt().Show(failure->message, PromptIcon::Question, PromptButtons::Ok);
        ShowFailurePlace(*failure);
        return;
    }
    const int e = exchange(), m = master();
    if (!host().ConfirmTransmit() || !Overwrite()) return;
    Register(true);
    transfer_.StartUpload(e, m);
}

void CDlgDirectDial::Download() {
    if (transfer_.running() || !host().ConfirmReceive()) return;
    Register(true);
    transfer_.StartDownload(exchange(), master());
}

void CDlgDirectDial::Finished(TransferOutcome) {
    Register(false);
    if (transfer_.uploading()) return;
    // The table as the setting data now holds it: what arrived, or what was there before.
    const SettingData& data = host().Document().data();
    const int e = transfer_.exchange() - 1, m = transfer_.master() - 1;
    copy_->Dial[e][m] = data.Dial[e][m];
    std::copy(&data.ShotT[0][0], &data.ShotT[0][0] + sizeof data.ShotT, &copy_->ShotT[0][0]);
    FillGrid();
}

void CDlgDirectDial::Register(bool on) {
    if (on == registered_) return;
    registered_ = on;
    host().SetDialTransferWindow(on ? this : nullptr);
}

void CDlgDirectDial::SetTransferTimeout(int ticks, int tickMs) {
    transfer_.setTimeoutLimit(ticks);
    timer_.setInterval(tickMs);
}

void CDlgDirectDial::PostProgress(AppMessage message, int kind, std::string name, int count) {
    switch (message) {
        case UM_PROGRESS_CLOSE:
            return host().CloseProgress();
        case UM_PROGRESS_ADVANCE:
            return host().AdvanceProgress();
        default:
            return host().PostProgress(message, kind, std::move(name), count);
    }
}

void CDlgDirectDial::PostLinkRequest(uint32_t wParam, TransferRequestPtr request) {
    host().SubmitRequest(std::move(request), wParam == kLinkAbandon);
}

bool CDlgDirectDial::event(QEvent* event) {
    switch (static_cast<int>(event->type())) {
        case UM_LINK_RESULT:
            transfer_.OnLinkResult(static_cast<uint32_t>(WParamOf(event)), TakeRequest(event));
            return true;
        case UM_RCV_CANCEL_DIAL:
            transfer_.OnExchangeCancel();
            return true;
        default:
            return EditorFrame::event(event);
    }
}

void CDlgDirectDial::done(int result) {
    timer_.stop();
    Register(false);
    EditorFrame::done(result);
}

PrintJob CDlgDirectDial::MakePrintJob() const {
    DialPrintBlock block;
    block.exchange = static_cast<uint8_t>(exchange());
    block.master = static_cast<uint8_t>(master());
    block.table = copy_->Dial[exchange() - 1][master() - 1];  // grid rows are in switch order
    return {kPrintDialingAssignment, block.exchange, block};
}

}  // namespace qn410
