// "Dialing Assignment": the number each of a master station's 1024 selection switches dials,
// or the switch whose door lock it works, and the master's door lock time, edited on a working
// copy of all 64 tables. Unlike the other editors it runs a transfer of its own (DialTransfer):
// Upload sends the shown master's table in blocks of ten, Download brings it back from the
// exchange. While a transfer runs the dialog receives the exchange's K blocks.
//
// Grid: "Switch No." (fixed), "Dial", "Name" (looked up, read-only), "Door Lock(Switch No)".
// A switch named as another entry's door-lock switch shows "x" in both editable columns and
// takes no dial text. A refused cell edit leaves the cell as it was.
#pragma once

#include <QTimer>
#include <memory>

#include "editors/editor_frame.h"
#include "transfer/dial_table.h"
#include "transfer/dial_transfer.h"

class QComboBox;
class QLabel;

namespace qn410 {

// What Print hands to the printing thread: the shown master's entries in grid order.
struct DialPrintBlock {
    uint8_t exchange = 1;
    uint8_t master = 1;
    DialTable table{};
};

class CDlgDirectDial : public EditorFrame, private TransferHost, private LinkPoster {
    Q_OBJECT
  public:
    static constexpr int kDialColumn = 1, kNameColumn = 2, kShotColumn = 3;

    explicit CDlgDirectDial(EditorHost& host, QWidget* parent = nullptr);
    ~CDlgDirectDial() override;

    void Upload() override;
    void Download();
    void DeleteAll();

    const DialTables& workingCopy() const { return *copy_; }
    const DialTransfer& transfer() const { return transfer_; }
    QComboBox* exchangeList() const { return exchange_; }
    QComboBox* masterList() const { return master_; }
    QComboBox* doorLockList() const { return doorLock_; }
    QPushButton* deleteAllButton() const { return deleteAll_; }
    QPushButton* downloadButton() const { return download_; }
    GridCtrl* grid() const { return grid_; }
    // For tests: a shorter transfer time-out (ticks) and a faster tick than 120 x 1000 ms.
    void SetTransferTimeout(int ticks, int tickMs);

  protected:
    std::optional<ValidationFailure> Validate() override;
    bool WorkingCopyDiffers() const override;
    void CommitWorkingCopy() override;
    void ReloadWorkingCopy() override;
    void ShowFailurePlace(const ValidationFailure& failure) override;
    // The block transfer replaces the frame's message sequence.
    int UploadMessageCount() const override { return 0; }
    void SendUploadMessage(int) override {}
    PrintJob MakePrintJob() const override;
    bool event(QEvent* event) override;
    void done(int result) override;

  private:
    // TransferHost
    void StartTimer() override { timer_.start(); }
    void StopTimer() override { timer_.stop(); }
    void Finished(TransferOutcome outcome) override;
    // LinkPoster: the transfer's requests and progress go to the view through the host.
    void PostProgress(AppMessage message, int kind, std::string name, int count) override;
    void PostLinkRequest(uint32_t wParam, TransferRequestPtr request) override;

    void BuildLayout();
    void SetUpGrid();
    int exchange() const;
    int master() const;
    DialTable& table() { return copy_->Dial[exchange() - 1][master() - 1]; }
    void Select(int exchange, int master);
    void FillGrid();
    void ShowRow(int row);
    void OnCellEnded(int row, int column, const std::string& text, bool* accept);
    void Register(bool on);

    std::unique_ptr<DialTables> copy_;
    DialTransfer transfer_;
    QTimer timer_;
    int failedMaster_ = 0;  // the master of the last validation failure
    bool registered_ = false;
    QComboBox* exchange_;
    QComboBox* master_;
    QComboBox* doorLock_;
    QLabel* exchangeLabel_;
    QPushButton* deleteAll_;
    QPushButton* download_;
    GridCtrl* grid_;
};

}  // namespace qn410
