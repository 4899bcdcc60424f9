// An edit box with a spin control whose text the user may leave out of range (the checks of
// Overwrite report it), and whose arrows follow the editor's own step rule instead of a plain
// range. The owner stores the text when the box loses the focus (editingFinished) and after
// each step (stepped).
#pragma once

#include <QAbstractSpinBox>
#include <functional>

namespace qn410 {

class StepEdit : public QAbstractSpinBox {
    Q_OBJECT
  public:
    // rule: the text after `steps` arrow steps from `text`.
    using StepRule = std::function<QString(const QString& text, int steps)>;
    explicit StepEdit(StepRule rule, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    void stepBy(int steps) override;

  signals:
    void stepped();

  protected:
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString& input, int& pos) const override;

  private:
    StepRule rule_;
};

// The rule of a box holding whole numbers first..last: one step is 1, staying within the range.
StepEdit::StepRule RangeStep(int first, int last);

}  // namespace qn410
