// "Paging": the paging zones of the substations, the public-address outputs and the
// external-source control inputs, on three pages under the exchange selector with "ALL". The
// working copy is the three zone tables, rebuilt from the setting data's masks when the sheet
// opens (a file read or a download may have changed them since).
//
// Upload sends the active page: one record per zone 1..19 ('H', 'I' or 'J') of the exchange
// shown, or of every exchange under "ALL", followed by the release request.
#pragma once

#include <memory>

#include "editors/editor_sheet.h"

namespace qn410 {

class CPagePaging;
class CPageSpeak;
class CPageOutIn;
class ZonePage;

class CSheetPaging : public EditorSheet {
    Q_OBJECT
  public:
    explicit CSheetPaging(EditorHost& host, QWidget* parent = nullptr);
    ~CSheetPaging() override;

    CPagePaging* pagingPage() const { return paging_; }
    CPageSpeak* speakPage() const { return speak_; }
    CPageOutIn* outInPage() const { return outIn_; }
    const ZoneTables& workingCopy() const { return *copy_; }

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
    ZonePage* activeZonePage() const;

    std::unique_ptr<ZoneTables> copy_;
    CPagePaging* paging_;
    CPageSpeak* speak_;
    CPageOutIn* outIn_;
    char letter_ = 'H';
    int firstExchange_ = 1;
    int zoneMessages_ = 0;
    bool allUpload_ = false;
};

}  // namespace qn410
