// Measures what the open serial channel costs while the line is quiet: CPU time and thread
// wake-ups of the whole process over a number of seconds, with the port open on a pty.
//   link_idle_load [seconds]      (default 10)
#include <sys/resource.h>

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "link/trans_mng.h"
#include "pty_peer.h"

namespace {

double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    qn410::test::PtyPeer peer;
    if (!peer.ok()) return 1;
    ::setenv("QN410_COM1", peer.slavePath().c_str(), 1);
    QObject view;
    qn410::CTransMng mng(&view, qn410::MaintenanceSetting{});
    if (mng.Connect(1) != 1) {
        std::fprintf(stderr, "cannot open %s\n", peer.slavePath().c_str());
        return 1;
    }
    app.processEvents();  // the start-up notifications

    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    const auto start = std::chrono::steady_clock::now();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const double cpu = Seconds(after.ru_utime) - Seconds(before.ru_utime) +
                       Seconds(after.ru_stime) - Seconds(before.ru_stime);
    const long wakeups = (after.ru_nvcsw - before.ru_nvcsw) + (after.ru_nivcsw - before.ru_nivcsw);
    std::printf(
        "quiet line, port open, %.1f s: CPU %.4f s (%.3f %% of a core), "
        "%ld context switches (%.1f per second, all threads)\n",
        wall, cpu, 100.0 * cpu / wall, wakeups, wakeups / wall);
    mng.Stop(3000);
    return 0;
}
