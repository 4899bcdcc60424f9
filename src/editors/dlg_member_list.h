// The editors of the masters' member lists, one dialog design for the three: the exchange
// selector, the owning master's selector, the monitoring time (scan monitor only), the member
// grid ("Exchange", "Line", "Station", "Name", one row per entry) and "Delete ALL". Upload sends
// the kind's record for masters 1..4 of the exchange shown, then the release request.
#pragma once

#include "editors/editor_frame.h"
#include "editors/member_list.h"

class QComboBox;
class QLabel;

namespace qn410 {

class ExchangeSelector;
class StepEdit;

class CDlgMemberList : public EditorFrame {
    Q_OBJECT
  public:
    CDlgMemberList(const MemberListKind& kind, EditorHost& host, QWidget* parent = nullptr);
    ~CDlgMemberList() override;

    const MemberListKind& kind() const { return kind_; }
    const MemberLists& workingCopy() const { return lists_; }
    QComboBox* exchangeList() const;
    QComboBox* masterList() const { return master_; }
    StepEdit* timeBox() const { return time_; }  // nullptr without a monitoring time
    GridCtrl* grid() const { return grid_; }
    QPushButton* deleteAllButton() const { return deleteAll_; }

  protected:
    std::optional<ValidationFailure> Validate() override;
    bool WorkingCopyDiffers() const override;
    void CommitWorkingCopy() override;
    void ReloadWorkingCopy() override;
    void ShowFailurePlace(const ValidationFailure& failure) override;
    int UploadMessageCount() const override { return kMasterCount + 1; }
    void SendUploadMessage(int step) override;
    PrintJob MakePrintJob() const override;

  private:
    void BuildLayout();
    void SetUpGrid();
    int exchange() const;
    int master() const;
    MemberList& shownList();
    void ShowList();
    void DrawRow(int row);
    void OnSelectionChosen(QComboBox* list);
    void StoreTime();
    void DeleteAll();
    void OnCellEnded(int row, int column, const std::string& text, bool* accept);

    const MemberListKind& kind_;
    MemberLists lists_{};
    ExchangeSelector* selector_;
    QLabel* masterLabel_;
    QComboBox* master_;
    QLabel* timeLabel_ = nullptr;
    StepEdit* time_ = nullptr;
    GridCtrl* grid_;
    QPushButton* deleteAll_;
    std::optional<ListFailure> failure_;
    int uploadExchange_ = 1;
};

class CDlgScan : public CDlgMemberList {
  public:
    explicit CDlgScan(EditorHost& host, QWidget* parent = nullptr)
        : CDlgMemberList(kScanMonitorList, host, parent) {}
};
class CDlgGroup : public CDlgMemberList {
  public:
    explicit CDlgGroup(EditorHost& host, QWidget* parent = nullptr)
        : CDlgMemberList(kGroupCallList, host, parent) {}
};
class CDlgMeeting : public CDlgMemberList {
  public:
    explicit CDlgMeeting(EditorHost& host, QWidget* parent = nullptr)
        : CDlgMemberList(kConferenceList, host, parent) {}
};

}  // namespace qn410
