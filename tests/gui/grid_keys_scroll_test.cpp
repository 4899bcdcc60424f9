// The grid as an installer meets it: the fixed columns scroll with the rows, a click that only
// brings a flag cell into focus does not flip it, and Tab leads out of the grid.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "grid/grid_ctrl.h"
#include "grid/grid_model.h"

using qn410::GridCell;
using qn410::GridCtrl;

namespace {
// An edit box, a grid of rows x 4 (column 0 fixed, column 3 a flag column) and an edit box.
struct Form {
    QDialog dialog;
    QLineEdit* before = new QLineEdit(&dialog);
    GridCtrl* grid = new GridCtrl(&dialog);
    QLineEdit* after = new QLineEdit(&dialog);

    explicit Form(int rows) {
        auto* layout = new QVBoxLayout(&dialog);
        for (QWidget* w : {static_cast<QWidget*>(before), static_cast<QWidget*>(grid),
                           static_cast<QWidget*>(after)})
            layout->addWidget(w);
        grid->SetColumnCount(4);
        grid->SetRowCount(rows);
        grid->SetFixedColumnCount(1);
        grid->SetDefaultRowHeight(20);
        grid->SetToggleColumn(3, "*", "");
        for (int r = 0; r < rows; ++r) grid->SetItemText(r, 0, std::to_string(r + 1));
        dialog.resize(400, 300);
    }
    void Show() {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    }
    void Click(int row, int column) {
        const QPoint at = grid->visualRect(grid->Model().index(row, column)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    }
};
}  // namespace

class GridKeysScrollTest : public QObject {
    Q_OBJECT
  private slots:
    void wheelOverTheFixedPartScrollsBoth();
    void flagCellFlipsOnlyWhenAlreadyCurrent();
    void tabLeavesTheGrid();
};

void GridKeysScrollTest::wheelOverTheFixedPartScrollsBoth() {
    Form f(100);
    f.Show();
    QWheelEvent wheel(QPointF(5, 50), QPointF(), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.grid->FixedView().viewport(), &wheel);
    QVERIFY(f.grid->rowAt(0) > 0);
    QCOMPARE(f.grid->FixedView().rowAt(0), f.grid->rowAt(0));
}

void GridKeysScrollTest::flagCellFlipsOnlyWhenAlreadyCurrent() {
    Form f(3);
    f.Show();
    f.grid->SetCurrentCell(0, 1);
    f.Click(1, 3);  // brings the cell into focus only
    QCOMPARE(f.grid->CurrentCell(), (GridCell{1, 3}));
    QCOMPARE(f.grid->ItemText(1, 3), std::string());
    f.Click(1, 3);
    QCOMPARE(f.grid->ItemText(1, 3), std::string("*"));
    QTest::keyClick(f.grid, Qt::Key_Return);
    QCOMPARE(f.grid->ItemText(1, 3), std::string());
    QTest::keyClick(f.grid, Qt::Key_Space);
    QCOMPARE(f.grid->ItemText(1, 3), std::string("*"));
}

void GridKeysScrollTest::tabLeavesTheGrid() {
    Form f(2);
    f.Show();
    f.grid->SetCurrentCell(0, 3);
    QTest::keyClick(f.grid, Qt::Key_Tab);  // on to the next row, past the fixed column
    QCOMPARE(f.grid->CurrentCell(), (GridCell{1, 1}));
    QVERIFY(f.grid->hasFocus());
    QTest::keyClick(f.grid, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(f.grid->CurrentCell(), (GridCell{0, 3}));
    f.grid->SetCurrentCell(1, 3);
    QTest::keyClick(f.grid, Qt::Key_Tab);  // the last cell
    QTRY_VERIFY(f.after->hasFocus());
    f.grid->SetCurrentCell(0, 2);
    QTest::keyClick(f.grid, Qt::Key_Tab, Qt::ControlModifier);
    QTRY_VERIFY(f.after->hasFocus());
    f.grid->SetCurrentCell(0, 1);
    QTest::keyClick(f.grid, Qt::Key_Backtab, Qt::ShiftModifier);  // the first cell
    QTRY_VERIFY(f.before->hasFocus());
}

QTEST_MAIN(GridKeysScrollTest)
#include "grid_keys_scroll_test.moc"
