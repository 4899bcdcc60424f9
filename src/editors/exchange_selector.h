// The exchange selector of the editors that show one exchange at a time: the label
// "Exchange No. (1-%d):" and a drop-down list "1".."SwitchCnt". Choosing an entry, or
// selecting one from code, calls the editor back to show that exchange.
#pragma once

#include <functional>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace qn410 {

class ExchangeSelector {
  public:
    // exchanges: SwitchCnt of the setting data (1..16 used); shown: called with 1..exchanges.
    ExchangeSelector(QWidget* parent, int exchanges, std::function<void(int)> shown);

    // The label, the list and a stretch, for the editor's layout.
    QHBoxLayout* Row() const;
    int Current() const;  // 1-based
    // Selects the exchange and shows it, also when it is selected already (a failed check
    // refills the controls from the record).
    void Select(int exchange);
    QComboBox* list() const { return list_; }

  private:
    QLabel* label_;
    QComboBox* list_;
    std::function<void(int)> shown_;
};

}  // namespace qn410
