#include "editors/dlg_member_list.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "editors/exchange_selector.h"
#include "editors/station_page.h"
#include "editors/step_edit.h"
#include "transfer/record_codec.h"

namespace qn410 {

namespace {
constexpr char kDeleteAllQuestion[] = "Will delete all list data. OK?";
constexpr char kBadExchange[] = "Incorrect exchange No.";
constexpr char kBadMaster[] = "Incorrect master equipment No.";

namespace col {
enum : int { kRowNo, kExchange, kLine, kStation, kName, kCount };
}
constexpr int kWidths[col::kCount] = {0, 90, 90, 90, 150};
constexpr const char* kHeaders[col::kCount] = {"", "Exchange", "Line", "Station", "Name"};
}  // namespace

CDlgMemberList::CDlgMemberList(const MemberListKind& kind, EditorHost& host, QWidget* parent)
    : EditorFrame(host, parent),
      kind_(kind),
      selector_(new ExchangeSelector(host.Document().data(), /*offerAll=*/false, this)),
      masterLabel_(new QLabel(QString::fromLatin1(kind.ownerLabel).arg(kMasterCount), this)),
      master_(new QComboBox(this)),
      grid_(new GridCtrl(this)),
      deleteAll_(new QPushButton(QStringLiteral("Delete ALL"), this)) {
    setWindowTitle(QString::fromLatin1(kind.title));
    for (int m = 1; m <= kMasterCount; ++m) master_->addItem(QString::number(m));
    masterLabel_->setBuddy(master_);
    if (kind.hasTime) {
        timeLabel_ = new QLabel(QStringLiteral("Monitor Time(1-%1 s):").arg(kMaxScanTime), this);
        time_ = new StepEdit(RangeStep(kMinScanTime, kMaxScanTime), this);
        // Digits only; a number out of range is kept so that Overwrite reports it.
        time_->findChild<QLineEdit*>()->setValidator(
            new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), time_));
        time_->setFixedWidth(70);
        timeLabel_->setBuddy(time_);
        connect(time_, &StepEdit::editingFinished, this, &CDlgMemberList::StoreTime);
        connect(time_, &StepEdit::stepped, this, &CDlgMemberList::StoreTime);
    }
    BuildLayout();
    SetUpGrid();
    connect(selector_->list(), &QComboBox::activated, this,
            [this] { OnSelectionChosen(selector_->list()); });
    connect(master_, &QComboBox::activated, this, [this] { OnSelectionChosen(master_); });
    connect(deleteAll_, &QPushButton::clicked, this, &CDlgMemberList::DeleteAll);
    connect(grid_, &GridCtrl::editEnded, this, &CDlgMemberList::OnCellEnded);
    ReloadWorkingCopy();
}

CDlgMemberList::~CDlgMemberList() {
    // Closing the window takes the focus from the time box, which would store its text into
    // the working copy, gone by then.
    if (time_) time_->disconnect(this);
}

QComboBox* CDlgMemberList::exchangeList() const {
    return selector_->list();
}

void CDlgMemberList::BuildLayout() {
    auto* selectors = new QHBoxLayout;
    selectors->addWidget(selector_);
    selectors->addSpacing(16);
    selectors->addWidget(masterLabel_);
    selectors->addWidget(master_);
    if (time_) {
        selectors->addSpacing(16);
        selectors->addWidget(timeLabel_);
        selectors->addWidget(time_);
    }
    selectors->addStretch();
    auto* below = new QHBoxLayout;
    below->addWidget(deleteAll_);
    below->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(selectors);
    layout->addWidget(grid_, 1);
    layout->addLayout(below);
    layout->addLayout(CommandButtonRow());
    // Reading order: selectors, time, grid, "Delete ALL", then the command buttons.
    setTabOrder(selector_->list(), master_);
    if (time_) setTabOrder(master_, time_);
    setTabOrder(time_ ? static_cast<QWidget*>(time_) : master_, grid_);
    setTabOrder(grid_, deleteAll_);
    QWidget* previous = deleteAll_;
    for (QPushButton* button : {PrintButton(), UploadButton(), OverwriteButton(), CloseButton()}) {
        setTabOrder(previous, button);
        previous = button;
    }
    selector_->list()->setFocus();  // the first input
}

void CDlgMemberList::SetUpGrid() {
    grid_->SetColumnCount(col::kCount);
    grid_->SetFixedColumnCount(1);  // the running number, hidden
    for (int c = 0; c < col::kCount; ++c) {
        grid_->SetHeaderText(c, kHeaders[c]);
        grid_->SetColumnWidth(c, kWidths[c]);
    }
    grid_->SetColumnReadOnly(col::kStation, true);
    grid_->SetColumnReadOnly(col::kName, true);
    grid_->SetDefaultRowHeight(20);
    grid_->SetHeaderHeight(grid_->DefaultHeaderHeight() * 3 / 2);
    grid_->SetBackground(Qt::white);
    grid_->setMinimumSize(90 * 3 + 150 + 2 * grid_->frameWidth() + 20, 120);
}

int CDlgMemberList::exchange() const {
    return selector_->Selected();
}

int CDlgMemberList::master() const {
    return master_->currentIndex() + 1;
}

MemberList& CDlgMemberList::shownList() {
    return lists_[static_cast<std::size_t>(exchange() - 1)][static_cast<std::size_t>(master() - 1)];
}

void CDlgMemberList::ShowList() {
    const MemberList& list = shownList();
    if (time_) time_->setText(QString::number(list.time));
    grid_->SetRowCount(list.rows(kind_));
    for (int row = 0; row < list.rows(kind_); ++row) {
        grid_->SetItemText(row, col::kRowNo, std::to_string(row + 1));
        DrawRow(row);
    }
}

void CDlgMemberList::DrawRow(int row) {
    const StationEntry& entry = shownList().entry[static_cast<std::size_t>(row)];
    const MemberShown shown = ShowMember(kind_, entry, host().Document().data());
    grid_->SetItemText(row, col::kExchange, NumberOrBlank(entry.ExchangeNo));
    grid_->SetItemText(row, col::kLine, NumberOrBlank(entry.StationNo));
    grid_->SetItemText(row, col::kStation, shown.number);
    grid_->SetItemText(row, col::kName, shown.name);
}

void CDlgMemberList::OnSelectionChosen(QComboBox* list) {
    ShowList();
    // The lists offer only valid choices; a setting data whose own count of exchanges is out
    // of range (a damaged file) still shows exchange 1 and says so.
    const int exchanges = host().Document().data().System.SwitchCnt;
    QComboBox* focus = list;
    if (exchange() < 1 || exchange() > exchanges) {
        host().prompt().Show(kBadExchange, PromptIcon::Question, PromptButtons::Ok);
        focus = selector_->list();
    } else if (master() < 1 || master() > kMasterCount) {
        host().prompt().Show(kBadMaster, PromptIcon::Question, PromptButtons::Ok);
        focus = master_;
    }
    focus->setFocus(Qt::OtherFocusReason);
}

void CDlgMemberList::StoreTime() {
    const QString text = time_->text();
    if (text.isEmpty()) {  // an empty box shows the stored time again
        time_->setText(QString::number(shownList().time));
        return;
    }
    shownList().time = static_cast<uint8_t>(std::min(text.toInt(), 255));
}

void CDlgMemberList::DeleteAll() {
    if (!host().prompt().AskYesNo(kDeleteAllQuestion)) return;
    for (StationEntry& entry : shownList().entry) {
        entry.ExchangeNo = 0;
        entry.StationNo = 0;
    }
    ShowList();
}

void CDlgMemberList::OnCellEnded(int row, int column, const std::string& text, bool* accept) {
    *accept = false;  // the row is drawn from the entry instead
    if (row < 0 || row >= shownList().rows(kind_)) return;
    StationEntry& entry = shownList().entry[static_cast<std::size_t>(row)];
    if (column == col::kExchange) EnterExchange(entry, text, selector_->exchanges());
    if (column == col::kLine) EnterEquipment(entry, kind_, text);
    DrawRow(row);
}

std::optional<ValidationFailure> CDlgMemberList::Validate() {
    failure_ = ValidateLists(kind_, lists_, host().Document().data());
    if (!failure_) return std::nullopt;
    ValidationFailure f;
    f.message = failure_->message;
    f.exchange = failure_->exchange;
    if (failure_->row < 0) {
        f.focus = time_;
    } else {
        f.grid = grid_;
        f.cell = {failure_->row, col::kExchange};
    }
    return f;
}

void CDlgMemberList::ShowFailurePlace(const ValidationFailure& failure) {
    if (failure_) {
        selector_->Select(failure_->exchange);
        master_->setCurrentIndex(failure_->master - 1);
        ShowList();
    }
    ValidationFailure place = failure;
    place.exchange = 0;  // selected above, with its master
    EditorFrame::ShowFailurePlace(place);
}

bool CDlgMemberList::WorkingCopyDiffers() const {
    return lists_ != LoadLists(kind_, host().Document().data());
}

void CDlgMemberList::CommitWorkingCopy() {
    StoreLists(kind_, lists_, host().Document().data());
}

void CDlgMemberList::ReloadWorkingCopy() {
    lists_ = LoadLists(kind_, host().Document().data());
    ShowList();
}

void CDlgMemberList::SendUploadMessage(int step) {
    if (step == 1) uploadExchange_ = exchange();
    constexpr int kBound = kMasterCount + 1;
    if (step > kMasterCount) {  // the release request
        SendUploadRecord(ProgressMode::Single, kBound, step, 0, kUseMulti, 0, {});
        return;
    }
    RecordRequest request;
    request.exchange = static_cast<uint8_t>(uploadExchange_);
    request.station = static_cast<uint8_t>(step);
    request.data = &host().Document().data();
    const std::optional<WireRecord> record = Encode(kind_.letter, request);
    SendUploadRecord(ProgressMode::Single, kBound, step, kUseMulti, 0, request.exchange,
                     record ? std::string_view(*record) : std::string_view());
}

PrintJob CDlgMemberList::MakePrintJob() const {
    PrintJob job = PrintJob::WithCopyOf(kind_.print, exchange(), host().Document().data());
    StoreLists(kind_, lists_, job.copy());
    return job;
}

}  // namespace qn410
