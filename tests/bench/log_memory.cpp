// Memory over a long reading: N log and N monitor records (default 1,000,000 each) through the
// view's path - the receive dispatch, the two histories, the file thread writing the daily files
// into a temporary folder and both list windows open - with the resident size printed before,
// halfway and after. The rings and the windows' rows are bounded, so the size stays flat.
//   log_memory [N]
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>
#include <fstream>

#include "../gui/editors/editor_test_host.h"
#include "link/receive_dispatch.h"
#include "monitor/dlg_log_list.h"
#include "monitor/th_log_save.h"

using namespace qn410;

long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4;
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir dir;
    test::EditorTestHost host;
    host.document.data().System.SwitchCnt = 16;
    LogHistory history;
    ReadingChoices choices;
    test::RecordingPrompt prompt;
    ReceiveDispatch dispatch(history, SystemClock::Instance(), prompt);
    CTHLogSave saver(prompt, SystemClock::Instance());
    saver.Start("", "");
    dispatch.SetLogSaver(saver.receiver());
    saver.SelectFolder(LogKind::Log, dir.path().toStdString());
    saver.SelectFolder(LogKind::Monitor, dir.path().toStdString());
    LogListServices s{&host, &history, &app, &choices, nullptr, &SystemClock::Instance()};
    CDlgLogList logs(LogKind::Log, s), monitors(LogKind::Monitor, s);
    dispatch.SetLogWindow(&logs);
    dispatch.SetMonitorWindow(&monitors);
    logs.show();
    monitors.show();
    QElapsedTimer clock;
    clock.start();
    for (long i = 0; i < count; ++i) {
        char o[40], p[300];
        std::snprintf(o, sizeof o, "o%02ld120000%06ldLine2 Line3 Line4 %02ld", i % 16 + 1,
                      i % 1000000, i % 100);
        const int n = int(i % 257);
        std::snprintf(p, sizeof p, "p%02ld%03d%s", i % 16 + 1, n, std::string(n, 'd').c_str());
        for (const char* body : {static_cast<const char*>(o), static_cast<const char*>(p)}) {
            auto item = std::make_unique<TransferRequest>();
            item->body = body;
            dispatch.Dispatch(std::move(item));
        }
        if (i % 1000 == 999) QCoreApplication::processEvents();
        if (i == 9999 || i == count / 2 || i == count - 1)
            std::printf("%ld records of each kind: resident %ld KiB, %.1f s\n", i + 1,
                        ResidentKiB(), clock.elapsed() / 1000.0);
    }
    QCoreApplication::processEvents();
    saver.Stop();
    std::printf("files written, thread ended: resident %ld KiB, %.1f s; %zu log rows shown\n",
                ResidentKiB(), clock.elapsed() / 1000.0, size_t(logs.list()->topLevelItemCount()));
    return prompt.shown.empty() ? 0 : 1;
}
