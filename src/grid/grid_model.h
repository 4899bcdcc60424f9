// The table behind a GridCtrl: texts, header texts and per-cell attributes held in plain
// row-major vectors, so that a grid of 1024 rows and two dozen columns fills and draws quickly.
//
// Row 0 is the first data row; the header row lives in the horizontal header (headerData).
// The first FixedColumnCount() columns are the grid's fixed columns: drawn in the button face
// colour and never edited in place.
//
// Texts are held as shown (QString); GridCtrl converts the system's bytes at its boundary.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <cstdint>
#include <vector>

namespace qn410 {

class GridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit GridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Rows are added or removed at the end; the cells of the rows kept keep their contents.
    void SetRowCount(int rows);
    // Changing the column count clears every cell (the editors rebuild the grid afterwards).
    void SetColumnCount(int columns);
    void SetFixedColumnCount(int columns);
    int FixedColumnCount() const { return fixedColumns_; }

    bool IsValidCell(int row, int column) const;
    void SetText(int row, int column, const QString& text);
    const QString& Text(int row, int column) const;
    void SetHeaderText(int column, const QString& text);
    QString HeaderText(int column) const;

    void SetCellReadOnly(int row, int column, bool readOnly);
    void SetColumnReadOnly(int column, bool readOnly);
    // Read-only when the cell or its column says so; fixed columns are always read-only.
    bool IsReadOnly(int row, int column) const;

    // A toggle column flips its cells between two texts instead of opening an editor.
    void SetColumnToggle(int column, const QString& onText, const QString& offText);
    bool IsToggle(int column) const;
    // The text a toggle cell takes when it is flipped: offText after onText, onText otherwise.
    QString ToggledText(int row, int column) const;

    void SetColumnAlignment(int column, Qt::Alignment alignment);
    void SetColumnMaxLength(int column, int maxLength);
    int ColumnMaxLength(int column) const;

    // An invalid colour returns the cell to the grid's background colour.
    void SetCellBackground(int row, int column, const QColor& colour);
    void SetBackground(const QColor& colour);
    QColor Background() const { return background_; }

    // Announces a change of one cell's looks (colour, text set behind the model's back).
    void RedrawCell(int row, int column);

  private:
    struct Column {
        QString header;
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
        bool readOnly = false;
        bool toggle = false;
        QString onText;
        QString offText;
        int maxLength = -1;  // no limit beyond the line editor's own
    };
    enum CellFlag : std::uint8_t { kReadOnly = 1, kHasBackground = 2 };

    std::size_t At(int row, int column) const {
        return static_cast<std::size_t>(row) * columns_.size() + static_cast<std::size_t>(column);
    }
    void ResizeCells();

    int rows_ = 0;
    int fixedColumns_ = 0;
    std::vector<Column> columns_;
    std::vector<QString> texts_;
    std::vector<std::uint8_t> cellFlags_;
    std::vector<QRgb> backgrounds_;
    QColor background_;
};

}  // namespace qn410
