// Title tips: resting the mouse on a cell whose text does not fit its width shows the whole
// text as a tool tip. Cells whose text fits show none. Installed on a view's viewport.
#pragma once

#include <QObject>

class QAbstractItemView;
class QModelIndex;

namespace qn410 {

class TitleTip : public QObject {
    Q_OBJECT
  public:
    // Watches the view's viewport; the tip lives as long as the view.
    explicit TitleTip(QAbstractItemView& view);

    // Whether the cell's text is wider than the room the cell gives it.
    static bool IsCutOff(const QAbstractItemView& view, const QModelIndex& index);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QAbstractItemView& view_;
};

}  // namespace qn410
