// The link with the serial port open on a pseudo-terminal, built as two measuring programs:
//   link_idle_load [seconds]   (default 10) CPU time and thread wake-ups of the whole process
//                              while the line is quiet;
//   link_turnaround [rounds]   (default 1000) the time from the exchange's last byte to the
//                              tool's answer: DLE ACK after a received frame, and the frame after
//                              DLE ACK to the tool's bid (median, 90th percentile, maximum).
#include <sys/resource.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "link/link_frame.h"
#include "link/trans_mng.h"
#include "link_test_peer.h"
#include "pty_peer.h"

using namespace qn410;
using namespace qn410::test;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(const rusage& u) {
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void IdleLoad(QCoreApplication& app, int seconds) {
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    const auto start = Clock::now();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    ::getrusage(RUSAGE_SELF, &after);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = Seconds(after) - Seconds(before);
    const long wakeups = after.ru_nvcsw - before.ru_nvcsw + after.ru_nivcsw - before.ru_nivcsw;
    std::printf(
        "quiet line, port open, %.1f s: CPU %.4f s (%.3f %% of a core), "
        "%ld context switches (%.1f per second, all threads)\n",
        wall, cpu, 100.0 * cpu / wall, wakeups, wakeups / wall);
}

// Microseconds from sending send to the count bytes of the answer (equal to expect unless that
// is empty); -1 when they did not come.
double Turnaround(PtyPeer& peer, const std::string& send, size_t count, const std::string& expect) {
    peer.Send(send);
    const auto t0 = Clock::now();
    const std::string got = peer.Read(count, 2000, nullptr);
    if (got.size() != count || (!expect.empty() && got != expect)) return -1;
    return std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
}

void Report(const char* what, std::vector<double>& us) {
    std::sort(us.begin(), us.end());
    std::printf("%-34s n=%zu median %.1f us, p90 %.1f us, max %.1f us\n", what, us.size(),
                us[us.size() / 2], us[us.size() * 9 / 10], us.back());
}

int TurnaroundRounds(CTransMng& mng, PtyPeer& peer, int rounds) {
    const std::string ack = Bytes({DLE, ACK}), body = "A01" + std::string(40, '0');
    std::vector<double> ackTimes, frameTimes;
    peer.Send(Bytes({DLE, ENQ}));
    peer.Read(2, 2000, nullptr);
    for (int i = 0; i < rounds; ++i) {  // received frames: BCC byte to DLE ACK
        ackTimes.push_back(Turnaround(peer, PeerFrame("o03" + std::string(32, '1')), 2, ack));
        if (ackTimes.back() < 0) return 2;
    }
    peer.Send(Bytes({DLE, EOT}));
    for (int i = 0; i < rounds; ++i) {  // sent requests: DLE ACK to the bid, to the frame
        auto r = std::make_unique<TransferRequest>();
        r->body = body;
        mng.Enqueue(0, std::move(r));
        if (peer.Read(2, 2000, nullptr) != Bytes({DLE, ENQ})) return 3;
        frameTimes.push_back(Turnaround(peer, ack, body.size() + kFrameOverhead, ""));
        if (frameTimes.back() < 0) return 4;
        peer.Send(ack);
        peer.Read(2, 2000, nullptr);  // DLE EOT
    }
    Report("frame -> DLE ACK", ackTimes);
    Report("DLE ACK to bid -> frame", frameTimes);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool idle = std::string(argv[0]).ends_with("link_idle_load");
    const int count = argc > 1 ? std::atoi(argv[1]) : idle ? 10 : 1000;
    PtyPeer peer;
    if (!peer.ok()) return 1;
    ::setenv("QN410_COM1", peer.slavePath().c_str(), 1);
    QObject view;  // the notifications pile up unread; fine for a measurement
    CTransMng mng(&view, MaintenanceSetting{});
    if (mng.Connect(1) != 1) {
        std::fprintf(stderr, "cannot open %s\n", peer.slavePath().c_str());
        return 1;
    }
    app.processEvents();  // the start-up notifications
    int status = 0;
    if (idle)
        IdleLoad(app, count);
    else
        status = TurnaroundRounds(mng, peer, count);
    mng.Stop(3000);
    return status;
}
