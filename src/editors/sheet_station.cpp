#include "editors/sheet_station.h"

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

CSheetStation::CSheetStation(EditorHost& host, QWidget* parent)
    : EditorSheet(host, QStringLiteral("Stations"), parent),
      copy_(std::make_unique<StationCopy>()) {
    const SettingData& data = host.Document().data();
    master_ = new CPageMaster(*copy_, data, tabs());
    sub_ = new CPageSub(*copy_, data, tabs());
    AddPage(master_, QStringLiteral("Master Stations (Telephones)"));
    AddPage(sub_, QStringLiteral("Substations"));
    resize(900, 520);
    copy_->LoadFrom(data);
    StartShowing();
}

CSheetStation::~CSheetStation() = default;

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
    tabs()->setCurrentWidget(page);  // shows the selected exchange on it
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
    masterUpload_ = tabs()->currentWidget() == master_;
    allUpload_ = SelectedExchange() == kAll;
    const int first = FirstExchange();
    const int last = LastExchange();
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
    const bool masters = tabs()->currentWidget() == master_;
    return {masters ? kPrintMasters : kPrintSubstations, static_cast<uint8_t>(SelectedExchange()),
            *copy_};
}

}  // namespace qn410
