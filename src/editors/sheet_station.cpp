#include "editors/sheet_station.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "editors/page_master.h"
#include "editors/page_sub.h"
#include "setting/setting_file.h"
#include "transfer/record_codec.h"
#include "transfer/station_check.h"

namespace qn410 {

namespace {
int ExchangesInUse(const SettingData& data) {
    return std::clamp<int>(data.System.SwitchCnt, 1, kExchangeCount);
}
}  // namespace

CSheetStation::CSheetStation(EditorHost& host, QWidget* parent)
    : EditorFrame(host, parent),
      copy_(std::make_unique<StationCopy>()),
      selectorLabel_(new QLabel(this)),
      selector_(new QComboBox(this)),
      tabs_(new QTabWidget(this)) {
    setWindowTitle(QStringLiteral("Stations"));
    const SettingData& data = host.Document().data();
    master_ = new CPageMaster(*copy_, data, tabs_);
    sub_ = new CPageSub(*copy_, data, tabs_);
    tabs_->addTab(master_, QStringLiteral("Master Stations (Telephones)"));
    tabs_->addTab(sub_, QStringLiteral("Substations"));

    const int exchanges = ExchangesInUse(data);
    selectorLabel_->setText(QStringLiteral("Exchange No. (1-%1):").arg(exchanges));
    for (int e = 1; e <= exchanges; ++e) selector_->addItem(QString::number(e));
    if (exchanges > 1) selector_->addItem(QStringLiteral("ALL"));

    auto* top = new QHBoxLayout;
    top->addWidget(selectorLabel_);
    top->addWidget(selector_);
    top->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tabs_, 1);
    layout->addLayout(CommandButtonRow());
    resize(900, 520);

    copy_->LoadFrom(data);
    selector_->setCurrentIndex(0);
    ShowActivePage();
    // Both pages follow the selector when they become active.
    connect(selector_, &QComboBox::currentIndexChanged, this, &CSheetStation::ShowActivePage);
    connect(tabs_, &QTabWidget::currentChanged, this, &CSheetStation::ShowActivePage);
}

CSheetStation::~CSheetStation() = default;

int CSheetStation::SelectedExchange() const {
    const int index = selector_->currentIndex();
    return index >= ExchangesInUse(host().Document().data()) ? kAll : index + 1;
}

void CSheetStation::ShowActivePage() {
    auto* page = static_cast<StationPage*>(tabs_->currentWidget());
    page->Show(SelectedExchange());
}

void CSheetStation::ShowExchange(int exchange) {
    // Under "ALL" the selector stays: the station's row is in the list already.
    if (SelectedExchange() == kAll) return;
    if (selector_->currentIndex() == exchange - 1)
        ShowActivePage();
    else
        selector_->setCurrentIndex(exchange - 1);
}

std::optional<ValidationFailure> CSheetStation::Validate() {
    failure_ = ValidateStations(*copy_, host().Document().data());
    if (!failure_) return std::nullopt;
    StationPage* page = failure_->page == StationPageKind::Master
                            ? static_cast<StationPage*>(master_)
                            : static_cast<StationPage*>(sub_);
    ValidationFailure f;
    f.message = failure_->message;
    f.exchange = failure_->exchange;
    f.grid = page->grid();
    return f;
}

void CSheetStation::ShowFailurePlace(const ValidationFailure&) {
    if (!failure_) return;
    StationPage* page = failure_->page == StationPageKind::Master
                            ? static_cast<StationPage*>(master_)
                            : static_cast<StationPage*>(sub_);
    tabs_->setCurrentWidget(page);  // shows the selected exchange on it
    ShowExchange(failure_->exchange);
    const int row = page->RowOf(failure_->exchange, failure_->index);
    if (row >= 0) page->grid()->SetCurrentCell(row, failure_->column);
}

void CSheetStation::ExplainStationCheckOnOpen() {
    // After exec() has shown the sheet, so that the message stands in front of it.
    QTimer::singleShot(0, this, [this] {
        const StationCheckResult check = CheckStationNumbers(host().Document().data());
        if (check.ok()) return;
        host().prompt().Show(StationCheckMessage(check), PromptIcon::Question, PromptButtons::Ok);
        StationFailure place;
        place.page =
            check.kind == StationKind::Master ? StationPageKind::Master : StationPageKind::Sub;
        place.exchange = check.exchange;
        place.index = check.index;
        place.column =
            check.kind == StationKind::Master ? int{master_col::kStation} : int{sub_col::kStation};
        failure_ = place;
        ShowFailurePlace(ValidationFailure{});
    });
}

bool CSheetStation::WorkingCopyDiffers() const {
    return copy_->DiffersFrom(host().Document().data());
}

void CSheetStation::CommitWorkingCopy() {
    copy_->StoreInto(host().Document().data());
    // The C/O lines show their receiving masters' numbers and names.
    RefreshTrunkDisplayCopies(host().Document().data());
}

void CSheetStation::ReloadWorkingCopy() {
    copy_->LoadFrom(host().Document().data());
    ShowActivePage();
}

void CSheetStation::BeginUpload() {
    masterUpload_ = tabs_->currentWidget() == master_;
    const int selected = SelectedExchange();
    allUpload_ = selected == kAll;
    const int first = allUpload_ ? 1 : selected;
    const int last = allUpload_ ? ExchangesInUse(host().Document().data()) : selected;
    plan_.clear();
    if (masterUpload_) {
        for (char letter : {'B', 'U'})
            for (int e = first; e <= last; ++e)
                for (int m = 1; m <= kMasterCount; ++m)
                    plan_.push_back({letter, uint8_t(e), uint8_t(m)});
        // Two messages per master, less one: 7 for one exchange.
        progressBound_ = static_cast<int>(plan_.size()) - 1;
    } else {
        for (int e = first; e <= last; ++e)
            for (int s = 1; s <= kSubCount; ++s) plan_.push_back({'C', uint8_t(e), uint8_t(s)});
        progressBound_ = static_cast<int>(plan_.size());
    }
    plan_.push_back({'\0', 0, 0});  // the release request
}

int CSheetStation::UploadMessageCount() const {
    return static_cast<int>(plan_.size());
}

void CSheetStation::SendUploadMessage(int step) {
    if (step < 1 || step > static_cast<int>(plan_.size())) return;
    const UploadMessage& message = plan_[static_cast<std::size_t>(step - 1)];
    if (message.letter == '\0') {
        SendUploadRecord(ProgressMode::Single, progressBound_, step, 0, kUseMulti, 0, {});
        return;
    }
    RecordRequest request;
    request.exchange = message.exchange;
    if (message.letter == 'C')
        request.substation = message.station;
    else
        request.station = message.station;
    request.data = &host().Document().data();
    const std::optional<WireRecord> record = Encode(message.letter, request);
    // The first message opens the display; 'U' (and, under "ALL", every later 'B') names
    // itself on it.
    const bool names = message.letter == 'U' || (allUpload_ && message.letter == 'B' && step > 1);
    SendUploadRecord(names ? ProgressMode::Sequence : ProgressMode::Single, progressBound_, step,
                     kUseMulti, 0, message.exchange,
                     record ? std::string_view(*record) : std::string_view());
}

PrintJob CSheetStation::MakePrintJob() const {
    const bool masters = tabs_->currentWidget() == master_;
    return {masters ? kPrintMasters : kPrintSubstations, static_cast<uint8_t>(SelectedExchange()),
            *copy_};
}

}  // namespace qn410
