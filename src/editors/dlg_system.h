// "Global Setting": the number of exchanges, the station number length, the tie-line
// connections and the first station number of each exchange, edited on a working copy of
// SystemSetting. Upload sends one 'A' record, which carries the PC's date and time; the clock
// field shows that time, refreshed every second.
//
// The grid has one row per exchange: column 0 "Exchange" (fixed), column 1 "First Station No.".
// A cell entry is stored only when it is 1..6 decimal digits; anything else leaves the entry as
// it was and the cell shows the stored number again.
#pragma once

#include <QTimer>

#include "editors/editor_frame.h"
#include "setting/clock.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace qn410 {

class CDlgSystem : public EditorFrame {
    Q_OBJECT
  public:
    // clock: the PC clock shown and sent; it must outlive the dialog.
    CDlgSystem(EditorHost& host, const Clock& clock, QWidget* parent = nullptr);
    ~CDlgSystem() override;

    const SystemSetting& workingCopy() const { return copy_; }
    QComboBox* exchangeCountList() const { return exchangeCount_; }
    QComboBox* digitsList() const { return digits_; }
    QCheckBox* tieLineBox(int line) const { return tieLines_[line]; }  // 0..3
    GridCtrl* grid() const { return grid_; }
    QLabel* clockField() const { return clockField_; }

  protected:
    std::optional<ValidationFailure> Validate() override;
    bool WorkingCopyDiffers() const override;
    void CommitWorkingCopy() override;
    void ReloadWorkingCopy() override;
    int UploadMessageCount() const override { return 1; }
    void SendUploadMessage(int step) override;
    PrintJob MakePrintJob() const override;

  private:
    void BuildLayout();
    void SetUpGrid();
    void ShowCopy();
    void FillGrid();
    void RefreshClock();
    void OnExchangeCountChosen(int index);
    void OnCellEnded(int row, int column, const std::string& text, bool* accept);

    const Clock& clock_;
    SystemSetting copy_{};
    QComboBox* exchangeCount_;
    QComboBox* digits_;
    QCheckBox* tieLines_[kTieLineCount];
    GridCtrl* grid_;
    QLabel* clockField_;
    QTimer clockTimer_;  // timer 2: the clock field, every second for the dialog's whole life
};

}  // namespace qn410
