// Being taken to a failing station: by the sheet's own check on Overwrite, and by the view's
// station number check after another window. The fixed "Exchange"/"Line" columns show the row
// the cell is on.
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "station_fixture.h"

namespace qn410::test {

class StationJumpTest : public QObject {
    Q_OBJECT
  private slots:
    void fixedColumnsShowTheFailingRow();
};

void StationJumpTest::fixedColumnsShowTheFailingRow() {
    Sheet s([](SettingData& d) { Number(S(d, 1, 50).Number, S(d, 1, 50).Name, 250); });
    QTest::mouseClick(s.sheet->OverwriteButton(), Qt::LeftButton);
    GridCtrl* grid = s.subs();
    QCOMPARE(grid->CurrentCell().row, s.sheet->subPage()->RowOf(1, 50));
    QTRY_VERIFY(grid->verticalScrollBar()->value() > 0);
    const QModelIndex cell = grid->Model().index(grid->CurrentCell().row, 1);
    const QPoint shown = grid->FixedView().visualRect(cell).center();
    QVERIFY(grid->FixedView().viewport()->rect().contains(shown));
    QCOMPARE(grid->FixedView().indexAt(shown).row(), grid->CurrentCell().row);
}

}  // namespace qn410::test

QTEST_MAIN(qn410::test::StationJumpTest)
#include "station_jump_test.moc"
