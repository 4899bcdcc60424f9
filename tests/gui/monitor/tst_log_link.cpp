// The "Log Data" window: end to end in the program against qn410-sim (QN410_LOG_SECONDS sets the
// run's length); the selection requests and a folder that cannot be written on a recording host.
#include <ctime>

#include "../editors/editor_test_host.h"
#include "app/log_monitor.h"
#include "link/receive_dispatch.h"
#include "monitor/log_columns.h"
#include "monitor/th_log_save.h"
#include "sim_program.h"
#include "support/temp_dir.h"
#include "ui/confirm_dialogs.h"
#include "ui/folder_chooser.h"

using namespace qn410;
using namespace qn410::test;

namespace {

struct Chooser : FolderChooser {
    std::optional<QString> ChooseFolder(QWidget*, const QString&) override { return folder; }
    QString folder;
};

struct Fixture {
    Fixture() {
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
    void twoExchangesFiftyPerSecondEach() {
        const int seconds = std::max(4, qEnvironmentVariableIntValue("QN410_LOG_SECONDS"));
        QTemporaryDir dir;
        const QString trace = dir.filePath(QStringLiteral("trace.txt"));
        SimProcess sim({"--rate", "100", "--trace", trace, "--idle-exit", "120"});
        Chooser folders;
        folders.folder = dir.path();
        Program program(sim.port());
        QVERIFY(program.started);
        CQN410View& view = program.view();
        view.document().data().System.SwitchCnt = 2;
        auto& link = dynamic_cast<BrokerLink&>(view.link());
        auto* logs = new LogMonitor(*program.app->frame(), link, folders);

        // The longest gap between two ticks of a 5 ms timer while records arrive, in wall time
        // and in the thread's own processor time: on a machine shared with other builds only the
        // latter says how long the program itself held the event loop.
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

        // Every record the exchanges sent is in the daily files, in order, 51 bytes each; the
        // history holds the last 1000 and the window shows them.
        const int sent = QString::fromStdString(ReadAll(trace.toStdString()))
                             .count(QStringLiteral("TX frame \"o"));
        QVERIFY(sent >= seconds * 100 * 9 / 10);
        std::string bytes, last, saved;  // the work file remembers the last daily file
        for (const QString& name : QDir(dir.path()).entryList({"HS*"}, QDir::Files, QDir::Name)) {
            const std::string path = dir.filePath(name).toStdString();
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
        QVERIFY(program.prompt.shown.empty());
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
            Fixture f;
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
        Fixture f;
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
