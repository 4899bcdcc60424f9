// The "Printout" dialog: all categories for all exchanges, or for the one exchange typed in.
#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;
class QToolButton;

namespace qn410 {

class Prompt;

class CDlgPrintout : public QDialog {
    Q_OBJECT
  public:
    CDlgPrintout(int switchCnt, Prompt& prompt, QWidget* parent = nullptr);

    // After "Print": the exchange to print, 0 for all.
    int exchange() const { return exchange_; }

    QRadioButton* allButton() const { return all_; }
    QRadioButton* singleButton() const { return single_; }
    QLineEdit* numberEdit() const { return number_; }

    // "Print": with "Single" the number must lie in 1..SwitchCnt.
    void accept() override;

  private:
    void Step(int delta);
    void UpdateEnabled();

    int switchCnt_;
    Prompt& prompt_;
    int exchange_ = 0;
    QRadioButton* all_;
    QRadioButton* single_;
    QLineEdit* number_;
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace qn410
