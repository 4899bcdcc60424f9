// The real program against qn410-sim over pseudo-terminals: the Upload/Download sheet, PC Port
// and Remote Dialing on COM1, COM2 and a modem, the "Log Data" window with records flowing
// (QN410_LOG_SECONDS sets that run's length); the log window's requests on a recording host.
#include <QtTest>
#include <QtWidgets>
#include <ctime>

#include "../editors/editor_test_host.h"
#include "app/broker_link.h"
#include "app/dlg_pc_port.h"
#include "app/link_dialogs.h"
#include "app/log_monitor.h"
#include "app/main_frame.h"
#include "app/qn410_view.h"
#include "app/upload_download.h"
#include "link/receive_dispatch.h"
#include "monitor/dlg_remote_dial.h"
#include "monitor/log_columns.h"
#include "monitor/th_log_save.h"
#include "setting/text_field.h"
#include "shell_fixture.h"
#include "support/passing_numbers.h"
#include "support/random_recordable.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"
#include "transfer/page_comm.h"
#include "transfer/record_codec.h"
#include "transfer/sheet_comm.h"
#include "transfer/station_check.h"
#include "transfer/upload_plan.h"
#include "ui/confirm_dialogs.h"
#include "ui/folder_chooser.h"
#include "ui/progress_dialog.h"

using namespace qn410;
using namespace qn410::test;
using O = TransferOutcome;

namespace {

// Random data in the form the records carry, with station numbers that pass the check.
void Recordable(SettingData& d, uint32_t seed, uint8_t exchanges) {
    FillRandomRecordable(d, seed);
    d.System.SwitchCnt = exchanges;
    MakeStationNumbersPass(d);
}

QString Diff(const SettingData& a, const SettingData& b) {
    return QString::fromStdString(FirstRecordDifference(a, b).value_or(""));
}

using SheetAct = std::function<void(CSheetComm&)>;

// The program with its link on QN410_COM1, the Upload/Download sheet driven from its button.
struct Program : RecordingShell {
    explicit Program(const QString& port) {
        qputenv("QN410_COM1", port.toLocal8Bit());
        app = MakeApp(folder.path(), [this] { return std::make_unique<BrokerLink>(prompt); });
        started = app->Start();
        if (started) InstallUploadDownload(*app->frame(), [this](CSheetComm& s) { Prepare(s); });
    }
    CQN410View& view() { return app->frame()->view(); }
    SettingData& data() { return view().document().data(); }

    // Opens the sheet, runs during, starts a transfer on page (0 up, 1 down) of exchange (0: all)
    // and closes the sheet when it has finished (unless then starts another): the last outcome.
    TransferOutcome Transfer(
        int page, int exchange, SheetAct during = [](CSheetComm&) {}) {
        run = [=](CSheetComm& sheet) {
            during(sheet);
            Start(sheet, page, exchange);
        };
        outcomes.clear();
        view().panel().button(Category::UploadDownload)->click();  // returns when it closes
        (void)QTest::qWaitFor([this] { return !view().progress().dialog(); }, 3000);
        return outcomes.empty() ? O::Running : outcomes.back();
    }
    static void Start(CSheetComm& sheet, int page, int exchange) {
        sheet.tabs()->setCurrentIndex(page);
        CPageComm& p = page ? static_cast<CPageComm&>(*sheet.downloadPage()) : *sheet.uploadPage();
        (exchange ? p.singleButton() : p.allButton())->click();
        p.numberEdit()->setText(QString::number(exchange));
        sheet.startButton()->click();
    }
    void Prepare(CSheetComm& sheet) {
        sheet.SetTimeout(100, 100);  // a Cancel acts at the next tick: 0.1 s, not 1 s
        sheet.SetConfirmations([](QWidget*) { return true; }, [](QWidget*) { return true; });
        QObject::connect(&sheet, &CSheetComm::transferFinished, &sheet, [this, &sheet](auto o) {
            outcomes.push_back(o);
            QTimer::singleShot(0, &sheet, [this, &sheet] {
                if (then) return std::exchange(then, {})(sheet);
                sheet.exitButton()->click();
            });
        });
        QTimer::singleShot(60000, &sheet, [&sheet] { sheet.exitButton()->click(); });
        QTimer::singleShot(0, &sheet, [this, &sheet] { run(sheet); });
    }

    bool started = false;
    std::vector<TransferOutcome> outcomes;
    SheetAct run, then;  // then: run once after the next outcome
};

// Runs act at the n-th link event reaching the sheet (and goes with the sheet).
struct AtEvent : QObject {
    AtEvent(CSheetComm& sheet, int n, std::function<void()> act)
        : QObject(&sheet), n(n), act(std::move(act)) {
        sheet.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (dynamic_cast<LinkEvent*>(e) && ++seen == n) act();
        return false;
    }
    int n, seen = 0;
    std::function<void()> act;
};

// Before the start that goes through: the number by arrows and keys within 1..SwitchCnt; a bad
// number, a declined confirmation and Escape leave the line alone and the sheet open.
void RefusedStarts(CSheetComm& sheet) {
    CPageComm& page = *sheet.uploadPage();
    page.singleButton()->click();
    page.spin()->upButton()->click();
    for (int i = 0; i < 3; ++i) QTest::keyClick(page.numberEdit(), Qt::Key_Up);
    QCOMPARE(page.numberEdit()->text(), QStringLiteral("3"));
    QTest::keyClick(page.numberEdit(), Qt::Key_Down);
    page.spin()->downButton()->click();
    QCOMPARE(page.numberEdit()->text(), QStringLiteral("1"));
    for (const char* typed : {"0", "4", ""}) {
        page.numberEdit()->setText(typed);
        QTest::keyClick(page.numberEdit(), Qt::Key_Return);
        sheet.startButton()->click();
        QCOMPARE(sheet.focusWidget(), page.numberEdit());
        QCOMPARE(page.numberEdit()->selectedText(), QString(typed));
    }
    sheet.SetConfirmations([](QWidget*) { return false; }, nullptr);
    Program::Start(sheet, 0, 0);
    QTest::keyClick(&sheet, Qt::Key_Escape);
    QVERIFY(sheet.isVisible());
    sheet.SetConfirmations([](QWidget*) { return true; }, [](QWidget*) { return true; });
}

struct Chooser : FolderChooser {
    std::optional<QString> ChooseFolder(QWidget*, const QString&) override { return folder; }
    QString folder;
};

// The "Log Data" window open while two exchanges send 50 records a second each, then reset:
// every record is in the daily files (51 bytes each, in order), the history holds the last
// 1000 and the window shows them; the event loop is never held over 50 ms.
void LogWhileRecordsFlow(Program& program, const QString& dir, const QString& trace) {
    const int seconds = std::max(4, qEnvironmentVariableIntValue("QN410_LOG_SECONDS"));
    Chooser folders;
    folders.folder = dir;
    CQN410View& view = program.view();
    view.document().data().System.SwitchCnt = 2;
    auto& link = dynamic_cast<BrokerLink&>(view.link());
    auto* logs = new LogMonitor(*program.app->frame(), link, folders);

    // The longest gap between two 5 ms ticks in wall time and in the thread's processor time: on a
    // machine shared with other builds only the latter says how long the program held the loop.
    QElapsedTimer sinceTick;
    qint64 stall = 0, busy = 0, cpuAt = 0;
    auto cpuMs = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
    };
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        stall = std::max(stall, sinceTick.restart());
        busy = std::max(busy, cpuMs() - std::exchange(cpuAt, cpuMs()));
    });
    bool started = false, stopped = false, sorted = false;
    std::string rows, expected, tail;  // the window's and the history's texts, lines
    auto select = [](CDlgLogList* w, int row) {
        w->destinations()->item(row)->setCheckState(Qt::Checked);
        WhenModal<CDlgConfirm>([](CDlgConfirm* c) { c->accept(); });
        w->selectButton()->click();
    };
    WhenModal<CDlgLogList>([&](CDlgLogList* w) {
        w->SelectFolder();
        select(w, 2);  // "ALL"
        started = QTest::qWaitFor([&] { return view.readingLog(); }, 5000);
        sinceTick.start();
        cpuAt = cpuMs();
        ticks.start(5);
        QTest::qWait(seconds * 1000);
        ticks.stop();
        w->destinations()->item(2)->setCheckState(Qt::Unchecked);
        select(w, 3);  // "RESET": the exchanges stop
        stopped = QTest::qWaitFor([&] { return !view.readingLog(); }, 10000);
        QTest::qWait(1500);  // what was still on the line
        for (int r = 0; r < w->list()->topLevelItemCount(); ++r)
            for (int c = 0; c < kLogColumns; ++c)
                rows += w->list()->topLevelItem(r)->text(c).toStdString() + '|';
        w->dataSaveButton()->click();            // the history, into HSyymmddhhmmss.txt
        w->list()->header()->sectionClicked(7);  // "Status" ascending, then descending
        w->list()->header()->sectionClicked(7);
        sorted = w->list()->topLevelItem(0)->text(7) >= w->list()->topLevelItem(9)->text(7);
        w->reject();
    });
    view.panel().button(Category::LogData)->click();  // returns when the window closes
    logs->saver().Stop();
    QVERIFY(started && stopped && sorted);

    const int sent =
        QString::fromStdString(ReadAll(trace.toStdString())).count(QStringLiteral("TX frame \"o"));
    QVERIFY(sent >= seconds * 100 * 9 / 10);
    std::string bytes, last, saved;  // the work file remembers the last daily file
    for (const QString& name : QDir(dir).entryList({"HS*"}, QDir::Files, QDir::Name)) {
        const std::string path = QDir(dir).filePath(name).toStdString();
        (name.contains('-') ? bytes : saved) += ReadAll(path);  // else "Data Save"
        if (name.contains('-')) last = path;
    }
    for (const LogLine& line : link.history().Logs()) {
        tail += FileLine(line);
        for (const std::string& t : LogRowTexts(line)) expected += t + '|';
    }
    QCOMPARE(view.workFile().history, last);
    QCOMPARE(link.history().Logs().size(), std::min(size_t(sent), size_t(1000)));
    QCOMPARE(bytes.size(), size_t(sent) * 51);
    QCOMPARE(bytes.substr(bytes.size() - tail.size()), tail);
    QCOMPARE(saved, tail);
    QCOMPARE(rows, expected);
    qInfo("%d records in %d s, longest gap %lld ms, of it busy %lld ms", sent, seconds, stall,
          busy);
    QVERIFY2(busy <= 50, qPrintable(QString::number(busy)));
}

struct LogFixture {
    LogFixture() {
        host.document.data().System.SwitchCnt = 3;
        w = std::make_unique<CDlgLogList>(LogKind::Log, s);
    }
    EditorTestHost host;
    LogHistory history;
    QObject view;  // gets the reading messages
    ReadingChoices choices;
    FixedClock clock{{2002, 3, 3, 14, 5, 9}};
    LogListServices s{&host, &history, &view, &choices, nullptr, &clock, nullptr, {}};
    std::unique_ptr<CDlgLogList> w;
};

}  // namespace

class TestLogLink : public QObject {
    Q_OBJECT

  private slots:
    // One session of the program: uploads on COM1 and the log window with records flowing; 16
    // exchanges up and down over a modem call; a New document downloading from COM2 after PC Port
    // moved the link there; the close.
    void roundTripsOverCom1Com2AndTheModem() {
        QTemporaryDir dir;
        const QString saved = dir.filePath("saved"), trace = dir.filePath("1"),
                      t2 = dir.filePath("2"), tm = dir.filePath("m");
        auto sim = std::make_unique<SimProcess>(
            QStringList{"--save", saved, "--trace", trace, "--rate", "100", "--idle-exit", "60"});
        Program program(sim->port());
        QVERIFY(program.started);
        InstallLinkDialogs(*program.app->frame());
        CQN410View& view = program.view();
        auto pcPort = [&](std::function<void(CDlgPcPort*)> act) {
            WhenModal<CDlgPcPort>([act](CDlgPcPort* d) {
                act(d);
                d->closeButton()->click();
            });
            view.panel().button(Category::PcPort)->click();
        };
        auto dial = [&](const QString& trace) {  // true when the 'N' record reached trace
            bool reached = false;
            WhenModal<CDlgRemoteDial>([&](CDlgRemoteDial* d) {
                d->numberList()->setEditText(QStringLiteral("0*12#"));
                WhenModal<CDlgConfirm>([](CDlgConfirm* c) { c->accept(); });
                d->dialButton()->click();
                reached = QTest::qWaitFor([&] {
                    return !view.progress().dialog() &&
                           ReadAll(trace.toStdString()).find("remote dialing request") !=
                               std::string::npos;
                });
                d->cancelButton()->click();
            });
            view.panel().button(Category::RemoteDialing)->click();
            return reached;
        };

        Recordable(program.data(), 410, 3);
        const auto original = std::make_unique<SettingData>(program.data());
        RebuildZoneTables(*original);
        program.data().Zones.Sub[0][0].Cell[0] ^= 1;  // stale: opening the sheet rebuilds them
        QCOMPARE(program.Transfer(0, 0,
                                  [&](CSheetComm& sheet) {
                                      QVERIFY(program.data().Zones == original->Zones);
                                      RefusedStarts(sheet);
                                  }),
                 O::Uploaded);
        QCOMPARE(program.Transfer(0, 2), O::Uploaded);
        QCOMPARE(view.link().UseMask(), uint8_t{0});
        // Each closing message is a release of the link: nothing of it goes on the wire.
        QCOMPARE(QString::fromStdString(ReadAll(trace.toStdString())).count(" RX frame "),
                 UploadStepCount(3, 0) - 1 + UploadStepCount(3, 2) - 1);
        LogWhileRecordsFlow(program, dir.path(), trace);
        QVERIFY(sim->Stop());  // saves what the exchanges hold: the download below brings it back

        // Over a modem call, after PC Port's Overwrite did nothing when nothing changed.
        SimProcess modem({"--modem", "--ring-time", "100", "--trace", tm, "--idle-exit", "120"});
        qputenv("QN410_MODEM", modem.port().toLocal8Bit());
        pcPort([](CDlgPcPort* d) { d->overwriteButton()->click(); });
        QVERIFY(!view.document().modified);
        pcPort([](CDlgPcPort* d) {
            d->methodButton(1)->click();
            d->telephoneEdit()->setText(QStringLiteral("0 12"));
            d->overwriteButton()->click();  // refused: the dialog stays as it was
            d->closeButton()->click();      // asks; No keeps it open
            d->telephoneEdit()->setText(QStringLiteral("0-12"));
            d->overwriteButton()->click();
        });
        QVERIFY(dial(tm));
        Recordable(program.data(), 18, 16);
        const auto sixteen = std::make_unique<SettingData>(program.data());
        QCOMPARE(program.Transfer(0, 0), O::Uploaded);
        FillRandomRecordable(program.data(), 19);
        QCOMPARE(program.Transfer(1, 0), O::Downloaded);
        QCOMPARE(Diff(*sixteen, program.data()), QString());

        // A New document (on COM1 again), and PC Port moving the link to COM2.
        SimProcess com2({"--config", saved, "--trace", t2, "--idle-exit", "120"});
        qputenv("QN410_COM2", com2.port().toLocal8Bit());
        view.document().modified = false;
        program.app->frame()->doc().New();
        QCOMPARE(program.data().System.SwitchCnt, uint8_t{1});
        pcPort([](CDlgPcPort* d) {
            d->portButton(1)->click();
            d->overwriteButton()->click();
        });
        QVERIFY(view.document().modified);
        QVERIFY(dial(t2));
        view.document().modified = false;

        // The exchange goes on sending what a cancelled "All" download had queued while a
        // "Single" one runs: that one takes only its own records. Then everything downloaded
        // again equals the uploaded data.
        std::unique_ptr<SettingData> base;
        int stored = 0;  // records stored by the cancelled download
        program.Transfer(1, 0, [&](CSheetComm& sheet) {
            new AtEvent(sheet, 10, [] {  // the progress display's Cancel
                qobject_cast<CDlgProgress*>(QApplication::activeModalWidget())
                    ->findChild<QPushButton*>()
                    ->click();
            });
            program.then = [&](CSheetComm& s) {
                base = std::make_unique<SettingData>(program.data());
                stored = s.session().received();
                CPageComm& page = *s.downloadPage();
                page.singleButton()->click();
                page.numberEdit()->setText(QStringLiteral("2"));
                // to 3: the "Single" field follows the SwitchCnt the download brought
                QTest::keyClick(page.numberEdit(), Qt::Key_Up);
                s.startButton()->click();
            };
        });
        QCOMPARE(program.outcomes, (std::vector{O::Cancelled, O::Downloaded}));
        QVERIFY(stored > 0 && stored < ExpectedDownloadCount(*original, 0));
        UploadPlan plan(*original, 3);  // what a clean single download changes
        for (int s = 1; s < plan.size(); ++s) QVERIFY(Decode(*plan.Record(s), *base));
        QCOMPARE(Diff(*base, program.data()), QString());
        QCOMPARE(program.Transfer(1, 0), O::Downloaded);
        QVERIFY(view.document().modified);
        QCOMPARE(Diff(*original, program.data()), QString());

        // A failed station check closes the sheet and opens the Stations.
        int stations = 0;
        view.SetCategoryHandler(Category::Stations, [&] { ++stations; });
        for (int s : {0, 1}) SetNumber(program.data().Exchange[0].Sub[s].Number, 100100);
        QCOMPARE(program.Transfer(0, 0), O::Running);
        QCOMPARE(stations, 1);
        const char* number = "Incorrect exchange No.";
        QCOMPARE(program.prompt.texts(),
                 (std::vector<std::string>{number, number, number, "Incorrect telephone No.",
                                           "Text changed. Exit?"}));
        view.document().modified = false;
        QVERIFY(!program.app->frame()->close());  // first the port is closed for good ...
        QCOMPARE(view.link().UseMask(), kUseClosing);
        QTRY_VERIFY(!program.app->frame()->isVisible());  // ... then the window closes itself
    }

    void failuresTheUserSees() {
        std::optional<SimProcess> sim;
        const std::function<void()> loseDevice = [&sim] { sim->Stop(); };
        const char* busy = "Exchange No.  1\nNow receiving data so you can't send";
        const struct {
            QStringList sim;  // empty: no device
            int page, at;     // at the at-th link event, act
            std::function<void()> act;
            O outcome;
            const char* text;
        } cases[] = {
            {{"--silent"}, 0, 0, {}, O::FailedTransmit, "Failed to transmit"},
            {{}, 0, 0, {}, O::FailedOpen, "Failed to open the device"},
            {{"--z-after", "10:1:0"}, 0, 0, {}, O::Cancelled, busy},  // in a quiet moment
            // Lost acknowledgements keep the download under way: it ends at once all the same.
            {{"--drop-rx-every", "61"}, 1, 10, loseDevice, O::FailedReceive, "Failed to receive"},
        };
        for (const auto& c : cases) {
            if (!c.sim.isEmpty()) sim.emplace(c.sim + QStringList{"--idle-exit", "60"});
            Program program(c.sim.isEmpty() ? "/nonexistent/qn410-tty" : sim->port());
            const auto start = std::chrono::steady_clock::now();
            const auto during = [&](CSheetComm& s) {
                new AtEvent(s, c.at, c.act);  // at 0: never; the silent one ends by its time-out
                s.SetTimeout(c.sim.contains("--silent") ? 5 : 100, 100);
            };
            QCOMPARE(program.Transfer(c.page, 0, during), c.outcome);
            QCOMPARE(program.prompt.texts(),
                     c.text ? std::vector<std::string>{c.text} : std::vector<std::string>{});
            QVERIFY(std::chrono::steady_clock::now() - start < std::chrono::seconds(10));
        }
    }

    void remoteDialNumberRules() {
        for (const char* good : {"0-12-345", "12345678901234567890"}) QVERIFY(IsModemNumber(good));
        for (const char* bad : {"12 3", "", "123456789012345678901"}) QVERIFY(!IsModemNumber(bad));
        for (const char* good : {"*#0123456789", "ABCD", "QWERTYUIX-OPabcdqwertyuixop"})
            QVERIFY(IsRemoteDialNumber(good));
        for (const char* bad : {"F", "Z", "1 2", "", "123456789012345678901234567890123"})
            QVERIFY(!IsRemoteDialNumber(bad));
        RemoteDialSetting list{};
        for (const char* n : {"1", "2", "3", "4", "5", "3", "6"}) RememberNumber(list, n);
        std::string order;  // "3" moved to the top, not added; the oldest dropped
        for (const auto& n : list.TelNo) order += TextOf(n);
        QCOMPARE(order + char('0' + list.TelCnt), std::string("635425"));
    }

    void selectSendsTheRequestAndReadsTheResult() {
        // rows ticked of "1" "2" "3" "ALL" "RESET"; the answer (-1 none); what follows
        const struct {
            std::vector<int> ticks;
            int answer;
            const char* flags;  // of exchanges 1..4; the rest are '0'
            int clear;
            const char *text, *message;
        } cases[] = {
            {{0, 2}, kResultDone, "1010", 0, "1 3 ", nullptr},
            {{3}, kResultDone, "1110", 0, "ALL", nullptr},
            {{0, 4}, kResultDone, "0000", 8, "", nullptr},
            {{1}, kResultNotDelivered, "0100", 0, "2 ", "Failed to transmit"},
            {{1}, kResultOpenFailed, "0100", 0, "2 ", "Failed to open the device"},
            {{1}, -1, "0100", 0, "2 ", "Failed to transmit"},
        };
        for (const auto& c : cases) {
            LogFixture f;
            f.host.answerCode = uint32_t(c.answer);
            f.host.answer = c.answer >= 0;
            f.w->SetTimeout(3, 10);
            for (int row : c.ticks) f.w->destinations()->item(row)->setCheckState(Qt::Checked);
            f.w->selectButton()->click();
            QTRY_COMPARE(f.host.closes(), 1);
            QCOMPARE(f.host.bodies[0], "O00" + std::string(c.flags) + std::string(12, '0'));
            QCOMPARE(f.host.headers[0].setMask * 100 + f.host.headers[0].clearMask, 800 + c.clear);
            QCOMPARE(f.host.abandons.back(), c.answer < 0);  // no answer: the link is abandoned
            QCOMPARE(f.w->selectionText()->text(), QString::fromLatin1(c.text));
            QCOMPARE(f.host.messages.texts(),
                     c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        }
    }

    // The view's path of a record into a folder that cannot be written: the file thread says so
    // once, and the history and the window still take every record (the last 1000 of them).
    void unwritableFolderSaysSoOnce() {
        LogFixture f;
        TempDir dir;
        WriteAll(dir.file("plain"), "");  // a file where the folder should be
        ReceiveDispatch dispatch(f.history, f.clock, f.host.messages);
        CTHLogSave saver(f.host.messages, f.clock);
        saver.Start("", "");
        dispatch.SetLogSaver(saver.receiver());
        dispatch.SetLogWindow(f.w.get());
        saver.SelectFolder(LogKind::Log, dir.file("plain/logs"));
        for (int i = 0; i < 1001; ++i) {
            const QString body =
                QStringLiteral("o02120000%1Line2 Line3 Line4 00").arg(i, 6, 10, QChar('0'));
            dispatch.Dispatch(
                std::make_unique<TransferRequest>(TransferRequest{.body = body.toStdString()}));
        }
        QVERIFY(saver.Stop());
        QCOMPARE(f.host.messages.texts(),
                 std::vector<std::string>{"Log Data File could not be opened"});
        QCoreApplication::processEvents();
        QCOMPARE(f.history.Logs().size(), size_t(1000));
        QCOMPARE(f.w->list()->topLevelItemCount(), 1000);
        QCOMPARE(f.w->list()->topLevelItem(0)->text(3), QStringLiteral("000001"));
    }
};

QTEST_MAIN(TestLogLink)
#include "tst_log_link.moc"
