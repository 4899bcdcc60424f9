#include "grid/grid_delegate.h"

#include <QLineEdit>
#include <QValidator>

#include "grid/grid_ctrl.h"
#include "grid/grid_model.h"
#include "ui/ansi_text.h"

namespace qn410 {

namespace {

// Refuses characters that have no byte in the system's character set, so what the user typed
// is what gets stored.
class AnsiValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (const QChar c : input)
            if (!IsAnsiChar(c)) return Invalid;
        return Acceptable;
    }
};

}  // namespace

GridDelegate::GridDelegate(GridCtrl& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
    if (!grid_.BeginEdit(index.row(), index.column())) return nullptr;
    auto* edit = new QLineEdit(parent);
    edit->setFrame(false);
    edit->setValidator(new AnsiValidator(edit));
    const int maxLength = grid_.Model().ColumnMaxLength(index.column());
    if (maxLength >= 0) edit->setMaxLength(maxLength);
    edit->setAlignment(index.data(Qt::TextAlignmentRole).value<Qt::Alignment>());
    return edit;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* edit = static_cast<QLineEdit*>(editor);
    edit->setText(index.data(Qt::EditRole).toString());
    edit->selectAll();
    // The view installs this delegate's key handling on the editor after creating it and
    // before filling it; watching the keys from here puts the grid's key filter in front.
    grid_.WatchKeys(edit);
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                const QModelIndex& index) const {
    const auto* edit = static_cast<const QLineEdit*>(editor);
    grid_.EndEdit(index.row(), index.column(), QStringToAnsi(edit->text()));
}

}  // namespace qn410
