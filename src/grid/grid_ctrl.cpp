#include "grid/grid_ctrl.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <algorithm>

#include "grid/grid_delegate.h"
#include "grid/grid_model.h"
#include "grid/title_tip.h"
#include "ui/ansi_text.h"

namespace qn410 {

GridCtrl::GridCtrl(QWidget* parent)
    : QTableView(parent),
      model_(new GridModel(this)),
      delegate_(new GridDelegate(*this)),
      fixed_(new QTableView(this)) {
    setModel(model_);
    setItemDelegate(delegate_);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setSectionsClickable(false);  // a header click selects nothing
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    setEditTriggers(DoubleClicked | SelectedClicked | EditKeyPressed | AnyKeyPressed);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    setWordWrap(false);

    // The fixed columns are a second view laid over the left edge of this one: it shows the
    // same model, hides every other column and scrolls only up and down, with this view.
    fixed_->setModel(model_);
    fixed_->setFocusPolicy(Qt::NoFocus);
    fixed_->setFrameShape(QFrame::NoFrame);
    fixed_->verticalHeader()->hide();
    fixed_->verticalHeader()->setMinimumSectionSize(1);
    fixed_->horizontalHeader()->setMinimumSectionSize(1);
    fixed_->horizontalHeader()->setHighlightSections(false);
    fixed_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    fixed_->horizontalHeader()->setSectionsClickable(false);
    fixed_->setSelectionMode(NoSelection);
    fixed_->setEditTriggers(NoEditTriggers);
    fixed_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixed_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixed_->setVerticalScrollMode(ScrollPerPixel);
    fixed_->setWordWrap(false);
    viewport()->stackUnder(fixed_);

    // This view's vertical scroll position leads; the fixed part follows it whenever it is
    // set and again whenever either range changes, so that a position set before the grid was
    // laid out (when the fixed part's range was still 0) is applied once the rows are shown.
    // The fixed part never scrolls on its own: wheel turns over it are handed to this view.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &GridCtrl::SyncFixedScroll);
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &GridCtrl::SyncFixedScroll);
    connect(fixed_->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            &GridCtrl::SyncFixedScroll);
    fixed_->viewport()->installEventFilter(this);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) {
                if (column < FixedColumnCount()) fixed_->setColumnWidth(column, width);
                UpdateFixedView();
            });
    connect(fixed_, &QTableView::pressed, this, &GridCtrl::OnFixedPressed);
    connect(model_, &QAbstractItemModel::modelReset, this, &GridCtrl::UpdateFixedView);

    new TitleTip(*this);
    new TitleTip(*fixed_);
    UpdateFixedView();
}

GridCtrl::~GridCtrl() = default;

void GridCtrl::SetRowCount(int rows) {
    model_->SetRowCount(rows);
}
int GridCtrl::RowCount() const {
    return model_->rowCount();
}

void GridCtrl::SetColumnCount(int columns) {
    model_->SetColumnCount(columns);
}
int GridCtrl::ColumnCount() const {
    return model_->columnCount();
}

void GridCtrl::SetFixedColumnCount(int columns) {
    model_->SetFixedColumnCount(columns);
    UpdateFixedView();
    const GridCell current = CurrentCell();
    if (current.IsValid() && current.column < FixedColumnCount())
        setCurrentIndex(moveCursor(MoveRight, Qt::NoModifier));
}

int GridCtrl::FixedColumnCount() const {
    return model_->FixedColumnCount();
}

void GridCtrl::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= ColumnCount()) return;
    if (width <= 0) {
        setColumnHidden(column, true);
    } else {
        setColumnHidden(column, false);
        setColumnWidth(column, width);
        fixed_->setColumnWidth(column, width);
    }
    UpdateFixedView();
}

int GridCtrl::ColumnWidth(int column) const {
    return isColumnHidden(column) ? 0 : columnWidth(column);
}

void GridCtrl::SetRowHeight(int row, int height) {
    setRowHeight(row, height);
    fixed_->setRowHeight(row, height);
}

void GridCtrl::SetDefaultRowHeight(int height) {
    verticalHeader()->setDefaultSectionSize(height);
    fixed_->verticalHeader()->setDefaultSectionSize(height);
}

void GridCtrl::StretchLastColumn() {
    horizontalHeader()->setStretchLastSection(true);
}

void GridCtrl::SetHeaderHeight(int height) {
    horizontalHeader()->setFixedHeight(height);
    fixed_->horizontalHeader()->setFixedHeight(height);
    UpdateFixedView();
}

int GridCtrl::HeaderHeight() const {
    return horizontalHeader()->height();
}

int GridCtrl::DefaultHeaderHeight() const {
    QStyleOptionHeader option;
    option.initFrom(horizontalHeader());
    option.text = QStringLiteral("X");
    return style()
        ->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), horizontalHeader())
        .height();
}

void GridCtrl::SetHeaderText(int column, std::string_view text) {
    model_->SetHeaderText(column, AnsiToQString(text));
}

std::string GridCtrl::HeaderText(int column) const {
    return QStringToAnsi(model_->HeaderText(column));
}

void GridCtrl::SetItemText(int row, int column, std::string_view text) {
    if (ending_ == GridCell{row, column}) endingCellWritten_ = true;
    model_->SetText(row, column, AnsiToQString(text));
}

std::string GridCtrl::ItemText(int row, int column) const {
    return QStringToAnsi(model_->Text(row, column));
}

void GridCtrl::SetReadOnly(int row, int column, bool readOnly) {
    model_->SetCellReadOnly(row, column, readOnly);
}

void GridCtrl::SetColumnReadOnly(int column, bool readOnly) {
    model_->SetColumnReadOnly(column, readOnly);
}

bool GridCtrl::IsReadOnly(int row, int column) const {
    return model_->IsReadOnly(row, column);
}

void GridCtrl::SetToggleColumn(int column, std::string_view onText, std::string_view offText) {
    model_->SetColumnToggle(column, AnsiToQString(onText), AnsiToQString(offText));
}

void GridCtrl::SetColumnAlignment(int column, Qt::Alignment alignment) {
    model_->SetColumnAlignment(column, alignment);
}

void GridCtrl::SetColumnMaxLength(int column, int maxLength) {
    model_->SetColumnMaxLength(column, maxLength);
}

void GridCtrl::SetBackground(const QColor& colour) {
    model_->SetBackground(colour);
    // The area below the last row and right of the last column shows the same colour.
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Base, colour);
    viewport()->setPalette(p);
}

void GridCtrl::SetCellBackground(int row, int column, const QColor& colour) {
    model_->SetCellBackground(row, column, colour);
}

void GridCtrl::RedrawCell(int row, int column) {
    model_->RedrawCell(row, column);
}

void GridCtrl::SetCurrentCell(int row, int column) {
    const int columns = ColumnCount();
    column = std::max(column, FixedColumnCount());
    while (column < columns && isColumnHidden(column)) ++column;
    const QModelIndex index = model_->index(row, column);
    if (!index.isValid()) return;
    setCurrentIndex(index);
    scrollTo(index);
    setFocus(Qt::OtherFocusReason);
}

GridCell GridCtrl::CurrentCell() const {
    const QModelIndex index = currentIndex();
    if (!index.isValid()) return {};
    return {index.row(), index.column()};
}

void GridCtrl::ToggleCell(int row, int column) {
    if (!model_->IsToggle(column) || model_->IsReadOnly(row, column)) return;
    if (!BeginEdit(row, column)) return;
    EndEdit(row, column, QStringToAnsi(model_->ToggledText(row, column)));
}

void GridCtrl::SetKeyFilter(KeyFilter filter) {
    keyFilter_ = std::move(filter);
}

bool GridCtrl::BeginEdit(int row, int column) {
    if (model_->IsReadOnly(row, column)) return false;
    bool allow = true;
    emit editBegun(row, column, &allow);
    return allow;
}

void GridCtrl::EndEdit(int row, int column, const std::string& text) {
    // The receiver sees the old text in the cell; whatever it writes there itself stands.
    const GridCell outer = ending_;
    const bool outerWritten = endingCellWritten_;
    ending_ = {row, column};
    endingCellWritten_ = false;
    bool accept = true;
    emit editEnded(row, column, text, &accept);
    const bool written = endingCellWritten_;
    ending_ = outer;
    endingCellWritten_ = outerWritten;
    if (accept && !written) model_->SetText(row, column, AnsiToQString(text));
}

void GridCtrl::WatchKeys(QObject* object) {
    object->installEventFilter(this);
}

bool GridCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == fixed_->viewport() && event->type() == QEvent::Wheel) {
        QCoreApplication::sendEvent(viewport(), event);
        return true;
    }
    if (watched != this && event->type() == QEvent::KeyPress && keyFilter_ &&
        keyFilter_(*static_cast<QKeyEvent*>(event)))
        return true;
    return QTableView::eventFilter(watched, event);
}

void GridCtrl::keyPressEvent(QKeyEvent* event) {
    if (keyFilter_ && keyFilter_(*event)) return;
    const QModelIndex current = currentIndex();
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            // Enter and Escape belong to the grid: they never reach the dialog's default or
            // cancel button (an open line editor has handled them before this point). Enter
            // flips a toggle cell, as it opens a text cell's editor.
            if (event->key() != Qt::Key_Escape && current.isValid() &&
                model_->IsToggle(current.column()))
                ToggleCell(current.row(), current.column());
            event->accept();
            return;
        case Qt::Key_Space:
            if (event->modifiers() == Qt::NoModifier && current.isValid() &&
                model_->IsToggle(current.column())) {
                ToggleCell(current.row(), current.column());
                event->accept();
                return;
            }
            break;
        case Qt::Key_Tab:
            // Ctrl+Tab always leaves the grid, as in Qt's other item views.
            if (event->modifiers() & Qt::ControlModifier) {
                QWidget::focusNextPrevChild(!(event->modifiers() & Qt::ShiftModifier));
                event->accept();
                return;
            }
            break;
        default:
            break;
    }
    QTableView::keyPressEvent(event);
}

void GridCtrl::mousePressEvent(QMouseEvent* event) {
    // Like a text cell, which edits only when clicked as the current cell, a toggle cell flips
    // only when it was current before the click: a click that just brings the focus to the grid
    // changes nothing.
    const QModelIndex before = currentIndex();
    QTableView::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid() && index == before &&
        index == currentIndex())
        ToggleCell(index.row(), index.column());
}

void GridCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second click of a double click flips a toggle cell back, as two clicks would.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid() && model_->IsToggle(index.column())) {
        ToggleCell(index.row(), index.column());
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void GridCtrl::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    UpdateFixedView();
}

void GridCtrl::updateGeometries() {
    QTableView::updateGeometries();
    UpdateFixedView();
}

QModelIndex GridCtrl::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    QModelIndex next = QTableView::moveCursor(action, modifiers);
    // The current cell never enters the fixed columns.
    if (next.isValid() && next.column() < FixedColumnCount()) {
        // Shift+Tab from a row's first cell goes on to the end of the row above.
        if (action == MovePrevious) {
            int column = ColumnCount() - 1;
            while (column >= FixedColumnCount() && isColumnHidden(column)) --column;
            const QModelIndex current = currentIndex();
            if (current.isValid() && current.row() > 0 && column >= FixedColumnCount())
                return model_->index(current.row() - 1, column);
            return current;
        }
        int column = FixedColumnCount();
        while (column < ColumnCount() && isColumnHidden(column)) ++column;
        next = column < ColumnCount() ? model_->index(next.row(), column) : currentIndex();
    }
    return next;
}

void GridCtrl::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTableView::scrollTo(index, hint);
    // A cell scrolled in from the right may still lie under the fixed columns.
    if (!index.isValid() || index.column() < FixedColumnCount()) return;
    const int hidden = FixedWidth() - visualRect(index).left();
    if (hidden > 0) horizontalScrollBar()->setValue(horizontalScrollBar()->value() - hidden);
}

int GridCtrl::FixedWidth() const {
    int width = 0;
    for (int c = 0; c < FixedColumnCount(); ++c)
        if (!isColumnHidden(c)) width += columnWidth(c);
    return width;
}

void GridCtrl::SyncFixedScroll() {
    fixed_->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

bool GridCtrl::focusNextPrevChild(bool next) {
    // Tab walks the cells; from the last cell (Shift+Tab: the first) it leaves the grid.
    const QModelIndex current = currentIndex();
    if (tabKeyNavigation() && current.isValid()) {
        const QModelIndex step = moveCursor(next ? MoveNext : MovePrevious, Qt::NoModifier);
        const bool wraps =
            !step.isValid() || step == current ||
            (next ? (step.row() < current.row() ||
                     (step.row() == current.row() && step.column() < current.column()))
                  : (step.row() > current.row() ||
                     (step.row() == current.row() && step.column() > current.column())));
        if (wraps) return QWidget::focusNextPrevChild(next);
    }
    return QTableView::focusNextPrevChild(next);
}

void GridCtrl::UpdateFixedView() {
    const int fixedCount = FixedColumnCount();
    for (int c = 0; c < ColumnCount(); ++c) {
        const bool shown = c < fixedCount && !isColumnHidden(c);
        fixed_->setColumnHidden(c, !shown);
        if (shown && fixed_->columnWidth(c) != columnWidth(c))
            fixed_->setColumnWidth(c, columnWidth(c));
    }
    const int width = FixedWidth();
    fixed_->setVisible(width > 0);
    if (fixed_->horizontalHeader()->height() != horizontalHeader()->height())
        fixed_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    fixed_->setGeometry(frameWidth(), frameWidth(), width,
                        viewport()->height() + horizontalHeader()->height());
    SyncFixedScroll();
}

void GridCtrl::OnFixedPressed(const QModelIndex& index) {
    // A click on a fixed cell makes its row current, keeping the current column.
    const GridCell current = CurrentCell();
    SetCurrentCell(index.row(), current.IsValid() ? current.column : FixedColumnCount());
}

}  // namespace qn410
