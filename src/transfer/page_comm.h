// The two pages of the Upload/Download sheet. Each holds the exchange selection: "All " or
// "Single" with an exchange number typed into a two-character field or stepped with the spin
// arrows beside it or the Up and Down keys (1 .. SwitchCnt). The number field and its arrows work
// only with "Single".
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QRadioButton;
class QToolButton;

namespace qn410 {

// The arrows beside the number field: up and down step the number in the field within the
// range, like a spin control bound to its edit field.
class CSpinArrows : public QWidget {
    Q_OBJECT
  public:
    CSpinArrows(QLineEdit* buddy, int low, int high, QWidget* parent);
    void Step(int by);
    void SetHigh(int high) { high_ = high; }
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

  private:
    QLineEdit* buddy_;
    int low_, high_;
    QToolButton* up_;
    QToolButton* down_;
};

class CPageComm : public QWidget {
    Q_OBJECT
  public:
    CPageComm(int switchCnt, QWidget* parent);

    bool allSelected() const;
    // The exchange the user chose: 0 for "All", else the number typed (read like atoi: leading
    // digits, 0 when there are none), which the caller checks against 1 .. SwitchCnt.
    int typedExchange() const;
    // After "Incorrect exchange No.": the number field gets the focus with its text selected.
    void FocusNumber();
    // A download changed the number of exchanges: the label and the range follow.
    void SetSwitchCnt(int switchCnt);

    QRadioButton* allButton() const { return all_; }
    QRadioButton* singleButton() const { return single_; }
    QLabel* numberLabel() const { return label_; }
    QLineEdit* numberEdit() const { return edit_; }
    CSpinArrows* spin() const { return spin_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void EnableNumber(bool on);

    QRadioButton* all_;
    QRadioButton* single_;
    QLabel* label_;
    QLineEdit* edit_;
    CSpinArrows* spin_;
};

// Page 1, "Data Upload".
class CPageComTx : public CPageComm {
    Q_OBJECT
  public:
    using CPageComm::CPageComm;
};

// Page 2, "Data Download".
class CPageComRx : public CPageComm {
    Q_OBJECT
  public:
    using CPageComm::CPageComm;
};

}  // namespace qn410
