// The program's windows against qn410-sim (the sheet, PC Port and Remote Dialing on COM1, COM2 and
// a modem; the log window, QN410_LOG_SECONDS sets its run) and on a recording host and link (the
// shell: start-up, one copy at a time, documents, closing, progress, message boxes).
#include <QtTest>
#include <QtWidgets>
#include <ctime>

#include "../editors/editor_test_host.h"
#include "app/about_dialog.h"
#include "app/app_paths.h"
#include "app/broker_link.h"
#include "app/dlg_pc_port.h"
#include "app/link_dialogs.h"
#include "app/log_monitor.h"
#include "app/main_frame.h"
#include "app/password_dialogs.h"
#include "app/qn410_view.h"
#include "app/upload_download.h"
#include "link/link_messages.h"
#include "link/receive_dispatch.h"
#include "monitor/dlg_remote_dial.h"
#include "monitor/log_columns.h"
#include "monitor/th_log_save.h"
#include "setting/password.h"
#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "shell_fixture.h"
#include "support/child_process.h"
#include "support/random_setting.h"
#include "support/temp_dir.h"
#include "transfer/page_comm.h"
#include "transfer/record_codec.h"
#include "transfer/sheet_comm.h"
#include "transfer/station_check.h"
#include "transfer/upload_plan.h"
#include "ui/ansi_text.h"
#include "ui/confirm_dialogs.h"
#include "ui/folder_chooser.h"
#include "ui/message_event.h"
#include "ui/progress_dialog.h"
#include "ui/qt_prompt.h"

using namespace qn410;
using namespace qn410::test;
using O = TransferOutcome;

namespace {

void Recordable(SettingData& d, uint32_t seed, uint8_t exchanges) {
    FillRandomRecordable(d, seed);
    d.System.SwitchCnt = exchanges;
    MakeStationNumbersPass(d);
}

QString Diff(const SettingData& a, const SettingData& b) {
    return QString::fromStdString(FirstRecordDifference(a, b).value_or(""));
}

// The program with its link on QN410_COM1, the Upload/Download sheet driven from its button.
struct Program : RecordingShell {
    explicit Program(const QString& port) {
        qputenv("QN410_COM1", port.toLocal8Bit());
        app = MakeApp(folder.path(), [this] { return std::make_unique<BrokerLink>(prompt); });
        if (app->Start())
            InstallUploadDownload(*app->frame(), [this](CSheetComm& s) { Prepare(s); });
    }
    CQN410View& view() { return app->frame()->view(); }
    SettingData& data() { return view().document().data(); }

    // A transfer from the sheet (page 0 up, 1 down; exchange 0: all) after during: the outcome.
    TransferOutcome Transfer(
        int page, int exchange, std::function<void(CSheetComm&)> during = [](CSheetComm&) {}) {
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

    std::vector<TransferOutcome> outcomes;
    std::function<void(CSheetComm&)> run, then;  // then: run once after the next outcome
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

// Starts refused: a number outside 1..SwitchCnt (arrows and keys stay inside), a declined
// confirmation, Escape.
void RefusedStarts(CSheetComm& sheet) {
    CPageComm& page = *sheet.uploadPage();
    page.singleButton()->click();
    page.spin()->upButton()->click();
    for (int i = 0; i < 3; ++i) QTest::keyClick(page.numberEdit(), Qt::Key_Up);
    QCOMPARE(page.numberEdit()->text(), QStringLiteral("3"));
    QTest::keyClick(page.numberEdit(), Qt::Key_Down);
    page.spin()->downButton()->click();
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

// "Log Data" open while two exchanges send 50 records a second each: every record in the daily
// files, the last 1000 in the history and the window; the event loop never held over 50 ms.
void LogWhileRecordsFlow(Program& program, const QString& dir, const QString& trace) {
    const int seconds = std::max(4, qEnvironmentVariableIntValue("QN410_LOG_SECONDS"));
    Chooser folders;
    folders.folder = dir;
    CQN410View& view = program.view();
    view.document().data().System.SwitchCnt = 2;
    auto& link = dynamic_cast<BrokerLink&>(view.link());
    auto* logs = new LogMonitor(*program.app->frame(), link, folders);

    // Gaps between 5 ms ticks in processor time: on a shared machine wall time measures the others.
    qint64 busy = 0, cpuAt = 0;
    auto cpuMs = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
    };
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout,
                     [&] { busy = std::max(busy, cpuMs() - std::exchange(cpuAt, cpuMs())); });
    bool started = false, stopped = false;
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
        w->reject();
    });
    view.panel().button(Category::LogData)->click();  // returns when the window closes
    logs->saver().Stop();
    QVERIFY(started && stopped);

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
    qInfo("%d records in %d s, longest busy gap %lld ms", sent, seconds, busy);
    QVERIFY2(busy <= 50, qPrintable(QString::number(busy)));
}

void Click(QWidget* dialog, const char* button) {
    dialog->findChild<QPushButton*>(button)->click();
}

void Change(CDlgNewPassword* d, const QString& old, const QString& fresh, const QString& again) {
    for (const auto& [field, text] :
         {std::pair{"oldPassword", old}, {"newPassword", fresh}, {"confirmPassword", again}})
        d->findChild<QLineEdit*>(field)->setText(text);
    Click(d, "ok");
}

void WrongThenRight(CDlgPassword* d) {
    auto* edit = d->findChild<QLineEdit*>("password");
    QTest::keyClick(edit, Qt::Key_Return);  // Enter moves on, it does not press OK
    QCOMPARE(d->focusWidget(), d->findChild<QPushButton*>("ok"));
    QTest::keyClicks(edit, "secret7");  // case matters
    Click(d, "ok");
    QVERIFY(d->isVisible() && edit->text().isEmpty());
    QTest::keyClicks(edit, "Secret7");
    Click(d, "ok");
}
void ChangeToX1(CDlgPassword* input) {
    WhenModal<CDlgNewPassword>([](CDlgNewPassword* d) {
        Change(d, "abd", "x1", "x1");
        Change(d, "abc", "x1", "x2");
        const QString unstorable = QString("ab") + QChar(0xFA);
        Change(d, "abc", unstorable, unstorable);
        Change(d, "abc", "x1", "x1");
    });
    Click(input, "newPassword");
    QTest::keyClicks(input->findChild<QLineEdit*>("password"), "x1");
    Click(input, "ok");
}
// One start on a "qn410.txt" protected by a password (or holding raw text).
struct StartCase {
    const char *password, *raw;  // raw: the file's whole text instead of a setting file
    void (*user)(CDlgPassword*);
    bool starts;
    const char* texts;   // the messages shown, in order, each ended by '|'
    PromptIcon icon;     // of the first message
    const char* stored;  // the password in the file afterwards
};

const std::vector<StartCase> kStartCases{
    {"Secret7", nullptr, WrongThenRight, true, "Incorrect password|", PromptIcon::Question,
     "Secret7"},
    {"abc", nullptr, [](CDlgPassword* d) { Click(d, "cancel"); }, false, ""},
    {"abc", nullptr, ChangeToX1, true,
     "Old password not correct.|New password not correct.|New password not correct.|",
     PromptIcon::Question, "x1"},
    {"", "Password=03abc\n[Maintenance]\n", nullptr, false,
     "Incorrect setting file.\n Password Error|", PromptIcon::None},
    {"", "[Maintenance]\n", nullptr, false,
     "Incorrect setting file. Key information\n Password= not found.|", PromptIcon::None},
};

std::string Joined(const RecordingPrompt& prompt) {
    std::string all;
    for (const std::string& text : prompt.texts()) all += text + '|';
    return all;
}

}  // namespace

class TestWindows : public QObject {
    Q_OBJECT
    std::unique_ptr<RecordingShell> shell_;
    RecordingPrompt& prompt() { return shell_->prompt; }
    LinkLog& link() { return shell_->link; }
    CMainFrame& frame() { return *shell_->app->frame(); }
    CQN410View& view() { return frame().view(); }
    SettingDocument& doc() { return view().document(); }
    QString File(const QString& name) { return shell_->folder.file(name); }

    void Post(std::unique_ptr<TransferRequest>& request, uint32_t result) {
        PostLinkEvent(&frame(),
                      std::make_unique<LinkEvent>(UM_LINK_RESULT, result, std::move(request)));
        QCoreApplication::processEvents();
    }

  private slots:
    // One session: uploads and the log window on COM1; 16 exchanges up and down over a modem call;
    // a New document downloading from COM2 after PC Port moved the link there; the close.
    void roundTripsOverCom1Com2AndTheModem() {
        QTemporaryDir dir;
        const QString saved = dir.filePath("saved"), trace = dir.filePath("1"),
                      tm = dir.filePath("m");
        auto sim = std::make_unique<SimProcess>(
            QStringList{"--save", saved, "--trace", trace, "--rate", "100", "--idle-exit", "60"});
        Program program(sim->port());
        QVERIFY(program.app->frame());
        InstallLinkDialogs(*program.app->frame());
        CQN410View& view = program.view();
        auto pcPort = [&](std::function<void(CDlgPcPort*)> act) {
            WhenModal<CDlgPcPort>([act](CDlgPcPort* d) {
                act(d);
                d->closeButton()->click();
            });
            view.panel().button(Category::PcPort)->click();
        };

        Recordable(program.data(), 410, 3);
        const auto original = std::make_unique<SettingData>(program.data());
        RebuildZoneTables(*original);
        program.data().Zones.Sub[0][0].Cell[0] ^= 1;  // stale: opening the sheet rebuilds them
        QCOMPARE(program.Transfer(0, 0, RefusedStarts), O::Uploaded);
        QVERIFY(program.data().Zones == original->Zones);
        QCOMPARE(program.Transfer(0, 2), O::Uploaded);
        // Each closing message is a release of the link: nothing of it goes on the wire.
        QCOMPARE(QString::fromStdString(ReadAll(trace.toStdString())).count(" RX frame "),
                 UploadStepCount(3, 0) - 1 + UploadStepCount(3, 2) - 1);
        LogWhileRecordsFlow(program, dir.path(), trace);
        // It saves what the exchanges hold: the download below brings it back.
        QCOMPARE(sim->Stop(), 0);

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
        bool dialed = false;  // the 'N' record reached the exchange
        WhenModal<CDlgRemoteDial>([&](CDlgRemoteDial* d) {
            d->numberList()->setEditText(QStringLiteral("0*12#"));
            WhenModal<CDlgConfirm>([](CDlgConfirm* c) { c->accept(); });
            d->dialButton()->click();
            dialed = QTest::qWaitFor([&] {
                return !view.progress().dialog() &&
                       ReadAll(tm.toStdString()).find("remote dialing request") !=
                           std::string::npos;
            });
            d->cancelButton()->click();
        });
        view.panel().button(Category::RemoteDialing)->click();
        QVERIFY(dialed);
        // The number rules; the list keeps the last five, the newest first.
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
        Recordable(program.data(), 18, 16);
        const auto sixteen = std::make_unique<SettingData>(program.data());
        QCOMPARE(program.Transfer(0, 0), O::Uploaded);
        FillRandomRecordable(program.data(), 19);
        QCOMPARE(program.Transfer(1, 0), O::Downloaded);
        QCOMPARE(Diff(*sixteen, program.data()), QString());

        // A New document (on COM1 again), and PC Port moving the link to COM2.
        SimProcess com2({"--config", saved, "--idle-exit", "120"});
        qputenv("QN410_COM2", com2.port().toLocal8Bit());
        view.document().modified = false;
        program.app->frame()->doc().New();
        pcPort([](CDlgPcPort* d) {
            d->portButton(1)->click();
            d->overwriteButton()->click();
        });
        QVERIFY(view.document().modified);
        view.document().modified = false;

        // After a cancelled "All" download the exchange still sends what it had queued: a "Single"
        // one started at once takes only its own records.
        std::unique_ptr<SettingData> base;
        int stored = 0;  // records stored by the cancelled download
        program.Transfer(1, 0, [&](CSheetComm& sheet) {
            new AtEvent(sheet, 10, [&] { view.progress().dialog()->reject(); });  // Cancel
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
        const MaintenanceSetting port = program.data().Maintenance;  // still COM2
        program.data() = SettingDocument().data();  // nothing left of the downloads before
        program.data().Maintenance = port;
        QCOMPARE(program.Transfer(1, 0), O::Downloaded);
        QVERIFY(view.document().modified);
        QCOMPARE(Diff(*original, program.data()), QString());

        // A failed station check closes the sheet and opens the Stations.
        int stations = 0;
        view.SetCategoryHandler(Category::Stations, [&] { ++stations; });
        for (int s : {0, 1}) SetNumber(program.data().Exchange[0].Sub[s].Number, 100100);
        QCOMPARE(program.Transfer(0, 0), O::Running);
        QCOMPARE(stations, 1);
        const std::string number = "Incorrect exchange No.|";
        QCOMPARE(Joined(program.prompt),
                 number + number + number + "Incorrect telephone No.|Text changed. Exit?|");
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
            QCOMPARE(Joined(program.prompt), c.text + std::string("|"));
            QVERIFY(std::chrono::steady_clock::now() - start < std::chrono::seconds(10));
        }
        // The log window's request not delivered, refused or unanswered (then abandoned).

        for (int answer : {int(kResultNotDelivered), int(kResultOpenFailed), -1}) {
            EditorTestHost host;
            host.document.data().System.SwitchCnt = 3;
            LogHistory history;
            QObject reading;  // gets the reading messages
            ReadingChoices choices;
            CDlgLogList w(LogKind::Log,
                          {&host, &history, &reading, &choices, nullptr, &SystemClock::Instance()});
            host.answerCode = uint32_t(answer);
            host.answer = answer >= 0;
            w.SetTimeout(3, 10);
            w.destinations()->item(1)->setCheckState(Qt::Checked);
            w.selectButton()->click();
            QTRY_COMPARE(host.closes, 1);
            QCOMPARE(host.abandons.back(), answer < 0);
            QCOMPARE(Joined(host.messages), answer == kResultOpenFailed
                                                ? "Failed to open the device|"
                                                : "Failed to transmit|");
        }
        // A folder that cannot be written: said once; the history still takes every record.
        RecordingPrompt messages;
        LogHistory history;
        TempDir dir;
        WriteAll(dir.file("plain"), "");  // a file where the folder should be
        ReceiveDispatch dispatch(history, SystemClock::Instance(), messages);
        CTHLogSave saver(messages, SystemClock::Instance());
        saver.Start("", "");
        dispatch.SetLogSaver(saver.receiver());
        saver.SelectFolder(LogKind::Log, dir.file("plain/logs"));
        for (int i = 0; i < 1001; ++i) {
            const QString body =
                QStringLiteral("o02120000%1Line2 Line3 Line4 00").arg(i, 6, 10, QChar('0'));
            dispatch.Dispatch(
                std::make_unique<TransferRequest>(TransferRequest{.body = body.toStdString()}));
        }
        QVERIFY(saver.Stop());
        QCOMPARE(Joined(messages), "Log Data File could not be opened|");
        QCOMPARE(history.Logs().size(), size_t(1000));
        QCOMPARE(LogRowTexts(history.Logs().front())[3], std::string("000001"));
    }

    void init() {
        shell_ = std::make_unique<RecordingShell>();
        SettingDocument other;  // a file that differs from the defaults in the port number
        other.data().Maintenance.CommPort = 3;
        SilentPrompt silent;
        WriteSettingFile(File("site.txt").toStdString(), other, "", silent);
    }
    void cleanup() { shell_.reset(); }

    void startsAsThePasswordAllows() {
        for (const StartCase& c : kStartCases) {
            cleanup();
            init();
            SilentPrompt silent;
            SettingDocument doc;
            if (c.raw)
                WriteAll("qn410.txt", c.raw);
            else
                QVERIFY(WriteSettingFile("qn410.txt", doc, c.password, silent));
            if (c.user) WhenModal<CDlgPassword>(c.user);
            QCOMPARE(shell_->app->Start(), c.starts);
            QCOMPARE(Joined(prompt()), std::string(c.texts));
            if (*c.texts) QCOMPARE(prompt().shown[0].icon, c.icon);
            if (!c.starts) continue;
            std::string stored;
            ReadPassword("qn410.txt", stored, silent);
            QVERIFY(frame().view().password() == c.stored && stored == c.stored);
            QCOMPARE(ReadSettingFile("qn410.txt", doc, stored, silent), ReadOutcome::Ok);
        }
    }

    // No setting file and a lock left by a crashed copy: the program starts at once, writes the
    // default file and its work file in the parent of "bin". A second copy ends silently.
    void firstStartAndSecondCopy() {
        const QString run = shell_->folder.file("run"), lock = run + "/QN410.lock";
        QDir().mkpath(run);
        QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        std::string content;
        {
            QLockFile model(lock);
            QVERIFY(model.tryLock(0));
            content = ReadAll(lock.toStdString());
        }
        // A lock left by a crashed copy: the same lock, naming a process that cannot exist.
        WriteAll(lock.toStdString(), "2147480000" + content.substr(content.find('\n')));
        shell_->app = shell_->MakeApp(shell_->folder.file("bin"));
        QVERIFY(shell_->app->Start());
        QVERIFY(QFile::exists("qn410.txt"));
        CMainFrame& frame = *shell_->app->frame();
        QVERIFY(!frame.isWindowModified() && frame.view().password().empty());

        QWidget other;  // the second copy brings this one to the front
        other.show();
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());
        QDir().mkpath("second");
        QProcess second;
        qputenv("XDG_RUNTIME_DIR", run.toLocal8Bit());
        second.setWorkingDirectory(shell_->folder.file("second"));
        second.start(QN410_PROGRAM, {});
        QVERIFY(second.waitForFinished(30000));
        QVERIFY(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0);
        QVERIFY(!QFile::exists("second/qn410.txt"));
        QTRY_VERIFY(frame.isActiveWindow());
        QVERIFY(shell_->prompt.shown.empty());

        QVERIFY(QFile::exists(shell_->folder.file("qn410work.txt")));
        // An installed program keeps its work file per user, even when root could write there.
        qputenv("XDG_DATA_HOME", shell_->folder.path().toLocal8Bit());
        const QString perUser =
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/qn410work.txt";
        for (const char* base : {"/usr", "/usr/local", "/no/such/folder"})
            QCOMPARE(WorkFilePath(base), perUser);
    }

    // Each command on data an editor changed (port 2, unsaved); Save comes as an editor's Ctrl+S.
    // chosen "": the file dialog is cancelled; texts: the messages, each ended by '|'; yes: the
    // answer; name, modified, port: the document's afterwards; dialogs: file dialogs shown.
    void commandsAskAndObey() {
        // A recent file that has gone is reported, dropped from the stored list, and not made anew.
        QVERIFY(shell_->app->Start());
        const QString gone = File("stick/site.txt");
        frame().recentFiles().Add(gone);
        frame().doc().OpenRecent(File("site.txt"));
        QCOMPARE(RecentFiles().files(), QStringList({File("site.txt"), gone}));
        frame().doc().OpenRecent(gone);
        QCOMPARE(Joined(prompt()), gone.toStdString() + "\nThe file cannot be found.|");
        QCOMPARE(prompt().shown[0].icon, PromptIcon::Exclamation);
        QVERIFY(!QFile::exists(gone));
        QCOMPARE(frame().recentFiles().files(), QStringList({File("site.txt")}));
        struct Row {
            const char *command, *chosen, *texts, *name;
            bool yes, modified;
            int dialogs, port, linkRestarts;
        };
        const char* unsavedNew = "Set file not saved.\nDefault Data setting. OK?|";
        const char* unsavedOpen = "Set file not saved.\nData setting. OK?|";
        const char* exit = "Set file not saved. Exit?|";
        for (const Row& r : std::initializer_list<Row>{
                 {"New", "", unsavedNew, "qn410.txt", false, true, 0, 2, 0},
                 {"New", "", unsavedNew, "", true, false, 0, 0, 1},
                 {"Open", "site.txt", unsavedOpen, "qn410.txt", false, true, 0, 2, 0},
                 {"Open", "site.txt", unsavedOpen, "site.txt", true, false, 1, 3, 1},
                 {"Open", "", unsavedOpen, "qn410.txt", true, true, 1, 2, 0},
                 {"Save", "", "", "qn410.txt", false, false, 0, 2, 0},
                 {"Save untitled", "", "", "", false, true, 1, 2, 1},
                 {"Save untitled", "named.txt", "", "named.txt", false, false, 1, 2, 1},
                 {"Save As", "no/x.txt", "Set file Write Error|", "qn410.txt", false, true, 1, 2,
                  0},
                 {"Close", "", exit, "qn410.txt", false, true, 0, 2, 0},
                 {"Close", "", exit, "qn410.txt", true, true, 0, 2, 0}}) {
            cleanup();
            init();
            QVERIFY(shell_->app->Start());
            const QString command = r.command, chosen = r.chosen;
            QString name = r.name;
            if (!name.isEmpty() && name != "qn410.txt") name = File(name);
            if (command == "Save untitled") frame().doc().New();
            view().SetCategoryHandler(Category::GlobalSetting, [this] {
                doc().data().Maintenance.CommPort = 2;  // an editor changes the data
                doc().modified = true;
            });
            view().panel().button(Category::GlobalSetting)->click();
            if (r.yes) prompt().ScriptAnswers({PromptAnswer::Yes});
            if (!chosen.isEmpty()) shell_->files.answers = {File(chosen)};
            if (command == "New") frame().doc().New();
            if (command == "Open") frame().doc().Open();
            if (command.startsWith("Save") && command != "Save As")
                frame().editorHost().SaveDocument();
            if (command == "Save As") frame().doc().SaveAs();
            if (command == "Close") frame().close();

            QCOMPARE(Joined(prompt()), std::string(r.texts));
            QCOMPARE(shell_->files.asked, r.dialogs);
            QCOMPARE(QString::fromStdString(doc().fileName), name);
            QCOMPARE(doc().modified, r.modified);
            QCOMPARE(int(doc().data().Maintenance.CommPort), r.port);
            QCOMPARE(link().stops, r.linkRestarts);
            QCOMPARE(frame().isVisible(), command != "Close" || !r.yes);
            if (!frame().isVisible()) continue;
            QCOMPARE(frame().isWindowModified(), r.modified);
            if (r.modified || name.isEmpty()) continue;
            SettingDocument read;  // the file holds what the document holds
            std::string password;
            SilentPrompt silent;
            ReadSettingFile(name.toStdString(), read, password, silent);
            QCOMPARE(int(read.data().Maintenance.CommPort), r.port);
            if (name != "qn410.txt") QCOMPARE(frame().recentFiles().files().value(0), name);
        }
    }

    // With both readings running, New and the other reading are refused; closing stops
    // each reading in turn, and the window closes once the link lets go.
    void closingStopsTheReadingsFirst() {
        QVERIFY(shell_->app->Start());
        PostMessageTo(&view(), UM_LOG_READING, 1);  // as the reading windows tell it
        PostMessageTo(&view(), UM_MONITOR_READING, 1);
        QCoreApplication::processEvents();
        frame().doc().New();  // Open asks through the same check
        view().panel().button(Category::CommunicationMonitor)->click();
        view().panel().button(Category::LogData)->click();
        const std::string busy = " data. Please stop reading and try it again.|";
        QCOMPARE(Joined(prompt()),
                 "Reading log" + busy + "Reading log" + busy + "Reading communication" + busy);
        prompt().shown.clear();

        view().panel().button(Category::Exit)->click();  // No: keeps running, sends nothing
        QCoreApplication::processEvents();
        QVERIFY(link().submitted.empty());
        prompt().ScriptAnswers({PromptAnswer::Yes});
        frame().close();
        QCoreApplication::processEvents();
        QCOMPARE(link().submitted.size(), std::size_t(1));
        QCOMPARE(link().submitted[0]->body, std::string("O00") + std::string(16, '0'));
        // Cancel in the progress: the watchdog abandons the stop; the reading goes on.
        QTRY_VERIFY(view().progress().dialog());
        view().progress().dialog()->reject();
        QTRY_COMPARE_WITH_TIMEOUT(link().submitted.size(), std::size_t(2), 5000);
        QVERIFY(link().abandoned[1] && link().submitted[1]->clearMask == (kUseSingle | kUseMulti));
        QTRY_VERIFY(!view().progress().dialog());
        Post(link().submitted[1], kResultReset);
        QVERIFY(view().readingLog() && frame().isVisible());

        // Stopped; after timer 5 the monitor's stop fails, and timer 5 ends readings and program.
        prompt().ScriptAnswers({PromptAnswer::Yes, PromptAnswer::Yes});
        frame().close();
        QTRY_COMPARE(link().submitted.size(), std::size_t(3));
        Post(link().submitted[2], kResultDone);
        QVERIFY(!view().readingLog());
        frame().doc().New();  // refused while the other reading runs
        QTRY_VERIFY(!view().progress().IsTransferProgressOpen());
        QTRY_COMPARE_WITH_TIMEOUT(link().submitted.size(), std::size_t(4), 5000);
        Post(link().submitted[3], kResultNotDelivered);
        QVERIFY(view().readingMonitor());  // cleared only when timer 5 fires
        QTRY_VERIFY_WITH_TIMEOUT(!frame().isVisible(), 5000);
        QVERIFY(!view().readingMonitor() && link().closeChecks == 1);
        const std::string log = "Reading log data. Will stop reading.|";
        QCOMPARE(Joined(prompt()), log + log + log + "Reading communication" + busy +
                                       "Reading communication data. Will stop reading.|"
                                       "Failed to transmit|");
    }

    // Print, the link and the progress display as the editors reach them.
    void editorsReachDataLinkAndProgressThroughTheHost() {
        QVERIFY(shell_->app->Start());
        ViewEditorHost& host = frame().editorHost();
        int printed = 0;
        frame().doc().SetPrintHandler([&] { ++printed; });
        frame().doc().Print();
        QCOMPARE(printed, 1);
        for (uint16_t m : {UM_PROGRESS_ADVANCE, UM_PROGRESS_CLOSE, UM_PROGRESS_RESTART,
                           UM_PROGRESS_STEP, UM_PROGRESS_START})  // no display: they open none
            PostProgress(&view(), m, kProgressReceiving, "x", 3);

        host.PostProgress(UM_PROGRESS_START, kProgressTransmitting, "Paging", 4);
        auto request = std::make_unique<TransferRequest>();
        request->requester = &frame();
        host.PostLinkRequest(kLinkSubmit, std::move(request));
        QTRY_VERIFY(view().progress().dialog());
        CDlgProgress* dialog = view().progress().dialog();
        QCOMPARE(dialog->message(), QString("Paging Transmitting data\n\nPlease wait."));
        QSignalSpy titles(dialog, &QWidget::windowTitleChanged);
        for (int i = 0; i < 5; ++i) host.AdvanceProgress();
        QTRY_COMPARE(titles.size(), 5);
        QCOMPARE(titles[0].at(0).toString(), "Transmitting data [25%]");
        QCOMPARE(titles[4].at(0).toString(), "Transmitting data [125%]");
        QVERIFY(link().submitted.size() == 1 && !link().abandoned[0]);

        QTest::keyClick(dialog, Qt::Key_Escape);  // Cancel only raises the flag
        QVERIFY(host.ProgressCancelled() && dialog->isVisible());
        host.CloseProgress();
        QTRY_VERIFY(!view().progress().dialog());
        QVERIFY(!host.ProgressCancelled());
        QCOMPARE(link().releases, 1);  // only a transmitting display lets the link go
    }

    // The real message box; the program's byte mapping, where a character without a byte is '?'.
    void messageBoxesAndSmallDialogs() {
        QtPrompt prompt;
        WhenModal<QMessageBox>([](QMessageBox* box) {
            QCOMPARE(box->icon(), QMessageBox::Question);
            QTest::keyClick(box, Qt::Key_Return);
        });
        QCOMPARE(prompt.AskYesNo("Set file not saved. Exit?"), false);
        WhenModal<QMessageBox>([](QMessageBox* box) {
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            box->button(QMessageBox::Ok)->click();
        });
        prompt.Tell("Incorrect setting file.");
        std::string all;  // every byte survives the way to text and back
        for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
        QCOMPARE(QStringToAnsi(AnsiToQString(all)), all);
        QCOMPARE(AnsiToQString("\xB1"), QString(QChar(0xFF71)));
        QCOMPARE(QStringToAnsi(QString::fromUtf16(u"\u00C0\u03B1\uFF70~")), std::string("??\xB0~"));
        WhenModal<CDlgConfirm>([](CDlgConfirm* dialog) { dialog->reject(); });
        QVERIFY(!ConfirmReceive(nullptr));
        CAboutDlg about;
        // A new password the file cannot take is not kept, and the dialog stays open.
        std::string password;
        CDlgNewPassword failing(QDir::tempPath().toStdString(), password, prompt);
        failing.show();
        WhenModal<QMessageBox>([](QMessageBox* box) {
            QCOMPARE(box->text(), "Set file Write Error");
            QCOMPARE(box->icon(), QMessageBox::Warning);
            box->button(QMessageBox::Ok)->click();
        });
        Change(&failing, "", "x1", "x1");
        QVERIFY(failing.isVisible() && password.empty());
    }
};

QTEST_MAIN(TestWindows)
#include "tst_program.moc"
