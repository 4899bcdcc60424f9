// The exchange selector of the editors: the label "Exchange No. (1-%d):" and a drop-down list
// of "1".."SwitchCnt", and, for sheets that can show every exchange in one grid and when there
// is more than one exchange, a last entry "ALL".
#pragma once

#include <QWidget>

class QComboBox;
class QLabel;

namespace qn410 {

struct SettingData;

class ExchangeSelector : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kAll = 0;

    ExchangeSelector(const SettingData& data, bool offerAll, QWidget* parent = nullptr);

    // The exchange chosen (1..SwitchCnt), or kAll.
    int Selected() const;
    // Chooses an exchange, or kAll where offered; the list announces it as a user's choice.
    void Select(int exchange);
    // The same, announced also when it is chosen already (an editor refilling its controls
    // from the record after a failed check).
    void Reselect(int exchange);
    int exchanges() const { return exchanges_; }

    QComboBox* list() const { return list_; }
    QLabel* label() const { return label_; }

  signals:
    void changed();

  private:
    int exchanges_;
    QLabel* label_;
    QComboBox* list_;
};

}  // namespace qn410
