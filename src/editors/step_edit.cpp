#include "editors/step_edit.h"

#include <QLineEdit>
#include <algorithm>

namespace qn410 {

StepEdit::StepEdit(StepRule rule, QWidget* parent)
    : QAbstractSpinBox(parent), rule_(std::move(rule)) {
    setKeyboardTracking(false);
}

QString StepEdit::text() const {
    return lineEdit()->text();
}

void StepEdit::setText(const QString& text) {
    lineEdit()->setText(text);
}

void StepEdit::stepBy(int steps) {
    lineEdit()->setText(rule_(text(), steps));
    emit stepped();
}

QAbstractSpinBox::StepEnabled StepEdit::stepEnabled() const {
    return isReadOnly() || !isEnabled() ? StepNone : (StepUpEnabled | StepDownEnabled);
}

QValidator::State StepEdit::validate(QString&, int&) const {
    return QValidator::Acceptable;  // the line editor's own validator, if any, decides
}

StepEdit::StepRule RangeStep(int first, int last) {
    return [first, last](const QString& text, int steps) {
        bool ok = false;
        const int value = text.toInt(&ok);
        return QString::number(std::clamp(ok ? value + steps : first, first, last));
    };
}

}  // namespace qn410
