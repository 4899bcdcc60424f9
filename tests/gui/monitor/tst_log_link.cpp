// The "Log Data" window of the real program against qn410-sim: records from two exchanges at 50
// per second each reach the history, the window and the daily file byte for byte, and the event
// loop never stalls. QN410_LOG_SECONDS sets the length of the run (default 4; the long run 20).
#include <QElapsedTimer>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeWidget>
#include <QtTest>
#include <ctime>

#include "app/broker_link.h"
#include "app/category_panel.h"
#include "app/log_monitor.h"
#include "app/main_frame.h"
#include "app/qn410_view.h"
#include "monitor/log_columns.h"
#include "monitor/th_log_save.h"
#include "shell_fixture.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"
#include "ui/confirm_dialogs.h"
#include "ui/folder_chooser.h"

using namespace qn410;
using namespace qn410::test;

struct OneFolder : FolderChooser {
    std::optional<QString> ChooseFolder(QWidget*, const QString&) override { return folder; }
    QString folder;
};

class TestLogLink : public QObject {
    Q_OBJECT
  private slots:
    void twoExchangesFiftyPerSecondEach() {
        const int seconds = std::max(4, qEnvironmentVariableIntValue("QN410_LOG_SECONDS"));
        QTemporaryDir dir;
        const QString trace = dir.filePath(QStringLiteral("trace.txt"));
        SimProcess sim({"--rate", "100", "--trace", trace, "--idle-exit", "120"});
        qputenv("QN410_COM1", sim.port().toLocal8Bit());
        ShellFolder folder;
        RecordingPrompt prompt;
        ScriptedFileChooser files;
        OneFolder folders;
        folders.folder = dir.filePath(QStringLiteral("logs"));
        QVERIFY(QDir().mkpath(folders.folder));
        ShellServices services;
        services.prompt = &prompt;
        services.files = &files;
        services.makeLink = [&prompt] { return std::make_unique<BrokerLink>(prompt); };
        services.lockDir = folder.file(QStringLiteral("run"));
        services.appDir = folder.path();
        QN410App app(std::move(services));
        QVERIFY(app.Start());
        CQN410View& view = app.frame()->view();
        view.document().data().System.SwitchCnt = 2;
        auto& link = dynamic_cast<BrokerLink&>(view.link());
        auto* logs = new LogMonitor(*app.frame(), link, folders);

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
        bool started = false, stopped = false;
        QStringList rows, expected;
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
            for (int r = 0; r < w->list()->topLevelItemCount(); ++r) {
                QStringList texts;
                for (int c = 0; c < kLogColumns; ++c) texts << w->list()->topLevelItem(r)->text(c);
                rows << texts.join('|');
            }
            w->reject();
        });
        view.panel().button(Category::LogData)->click();  // returns when the window closes
        logs->saver().Stop();
        QVERIFY(started && stopped);

        // Every record the exchanges sent is in the daily files, in order, 51 bytes each; the
        // history holds the last 1000 and the window shows them.
        const int sent = QString::fromStdString(ReadAll(trace.toStdString()))
                             .count(QStringLiteral("TX frame \"o"));
        QVERIFY(sent >= seconds * 100 * 9 / 10);
        std::string bytes, last;  // the work file remembers the last one
        for (const QString& name : QDir(folders.folder).entryList(QDir::Files, QDir::Name))
            bytes += ReadAll(last = QDir(folders.folder).filePath(name).toStdString());
        QCOMPARE(view.workFile().history, last);
        QCOMPARE(bytes.size(), size_t(sent) * 51);
        std::string tail;
        for (const LogLine& line : link.history().Logs()) {
            tail += FileLine(line);
            QStringList texts;
            for (const std::string& t : LogRowTexts(line)) texts << QString::fromStdString(t);
            expected << texts.join('|');
        }
        QCOMPARE(rows.size(), std::min(sent, 1000));
        QCOMPARE(bytes.substr(bytes.size() - tail.size()), tail);
        QCOMPARE(rows, expected);
        qInfo("%d records in %d s, longest gap %lld ms, of it busy %lld ms", sent, seconds, stall,
              busy);
        QVERIFY2(busy <= 50, qPrintable(QString::number(busy)));
        QVERIFY(prompt.shown.empty());
    }
};

QTEST_MAIN(TestLogLink)
#include "tst_log_link.moc"
