#include "grid/grid_model.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>

namespace qn410 {

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !IsValidCell(index.row(), index.column())) return {};
    const std::size_t at = At(index.row(), index.column());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return texts_[at];
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(
                columns_[static_cast<std::size_t>(index.column())].alignment);
        case Qt::BackgroundRole:
            if (cellFlags_[at] & kHasBackground) return QBrush(QColor::fromRgb(backgrounds_[at]));
            if (index.column() < fixedColumns_)
                return QGuiApplication::palette().brush(QPalette::Button);
            if (background_.isValid()) return QBrush(background_);
            return {};
        default:
            return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(columns_.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    const Column& c = columns_[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) return c.header;
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(c.alignment);
    return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled;
    if (index.column() >= fixedColumns_) f |= Qt::ItemIsSelectable;
    // Toggle cells flip on a click instead of opening an editor.
    if (!IsReadOnly(index.row(), index.column()) && !IsToggle(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

void GridModel::SetRowCount(int rows) {
    rows = std::max(rows, 0);
    if (rows == rows_) return;
    // Storage is row-major, so rows come and go at the end of the vectors.
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        ResizeCells();
        endInsertRows();
    } else {
        beginRemoveRows({}, rows, rows_ - 1);
        rows_ = rows;
        ResizeCells();
        endRemoveRows();
    }
}

void GridModel::SetColumnCount(int columns) {
    columns = std::max(columns, 0);
    beginResetModel();
    columns_.assign(static_cast<std::size_t>(columns), Column{});
    fixedColumns_ = std::min(fixedColumns_, columns);
    texts_.clear();
    cellFlags_.clear();
    backgrounds_.clear();
    ResizeCells();
    endResetModel();
}

void GridModel::ResizeCells() {
    const std::size_t n = static_cast<std::size_t>(rows_) * columns_.size();
    texts_.resize(n);
    cellFlags_.resize(n, 0);
    backgrounds_.resize(n, 0);
}

void GridModel::SetFixedColumnCount(int columns) {
    fixedColumns_ = std::clamp(columns, 0, static_cast<int>(columns_.size()));
    if (rows_ > 0 && !columns_.empty())
        emit dataChanged(index(0, 0), index(rows_ - 1, static_cast<int>(columns_.size()) - 1));
}

bool GridModel::IsValidCell(int row, int column) const {
    return row >= 0 && row < rows_ && column >= 0 && column < static_cast<int>(columns_.size());
}

void GridModel::SetText(int row, int column, const QString& text) {
    if (!IsValidCell(row, column)) return;
    QString& cell = texts_[At(row, column)];
    if (cell == text) return;
    cell = text;
    const QModelIndex i = index(row, column);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
}

const QString& GridModel::Text(int row, int column) const {
    static const QString kNone;
    return IsValidCell(row, column) ? texts_[At(row, column)] : kNone;
}

void GridModel::SetHeaderText(int column, const QString& text) {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return;
    columns_[static_cast<std::size_t>(column)].header = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

QString GridModel::HeaderText(int column) const {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return {};
    return columns_[static_cast<std::size_t>(column)].header;
}

void GridModel::SetCellReadOnly(int row, int column, bool readOnly) {
    if (!IsValidCell(row, column)) return;
    std::uint8_t& f = cellFlags_[At(row, column)];
    f = readOnly ? (f | kReadOnly) : (f & ~kReadOnly);
}

void GridModel::SetColumnReadOnly(int column, bool readOnly) {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return;
    columns_[static_cast<std::size_t>(column)].readOnly = readOnly;
}

bool GridModel::IsReadOnly(int row, int column) const {
    if (!IsValidCell(row, column)) return true;
    return column < fixedColumns_ || columns_[static_cast<std::size_t>(column)].readOnly ||
           (cellFlags_[At(row, column)] & kReadOnly);
}

void GridModel::SetColumnToggle(int column, const QString& onText, const QString& offText) {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return;
    Column& c = columns_[static_cast<std::size_t>(column)];
    c.toggle = true;
    c.onText = onText;
    c.offText = offText;
}

bool GridModel::IsToggle(int column) const {
    return column >= 0 && column < static_cast<int>(columns_.size()) &&
           columns_[static_cast<std::size_t>(column)].toggle;
}

QString GridModel::ToggledText(int row, int column) const {
    const Column& c = columns_[static_cast<std::size_t>(column)];
    return Text(row, column) == c.onText ? c.offText : c.onText;
}

void GridModel::SetColumnAlignment(int column, Qt::Alignment alignment) {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return;
    columns_[static_cast<std::size_t>(column)].alignment = alignment;
    emit headerDataChanged(Qt::Horizontal, column, column);
    if (rows_ > 0) emit dataChanged(index(0, column), index(rows_ - 1, column));
}

void GridModel::SetColumnMaxLength(int column, int maxLength) {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return;
    columns_[static_cast<std::size_t>(column)].maxLength = maxLength;
}

int GridModel::ColumnMaxLength(int column) const {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return -1;
    return columns_[static_cast<std::size_t>(column)].maxLength;
}

void GridModel::SetCellBackground(int row, int column, const QColor& colour) {
    if (!IsValidCell(row, column)) return;
    const std::size_t at = At(row, column);
    if (colour.isValid()) {
        cellFlags_[at] |= kHasBackground;
        backgrounds_[at] = colour.rgb();
    } else {
        cellFlags_[at] &= ~kHasBackground;
    }
    RedrawCell(row, column);
}

void GridModel::SetBackground(const QColor& colour) {
    background_ = colour;
    if (rows_ > 0 && !columns_.empty())
        emit dataChanged(index(0, 0), index(rows_ - 1, static_cast<int>(columns_.size()) - 1),
                         {Qt::BackgroundRole});
}

void GridModel::RedrawCell(int row, int column) {
    if (!IsValidCell(row, column)) return;
    const QModelIndex i = index(row, column);
    emit dataChanged(i, i);
}

}  // namespace qn410
