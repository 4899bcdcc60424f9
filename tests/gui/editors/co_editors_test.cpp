// C/O Trunks, Call Forwarding/Time-Out and Direct Select through their widgets: every check and
// where it leads, entry rules, Overwrite, Close, and Upload over the real link to qn410-sim.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "editors/dlg_direct_select.h"
#include "editors/dlg_function.h"
#include "editors/dlg_line.h"
#include "editors/edit_spin.h"
#include "link/link_broker.h"
#include "monitor/log_history.h"
#include "setting/setting_file.h"
#include "station_fixture.h"
#include "support/sim_process.h"
#include "transfer/record_codec.h"

using namespace qn410;
using namespace qn410::test;

namespace {
enum class Kind { Trunks, Forwarding, DirectSelect };

struct CoEditor {
    EditorTestHost host;
    std::unique_ptr<EditorFrame> dialog;
    Kind kind;
    CoEditor(Kind k, const std::function<void(SettingData&)>& change = nullptr) : kind(k) {
        ThreeExchanges(host.document.data());
        if (change) change(host.document.data());
        Open();
    }
    void Open() {
        if (kind == Kind::Trunks) dialog = std::make_unique<CDlgLine>(host);
        if (kind == Kind::Forwarding) dialog = std::make_unique<CDlgFunction>(host);
        if (kind == Kind::DirectSelect) dialog = std::make_unique<CDlgDirectSelect>(host);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
    }
    CDlgLine& line() { return static_cast<CDlgLine&>(*dialog); }
    CDlgFunction& fwd() { return static_cast<CDlgFunction&>(*dialog); }
    CDlgDirectSelect& ds() { return static_cast<CDlgDirectSelect&>(*dialog); }
    QComboBox* selector() const { return dialog->findChild<QComboBox*>(); }  // the only list
    void Choose(int exchange) { ChooseFromList(selector(), QString::number(exchange)); }
    SettingData& stored() { return host.document.data(); }
};

// Replaces a box's text and presses Enter, which ends the entry as leaving the box does.
inline void TypeInto(QWidget* box, const QString& text) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text.isEmpty() ? QString("\b") : text);
    QTest::keyClick(box, Qt::Key_Return);
}

using Act = std::function<void(CoEditor&)>;
struct Check {
    const char* name;
    Kind kind;
    std::function<void(SettingData&)> change;
    Act act;
    std::string message;
    int exchange;
    std::string focus;  // a widget named as in Named(), "grid0 2" for row 2 of line 1's grid
};

QWidget* Named(CoEditor& e, const std::string& name) {
    const int n = name.back() - '0';
    if (name == "timeOut") return e.line().timeOutBox();
    if (name.starts_with("name")) return e.line().line(n).name;
    if (name.starts_with("access")) return e.line().line(n).access;
    if (name.starts_with("grid")) return e.line().line(name[4] - '0').grid;
    if (name == "start" || name == "end")
        return name == "end" ? e.fwd().endBox() : e.fwd().startBox();
    if (name == "forwarding") return e.fwd().forwardingBox();
    return e.fwd().limit(CDlgFunction::LimitKind(n)).value;  // "limit0".."limit2"
}
Act Stations(int l, std::vector<std::pair<int, QString>> rows) {
    return [=](CoEditor& e) {
        e.line().line(l).directInLine->click();
        for (const auto& [row, text] : rows)
            TypeIntoCell(e.line().line(l).grid, row, CDlgLine::kStation, text);
    };
}
Act Type(std::string box, QString text) {
    return [=](CoEditor& e) { TypeInto(Named(e, box), text); };
}

const std::vector<Check>& Checks() {
    const Kind T = Kind::Trunks, F = Kind::Forwarding;
    const auto both = [](SettingData& d) { d.Function[0].OutSend = d.Function[0].AutoOutSend = 1; };
    // clang-format off
    static const std::vector<Check> cases = {
        {"time-out 0", T, {}, Type("timeOut", "0"), "Incorrect C/O line Connection time-out", 1, "timeOut"},
        {"name of 9", T, {}, Type("name0", "ABCDEFGHI"), "Incorrect name", 1, "name0"},
        {"access 12", T, [](SettingData& d) { d.Exchange[0].Line[1].TxNumberOnOff = 1; },
         Type("access1", "12"), "Specific No. for making a call is not correct.", 1, "access1"},
        {"rep of another exchange", T, {}, Stations(0, {{0, "291"}}),
         "Invalid master equipment No.is set.", 1, "grid0 0"},
        {"member only", T, {}, Stations(1, {{1, "192"}}),
         "Exchange1\nC/O line2\nCenter station is not set for the direct-in group.", 1, "grid1 0"},
        {"same master twice", T, {}, Stations(0, {{0, "193"}, {2, "193"}}),
         "Exchange1\nC/O line1\nRedundant receiving stations (1-3)", 1, "grid0 2"},
        {"24:00", F, both, Type("start", "24:00"), "Incorrect starting time", 1, "start"},
        {"12:60", F, both, Type("end", "12:60"), "Incorrect ending time", 1, "end"},
        {"interval", F, [](SettingData& d) { d.Function[1].CallCnt = 100; }, {},
         "Incorrect call time(sec)", 2, "limit0"},
        {"call time", F, [](SettingData& d) { d.Function[2].CallTime = 120; }, {},
         "Incorrect call time(minute)", 3, "limit1"},
        {"talk 25", F, [](SettingData& d) { d.Function[1].TalkTime = 25; }, {},
         "Incorrect conversation time(sec)", 2, "limit2"},
        // Only Upload checks stored times; with the boxes off, the focus goes to turning them on.
        {"stored end, upload", F, [](SettingData& d) { d.Function[2].EndTime.Value = 0x0A3C; },
         {}, "Incorrect ending time", 3, "forwarding"},
    };
    // clang-format on
    return cases;
}
}  // namespace

class CoEditorsTest : public QObject {
    Q_OBJECT
  private slots:
    void checksReportAndFocus_data() {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < Checks().size(); ++i) QTest::newRow(Checks()[i].name) << int(i);
    }
    void checksReportAndFocus() {
        QFETCH(int, index);
        const Check& c = Checks()[std::size_t(index)];
        CoEditor e(c.kind, c.change);
        if (c.act) c.act(e);
        if (c.exchange == 1 && c.kind == Kind::Trunks) e.Choose(2);  // it comes back to 1
        e.dialog->OverwriteButton()->setFocus();
        QTest::keyClick(e.dialog->OverwriteButton(), Qt::Key_Space);
        if (c.focus == "forwarding") e.dialog->UploadButton()->click();  // checks stored times
        QCOMPARE(e.host.messages.texts(), std::vector<std::string>{c.message});
        QCOMPARE(e.host.messages.shown[0].icon, PromptIcon::Question);
        QCOMPARE(e.selector()->currentIndex() + 1, c.exchange);
        QVERIFY(Named(e, c.focus.substr(0, c.focus.find(' ')))->hasFocus());
        if (c.focus.starts_with("grid"))
            QCOMPARE(e.line().line(c.focus[4] - '0').grid->CurrentCell().row, c.focus.back() - '0');
        QVERIFY(!e.host.document.modified);
    }

    void trunkEntries() {
        CoEditor e(Kind::Trunks);
        const CDlgLine::LineControls& c = e.line().line(0);
        c.outgoing->click();
        c.directInLine->click();
        TypeIntoCell(c.grid, 0, CDlgLine::kStation, "192");
        TypeIntoCell(c.grid, 1, CDlgLine::kStation, "101");  // a substation: rejected
        TypeIntoCell(c.grid, 2, CDlgLine::kLine, "4");       // an exchange first
        TypeIntoCell(c.grid, 2, CDlgLine::kExchange, "1");
        const auto cells = [&](int column) {
            return c.grid->ItemText(0, column) + c.grid->ItemText(1, column) +
                   c.grid->ItemText(2, column);
        };
        QCOMPARE(cells(CDlgLine::kLine) + cells(CDlgLine::kStation) + cells(CDlgLine::kName),
                 std::string("24192194192194"));
        e.dialog->OverwriteButton()->click();
        CSheetStation sheet(e.host);  // a master renamed there shows on the line
        sheet.show();
        QApplication::setActiveWindow(&sheet);
        TypeIntoCell(sheet.masterPage()->grid(), 1, 4, "DESK");
        sheet.OverwriteButton()->click();
        QCOMPARE(Text(e.stored().Exchange[0].Line[0].RxName[0]), std::string("DESK"));
        e.host.messages.ScriptAnswers({PromptAnswer::Yes});
        c.deleteAll->click();
        QCOMPARE(e.host.messages.texts(),
                 std::vector<std::string>{"Will delete all list data. OK?"});
        QCOMPARE(cells(CDlgLine::kExchange) + cells(CDlgLine::kName), std::string());
    }

    void forwardingBoxesAndTimes() {
        CoEditor e(Kind::Forwarding, [](SettingData& d) { d.Function[0].TalkTime = 25; });
        CDlgFunction& f = e.fwd();
        f.limit(CDlgFunction::kCallTimeOut).box->click();             // on from 0 stores 1
        TypeInto(f.limit(CDlgFunction::kNoAnswer).value, "0");        // out of range: reverts to 10
        TypeInto(f.limit(CDlgFunction::kConversation).value, "995");  // reverts to 25
        f.limit(CDlgFunction::kConversation).value->stepBy(1);        // rounded down to 20, then up
        f.forwardingBox()->click();
        f.timeBasedBox()->click();
        TypeInto(f.startBox(), " 0007 : 0005");
        e.dialog->OverwriteButton()->click();
        const FunctionSetting& s = e.stored().Function[0];
        QCOMPARE(Text(s.StartTime.Text), std::string("07:05"));
        QCOMPARE((std::vector<int>{s.StartTime.Value, s.CallTime, s.CallCnt, s.TalkTime}),
                 (std::vector<int>{7 * 256 + 5, 1, 10, 30}));
    }

    void overwriteCloseAndUpload() {
        QTemporaryDir dir;
        const QString config = dir.filePath("config.txt"), saved = dir.filePath("saved.txt");
        SilentPrompt silent;
        std::vector<std::unique_ptr<CoEditor>> editors;
        for (Kind kind : {Kind::Trunks, Kind::Forwarding, Kind::DirectSelect})
            editors.push_back(std::make_unique<CoEditor>(kind));
        QVERIFY(WriteSettingFile(config.toStdString(), editors[0]->host.document, "", silent));
        SimProcess sim({"--config", config, "--save", saved, "--rate", "0", "--idle-exit", "60"});
        qputenv("QN410_COM1", sim.port().toLocal8Bit());
        LogHistory history;
        FixedClock clock{LocalTime{2026, 12, 6, 9, 30, 0, 0}};
        LinkBroker broker(history, clock, silent);
        broker.Start(MaintenanceSetting{});
        const auto record = [](Kind kind, const SettingData& d) {
            return *Encode("DFM" [int(kind)], { .exchange = 2, .data = &d });
        };

        for (const auto& editor : editors) {
            CoEditor& e = *editor;
            const auto change = [&](bool on) {
                if (e.kind == Kind::Trunks) TypeInto(e.line().line(1).name, on ? "TRUNK" : "");
                if (e.kind == Kind::Forwarding) e.fwd().busyBox()->click();
                if (e.kind == Kind::DirectSelect)
                    (on ? e.ds().callButton() : e.ds().responseButton())->click();
            };
            e.Choose(2);
            e.dialog->OverwriteButton()->click();  // nothing changed: the flag stays
            QVERIFY(!e.host.document.modified);
            change(true);
            change(false);
            e.dialog->CloseButton()->click();
            QVERIFY(e.host.messages.shown.empty() && !e.dialog->isVisible());
            e.Open();
            e.Choose(2);
            change(true);
            e.dialog->CloseButton()->click();  // No keeps it open
            QCOMPARE(e.host.messages.texts(), std::vector<std::string>{"Text changed. Exit?"});
            QVERIFY(e.dialog->isVisible());

            e.host.answer = false;  // the broker answers, as the view hands requests on to it
            e.host.submit = [&](TransferRequestPtr request, bool abandon) {
                auto* requester = static_cast<QObject*>(request->requester);
                PostLinkRequest(&broker, requester, std::move(request), abandon);
            };
            e.dialog->UploadButton()->click();
            QTRY_VERIFY_WITH_TIMEOUT(!e.dialog->UploadActive(), 15000);
            QCOMPARE(e.host.messages.shown.size(), std::size_t(1));
            std::vector<std::string> bodies{record(e.kind, e.stored())};
            if (e.kind == Kind::Forwarding) bodies.push_back("");  // the release request
            QCOMPARE(e.host.bodies, bodies);
            QCOMPARE(e.host.headers[0].setMask * 10 + e.host.headers[0].clearMask,
                     e.kind == Kind::Forwarding ? 20 : 11);
            e.dialog->PrintButton()->click();  // the printer gets the editor's own copy
            QCOMPARE(e.host.prints.at(0).exchange * 256 + e.host.prints.at(0).category,
                     2 * 256 + "\x05\x02\x10"[int(e.kind)]);
        }
        broker.Shutdown();
        QVERIFY(sim.Stop());
        qunsetenv("QN410_COM1");
        SettingDocument held;
        std::string password;
        QCOMPARE(ReadSettingFile(saved.toStdString(), held, password, silent), ReadOutcome::Ok);
        for (const auto& e : editors) QCOMPARE(record(e->kind, held.data()), e->host.bodies[0]);
    }
};

QTEST_MAIN(CoEditorsTest)
#include "co_editors_test.moc"
