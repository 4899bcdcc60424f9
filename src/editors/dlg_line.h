// "C/O Trunks": the C/O time-out of each exchange and its two C/O lines: name, outgoing use
// with its one-digit access number, direct-in-dial, and direct-in-line with the group of
// receiving master stations ("Rep" and three members). Upload sends one 'D' record for the
// exchange shown.
//
// Edit boxes store on leaving them: a time-out outside 1..99 is held as 0 and an access number
// outside 0..9 as 99, so that Overwrite reports them. A name longer than 8 characters is held
// cut to the field and remembered as too long until it is corrected; Overwrite reports it.
#pragma once

#include <memory>

#include "editors/editor_frame.h"
#include "editors/trunk_copy.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;

namespace qn410 {

class EditSpin;
class ExchangeSelector;

class CDlgLine : public EditorFrame {
    Q_OBJECT
  public:
    explicit CDlgLine(EditorHost& host, QWidget* parent = nullptr);
    ~CDlgLine() override;

    // The widgets of one C/O line (0 or 1).
    struct LineControls {
        QGroupBox* group;
        QLineEdit* name;
        QCheckBox* outgoing;
        EditSpin* access;
        QCheckBox* directInDial;
        QCheckBox* directInLine;
        GridCtrl* grid;
        QPushButton* deleteAll;
    };
    // Grid columns: 0 row number (hidden), 1 "Rcv Station", 2 "Exchange", 3 "Line",
    // 4 "Station", 5 "Name".
    enum Column { kRowNo, kRcvStation, kExchange, kLine, kStation, kName };

    const TrunkCopy& workingCopy() const { return *copy_; }
    ExchangeSelector& selector() const { return *selector_; }
    EditSpin* timeOutBox() const { return timeOut_; }
    const LineControls& line(int l) const { return lines_[l]; }

  protected:
    std::optional<ValidationFailure> Validate() override;
    bool WorkingCopyDiffers() const override;
    void CommitWorkingCopy() override;
    void ReloadWorkingCopy() override;
    void ShowExchange(int exchange) override;
    void BeginUpload() override;
    int UploadMessageCount() const override { return 1; }
    void SendUploadMessage(int step) override;
    PrintJob MakePrintJob() const override;

  private:
    LineControls MakeLine(int l);
    void SetUpGrid(GridCtrl* grid);
    void Show(int exchange);
    void FillGrid(int l);
    void UpdateEnabled(int l);
    void OnCellEnded(int l, int row, int column, const std::string& text, bool* accept);
    void OnDeleteAll(int l);
    TrunkBlock& Shown() { return (*copy_)[shown_ - 1]; }

    std::unique_ptr<TrunkCopy> copy_;
    NameOverflow nameTooLong_{};
    std::unique_ptr<ExchangeSelector> selector_;
    EditSpin* timeOut_;
    LineControls lines_[kTrunkLineCount];
    int shown_ = 1;
    int uploadExchange_ = 1;
};

}  // namespace qn410
