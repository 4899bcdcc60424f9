// The in-place line editor of a GridCtrl. It asks the grid before it opens (begin-edit), limits
// the text to the column's maximum length and to characters the system's bytes can hold, and
// hands the finished text to the grid (end-edit) instead of writing the model itself.
// Enter ends the edit and Escape cancels it (QStyledItemDelegate's key handling).
#pragma once

#include <QStyledItemDelegate>

namespace qn410 {

class GridCtrl;

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit GridDelegate(GridCtrl& grid);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

  private:
    GridCtrl& grid_;
};

}  // namespace qn410
