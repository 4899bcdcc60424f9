// The "Log Data" window of the real program against qn410-sim over a pseudo-terminal: records
// from two exchanges at 50 per second each reach the history, the window and the daily file
// byte for byte, and the event loop never stalls. QN410_LOG_SECONDS sets the length of the run
// (default 4; the long run is 20).
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeWidget>
#include <QtTest>
#include <fstream>

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

namespace {

struct OneFolder : FolderChooser {
    std::optional<QString> ChooseFolder(QWidget*, const QString&) override { return folder; }
    QString folder;
};

// The longest gap between two ticks of a 5 ms timer: how long the event loop was held up.
struct StallMeter : QObject {
    StallMeter() {
        clock.start();
        startTimer(5, Qt::PreciseTimer);
    }
    void timerEvent(QTimerEvent*) override { longest = std::max(longest, clock.restart()); }
    QElapsedTimer clock;
    qint64 longest = 0;
};

int SimFrames(const QString& trace, char letter) {
    std::ifstream in(trace.toStdString());
    int frames = 0;
    const std::string mark = std::string("TX frame \"") + letter;
    for (std::string line; std::getline(in, line);)
        if (line.find(mark) != std::string::npos) ++frames;
    return frames;
}

}  // namespace

class TestLogLink : public QObject {
    Q_OBJECT
  private slots:
    void twoExchangesFiftyPerSecondEach() {
        const int seconds = qEnvironmentVariableIntValue("QN410_LOG_SECONDS") > 0
                                ? qEnvironmentVariableIntValue("QN410_LOG_SECONDS")
                                : 4;
        QTemporaryDir dir;
        const QString trace = dir.filePath(QStringLiteral("trace.txt"));
        SimProcess sim({"--rate", "100", "--trace", trace, "--idle-exit", "120"});
        QVERIFY(!sim.port().isEmpty());
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
        auto* logs = new LogMonitor(*app.frame(), dynamic_cast<BrokerLink&>(view.link()), folders);
        auto& history = dynamic_cast<BrokerLink&>(view.link()).history();

        StallMeter stalls;
        qint64 longestWhileOpen = 0;
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
            stalls.longest = 0;  // from here on only records arrive
            QTest::qWait(seconds * 1000);
            longestWhileOpen = stalls.longest;
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

        // Every record the exchanges sent is in the daily files, in order, 51 bytes each.
        const int sent = SimFrames(trace, 'o');
        QVERIFY(sent >= seconds * 100 * 9 / 10);
        std::string bytes;
        for (const QString& name : QDir(folders.folder).entryList(QDir::Files, QDir::Name))
            bytes += ReadAll(QDir(folders.folder).filePath(name).toStdString());
        QCOMPARE(bytes.size(), size_t(sent) * 51);
        // The history holds the last 1000 of them, the window shows them as rows.
        const auto kept = history.Logs();
        QCOMPARE(kept.size(), std::min<size_t>(sent, 1000));
        std::string tail;
        for (const LogLine& line : kept) {
            tail += FileLine(line);
            QStringList texts;
            for (const std::string& t : LogRowTexts(line)) texts << QString::fromStdString(t);
            expected << texts.join('|');
        }
        QCOMPARE(bytes.substr(bytes.size() - tail.size()), tail);
        QCOMPARE(rows, expected);
        QVERIFY2(longestWhileOpen <= 50, qPrintable(QString::number(longestWhileOpen)));
        qInfo("%d records in %d s, longest event-loop stall %lld ms", sent, seconds,
              longestWhileOpen);
        QVERIFY(prompt.shown.empty());
        qunsetenv("QN410_COM1");
    }
};

QTEST_MAIN(TestLogLink)
#include "tst_log_link.moc"
