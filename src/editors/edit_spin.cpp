#include "editors/edit_spin.h"

#include <algorithm>

namespace qn410 {

EditSpin::EditSpin(int first, int last, int step, int typedDigits, QWidget* parent)
    : QSpinBox(parent), first_(first), last_(last), step_(step) {
    int typedMax = 9;
    for (int d = 1; d < typedDigits; ++d) typedMax = typedMax * 10 + 9;
    setRange(0, typedMax);
    setKeyboardTracking(false);
    setAccelerated(false);
}

void EditSpin::stepBy(int steps) {
    const int from = std::clamp(value() / step_ * step_, first_, last_);
    setValue(std::clamp(from + steps * step_, first_, last_));
    selectAll();
}

QAbstractSpinBox::StepEnabled EditSpin::stepEnabled() const {
    if (!isEnabled()) return StepNone;
    StepEnabled enabled = StepNone;
    if (value() < last_) enabled |= StepUpEnabled;
    if (value() > first_) enabled |= StepDownEnabled;
    return enabled;
}

}  // namespace qn410
