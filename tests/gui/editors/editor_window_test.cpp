// Every editor, its frame and its grids through their widgets, and every editor's upload to one
// qn410-sim through the real link.

#include "app/editor_registry.h"
#include "app/main_frame.h"
#include "app/qn410_view.h"
#include "editor_test_host.h"
#include "editors/dlg_direct_dial.h"
#include "editors/dlg_direct_select.h"
#include "editors/dlg_function.h"
#include "editors/dlg_line.h"
#include "editors/dlg_member_list.h"
#include "editors/dlg_system.h"
#include "editors/edit_spin.h"
#include "editors/page_master.h"
#include "editors/page_paging.h"
#include "editors/sheet_paging.h"
#include "editors/sheet_station.h"
#include "editors/step_edit.h"
#include "grid/title_tip.h"
#include "link/link_broker.h"
#include "print/print_request.h"
#include "setting/setting_file.h"
#include "shell_fixture.h"
#include "support/child_process.h"
#include "support/random_setting.h"
#include "transfer/record_codec.h"
#include "transfer/station_check.h"

using namespace qn410;
using namespace qn410::test;

namespace {

using Change = std::function<void(SettingData&)>;
const FixedClock kClock(LocalTime{2026, 12, 6, 9, 30, 5, 0});

MasterSetting& M(SettingData& d, int e, int m) {
    return d.Exchange[e - 1].Master[m - 1];
}
SubSetting& S(SettingData& d, int e, int s) {
    return d.Exchange[e - 1].Sub[s - 1];
}
// Station s of exchange e (a master when `master`) numbered and named `value`.
void Num(SettingData& d, int e, int s, int value, bool master = false) {
    SetNumber(master ? M(d, e, s).Number : S(d, e, s).Number, value);
    SetText(master ? M(d, e, s).Name : S(d, e, s).Name, std::to_string(value));
}
// Global Setting's exchanges: the digits and the first station numbers (-1: not set).
Change Sys(int digits, std::vector<int> numbers) {
    return [=](SettingData& d) {
        d.System.NumberSize = uint8_t(digits);
        d.System.SwitchCnt = uint8_t(numbers.size());
        for (int i = 0; i < kExchangeCount; ++i)
            SetNumber(d.System.SwNumber[i], i < int(numbers.size()) ? numbers[i] : kNoNumber);
    };
}

// Three exchanges of 3-digit numbers from 100, 200, 300. Masters 191..194, 291..294, 491..494;
// substations e01..e64, each calling master 1 of its exchange.
void ThreeExchanges(SettingData& d) {
    SetDefaults(d);
    Sys(3, {100, 200, 300})(d);
    for (int e = 1; e <= 3; ++e) {
        for (int m = 1; m <= 4; ++m) Num(d, e, m, (e == 3 ? 400 : 100 * e) + 90 + m, true);
        for (int s = 1; s <= 64; ++s) {
            Num(d, e, s, 100 * e + s);
            S(d, e, s).CallSwNo = static_cast<uint8_t>(e);
            S(d, e, s).CallStNo = 1;
        }
    }
}

// Replaces a box's text and presses Enter, which ends the entry as leaving the box does.
void TypeInto(QWidget* box, const QString& text) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text.isEmpty() ? QString("\b") : text);
    QTest::keyClick(box, Qt::Key_Return);
}

QLineEdit* CellEditor(GridCtrl* grid) {
    return grid->viewport()->findChild<QLineEdit*>();
}

enum Ed { System, Stations, Line, Function, Select, Scan, Group, Meeting, Paging, Dial };

template <typename T>
std::unique_ptr<EditorFrame> New(EditorHost& host) {
    return std::make_unique<T>(host);
}
std::unique_ptr<EditorFrame> (*const kMake[])(EditorHost&) = {
    nullptr,       New<CSheetStation>, New<CDlgLine>,    New<CDlgFunction>, New<CDlgDirectSelect>,
    New<CDlgScan>, New<CDlgGroup>,     New<CDlgMeeting>, New<CSheetPaging>, New<CDlgDirectDial>};

// An editor on ThreeExchanges (changed by `change`), shown and active.
struct Editor {
    EditorTestHost own;
    EditorTestHost& host;
    Ed ed;
    std::unique_ptr<EditorFrame> dlg;
    Editor(Ed e, const Change& change = nullptr, EditorTestHost* shared = nullptr)
        : host(shared ? *shared : own), ed(e) {
        if (!shared) ThreeExchanges(host.document.data());
        if (change) change(host.document.data());
        dlg = ed == System ? std::make_unique<CDlgSystem>(host, kClock) : kMake[ed](host);
        dlg->show();
        QApplication::setActiveWindow(dlg.get());
    }
    template <typename T>
    T* as() const {
        return static_cast<T*>(dlg.get());
    }
    QComboBox* selector() const {
        if (ed == Ed::System) return nullptr;
        if (ed == Ed::Dial) return as<CDlgDirectDial>()->exchangeList();
        return dlg->findChild<ExchangeSelector*>()->list();
    }
    void Choose(const QString& exchange) { ChooseFromList(selector(), exchange); }
};

// qn410-sim started from ThreeExchanges, saving what it stored when it stops; the host hands
// every request to the broker, as the view does.
struct SimLink {
    QTemporaryDir dir;
    std::unique_ptr<SimProcess> sim;
    LogHistory history;
    RecordingPrompt linkPrompt;
    LinkBroker broker{history, kClock, linkPrompt};
    EditorTestHost host;

    explicit SimLink(const QStringList& extra = {}) {
        ThreeExchanges(host.document.data());
        QVERIFY(WriteSettingFile(dir.filePath("in").toStdString(), host.document, "", linkPrompt));
        sim = std::make_unique<SimProcess>(QStringList{"--config", dir.filePath("in"), "--save",
                                                       dir.filePath("out"), "--rate", "0"} +
                                           extra);
        qputenv("QN410_COM1", sim->port().toLocal8Bit());
        host.submit = [this](TransferRequestPtr request, bool abandon) {
            auto* requester = static_cast<QObject*>(request->requester);
            PostLinkRequest(&broker, requester, std::move(request), abandon);
        };
        broker.Start(MaintenanceSetting{});
    }
    ~SimLink() {
        broker.Shutdown();  // before the simulator goes
        qunsetenv("QN410_COM1");
    }
};

using Act = std::function<void(Editor&)>;

// The control a case names; a trailing digit is the line, limit or box index. "grid" and "time"
// are the editor's only grid and step box; a sheet's grid is the one of the page shown.
QWidget* Named(Editor& e, const std::string& n) {
    const int i = n.back() - '0';
    if (n == "grid") return e.dlg->findChild<GridCtrl*>();
    if (n == "time") return e.dlg->findChild<StepEdit*>();
    if (auto* sheet = dynamic_cast<EditorSheet*>(e.dlg.get()))
        return static_cast<ExchangeGridPage*>(sheet->tabs()->currentWidget())->grid();
    switch (e.ed) {
        case Ed::System:
            if (n[0] == 't') return e.as<CDlgSystem>()->tieLineBox(i);
            return n == "count" ? e.as<CDlgSystem>()->exchangeCountList()
                                : e.as<CDlgSystem>()->digitsList();
        case Ed::Line:
            if (n == "timeOut") return e.as<CDlgLine>()->timeOutBox();
            if (n[0] == 'n') return e.as<CDlgLine>()->line(i).name;
            if (n[0] == 'a') return e.as<CDlgLine>()->line(i).access;
            if (n[0] == 'o') return e.as<CDlgLine>()->line(i).outgoing;
            return e.as<CDlgLine>()->line(i).grid;
        case Ed::Function:
            if (n == "start") return e.as<CDlgFunction>()->startBox();
            if (n == "end") return e.as<CDlgFunction>()->endBox();
            if (n == "forwarding") return e.as<CDlgFunction>()->forwardingBox();
            if (n == "busy") return e.as<CDlgFunction>()->busyBox();
            return e.as<CDlgFunction>()->limit(CDlgFunction::LimitKind(i)).value;
        default:
            return e.as<CDlgDirectSelect>()->callButton();
    }
}
GridCtrl* Grid(Editor& e, const std::string& n) {
    return static_cast<GridCtrl*>(Named(e, n));
}
QComboBox* Masters(Editor& e) {
    if (e.ed == Ed::Dial) return e.as<CDlgDirectDial>()->masterList();
    return e.ed >= Ed::Scan && e.ed <= Ed::Meeting ? e.as<CDlgMemberList>()->masterList() : nullptr;
}

Act Type(std::string box, QString text) {
    return [=](Editor& e) { TypeInto(Named(e, box), text); };
}
Act Cells(std::string grid, std::vector<std::tuple<int, int, QString>> cells,
          std::vector<Act> before = {}) {
    return [=](Editor& e) {
        for (const Act& act : before) act(e);
        for (const auto& [row, column, text] : cells) {
            if (text == "click") ClickCell(Grid(e, grid), row, column);
            if (text != "click") TypeIntoCell(Grid(e, grid), row, column, text);
        }
    };
}
Act Press(std::string button) {
    return [=](Editor& e) { static_cast<QAbstractButton*>(Named(e, button))->click(); };
}
Act DirectIn(int l) {
    return [=](Editor& e) { e.as<CDlgLine>()->line(l).directInLine->click(); };
}
Act ChooseAll = [](Editor& e) { e.Choose("ALL"); };
Act PagingTime(QString exchange, QString text) {
    return [=](Editor& e) {
        e.Choose(exchange);
        CPagePaging* page = e.as<CSheetPaging>()->pagingPage();
        QTest::mouseClick(page->timeOutBox(), Qt::LeftButton);
        TypeInto(page->timeBox(), text);
    };
}
Act Master(QString m) {
    return [=](Editor& e) { ChooseFromList(Masters(e), m); };
}
void Access(SettingData& d, int e, int line, int digit) {
    d.Exchange[e - 1].Line[line - 1].TxNumberOnOff = 1;
    d.Exchange[e - 1].Line[line - 1].TxNumber = uint8_t(digit);
}
const MemberListKind* const kKinds[] = {&kScanMonitorList, &kGroupCallList, &kConferenceList};
// Member `row` of kind k's list of master e-m becomes exchange x, equipment n.
void Put(SettingData& d, int k, int e, int m, int row, int x, int n) {
    kKinds[k]->entries(M(d, e, m))[row] = {uint8_t(row + 1), uint8_t(x), uint8_t(n)};
}
#define DATA(...) [](SettingData& d) { __VA_ARGS__; }

struct Check {
    Ed ed;
    Change change;
    Act act;
    std::string message;  // "" when Overwrite passes
    QString where;        // the exchange shown afterwards, "/" and the master where there is one
    std::string focus;
    GridCell cell;
};
Check X(Ed ed, Change change, Act act, std::string message, QString where, std::string focus,
        int row = -1, int column = -1) {
    return {ed, change, act, message, where, focus, {row, column}};
}

const char kBadSub[] = "Invalid sub-equipment No.is set.";
const char kBadMaster[] = "Invalid master equipment No.is set.";
const char kPaging[] = "Incorrect paging time-out";
const char kLength[] = "Incorrect first station No.digit length";
const std::string kMasters = "Master Stations (Telephones)\n", kSubs = "Substations\n";
const char kTwice[] = "Duplicated station No.(201) for Exchange 2\n( Substations : 2-10 )";

const Change kBoth = DATA(d.Function[0].OutSend = d.Function[0].AutoOutSend = 1);
const std::vector<Check> kChecks = {
    X(System, Sys(3, {}), {}, "Incorrect No.of exchanges.", "", "count"),
    X(System, Sys(7, {100}), {}, "Incorrect station digit length.", "", "digits"),
    X(System, Sys(4, {1000, 2000, 300, 4000}), {},
      "First station No.is greater than that of the next exchange.", "", "grid", 1, 1),
    X(System, Sys(4, {100, 2000}), {}, kLength, "", "grid", 0, 1),
    X(System, Sys(3, {100, 200, -1}), {}, kLength, "", "grid", 2, 1),
    X(System, Sys(4, {1000, 2000, 2000}), {}, "Duplicated first station No.", "", "grid", 1, 1),
    X(Stations, DATA(Num(d, 2, 3, 2934, true)), {},
      kMasters + "Incorrect station No.digit length(2934)for Exchange 2", "2", "masters", 2, 3),
    X(Stations, DATA(M(d, 1, 1).Number.Value = 1191), {},
      kMasters + "Incorrect station No.digit length(191)for Exchange 1", "1", "masters", 0, 3),
    X(Stations, DATA(Num(d, 3, 1, 191, true)), {},
      kMasters +
          "Duplicated station No.(191) for Exchange 1\n( Master Stations (Telephones) : 3-1 )",
      "1", "masters", 0, 3),
    X(Stations, DATA(Num(d, 1, 2, 250, true); Num(d, 2, 50, 250)), {},
      kMasters + "Duplicated station No.(250) for Exchange 1\n( Substations : 2-50 )", "1",
      "masters", 1, 3),
    X(Stations, DATA(Access(d, 2, 2, 2)), {}, kMasters + "Specific No. for making a call is used",
      "2", "masters", 0, 3),
    X(Stations, DATA(SetText(M(d, 2, 4).TelNo, "12a")), {}, "Incorrect Auto C/O Xfer sta", "2",
      "masters", 3, 7),
    X(Stations, DATA(SetText(M(d, 1, 1).AbsenceTelNo, "999")), {}, "Incorrect absence transfer",
      "1", "masters", 0, 8),
    X(Stations, DATA(SetText(M(d, 3, 2).AutoAbsenceTelNo, "0")), {},
      "Incorrect Auto absence transfer at preset times", "3", "masters", 1, 9),
    X(Stations, DATA(SetText(M(d, 1, 3).CnvTelNo, "101")), {},
      "Incorrect Call Transfer during Conversation", "1", "masters", 2, 10),
    X(Stations, DATA(SetText(M(d, 2, 1).NonRespTelNo, "1a")), {}, "Incorrect Nonresponse Transfer",
      "2", "masters", 0, 11),
    // A one-digit target is an access number of its own exchange.
    X(Stations, DATA(Access(d, 2, 1, 0); SetText(M(d, 1, 1).AbsenceTelNo, "0")), {},
      "Incorrect absence transfer", "1", "masters", 0, 8),
    X(Stations, DATA(Num(d, 3, 5, 30)), {},
      kSubs + "Incorrect station No.digit length(30)for Exchange 3", "3", "subs", 4, 3),
    X(Stations, DATA(Num(d, 2, 1, 150)), {},
      kSubs + "Station No.(150)for Exchange 2 exceeds station No.limits.", "2", "subs", 0, 3),
    X(Stations, DATA(Num(d, 1, 64, 200)), {},
      kSubs + "Station No.(200)for Exchange 1 exceeds station No.limits.", "1", "subs", 63, 3),
    X(Stations, DATA(Num(d, 2, 10, 201)), {}, kSubs + kTwice, "2", "subs", 0, 3),
    X(Stations, DATA(Access(d, 3, 2, 3)), {}, kSubs + "Specific No. for making a call is used", "3",
      "subs", 0, 3),
    X(Stations, DATA(S(d, 2, 7).CallSwNo = 5), {},
      kSubs + "Dialing incorrect exchange-equipment No.(2-7)", "2", "subs", 6, 5),
    X(Stations,
      DATA(Num(d, 2, 4, kNoNumber, true); S(d, 1, 3).CallSwNo = 2; S(d, 1, 3).CallStNo = 4), {},
      kSubs + "Dialing incorrect exchange-equipment No.(1-3)", "1", "subs", 2, 5),
    // Under "ALL" the selector stays.
    X(Stations, DATA(Num(d, 2, 10, 201)), ChooseAll, kSubs + kTwice, "ALL", "subs", 64, 3),
    // Valid: an own access number, another exchange's master, no upper limit on the last block.
    X(Stations,
      DATA(Access(d, 1, 1, 0); Access(d, 2, 2, 8); SetText(M(d, 1, 1).AbsenceTelNo, "0");
           SetText(M(d, 1, 2).AutoAbsenceTelNo, "494"); SetText(M(d, 2, 1).CnvTelNo, "8");
           SetText(M(d, 2, 2).TelNo, "0-12-345"); Num(d, 3, 1, 999); Num(d, 2, 1, 299);
           S(d, 2, 1).Level = 1; S(d, 1, 9).Number.Value = kNoNumber; S(d, 1, 9).CallSwNo = 0),
      {}, "", "", ""),
    X(Line, {}, Type("timeOut", "0"), "Incorrect C/O line Connection time-out", "1", "timeOut"),
    X(Line, {}, Type("name0", "ABCDEFGHI"), "Incorrect name", "1", "name0"),
    X(Line, DATA(d.Exchange[0].Line[1].TxNumberOnOff = 1), Type("access1", "12"),
      "Specific No. for making a call is not correct.", "1", "access1"),
    X(Line, {}, Cells("grid0", {{0, 4, "291"}}, {DirectIn(0)}), kBadMaster, "1", "grid0", 0, 2),
    X(Line, {}, Cells("grid1", {{1, 4, "192"}}, {DirectIn(1)}),
      "Exchange1\nC/O line2\nCenter station is not set for the direct-in group.", "1", "grid1", 0,
      2),
    X(Line, {}, Cells("grid0", {{0, 4, "193"}, {2, 4, "193"}}, {DirectIn(0)}),
      "Exchange1\nC/O line1\nRedundant receiving stations (1-3)", "1", "grid0", 2, 2),
    X(Function, kBoth, Type("start", "24:00"), "Incorrect starting time", "1", "start"),
    X(Function, kBoth, Type("end", "12:60"), "Incorrect ending time", "1", "end"),
    X(Function, DATA(d.Function[1].CallCnt = 100), {}, "Incorrect call time(sec)", "2", "limit0"),
    X(Function, DATA(d.Function[2].CallTime = 120), {}, "Incorrect call time(minute)", "3",
      "limit1"),
    X(Function, DATA(d.Function[1].TalkTime = 25), {}, "Incorrect conversation time(sec)", "2",
      "limit2"),
    // Only Upload checks stored times; with the boxes off, the focus goes to turning them on.
    X(Function, DATA(d.Function[2].EndTime.Value = 0x0A3C), {}, "Incorrect ending time", "3",
      "forwarding"),
    X(Scan, DATA(M(d, 3, 2).ScanTime = 0), {}, "Incorrect monitoring time", "3/2", "time"),
    X(Scan, DATA(Put(d, 0, 2, 1, 0, 1, 65)), {}, kBadSub, "2/1", "grid", 0, 1),
    X(Scan, DATA(Put(d, 0, 1, 4, 3, 2, 7); Put(d, 0, 1, 4, 0, 2, 7)), {},
      "Exchange1\nMaster Station No.4\nDuplicated exchange-equipment No.(2-7)", "1/4", "grid", 3,
      1),
    X(Group, DATA(Put(d, 1, 1, 2, 0, 1, 2)), {}, kBadMaster, "1/2", "grid", 0, 1),
    X(Meeting, DATA(Put(d, 2, 1, 1, 2, 2, 2); Put(d, 2, 1, 1, 1, 2, 2)), {},
      "Exchange1\nMaster Station (Telephone) No.1\nDuplicated exchange-equipment No.(2-2)", "1/1",
      "grid", 2, 1),
    X(Paging, {}, PagingTime("3", "25"), kPaging, "3", "time"),
    X(Paging, {}, PagingTime("ALL", "abc"), kPaging, "ALL", "time"),
    // The 'c' accepted while editing is refused by Overwrite, which takes the user to it.
    X(Dial, {}, Cells("grid", {{6, 1, "12c"}}, {Master("2")}),
      "Exchange1\nMaster Station No.2\nIncorrect dial number", "1/2", "grid", 6, 1),
    X(Dial, {}, Cells("grid", {{7, 1, "*12#-A"}}, {Master("3")}), "", "", ""),
};

// Each text typed into the cell (in turn, "click" clicks it), then the text a cell shows: the
// same cell unless another is named.
struct Cell {
    Ed ed;
    std::string grid;
    int row, column;
    QStringList typed;
    std::string shown;
    GridCell at;  // where `shown` is, when not the cell typed into
    Act before;
};
// Dialing Assignment of exchange 1, master 1: switch 3 dials 300, switch 10 locks switch 12.
const Change kDialing = [](SettingData& d) {
    SetText(d.Dial[0][0][2].Dial, "300");
    SetText(d.Dial[0][0][9].Shot, "12");
    SetText(M(d, 1, 4).Name, "FRONT");
};
const QString k51 = QString(51, '1');
const std::vector<Cell> kCells = {
    {System, "grid", 1, 1, {"0042"}, "0042"},
    {System, "grid", 1, 1, {"1234567", "12a", k51}, "200"},
    {Stations, "masters", 0, 3, {"1a3", "", "12"}, "191"},
    {Stations, "masters", 0, 3, {"123"}, "123", {0, 4}},  // named after its number: renamed
    {Stations, "masters", 1, 4, {"AB~", "", "ABCDEFGHI"}, "192"},
    {Stations, "masters", 1, 4, {QString::fromUtf16(u"\uFF71\uFF72 }")}, "\xB1\xB2 }"},
    {Stations, "masters", 0, 7, {"03-1234-56789-012345"}, "03-1234-56789-012345"},
    {Stations, "masters", 0, 7, {"12", k51}, ""},  // clears
    {Stations, "masters", 2, 8, {"1234"}, ""},
    {Stations, "masters", 2, 11, {"x1"}, "x1"},
    {Stations, "subs", 0, 3, {"170"}, "170", {0, 4}},
    {Stations, "subs", 4, 5, {"4"}, "1"},
    {Stations, "subs", 4, 5, {"2"}, "291", {4, 7}},
    {Stations, "subs", 4, 6, {"5"}, "1"},
    {Stations, "subs", 4, 6, {"3"}, "193", {4, 8}},
    {Stations, "subs", 5, 7, {"102"}, "191"},  // never a substation
    {Stations, "subs", 5, 7, {"492"}, "3", {5, 5}},
    {Stations, "subs", 5, 9, {"click"}, "Emergency"},
    {Dial, "grid", 0, 1, {"0189aAcC*#- "}, "0189aAcC*#- "},
    {Dial, "grid", 2, 1, {"12345678901234567", "12b"}, "300"},
    {Dial, "grid", 1, 1, {"194"}, "FRONT", {1, 2}},      // a master's number shows its name
    {Dial, "grid", 11, 1, {"77"}, "x"},                  // a locked switch takes no dial
    {Dial, "grid", 0, 3, {"5"}, "x", {4, 1}},            // a lock marks the switch
    {Dial, "grid", 0, 3, {"0", "1a", "1025", "3"}, ""},  // switch 3 dials
    {Dial, "grid", 9, 3, {""}, "", {11, 1}},
    {Dial, "grid", 9, 3, {"13"}, "", {11, 3}},
    {Line, "grid0", 0, 4, {"192"}, "192", {0, 5}, DirectIn(0)},
    {Line, "grid0", 1, 4, {"101"}, "", {}, DirectIn(0)},  // a substation
    {Line, "grid0", 2, 2, {"1"}, "194", {2, 4}, Cells("grid0", {{2, 3, "4"}}, {DirectIn(0)})},
    {Scan, "grid", 0, 1, {"4"}, ""},
    {Scan, "grid", 0, 2, {"65"}, "", {}, Cells("grid", {{0, 1, "3"}})},
    {Scan, "grid", 0, 2, {"12"}, "312", {0, 3}, Cells("grid", {{0, 1, "3"}})},
    {Meeting, "grid", 0, 2, {"4"}, "494", {0, 4}, Cells("grid", {{0, 1, "3"}})},
};

struct Upload {
    Ed ed;
    QString exchange;  // shown before the edit; "" for none
    int page;
    Act edit;
    char letter;  // a record that carries the edit
    RecordRequest at;
};
Upload U(Ed ed, QString exchange, int page, Act edit, char letter, RecordRequest at) {
    return {ed, exchange, page, edit, letter, at};
}
const std::vector<Upload> kUploads = {
    U(System, "", 0, Cells("grid", {{1, 1, "199"}}, {Press("tie1")}), 'A', {.clock = &kClock}),
    // Trunk 1 of exchange 1 receives at master 1, whose new name it then shows.
    U(Line, "1", 0,
      Cells("grid0", {{0, 4, "191"}}, {Press("out0"), DirectIn(0), Type("name0", "TRUNK")}), 'D',
      {.exchange = 1}),
    U(Stations, "1", 0, Cells("masters", {{0, 4, "DESK"}, {0, 5, "click"}, {0, 6, "click"}}), 'B',
      {.exchange = 1, .station = 1}),
    U(Stations, "ALL", 1, Cells("subs", {{64 + 4, 3, "265"}}), 'C',
      {.exchange = 2, .substation = 5}),
    U(Function, "2", 0, Press("busy"), 'F', {.exchange = 2}),
    U(Select, "2", 0, Press("call"), 'M', {.exchange = 2}),
    U(Scan, "2", 0, Cells("grid", {{0, 1, "1"}, {0, 2, "12"}}, {Master("2")}), 'G',
      {.exchange = 2, .station = 2}),
    U(Group, "2", 0, Cells("grid", {{0, 1, "1"}, {0, 2, "3"}}, {Master("2")}), 'E',
      {.exchange = 2, .station = 2}),
    // Substation 1-1, the second speaker of exchange 2 and its source 2 in zone 19.
    U(Paging, "1", 0, Cells("zones", {{0, 5, "click"}}), 'H', {.exchange = 1, .zone = 1}),
    U(Paging, "ALL", 1, Cells("zones", {{17, 21, "click"}}), 'I', {.exchange = 2, .zone = 19}),
    U(Paging, "2", 2, Cells("zones", {{1, 21, "click"}}), 'J', {.exchange = 2, .sourceZone = 19}),
};

std::string Record(const Upload& u, const SettingData& data) {
    RecordRequest r = u.at;
    r.data = &data;
    return Encode(u.letter, r).value_or("none");
}

void Rows(std::size_t n) {  // one data row per table row, named by its index
    QTest::addColumn<int>("i");
    for (int i = 0; i < int(n); ++i) QTest::addRow("%d", i) << i;
}
}  // namespace

class EditorWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir settings_;

  private slots:
    // The clock it will send; Tab goes in reading order and leaves the grid. Upload asks, commits,
    // then sends; a failure ends it with its text; the watchdog gives up at once, silently, when
    // Cancel was pressed (at its limit: the silent exchange's test); a result after that sends
    // nothing more. Fewer exchanges differ, and Close closes once the question is answered Yes.
    void globalSettingUploadAndWatchdog() {
        Editor e(Ed::System);
        CDlgSystem& d = *e.as<CDlgSystem>();
        EditorTestHost& host = e.host;
        QCOMPARE(d.clockField()->text(), QString("09:30:05"));
        for (QWidget* next :
             std::vector<QWidget*>{d.digitsList(), d.tieLineBox(0), d.tieLineBox(1),
                                   d.tieLineBox(2), d.tieLineBox(3), d.grid(), d.PrintButton()}) {
            if (next == d.PrintButton()) d.grid()->SetCurrentCell(2, 1);  // the last cell
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        host.answer = false;  // the results are handed over here
        const auto post = [&e](uint32_t result) {
            QCoreApplication::postEvent(
                e.dlg.get(),
                new LinkEvent(UM_LINK_RESULT, result, std::make_unique<TransferRequest>()));
            QCoreApplication::processEvents();
        };
        Press("tie1")(e);
        host.confirm = false;
        e.dlg->UploadButton()->click();
        host.confirm = true;
        for (uint32_t result : {kResultDone, kResultNotDelivered, kResultOpenFailed}) {
            e.dlg->Upload();
            QVERIFY(host.document.modified);  // committed before sending
            post(result);
        }
        e.dlg->Upload();
        host.cancelled = true;
        e.dlg->OnWatchdogTick();
        e.dlg->OnWatchdogTick();  // finds nothing left to watch
        post(kResultDone);        // too late: nothing more is sent
        QCOMPARE(host.abandons, (std::vector<bool>{false, false, false, false, true}));
        QCOMPARE(host.closes, 4);
        QCOMPARE(host.messages.texts(),
                 (std::vector<std::string>{"Failed to transmit", "Failed to open the device"}));
        ChooseFromList(d.exchangeCountList(), "1");  // numbers beyond the count are cleared
        host.messages.ScriptAnswers({PromptAnswer::Yes});
        d.CloseButton()->click();
        QVERIFY(!d.isVisible());
    }

    // Escape reports nothing; what the receiver writes into its cell stands; Enter and Escape stay
    // with the focused control unless it is a command button; Ctrl+S saves from anywhere. Read-only
    // and refused cells open no editor; a flag flips by click or Space only once current; a tip
    // shows cut-off text only; a cell's own colour; a key filter sees the keys first.
    void gridsAndFrameKeys() {
        Editor e(Ed::Stations);
        GridCtrl* grid = Grid(e, "masters");
        const int name = master_col::kName, flag = master_col::kLineAccess;
        TypeIntoCell(grid, 3, name, "X");  // a change: Close will ask
        int begun = 0;
        bool allowBegin = true, accept = true, redraw = true;
        std::string ended;
        QObject::disconnect(grid, &GridCtrl::editEnded, nullptr, nullptr);  // only these receive
        QObject::connect(grid, &GridCtrl::editBegun,
                         [&](int, int, bool* allow) { *allow = ++begun && allowBegin; });
        QObject::connect(
            grid, &GridCtrl::editEnded, [&](int r, int c, const std::string& t, bool* ok) {
                ended += t + '|';
                if (redraw)
                    grid->SetItemText(r, c, "00" + t);  // the receiver writes the cell itself
                *ok = accept;
            });
        grid->SetCurrentCell(1, name);
        Keys("99");  // the first key replaces the old text
        Key(Qt::Key_Escape);
        QTRY_VERIFY(!CellEditor(grid));
        Keys("5");
        Key(Qt::Key_S, Qt::ControlModifier);  // inside the cell's line editor
        Key(Qt::Key_Return);
        QTRY_VERIFY(!CellEditor(grid));
        QCOMPARE(ended + grid->ItemText(1, name), std::string("5|005"));
        Key(Qt::Key_Return);
        Key(Qt::Key_Escape);
        QVERIFY(e.dlg->isVisible() && e.host.messages.shown.empty() && e.host.saves == 1);
        QVERIFY(!e.host.document.modified);  // Enter pressed no Overwrite
        e.dlg->CloseButton()->setFocus();
        Key(Qt::Key_Escape);  // a command button has the focus: Escape is Close; No keeps it
        QCOMPARE(e.host.messages.texts(), std::vector<std::string>{"Text changed. Exit?"});
        QVERIFY(e.dlg->isVisible());

        redraw = false;
        grid->SetReadOnly(1, name, true);
        grid->SetReadOnly(0, flag, true);
        grid->SetCurrentCell(1, name);
        Keys("2");  // no editor, and no jump to the row whose text starts with "2"
        ClickCell(grid, 1, name, false, true);
        Key(Qt::Key_F2);
        QVERIFY(!CellEditor(grid) && begun == 2);
        allowBegin = false;
        grid->SetCurrentCell(2, name);
        Keys("8");
        for (int row : {2, 0, 1}) {  // the first click only makes the cell current
            ClickCell(grid, row, flag, false);
            ClickCell(grid, row, flag, false);
            allowBegin = true;
        }
        QVERIFY(!CellEditor(grid) && begun == 5);
        const auto texts = [&] {
            return grid->ItemText(0, flag) + grid->ItemText(1, flag) + grid->ItemText(2, flag) +
                   grid->ItemText(2, name);
        };
        QCOMPARE(texts(), std::string("-v-193"));
        Key(Qt::Key_Space);
        ClickCell(grid, 1, flag, false, true);  // a double click flips there and back, as two do
        accept = false;
        Key(Qt::Key_Space);  // refused by the receiver
        QCOMPARE(ended, std::string("5|v|-|v|-|v|"));
        QCOMPARE(texts(), std::string("---193"));

        grid->SetColumnWidth(name, 40);
        grid->SetItemText(0, name, "A rather long name that cannot fit");
        QVERIFY(!TitleTip::IsCutOff(*grid, grid->Model().index(1, name)));
        const QPoint at = grid->visualRect(grid->Model().index(0, name)).center();
        QHelpEvent help(QEvent::ToolTip, at, grid->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(grid->viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), QString("A rather long name that cannot fit"));
        const QModelIndex cell = grid->Model().index(1, name);
        const QVariant back = cell.data(Qt::BackgroundRole);
        grid->SetCellBackground(1, name, Qt::red);
        QCOMPARE(cell.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::red));
        grid->SetCellBackground(1, name, QColor());
        QCOMPARE(cell.data(Qt::BackgroundRole), back);
        int seen = 0;
        grid->SetKeyFilter([&](QKeyEvent& k) { return k.key() == Qt::Key_F5 && ++seen; });
        grid->SetCurrentCell(2, name);
        Key(Qt::Key_F5);
        Keys("1");
        Key(Qt::Key_F5);
        QCOMPARE(seen, 2);
        QCOMPARE(CellEditor(grid)->text(), QString("1"));
    }

    void overwriteChecks_data() { Rows(kChecks.size()); }
    void overwriteChecks() {
        QFETCH(int, i);
        const Check& c = kChecks[std::size_t(i)];
        Editor e(c.ed, c.change);
        if (c.act) c.act(e);
        // Start elsewhere: on another exchange and master, on the other page.
        if (e.selector() && (!c.act || c.ed == Ed::Line) && c.where != "ALL")
            e.Choose(c.where.startsWith("2") ? "3" : "2");
        if (Masters(e)) ChooseFromList(Masters(e), "4");
        if (c.ed == Ed::Stations) e.as<CSheetStation>()->tabs()->setCurrentIndex(c.focus != "subs");
        e.dlg->OverwriteButton()->setFocus();
        QTest::keyClick(e.dlg->OverwriteButton(), Qt::Key_Space);
        if (c.focus == "forwarding") e.dlg->UploadButton()->click();  // checks stored times
        QCOMPARE(e.host.messages.texts(), std::vector<std::string>(!c.message.empty(), c.message));
        if (c.message.empty()) return;
        if (e.selector()) QCOMPARE(e.selector()->currentText(), c.where.section('/', 0, 0));
        if (Masters(e)) QCOMPARE(Masters(e)->currentText(), c.where.section('/', 1));
        QWidget* focus = Named(e, c.focus);
        QVERIFY(focus->hasFocus());
        if (c.cell.row >= 0) QCOMPARE(static_cast<GridCtrl*>(focus)->CurrentCell(), c.cell);
        if (c.ed == Ed::Stations) {  // the fixed columns follow the jump; Print prints the page
            const GridCtrl& g = *static_cast<GridCtrl*>(focus);
            const QRect fixed = g.FixedView().visualRect(g.Model().index(c.cell.row, 1));
            QTRY_VERIFY(g.FixedView().viewport()->rect().contains(fixed.center()));
            e.dlg->PrintButton()->click();
            QCOMPARE(e.host.prints.at(0).category,
                     c.focus == "subs" ? kPrintSubstations : kPrintMasters);
        }
        QVERIFY(!e.host.document.modified);
        if (c.focus == "forwarding") return;  // the box now shows the stored text, which is valid
        e.dlg->UploadButton()->click();       // Upload checks first: no question, nothing sent
        QCOMPARE(e.host.confirmations, 0);
    }

    void cells_data() { Rows(kCells.size()); }
    void cells() {
        QFETCH(int, i);
        const Cell& c = kCells[std::size_t(i)];
        Editor e(c.ed, kDialing);
        if (c.grid == "subs") e.as<CSheetStation>()->tabs()->setCurrentIndex(1);
        if (c.before) c.before(e);
        for (const QString& typed : c.typed) Cells(c.grid, {{c.row, c.column, typed}})(e);
        const GridCell at = c.at.IsValid() ? c.at : GridCell{c.row, c.column};
        QCOMPARE(Grid(e, c.grid)->ItemText(at.row, at.column), c.shown);
        QVERIFY(!e.host.document.modified);  // nothing committed yet
    }

    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
    }

    // Each opens on its first input, which as a drop-down list takes no digits or Space, nor
    // Enter or Escape; it takes the room given to its grid and remembers its size. Close asks
    // nothing when nothing differs, even after a change and its undoing.
    void everyEditorAsAWindow() {
        for (int i = 0; i <= int(Ed::Dial); ++i) {
            QSize chosen;
            {
                Editor e{Ed(i)};
                QVERIFY(QTest::qWaitForWindowExposed(e.dlg.get()));
                QComboBox* first = i ? e.selector() : e.as<CDlgSystem>()->exchangeCountList();
                QCOMPARE(QApplication::focusWidget(), first);
                for (Qt::Key key : {Qt::Key_3, Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape})
                    Key(key);
                QCOMPARE(first->currentIndex(), i ? 0 : 2);
                GridCtrl* grid = e.dlg->findChild<GridCtrl*>();
                const int height = grid ? grid->height() : 0;
                chosen = e.dlg->size() + QSize(60, 120);
                e.dlg->windowHandle()->resize(chosen);  // as the window manager does for the user
                QTRY_COMPARE(e.dlg->size(), chosen);
                if (grid && grid->isVisible() && grid->maximumHeight() > grid->minimumHeight())
                    QVERIFY(grid->height() >= height + 100);  // not the trunks' 4-row grids
                e.host.document.modified = i % 2;  // nothing changed: the flag is left as it is
                e.dlg->OverwriteButton()->click();
                QCOMPARE(e.host.document.modified, bool(i % 2));
                e.dlg->PrintButton()->click();
                QVERIFY(PrintJobDataKnown(e.host.prints[0]));
                if (i == Select) Press("call")(e);
                if (i == Select) e.as<CDlgDirectSelect>()->responseButton()->click();
                e.dlg->CloseButton()->click();
                QVERIFY(e.host.messages.shown.empty() && !e.dlg->isVisible());
            }
            Editor again{Ed(i)};
            QCOMPARE(again.dlg->size(), chosen);
        }
    }

    void stationCheckOpensStationsOnTheCell() {
        RecordingShell shell;
        QVERIFY(shell.app->Start());
        RegisterEditors(*shell.app->frame());
        CQN410View& view = shell.app->frame()->view();
        WhenModal<CDlgSystem>([](CDlgSystem* d) {  // three digits: the stations no longer fit
            ChooseFromList(d->digitsList(), "3");
            TypeIntoCell(d->grid(), 0, 1, "100");
            d->OverwriteButton()->click();
            d->CloseButton()->click();
        });
        bool onTheCell = false;
        WhenModal<CSheetStation>([&onTheCell](CSheetStation* s) {
            QCoreApplication::processEvents();
            onTheCell = s->masterPage()->grid()->CurrentCell() ==
                        GridCell{s->masterPage()->RowOf(1, 1), master_col::kStation};
            s->CloseButton()->click();
        });
        view.panel().button(Category::GlobalSetting)->click();
        QCOMPARE(shell.prompt.texts(), std::vector<std::string>{StationCheckMessage(
                                           CheckStationNumbers(view.document().data()))});
        QVERIFY(onTheCell);
    }

    // 'T' goes out; the exchange's blocks replace the table, door lock time included. A short
    // table is one block, announced by itself.
    void dialingAssignmentDownloads() {
        Editor e(Ed::Dial, DATA(SetText(d.Dial[0][0][3].Dial, "300")));  // not sent: goes
        CDlgDirectDial& dial = *e.as<CDlgDirectDial>();
        dial.downloadButton()->click();
        QCOMPARE(e.host.bodies.at(0)[0], 'T');
        DialTable sent{};
        for (int i : {0, 2}) SetText(sent[i].Dial, std::to_string(201 + i / 2));
        SetText(sent[0].Shot, "2");
        SetText(sent[1].Dial, "x");
        SetText(sent[1].Shot, "x");
        auto block = std::make_unique<TransferRequest>();
        block->body = *EncodeDialBlock(1, 1, 6, BuildSendTable(sent), 1);
        QCoreApplication::postEvent(
            &dial, new LinkEvent(UM_LINK_RESULT, kResultReceived, std::move(block)));
        QTRY_COMPARE(dial.transfer().outcome(), TransferOutcome::Downloaded);
        QCOMPARE(dial.transfer().expected(), 1);                         // as the block announced
        QVERIFY(e.host.bodies.size() == 2 && e.host.bodies[1].empty());  // the release

        QCOMPARE(
            dial.grid()->ItemText(2, 1) + dial.grid()->ItemText(1, 3) + dial.grid()->ItemText(3, 1),
            std::string("202x"));
        QCOMPARE(dial.doorLockList()->currentText(), QString("6"));
        QVERIFY(e.host.document.modified);
    }

    // "Delete ALL" asks first and empties the list shown; Dialing Assignment keeps its door lock
    // time, and an emptied monitoring time shows the stored one again.
    void deleteAllAsksFirst() {
        const std::tuple<Ed, Act, std::string, int> lists[] = {
            {Ed::Line, Cells("grid0", {{0, 4, "192"}}, {DirectIn(0)}), "grid0", 4},
            {Ed::Scan, Cells("grid", {{0, 1, "3"}, {0, 2, "12"}}), "grid", 1},
            {Ed::Dial, Cells("grid", {{0, 1, "300"}, {0, 3, "7"}}), "grid", 1}};
        for (const auto& [ed, fill, grid, column] : lists) {
            Editor e(ed, DATA(M(d, 1, 1).ScanTime = 12; d.ShotT[0][0] = 7));
            fill(e);
            e.host.messages.ScriptAnswers({PromptAnswer::Yes});
            (ed == Ed::Line   ? e.as<CDlgLine>()->line(0).deleteAll
             : ed == Ed::Scan ? e.as<CDlgMemberList>()->deleteAllButton()
                              : e.as<CDlgDirectDial>()->deleteAllButton())
                ->click();
            QCOMPARE(e.host.messages.texts(),
                     std::vector<std::string>{"Will delete all list data. OK?"});
            QCOMPARE(Grid(e, grid)->ItemText(0, column), std::string());
            if (ed == Ed::Dial)
                QCOMPARE(e.as<CDlgDirectDial>()->doorLockList()->currentText(), QString("7"));
            if (ed != Ed::Scan) continue;
            StepEdit* time = e.as<CDlgMemberList>()->timeBox();
            TypeInto(time, "");
            QCOMPARE(time->text(), QString("12"));
            time->stepBy(300);
            QCOMPARE(time->text(), QString("99"));
        }
    }

    void timesAreStoredAsHoursAndMinutes() {
        Editor e(Ed::Function, [](SettingData& d) { d.Function[0].TalkTime = 25; });
        CDlgFunction& f = *e.as<CDlgFunction>();
        f.limit(CDlgFunction::kCallTimeOut).box->click();             // on from 0 stores 1
        TypeInto(f.limit(CDlgFunction::kNoAnswer).value, "0");        // out of range: reverts to 10
        TypeInto(f.limit(CDlgFunction::kConversation).value, "995");  // reverts to 25
        f.limit(CDlgFunction::kConversation).value->stepBy(1);        // rounded down to 20, then up
        f.forwardingBox()->click();
        f.timeBasedBox()->click();
        TypeInto(f.startBox(), " 0007 : 0005");
        e.dlg->OverwriteButton()->click();
        const FunctionSetting& s = e.host.document.data().Function[0];
        QCOMPARE(std::string(s.StartTime.Text), "07:05");
        QCOMPARE((std::vector<int>{s.StartTime.Value, s.CallTime, s.CallCnt, s.TalkTime}),
                 (std::vector<int>{7 * 256 + 5, 1, 10, 30}));
    }

    void pagingZoneDigitsHideZonesAndKeepThem() {
        Editor e(Ed::Paging, DATA(S(d, 1, 3).Level = 1; S(d, 1, 1).Paging = 1 << 11));
        CPagePaging* page = e.as<CSheetPaging>()->pagingPage();
        GridCtrl* grid = page->grid();
        const int zone1 = page->firstZoneColumn();
        ClickCell(grid, 2, zone1);  // "x" stays: an emergency station is not paged
        ClickCell(grid, 0, zone1);
        ChooseFromList(page->zoneDigitsList(), "1");
        QCOMPARE(grid->ColumnCount(), zone1 + 9);
        ChooseFromList(page->zoneDigitsList(), "2");  // zone 12 was hidden, and kept
        QCOMPARE(
            grid->ItemText(2, zone1) + grid->ItemText(0, zone1) + grid->ItemText(0, zone1 + 11),
            "xvv");
        QTest::mouseClick(page->timeOutBox(), Qt::LeftButton);
        TypeInto(page->timeBox(), "25");  // a step first rounds down to tens
        page->timeBox()->stepBy(-1);
        QCOMPARE(page->timeBox()->text(), QString("10"));
    }

    void everyEditorReachesTheExchanges() {
        if (qEnvironmentVariableIsSet("QN410_NO_SIM")) QSKIP("run as editor_upload_sim_test");
        SimLink link;
        const SettingData original = link.host.document.data();
        for (const Upload& u : kUploads) {
            link.host.document.modified = false;
            Editor e(u.ed, nullptr, &link.host);
            if (!u.exchange.isEmpty()) e.Choose(u.exchange);
            if (u.page) static_cast<EditorSheet*>(e.dlg.get())->tabs()->setCurrentIndex(u.page);
            u.edit(e);
            const std::size_t sent = link.host.bodies.size();
            e.dlg->UploadButton()->click();
            QTRY_VERIFY_WITH_TIMEOUT(!e.dlg->UploadActive(), 20000);
            QVERIFY(link.host.messages.shown.empty() && link.host.document.modified);
            const std::string record = Record(u, link.host.document.data());
            QVERIFY2(record != Record(u, original), std::string(1, u.letter).c_str());
            QCOMPARE(std::count(link.host.bodies.begin() + sent, link.host.bodies.end(), record),
                     1);
        }
        SettingDocument held;
        std::string password;
        QCOMPARE(link.sim->Stop(), 0);
        QCOMPARE(ReadSettingFile(link.dir.filePath("out").toStdString(), held, password,
                                 link.linkPrompt),
                 ReadOutcome::Ok);
        RebuildZoneTables(held.data());  // the file keeps the masks only
        QCOMPARE(std::string(link.host.document.data().Exchange[0].Line[0].RxName[0]), "DESK");
        for (const Upload& u : kUploads)
            QVERIFY2(Record(u, held.data()) == Record(u, link.host.document.data()),
                     std::string(1, u.letter).c_str());
    }

    void silentExchangeEndsWithFailedToTransmit() {
        if (qEnvironmentVariableIsSet("QN410_NO_SIM")) QSKIP("run as editor_upload_sim_test");
        SimLink link({"--silent"});
        Editor e(Ed::System, nullptr, &link.host);
        e.dlg->SetWatchdog(3, 100);  // three ticks of 100 ms instead of 120 s
        e.dlg->UploadButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(link.host.messages.texts(),
                                  std::vector<std::string>{"Failed to transmit"}, 5000);
        QCOMPARE(link.host.abandons, (std::vector<bool>{false, true}));  // the link told to give up
    }
};

QTEST_MAIN(EditorWindowTest)
#include "editor_window_test.moc"
