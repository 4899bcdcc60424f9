#include "editors/sheet_paging.h"

#include <QTabWidget>

#include "editors/page_paging.h"
#include "editors/step_edit.h"
#include "editors/zone_page.h"
#include "transfer/record_codec.h"

namespace qn410 {

namespace {
constexpr char kBadTime[] = "Incorrect paging time-out";

int32_t MaskOf(const ZoneRow& row) {
    int32_t mask = 0;
    for (int z = 0; z < kZoneCount; ++z)
        if (row.Cell[z] == 1) mask |= int32_t{1} << z;  // a cell of 2 adds nothing
    return mask;
}
}  // namespace

CSheetPaging::CSheetPaging(EditorHost& host, QWidget* parent)
    : EditorSheet(host, QStringLiteral("Paging"), parent), copy_(std::make_unique<ZoneTables>()) {
    SettingData& data = host.Document().data();
    RebuildZoneTables(data);
    *copy_ = data.Zones;
    paging_ = new CPagePaging(*copy_, data, tabs());
    speak_ = new CPageSpeak(*copy_, data, tabs());
    outIn_ = new CPageOutIn(*copy_, data, tabs());
    AddPage(paging_, QStringLiteral("Substations"));
    AddPage(speak_, QStringLiteral("Public Address Systems"));
    AddPage(outIn_, QStringLiteral("External Source Distribution"));
    resize(1000, 560);
    StartShowing();
}

CSheetPaging::~CSheetPaging() {
    // Closing the window takes the focus from the time box, which would store its text into
    // the working copy, gone by then.
    paging_->timeBox()->disconnect(paging_);
}

ZonePage* CSheetPaging::activeZonePage() const {
    return static_cast<ZonePage*>(ActivePage());
}

std::optional<ValidationFailure> CSheetPaging::Validate() {
    const int exchanges = ExchangesInUse(host().Document().data());
    const auto time = [this](int e) { return copy_->Sub[e - 1][0].PagingTimeLimit; };
    int failed = 0;
    for (int e = 1; e <= exchanges && !failed; ++e)
        if (time(e) < 0 || time(e) > CPagePaging::kMaxTime) failed = e;
    for (int e = 1; e <= exchanges && !failed; ++e)
        if (time(e) % 10 != 0) failed = e;
    if (!failed) return std::nullopt;
    return ValidationFailure{kBadTime, failed, nullptr};
}

void CSheetPaging::ShowFailurePlace(const ValidationFailure& failure) {
    tabs()->setCurrentWidget(paging_);  // shows the selected exchange on it
    ShowExchange(failure.exchange);
    ValidationFailure place = failure;
    place.exchange = 0;
    place.focus = paging_->timeBox();
    EditorSheet::ShowFailurePlace(place);
}

bool CSheetPaging::WorkingCopyDiffers() const {
    return !(*copy_ == host().Document().data().Zones);
}

namespace {
// The zone tables written back into the masks and paging settings they were built from.
void StoreZones(const ZoneTables& zones, SettingData& data) {
    data.Zones = zones;
    for (int e = 0; e < kExchangeCount; ++e) {
        ExchangeSetting& ex = data.Exchange[e];
        ex.ZoneSize = zones.Sub[e][0].ZoneSize;
        ex.PagingTimeLimit = zones.Sub[e][0].PagingTimeLimit;
        for (int s = 0; s < kSubCount; ++s) ex.Sub[s].Paging = MaskOf(zones.Sub[e][s]);
        for (int p = 0; p < kSpeakerCount; ++p) ex.Speaker[p].Paging = MaskOf(zones.Speaker[e][p]);
        for (int k = 0; k < kExternalSourceCount; ++k)
            data.System.OutInZone[e][k] = MaskOf(zones.Source[e][k]);
    }
}
}  // namespace

void CSheetPaging::CommitWorkingCopy() {
    StoreZones(*copy_, host().Document().data());
}

void CSheetPaging::ReloadWorkingCopy() {
    *copy_ = host().Document().data().Zones;
    ShowActivePage();
}

void CSheetPaging::BeginUpload() {
    const ZoneUnit unit = activeZonePage()->unit();
    letter_ = unit == ZoneUnit::Substation ? 'H' : unit == ZoneUnit::Speaker ? 'I' : 'J';
    allUpload_ = SelectedExchange() == kAll;
    firstExchange_ = FirstExchange();
    zoneMessages_ = kZoneCount * (LastExchange() - FirstExchange() + 1);
}

int CSheetPaging::UploadMessageCount() const {
    return zoneMessages_ + 1;  // and the release request
}

void CSheetPaging::SendUploadMessage(int step) {
    if (step > zoneMessages_) {
        SendUploadRecord(ProgressMode::Single, zoneMessages_, step, 0, kUseMulti, 0, {});
        return;
    }
    RecordRequest request;
    request.exchange = static_cast<uint8_t>(firstExchange_ + (step - 1) / kZoneCount);
    const auto zone = static_cast<uint8_t>((step - 1) % kZoneCount + 1);
    (letter_ == 'J' ? request.sourceZone : request.zone) = zone;
    request.data = &host().Document().data();
    const std::optional<WireRecord> record = Encode(letter_, request);
    const bool names = allUpload_ && step > 1;
    SendUploadRecord(names ? ProgressMode::Sequence : ProgressMode::Single, zoneMessages_, step,
                     kUseMulti, 0, request.exchange,
                     record ? std::string_view(*record) : std::string_view());
}

PrintJob CSheetPaging::MakePrintJob() const {
    const ZoneUnit unit = activeZonePage()->unit();
    const PrintCategory category = unit == ZoneUnit::Substation ? kPrintPagingSubstations
                                   : unit == ZoneUnit::Speaker  ? kPrintPublicAddress
                                                                : kPrintExternalSources;
    PrintJob job = PrintJob::WithCopyOf(category, SelectedExchange(), host().Document().data());
    StoreZones(*copy_, job.copy());
    return job;
}

}  // namespace qn410
