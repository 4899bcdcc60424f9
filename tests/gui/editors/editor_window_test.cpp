// Every editor on the frame as a window: focus, tab order, size; and its grids as the installer
// meets them: a click that only focuses a flag cell leaves it, the fixed columns follow a jump.
#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QWindow>

#include "editors/dlg_system.h"
#include "station_fixture.h"

namespace qn410::test {

class EditorWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir settings_;
    const FixedClock clock_{LocalTime{2026, 12, 6, 9, 30, 5, 0}};
    EditorTestHost host_;

  private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
    }

    void opensOnTheFirstInputAndTabsInReadingOrder() {
        CDlgSystem d(host_, clock_);
        d.show();
        QApplication::setActiveWindow(&d);
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(QApplication::focusWidget(), d.exchangeCountList());
        const QList<QWidget*> order{d.digitsList(),  d.tieLineBox(0), d.tieLineBox(1),
                                    d.tieLineBox(2), d.tieLineBox(3), d.grid(),
                                    d.PrintButton()};
        for (QWidget* next : order) {
            if (next == d.PrintButton()) d.grid()->SetCurrentCell(0, 1);  // the last cell
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        d.grid()->SetCurrentCell(0, 1);
        QTest::keyClick(d.grid(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), d.PrintButton());
    }

    void opensAgainAtTheSizeTheUserGaveIt() {
        QSize chosen;
        {
            CDlgSystem d(host_, clock_);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            chosen = d.size() + QSize(60, 120);
            const int gridHeight = d.grid()->height();
            d.windowHandle()->resize(chosen);  // as the window manager does for the user
            QTRY_COMPARE(d.size(), chosen);
            QVERIFY(d.grid()->height() >= gridHeight + 100);  // the grid takes the room
            d.CloseButton()->click();
        }
        CDlgSystem again(host_, clock_);
        again.show();
        QCOMPARE(again.size(), chosen);
    }

    void flagCellFlipsOnlyWhenAlreadyCurrent() {
        Sheet s;
        GridCtrl* grid = s.masters();
        const int column = master_col::kLineAccess;
        const std::string off = grid->ItemText(1, column);
        grid->SetCurrentCell(0, master_col::kName);
        const QPoint at = grid->visualRect(grid->Model().index(1, column)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);  // only makes it current
        QCOMPARE(grid->CurrentCell(), (GridCell{1, column}));
        QCOMPARE(grid->ItemText(1, column), off);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(grid->ItemText(1, column) != off);
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(grid->ItemText(1, column), off);
        QTest::keyClick(grid, Qt::Key_Space);
        QVERIFY(grid->ItemText(1, column) != off);
    }

    void fixedColumnsShowTheRowOfAFailure() {
        Sheet s([](SettingData& d) { Number(S(d, 1, 50).Number, S(d, 1, 50).Name, 250); });
        s.sheet->OverwriteButton()->click();  // from the masters page to substation 50
        GridCtrl* grid = s.subs();
        QCOMPARE(grid->CurrentCell().row, s.sheet->subPage()->RowOf(1, 50));
        QTRY_VERIFY(grid->verticalScrollBar()->value() > 0);
        const QRect cell =
            grid->FixedView().visualRect(grid->Model().index(grid->CurrentCell().row, 1));
        QVERIFY(grid->FixedView().viewport()->rect().contains(cell.center()));
    }
};

}  // namespace qn410::test

QTEST_MAIN(qn410::test::EditorWindowTest)
#include "editor_window_test.moc"
