// "Stations": the master stations and substations of every exchange, on two pages, with the
// exchange selector "1".."SwitchCnt" and, with more than one exchange, "ALL", which shows the
// stations of every exchange in one grid. Both pages work on one working copy.
//
// Upload sends the active page: masters as 'B' then 'U' for each master, substations as 'C'
// for each substation, of the exchange shown or of every exchange under "ALL", followed by the
// release request.
#pragma once

#include <memory>
#include <vector>

#include "editors/editor_sheet.h"
#include "editors/station_validation.h"

namespace qn410 {

class CPageMaster;
class CPageSub;

class CSheetStation : public EditorSheet {
    Q_OBJECT
  public:
    explicit CSheetStation(EditorHost& host, QWidget* parent = nullptr);
    ~CSheetStation() override;

    CPageMaster* masterPage() const { return master_; }
    CPageSub* subPage() const { return sub_; }
    const StationCopy& workingCopy() const { return *copy_; }

    // Opened because the station number check failed after another window: once the sheet is
    // shown, says why with the check's own text and makes the station's number cell current.
    void ExplainStationCheckOnOpen();

  protected:
    std::optional<ValidationFailure> Validate() override;
    bool WorkingCopyDiffers() const override;
    void CommitWorkingCopy() override;
    void ReloadWorkingCopy() override;
    void ShowFailurePlace(const ValidationFailure& failure) override;
    void BeginUpload() override;
    int UploadMessageCount() const override;
    void SendUploadMessage(int step) override;
    PrintJob MakePrintJob() const override;

  private:
    struct UploadMessage {
        char letter;  // 'B', 'U', 'C'; '\0' for the release request
        uint8_t exchange;
        uint8_t station;
    };
    std::unique_ptr<StationCopy> copy_;
    CPageMaster* master_;
    CPageSub* sub_;
    std::optional<StationFailure> failure_;  // the place of the last failed check
    std::vector<UploadMessage> plan_;
    int progressBound_ = 0;
    bool masterUpload_ = true;
    bool allUpload_ = false;
};

}  // namespace qn410
