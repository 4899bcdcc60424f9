// An edit box with a spin control, as the editors' limit boxes are: the user may type any
// number of up to `typedDigits` digits (so that an out-of-range entry reaches the editor's own
// rule), while the arrows stay within first..last. An arrow first rounds the value down to a
// multiple of the step and clamps it to first..last, then moves it by one step.
//
// valueChanged comes once an entry is finished (Enter or leaving the box) or on each arrow;
// an empty box shows its previous value again when it loses the focus.
#pragma once

#include <QSpinBox>

namespace qn410 {

class EditSpin : public QSpinBox {
    Q_OBJECT
  public:
    EditSpin(int first, int last, int step, int typedDigits, QWidget* parent = nullptr);

    void stepBy(int steps) override;
    int first() const { return first_; }
    int last() const { return last_; }

  protected:
    StepEnabled stepEnabled() const override;

  private:
    int first_;
    int last_;
    int step_;
};

}  // namespace qn410
