// The grid in which the editors show their tables: a header row, fixed first columns that stay
// in place when the grid scrolls sideways, cell texts, read-only cells, toggle cells, in-place
// editing with begin-edit and end-edit notifications, title tips for cut-off texts, colours.
//
// Rows and columns count from 0; row 0 is the first row below the header. Texts cross this
// interface as the system's single-byte bytes (see ansi_text.h).
//
// Editing a cell:
//   - a double click, a click on the current cell, F2 or typing opens the line editor; before
//     it opens, editBegun(row, column, &allow) lets the receiver keep it closed;
//   - Enter (or leaving the cell) ends the edit, Escape cancels it and keeps the old text;
//   - an ended edit emits editEnded(row, column, newText, &accept) while the cell still shows
//     the old text. If the receiver leaves accept true and has not set the cell's text itself,
//     the cell takes newText; if it sets accept to false the old text stays. A receiver that
//     redraws the cell from its record (SetItemText) decides the text either way.
//   - a toggle cell opens no editor: a click on it while it is current, Space or Enter emits
//     editBegun and then editEnded with its other text, which the receiver may refuse like any
//     edit (the click that makes it current only selects it);
//   - Tab moves through the cells and leaves the grid after the last one (Shift+Tab before
//     the first); Ctrl+Tab leaves at once;
//   - read-only cells (and every cell of a fixed column) neither edit nor toggle.
#pragma once

#include <QColor>
#include <QTableView>
#include <functional>
#include <string>
#include <string_view>

class QKeyEvent;

namespace qn410 {

class GridModel;
class GridDelegate;

struct GridCell {
    int row = -1;
    int column = -1;
    bool IsValid() const { return row >= 0 && column >= 0; }
    friend bool operator==(const GridCell&, const GridCell&) = default;
};

class GridCtrl : public QTableView {
    Q_OBJECT
  public:
    explicit GridCtrl(QWidget* parent = nullptr);
    ~GridCtrl() override;

    // Shape.
    void SetRowCount(int rows);  // keeps the rows that remain
    int RowCount() const;
    void SetColumnCount(int columns);  // clears the grid
    int ColumnCount() const;
    void SetFixedColumnCount(int columns);
    int FixedColumnCount() const;

    // Sizes in pixels. A column width of 0 hides the column.
    void SetColumnWidth(int column, int width);
    int ColumnWidth(int column) const;
    void SetRowHeight(int row, int height);
    void SetDefaultRowHeight(int height);
    // The last shown column takes whatever width the grid has beyond its columns, so that a
    // wider window shows no empty band.
    void StretchLastColumn();
    void SetHeaderHeight(int height);
    int HeaderHeight() const;
    // The header's own height for one line of text, before any SetHeaderHeight.
    int DefaultHeaderHeight() const;

    // Texts.
    void SetHeaderText(int column, std::string_view text);
    std::string HeaderText(int column) const;
    void SetItemText(int row, int column, std::string_view text);
    std::string ItemText(int row, int column) const;

    // Cell kinds.
    void SetReadOnly(int row, int column, bool readOnly);
    void SetColumnReadOnly(int column, bool readOnly);
    bool IsReadOnly(int row, int column) const;
    void SetToggleColumn(int column, std::string_view onText, std::string_view offText);
    void SetColumnAlignment(int column, Qt::Alignment alignment);
    // Longest text the in-place editor accepts in a column (characters = bytes).
    void SetColumnMaxLength(int column, int maxLength);

    // Colours. An invalid colour returns a cell to the grid's background.
    void SetBackground(const QColor& colour);
    void SetCellBackground(int row, int column, const QColor& colour);
    void RedrawCell(int row, int column);

    // The current cell. Setting it scrolls it into view and gives the grid the focus; a cell
    // in a fixed column moves to the first scrolling column of its row.
    void SetCurrentCell(int row, int column);
    GridCell CurrentCell() const;

    // Flips a toggle cell as a click would (editBegun, then editEnded with the other text).
    void ToggleCell(int row, int column);

    // Sees every key press of the grid and its line editor first; returning true consumes it.
    // The editor frame uses it for its keyboard rules (Ctrl+S and the like).
    using KeyFilter = std::function<bool(QKeyEvent&)>;
    void SetKeyFilter(KeyFilter filter);

    GridModel& Model() const { return *model_; }
    // The view that draws the fixed columns over the left edge of this one.
    QTableView& FixedView() const { return *fixed_; }

  signals:
    void editBegun(int row, int column, bool* allow);
    void editEnded(int row, int column, const std::string& text, bool* accept);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void updateGeometries() override;
    // Tab from the last cell and Shift+Tab from the first leave the grid.
    bool focusNextPrevChild(bool next) override;
    // Typing on a cell that does not edit must not jump to another row whose text starts with
    // the typed character.
    void keyboardSearch(const QString&) override {}

  private:
    friend class GridDelegate;
    // Called by the delegate: whether an editor may open, and the end of an edit.
    bool BeginEdit(int row, int column);
    void EndEdit(int row, int column, const std::string& text);
    // Installs the key filter on a line editor the delegate made.
    void WatchKeys(QObject* object);

    int FixedWidth() const;
    void UpdateFixedView();
    void SyncFixedScroll();
    void OnFixedPressed(const QModelIndex& index);

    GridModel* model_;
    GridDelegate* delegate_;
    QTableView* fixed_;
    KeyFilter keyFilter_;
    // The cell whose end-edit is being announced, and whether the receiver set its text.
    GridCell ending_;
    bool endingCellWritten_ = false;
};

}  // namespace qn410
