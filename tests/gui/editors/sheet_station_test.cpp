// "Stations" driven through its widgets: the exchange selector with "ALL", the cell rules of
// both pages, Print.
#include <QPushButton>
#include <QtTest>

#include "station_fixture.h"
#include "transfer/record_codec.h"

using namespace qn410;
using namespace qn410::test;

class SheetStationTest : public QObject {
    Q_OBJECT
  private slots:
    void opensOnTheSelectedExchange();
    void masterCellRules();
    void substationCellRules();
    void printFollowsTheActivePage();
};

void SheetStationTest::opensOnTheSelectedExchange() {
    Sheet s;
    CSheetStation& d = *s.sheet;
    QStringList entries;
    for (int i = 0; i < d.exchangeList()->count(); ++i) entries << d.exchangeList()->itemText(i);
    QCOMPARE(entries, (QStringList{"1", "2", "3", "ALL"}));
    QCOMPARE(d.exchangeList()->currentIndex(), 0);

    QCOMPARE(s.masters()->ColumnWidth(0), 0);  // the running number is hidden
    QCOMPARE(s.masters()->RowCount(), 4);
    QCOMPARE(s.masters()->ItemText(2, 3), std::string("193"));
    QCOMPARE(s.masters()->ItemText(2, 5), std::string("-"));
    QVERIFY(s.masters()->IsReadOnly(0, 2));

    // Both pages follow the selector; "ALL" lists every exchange in use.
    ChooseFromList(d.exchangeList(), "2");
    QCOMPARE(s.masters()->ItemText(0, 3), std::string("291"));
    s.ShowSubs();
    QCOMPARE(s.subs()->RowCount(), 64);
    QCOMPARE(s.subs()->ItemText(0, 3), std::string("201"));
    QCOMPARE(s.subs()->ItemText(0, 7), std::string("291"));  // the called master's number
    QCOMPARE(s.subs()->ItemText(0, 9), std::string("Normal"));
    ChooseFromList(d.exchangeList(), "ALL");
    QCOMPARE(s.subs()->RowCount(), 192);
    QCOMPARE(s.subs()->ItemText(191, 3), std::string("364"));
    QCOMPARE(s.subs()->ItemText(191, 0), std::string("192"));
    s.ShowMasters();
    QCOMPARE(s.masters()->RowCount(), 12);
    QCOMPARE(s.masters()->ItemText(11, 1), std::string("3"));

    // One exchange: no "ALL".
    Sheet one([](SettingData& data) { data.System.SwitchCnt = 1; });
    QCOMPARE(one.sheet->exchangeList()->count(), 1);
}

void SheetStationTest::masterCellRules() {
    Sheet s([](SettingData& d) {
        SetText(M(d, 1, 2).Name, "DESK");
        NoNumber(M(d, 1, 4).Number);
        SetText(M(d, 1, 4).Name, "");
    });
    GridCtrl* g = s.masters();
    const auto& m = [&](int i) -> const MasterSetting& { return s.copy().Master[0][i - 1]; };
    // "Station": exactly three digits.
    TypeIntoCell(g, 0, 3, "12");
    TypeIntoCell(g, 0, 3, "1a3");
    TypeIntoCell(g, 0, 3, "");
    QCOMPARE(g->ItemText(0, 3), std::string("191"));
    QCOMPARE(m(1).Number.Value, 191);
    TypeIntoCell(g, 0, 3, "123");  // named after its old number: renamed too
    QCOMPARE(g->ItemText(0, 3), std::string("123"));
    QCOMPARE(g->ItemText(0, 4), std::string("123"));
    QCOMPARE(m(1).Number.Value, 123);
    TypeIntoCell(g, 1, 3, "124");  // a name of its own stays
    QCOMPARE(g->ItemText(1, 4), std::string("DESK"));
    TypeIntoCell(g, 3, 3, "125");  // no number before: the name is the number
    QCOMPARE(Text(m(4).Name), std::string("125"));

    // "Name": up to 8 printable characters or katakana.
    TypeIntoCell(g, 1, 4, "ABCDEFGHI");
    TypeIntoCell(g, 1, 4, "AB~");
    TypeIntoCell(g, 1, 4, "");
    QCOMPARE(Text(m(2).Name), std::string("DESK"));
    TypeIntoCell(g, 1, 4, QString::fromUtf16(u"\uFF71\uFF72 }"));
    QCOMPARE(Text(m(2).Name), std::string("\xB1\xB2 }"));

    // "C/O Call Forwarding": up to 20 characters; its form is checked on Overwrite.
    TypeIntoCell(g, 0, 7, QString(21, '1'));
    QCOMPARE(g->ItemText(0, 7), std::string());
    TypeIntoCell(g, 0, 7, "03-1234-56789-012345");
    QCOMPARE(Text(m(1).TelNo), std::string("03-1234-56789-012345"));
    TypeIntoCell(g, 0, 7, QString(51, '1'));  // longer than 50 counts as empty: clears
    QCOMPARE(Text(m(1).TelNo), std::string());

    // Forwarding targets: up to three characters; empty clears.
    for (int column = 8; column <= 11; ++column) {
        TypeIntoCell(g, 2, column, "1234");
        QCOMPARE(g->ItemText(2, column), std::string());
        TypeIntoCell(g, 2, column, "x1");
        QCOMPARE(g->ItemText(2, column), std::string("x1"));
        TypeIntoCell(g, 2, column, "");
        QCOMPARE(g->ItemText(2, column), std::string());
    }

    // The flags flip on a click or Space; no editor opens.
    ClickCell(g, 2, 5);
    QCOMPARE(g->ItemText(2, 5), std::string("v"));
    QCOMPARE(int(m(3).LineTx), 1);
    QTest::keyClick(g, Qt::Key_Space);
    QCOMPARE(int(m(3).LineTx), 0);
    ClickCell(g, 2, 6);
    QCOMPARE(int(m(3).Paging), 1);
    QCOMPARE(g->ItemText(2, 6), std::string("v"));
    QVERIFY(!g->viewport()->findChild<QLineEdit*>() ||
            !g->viewport()->findChild<QLineEdit*>()->isVisible());

    // The same station under "ALL" shows what was entered.
    ChooseFromList(s.sheet->exchangeList(), "ALL");
    QCOMPARE(g->ItemText(0, 3), std::string("123"));
    TypeIntoCell(g, 5, 4, "PORCH");  // exchange 2, master 2
    QCOMPARE(Text(s.copy().Master[1][1].Name), std::string("PORCH"));
    QCOMPARE(s.stored().Exchange[1].Master[1].Name, std::string("292"));  // not committed
}

void SheetStationTest::substationCellRules() {
    Sheet s([](SettingData& d) { SetText(M(d, 2, 3).Name, "OFFICE"); });
    s.ShowSubs();
    GridCtrl* g = s.subs();
    const auto& sub = [&](int i) -> const SubSetting& { return s.copy().Sub[0][i - 1]; };
    TypeIntoCell(g, 0, 3, "1011");
    TypeIntoCell(g, 0, 3, "99");
    QCOMPARE(g->ItemText(0, 3), std::string("101"));
    TypeIntoCell(g, 0, 3, "170");
    QCOMPARE(g->ItemText(0, 4), std::string("170"));

    // Called exchange 1..3 and line 1..4; the called master's number and name follow.
    for (const char* bad : {"0", "4", "x", ""}) TypeIntoCell(g, 4, 5, bad);
    QCOMPARE(int(sub(5).CallSwNo), 1);
    TypeIntoCell(g, 4, 5, "2");
    for (const char* bad : {"0", "5"}) TypeIntoCell(g, 4, 6, bad);
    QCOMPARE(int(sub(5).CallStNo), 1);
    TypeIntoCell(g, 4, 6, "3");
    QCOMPARE(g->ItemText(4, 5), std::string("2"));
    QCOMPARE(g->ItemText(4, 6), std::string("3"));
    QCOMPARE(g->ItemText(4, 7), std::string("293"));
    QCOMPARE(g->ItemText(4, 8), std::string("OFFICE"));

    // Called station: the number of a master of any exchange, never of a substation.
    for (const char* bad : {"102", "49", "999"}) TypeIntoCell(g, 5, 7, bad);
    QCOMPARE(int(sub(6).CallSwNo), 1);
    QCOMPARE(g->ItemText(5, 7), std::string("191"));
    TypeIntoCell(g, 5, 7, "492");
    QCOMPARE(int(sub(6).CallSwNo), 3);
    QCOMPARE(int(sub(6).CallStNo), 2);
    QCOMPARE(g->ItemText(5, 5), std::string("3"));
    QCOMPARE(g->ItemText(5, 6), std::string("2"));
    QCOMPARE(g->ItemText(5, 8), std::string("492"));

    // The called name is display only; the priority flips on a click.
    QVERIFY(g->IsReadOnly(5, 8));
    ClickCell(g, 5, 9);
    QCOMPARE(g->ItemText(5, 9), std::string("Emergency"));
    QCOMPARE(int(sub(6).Level), 1);
    QTest::keyClick(g, Qt::Key_Space);
    QCOMPARE(g->ItemText(5, 9), std::string("Normal"));

    // A master renamed on the other page shows on this one.
    s.ShowMasters();
    TypeIntoCell(s.masters(), 2, 4, "LOBBY");
    ChooseFromList(s.sheet->exchangeList(), "2");
    s.ShowSubs();
    ChooseFromList(s.sheet->exchangeList(), "1");
    QCOMPARE(g->ItemText(4, 8), std::string("OFFICE"));
    ChooseFromList(s.sheet->exchangeList(), "ALL");
    QCOMPARE(g->RowCount(), 192);
}

void SheetStationTest::printFollowsTheActivePage() {
    Sheet s;
    ChooseFromList(s.sheet->exchangeList(), "2");
    s.sheet->PrintButton()->click();
    s.ShowSubs();
    s.sheet->PrintButton()->click();
    QCOMPARE(s.host.prints.size(), std::size_t(2));
    QCOMPARE(s.host.prints[0].category, kPrintMasters);
    QCOMPARE(int(s.host.prints[0].exchange), 2);
    QCOMPARE(s.host.prints[1].category, kPrintSubstations);
}

QTEST_MAIN(SheetStationTest)
#include "sheet_station_test.moc"
