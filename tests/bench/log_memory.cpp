// Memory over a long reading: N log and N monitor records (default 1,000,000 each) through the
// view's path - receive dispatch, histories, the file thread writing the daily files into a
// temporary folder, both list windows open - printing the resident size as it goes.
//   log_memory [N]      (QN410_SCREENSHOTS=DIR also saves both windows' pictures there)
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <fstream>

#include "../gui/editors/editor_test_host.h"
#include "link/receive_dispatch.h"
#include "monitor/dlg_log_list.h"
#include "monitor/th_log_save.h"

using namespace qn410;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
    QTemporaryDir dir;
    test::EditorTestHost host;
    host.document.data().System.SwitchCnt = 4;
    LogHistory history;
    ReadingChoices choices;
    ReceiveDispatch dispatch(history, SystemClock::Instance(), host.messages);
    CTHLogSave saver(host.messages, SystemClock::Instance());
    saver.Start("", "");
    dispatch.SetLogSaver(saver.receiver());
    for (LogKind kind : {LogKind::Log, LogKind::Monitor})
        saver.SelectFolder(kind, dir.path().toStdString());
    LogListServices s{&host, &history, &app, &choices, nullptr, &SystemClock::Instance()};
    CDlgLogList logs(LogKind::Log, s), monitors(LogKind::Monitor, s);
    dispatch.SetLogWindow(&logs), dispatch.SetMonitorWindow(&monitors);
    QElapsedTimer clock;
    clock.start();
    auto report = [&](const std::string& when) {
        long pages = 0, resident = 0;
        std::ifstream("/proc/self/statm") >> pages >> resident;
        qInfo("%s: resident %ld KiB, %.1f s", when.c_str(), resident * 4, clock.elapsed() / 1e3);
    };
    for (long i = 0; i < count; ++i) {
        const int n = int(i % 257);
        char o[40];
        std::snprintf(o, sizeof o, "o%02ld120000%06ldLine2 Line3 Line4 %02ld", i % 16 + 1,
                      i % 1000000, i % 45);
        for (std::string body : {std::string(o), "p01" + std::to_string(n + 1000).substr(1) +
                                                     std::string(n, "0123456789ABCDEF"[i % 16])})
            dispatch.Dispatch(std::make_unique<TransferRequest>(TransferRequest{.body = body}));
        if (i % 1000 == 999) QCoreApplication::processEvents();
        if (i == 9999 || i == count / 2) report(std::to_string(i + 1) + " of each");
    }
    QCoreApplication::processEvents();
    if (const QString shots = qEnvironmentVariable("QN410_SCREENSHOTS"); !shots.isEmpty()) {
        logs.show(), monitors.show(), QCoreApplication::processEvents();
        logs.grab().save(shots + "/log-data.png"),
            monitors.grab().save(shots + "/communication-monitor.png");
    }
    saver.Stop();
    report("all written, thread ended");
    return host.messages.shown.empty() && logs.list()->topLevelItemCount() == 1000 ? 0 : 1;
}
