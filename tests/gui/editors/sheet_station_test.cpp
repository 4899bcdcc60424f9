// "Stations" driven through its widgets: the exchange selector with "ALL", the cell rules of
// both pages, every validation message with the page, exchange and cell it leads to, Overwrite
// and Close, and the upload sequences with their progress bounds and modes.
#include "editors/sheet_station.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>
#include <functional>
#include <memory>

#include "editor_test_host.h"
#include "editors/page_master.h"
#include "editors/page_sub.h"
#include "setting/text_field.h"
#include "transfer/record_codec.h"

using namespace qn410;
using namespace qn410::test;

namespace {

void Number(StationNumber& number, char (&name)[9], int value) {
    number.Value = value;
    SetText(number.Text, std::to_string(value));
    SetText(name, std::to_string(value));
}
void NoNumber(StationNumber& number) {
    number.Value = kNoNumber;
    SetText(number.Text, "-1");
}

// Three exchanges of 3-digit numbers starting at 100, 200, 300. Masters 191..194, 291..294 and
// 491..494 (masters have no number block); substations e01..e64, each calling master 1 of its
// exchange. No C/O access number in use.
void ThreeExchanges(SettingData& d) {
    SetDefaults(d);
    d.System.SwitchCnt = 3;
    d.System.NumberSize = 3;
    for (int e = 1; e <= 3; ++e) {
        d.System.SwNumber[e - 1].Value = 100 * e;
        SetText(d.System.SwNumber[e - 1].Text, std::to_string(100 * e));
        ExchangeSetting& ex = d.Exchange[e - 1];
        for (int m = 1; m <= 4; ++m)
            Number(ex.Master[m - 1].Number, ex.Master[m - 1].Name,
                   (e == 3 ? 400 : 100 * e) + 90 + m);
        for (int s = 1; s <= 64; ++s) {
            Number(ex.Sub[s - 1].Number, ex.Sub[s - 1].Name, 100 * e + s);
            ex.Sub[s - 1].CallSwNo = static_cast<uint8_t>(e);
            ex.Sub[s - 1].CallStNo = 1;
        }
    }
}

MasterSetting& M(SettingData& d, int e, int m) {
    return d.Exchange[e - 1].Master[m - 1];
}
SubSetting& S(SettingData& d, int e, int s) {
    return d.Exchange[e - 1].Sub[s - 1];
}
void Access(SettingData& d, int e, int line, int digit) {
    d.Exchange[e - 1].Line[line - 1].TxNumberOnOff = 1;
    d.Exchange[e - 1].Line[line - 1].TxNumber = static_cast<uint8_t>(digit);
}

struct Sheet {
    EditorTestHost host;
    std::unique_ptr<CSheetStation> sheet;
    explicit Sheet(const std::function<void(SettingData&)>& change = nullptr) {
        ThreeExchanges(host.document.data());
        if (change) change(host.document.data());
        Open();
    }
    void Open() {
        sheet = std::make_unique<CSheetStation>(host);
        sheet->show();
        QApplication::setActiveWindow(sheet.get());
        QVERIFY(QTest::qWaitForWindowExposed(sheet.get()));
    }
    GridCtrl* masters() const { return sheet->masterPage()->grid(); }
    GridCtrl* subs() const { return sheet->subPage()->grid(); }
    void ShowSubs() { QTest::mouseClick(TabBar(), Qt::LeftButton, {}, TabCentre(1)); }
    void ShowMasters() { QTest::mouseClick(TabBar(), Qt::LeftButton, {}, TabCentre(0)); }
    QTabBar* TabBar() const { return sheet->tabs()->tabBar(); }
    QPoint TabCentre(int i) const { return TabBar()->tabRect(i).center(); }
    const StationCopy& copy() const { return sheet->workingCopy(); }
    SettingData& stored() { return host.document.data(); }
};

std::string Text(const char* field) {
    return std::string(field);
}

}  // namespace

class SheetStationTest : public QObject {
    Q_OBJECT
  private slots:
    void opensWithItsTextsAndTheSelector();
    void masterCellRules();
    void substationCellRules();
    void validationReportsAndTakesTheUserThere_data();
    void validationReportsAndTakesTheUserThere();
    void validTargetsAndBlocksPass();
    void overwriteAndCloseCompareWithTheStoredData();
    void uploadSequences_data();
    void uploadSequences();
    void printFollowsTheActivePage();
    void picture();
};

void SheetStationTest::opensWithItsTextsAndTheSelector() {
    Sheet s;
    CSheetStation& d = *s.sheet;
    QCOMPARE(d.windowTitle(), QString("Stations"));
    QCOMPARE(d.tabs()->tabText(0), QString("Master Stations (Telephones)"));
    QCOMPARE(d.tabs()->tabText(1), QString("Substations"));
    QStringList labels;
    for (QLabel* l : d.findChildren<QLabel*>()) labels << l->text();
    QVERIFY(labels.contains("Exchange No. (1-3):"));
    QStringList entries;
    for (int i = 0; i < d.exchangeList()->count(); ++i) entries << d.exchangeList()->itemText(i);
    QCOMPARE(entries, (QStringList{"1", "2", "3", "ALL"}));
    QCOMPARE(d.exchangeList()->currentIndex(), 0);

    const char* masterHeaders[] = {"Exchange",
                                   "Line",
                                   "Station",
                                   "Name",
                                   "C/O Line Access",
                                   "Emergency Paging",
                                   "C/O Call Forwarding",
                                   "Call Forwarding",
                                   "Time-Based Call Fwd",
                                   "Busy Call Forwarding",
                                   "No-Answer Call Fwd"};
    for (int c = 1; c <= 11; ++c)
        QCOMPARE(s.masters()->HeaderText(c), std::string(masterHeaders[c - 1]));
    const char* subHeaders[] = {
        "Exchange",          "Line",          "Station",          "Name",
        "Called\n Exchange", "Called\n Line", "Called\n Station", "Called\n Name",
        "    Call Priority"};
    for (int c = 1; c <= 9; ++c) QCOMPARE(s.subs()->HeaderText(c), std::string(subHeaders[c - 1]));
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

namespace {
struct FailureCase {
    const char* name;
    std::function<void(SettingData&)> change;
    bool all;  // "ALL" chosen before Overwrite
    const char* message;
    int page;
    int selector;
    int row;
    int column;
};

const std::vector<FailureCase>& FailureCases() {
    static const std::vector<FailureCase> cases = {
        {"master digits", [](SettingData& d) { Number(M(d, 2, 3).Number, M(d, 2, 3).Name, 2934); },
         false,
         "Master Stations (Telephones)\nIncorrect station No.digit length(2934)for Exchange 2", 0,
         1, 2, 3},
        {"master value too large", [](SettingData& d) { M(d, 1, 1).Number.Value = 1191; }, false,
         "Master Stations (Telephones)\nIncorrect station No.digit length(191)for Exchange 1", 0, 0,
         0, 3},
        {"master twice", [](SettingData& d) { Number(M(d, 3, 1).Number, M(d, 3, 1).Name, 191); },
         false,
         "Master Stations (Telephones)\nDuplicated station No.(191) for Exchange 1\n"
         "( Master Stations (Telephones) : 3-1 )",
         0, 0, 0, 3},
        {"master and substation",
         [](SettingData& d) {
             Number(M(d, 1, 2).Number, M(d, 1, 2).Name, 250);
             Number(S(d, 2, 50).Number, S(d, 2, 50).Name, 250);
         },
         false,
         "Master Stations (Telephones)\nDuplicated station No.(250) for Exchange 1\n"
         "( Substations : 2-50 )",
         0, 0, 1, 3},
        {"master access digit", [](SettingData& d) { Access(d, 2, 2, 2); }, false,
         "Master Stations (Telephones)\nSpecific No. for making a call is used", 0, 1, 0, 3},
        {"C/O forwarding", [](SettingData& d) { SetText(M(d, 2, 4).TelNo, "12a"); }, false,
         "Incorrect Auto C/O Xfer sta", 0, 1, 3, 7},
        {"call forwarding", [](SettingData& d) { SetText(M(d, 1, 1).AbsenceTelNo, "999"); }, false,
         "Incorrect absence transfer", 0, 0, 0, 8},
        {"time-based forwarding", [](SettingData& d) { SetText(M(d, 3, 2).AutoAbsenceTelNo, "0"); },
         false, "Incorrect Auto absence transfer at preset times", 0, 2, 1, 9},
        {"busy forwarding to a substation",
         [](SettingData& d) { SetText(M(d, 1, 3).CnvTelNo, "101"); }, false,
         "Incorrect Call Transfer during Conversation", 0, 0, 2, 10},
        {"no-answer forwarding", [](SettingData& d) { SetText(M(d, 2, 1).NonRespTelNo, "1a"); },
         false, "Incorrect Nonresponse Transfer", 0, 1, 0, 11},
        {"forwarding one field at a time",
         [](SettingData& d) {
             SetText(M(d, 3, 4).AbsenceTelNo, "9");
             SetText(M(d, 1, 1).NonRespTelNo, "9");
         },
         false, "Incorrect absence transfer", 0, 2, 3, 8},
        {"substation digits",
         [](SettingData& d) { Number(S(d, 3, 5).Number, S(d, 3, 5).Name, 30); }, false,
         "Substations\nIncorrect station No.digit length(30)for Exchange 3", 1, 2, 4, 3},
        {"substation below its block",
         [](SettingData& d) { Number(S(d, 2, 1).Number, S(d, 2, 1).Name, 150); }, false,
         "Substations\nStation No.(150)for Exchange 2 exceeds station No.limits.", 1, 1, 0, 3},
        {"substation at the next block",
         [](SettingData& d) { Number(S(d, 1, 64).Number, S(d, 1, 64).Name, 200); }, false,
         "Substations\nStation No.(200)for Exchange 1 exceeds station No.limits.", 1, 0, 63, 3},
        {"substation twice",
         [](SettingData& d) { Number(S(d, 2, 10).Number, S(d, 2, 10).Name, 201); }, false,
         "Substations\nDuplicated station No.(201) for Exchange 2\n( Substations : 2-10 )", 1, 1, 0,
         3},
        {"substation access digit", [](SettingData& d) { Access(d, 3, 2, 3); }, false,
         "Substations\nSpecific No. for making a call is used", 1, 2, 0, 3},
        {"call target beyond the exchanges", [](SettingData& d) { S(d, 2, 7).CallSwNo = 5; }, false,
         "Substations\nDialing incorrect exchange-equipment No.(2-7)", 1, 1, 6, 5},
        {"call target without a number",
         [](SettingData& d) {
             NoNumber(M(d, 2, 4).Number);
             S(d, 1, 3).CallSwNo = 2;
             S(d, 1, 3).CallStNo = 4;
         },
         false, "Substations\nDialing incorrect exchange-equipment No.(1-3)", 1, 0, 2, 5},
        {"under ALL the selector stays",
         [](SettingData& d) { Number(S(d, 2, 10).Number, S(d, 2, 10).Name, 201); }, true,
         "Substations\nDuplicated station No.(201) for Exchange 2\n( Substations : 2-10 )", 1, 3,
         64, 3},
        {"under ALL on masters", [](SettingData& d) { SetText(M(d, 3, 2).TelNo, "#"); }, true,
         "Incorrect Auto C/O Xfer sta", 0, 3, 9, 7},
    };
    return cases;
}
}  // namespace

void SheetStationTest::validationReportsAndTakesTheUserThere_data() {
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < FailureCases().size(); ++i)
        QTest::newRow(FailureCases()[i].name) << static_cast<int>(i);
}

void SheetStationTest::validationReportsAndTakesTheUserThere() {
    QFETCH(int, index);
    const FailureCase& c = FailureCases()[static_cast<std::size_t>(index)];
    Sheet s(c.change);
    // Start elsewhere: on the other page, on another exchange.
    if (c.all) {
        ChooseFromList(s.sheet->exchangeList(), "ALL");
        if (c.page == 0)
            s.ShowSubs();
        else
            s.ShowMasters();
    } else {
        if (c.page == 0) s.ShowSubs();
        ChooseFromList(s.sheet->exchangeList(), c.selector == 2 ? "2" : "3");
    }
    const SettingData before = s.stored();
    s.sheet->OverwriteButton()->setFocus();
    QTest::keyClick(s.sheet->OverwriteButton(), Qt::Key_Return);
    QCOMPARE(s.host.messages.texts(), std::vector<std::string>{c.message});
    QCOMPARE(s.host.messages.shown[0].icon, PromptIcon::Question);
    QCOMPARE(s.sheet->tabs()->currentIndex(), c.page);
    QCOMPARE(s.sheet->exchangeList()->currentIndex(), c.selector);
    GridCtrl* grid = c.page == 0 ? s.masters() : s.subs();
    QVERIFY(grid->hasFocus());
    QCOMPARE(grid->CurrentCell(), (GridCell{c.row, c.column}));
    QVERIFY(s.stored() == before);
    QVERIFY(!s.host.document.modified);
    s.sheet->UploadButton()->click();
    QCOMPARE(s.host.confirmations, 0);
    QVERIFY(s.host.bodies.empty());
}

void SheetStationTest::validTargetsAndBlocksPass() {
    Sheet s([](SettingData& d) {
        Access(d, 1, 1, 0);
        Access(d, 2, 2, 8);
        SetText(M(d, 1, 1).AbsenceTelNo, "0");        // the access number of its own exchange
        SetText(M(d, 1, 2).AutoAbsenceTelNo, "494");  // a master of another exchange
        SetText(M(d, 2, 1).CnvTelNo, "8");
        SetText(M(d, 2, 2).TelNo, "0-12-345");
        Number(S(d, 3, 1).Number, S(d, 3, 1).Name, 999);  // the last block has no upper limit
        Number(S(d, 2, 1).Number, S(d, 2, 1).Name, 299);
        S(d, 2, 1).Level = 1;
        NoNumber(S(d, 1, 9).Number);  // a substation without a number calls nobody
        S(d, 1, 9).CallSwNo = 0;
    });
    s.sheet->OverwriteButton()->click();
    QVERIFY2(s.host.messages.shown.empty(),
             s.host.messages.shown.empty() ? "" : s.host.messages.shown[0].text.c_str());

    // A one-digit target is only an access number of the master's own exchange.
    Sheet other([](SettingData& d) {
        Access(d, 2, 1, 0);
        SetText(M(d, 1, 1).AbsenceTelNo, "0");
    });
    other.sheet->OverwriteButton()->click();
    QCOMPARE(other.host.messages.texts(), std::vector<std::string>{"Incorrect absence transfer"});
}

void SheetStationTest::overwriteAndCloseCompareWithTheStoredData() {
    Sheet s;
    s.sheet->OverwriteButton()->click();
    QVERIFY(!s.host.document.modified);
    s.host.document.modified = true;
    s.sheet->OverwriteButton()->click();
    QVERIFY(s.host.document.modified);
    s.host.document.modified = false;

    ClickCell(s.masters(), 0, 5);  // flipped there and back: nothing differs
    ClickCell(s.masters(), 0, 5);
    s.ShowSubs();
    TypeIntoCell(s.subs(), 0, 5, "1");  // the same called master again
    s.sheet->CloseButton()->click();
    QVERIFY(s.host.messages.shown.empty());
    QVERIFY(!s.sheet->isVisible());

    s.Open();
    s.ShowSubs();
    ClickCell(s.subs(), 3, 9);
    s.sheet->CloseButton()->click();
    QCOMPARE(s.host.messages.texts(), std::vector<std::string>{"Text changed. Exit?"});
    QVERIFY(s.sheet->isVisible());
    s.ShowMasters();
    TypeIntoCell(s.masters(), 1, 4, "HALL");
    s.sheet->OverwriteButton()->click();
    QVERIFY(s.host.document.modified);
    QCOMPARE(int(s.stored().Exchange[0].Sub[3].Level), 1);
    QCOMPARE(Text(s.stored().Exchange[0].Master[1].Name), std::string("HALL"));
    s.sheet->CloseButton()->click();
    QCOMPARE(s.host.messages.shown.size(), std::size_t(1));
    QVERIFY(!s.sheet->isVisible());
}

void SheetStationTest::uploadSequences_data() {
    QTest::addColumn<bool>("subs");
    QTest::addColumn<QString>("exchange");
    QTest::addColumn<QString>("letters");  // B, U, C, '-' for the release
    QTest::addColumn<int>("bound");
    QTest::addColumn<int>("titled");  // messages that set the display's title (mode 2)
    QTest::newRow("masters of one exchange") << false << "2"
                                             << "BBBBUUUU-" << 7 << 4;
    QTest::newRow("masters of all")
        << false << "ALL" << QString(12, 'B') + QString(12, 'U') + "-" << 23 << 23;
    QTest::newRow("substations of one exchange")
        << true << "3" << QString(64, 'C') + "-" << 64 << 0;
    QTest::newRow("substations of all") << true << "ALL" << QString(192, 'C') + "-" << 192 << 0;
}

void SheetStationTest::uploadSequences() {
    QFETCH(bool, subs);
    QFETCH(QString, exchange);
    QFETCH(QString, letters);
    QFETCH(int, bound);
    QFETCH(int, titled);
    Sheet s;
    if (subs) s.ShowSubs();
    ChooseFromList(s.sheet->exchangeList(), exchange);
    TypeIntoCell(subs ? s.subs() : s.masters(), 0, 4, "NEW");
    s.sheet->UploadButton()->click();
    QCOMPARE(s.host.confirmations, 1);
    QVERIFY(s.host.document.modified);  // committed before sending
    QTRY_VERIFY(!s.sheet->UploadActive());

    const std::vector<char> sent = s.host.letters();
    QCOMPARE(QString::fromLatin1(sent.data(), static_cast<int>(sent.size())), letters);
    const int count = letters.size();
    const bool all = exchange == "ALL";
    int at = 0;
    for (char letter : {'B', 'U', 'C'})
        for (int e = all ? 1 : exchange.toInt(); e <= (all ? 3 : exchange.toInt()); ++e)
            for (int i = 1; i <= (letter == 'C' ? 64 : 4); ++i) {
                if (!letters.contains(QChar(letter))) continue;
                RecordRequest r;
                r.exchange = static_cast<uint8_t>(e);
                (letter == 'C' ? r.substation : r.station) = static_cast<uint8_t>(i);
                r.data = &s.host.document.data();
                QCOMPARE(s.host.bodies[static_cast<std::size_t>(at)], *Encode(letter, r));
                const TransferRequest& h = s.host.headers[static_cast<std::size_t>(at)];
                QCOMPARE(int(h.setMask), 2);
                QCOMPARE(int(h.clearMask), 0);
                QCOMPARE(int(h.exchange), e);
                QCOMPARE(h.requester, static_cast<void*>(s.sheet.get()));
                ++at;
            }
    QCOMPARE(at, count - 1);
    const TransferRequest& release = s.host.headers.back();
    QCOMPARE(int(release.setMask), 0);
    QCOMPARE(int(release.clearMask), 2);
    QVERIFY(s.host.bodies.back().empty());

    // The first message opens the display with the bound; mode-2 messages set its title.
    QCOMPARE(s.host.progress.front().message, UM_PROGRESS_START);
    QCOMPARE(s.host.progress.front().name,
             std::string(subs ? "Substations" : "Master Stations (Telephones)"));
    QCOMPARE(s.host.progress.front().count, bound);
    int steps = 0;
    for (const auto& p : s.host.progress) steps += p.message == UM_PROGRESS_STEP;
    QCOMPARE(steps, titled);
    QCOMPARE(s.host.advanced, count);  // every result advances the display
    QCOMPARE(s.host.progress.back().message, UM_PROGRESS_CLOSE);
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

// QN410_SCREENSHOT_DIR=folder writes stations_masters.png and stations_substations.png there.
void SheetStationTest::picture() {
    Sheet s([](SettingData& d) {
        SetText(M(d, 1, 1).Name, "FRONT");
        M(d, 1, 1).LineTx = 1;
        SetText(M(d, 1, 1).TelNo, "03-1234-5678");
        SetText(M(d, 1, 2).AbsenceTelNo, "191");
        S(d, 1, 2).Level = 1;
    });
    const QString dir = qEnvironmentVariable("QN410_SCREENSHOT_DIR");
    const QPixmap masters = s.sheet->grab();
    s.ShowSubs();
    const QPixmap subs = s.sheet->grab();
    if (!dir.isEmpty()) {
        QVERIFY(masters.save(dir + "/stations_masters.png"));
        QVERIFY(subs.save(dir + "/stations_substations.png"));
    }
    QVERIFY(subs.width() > 600);
}

QTEST_MAIN(SheetStationTest)
#include "sheet_station_test.moc"
