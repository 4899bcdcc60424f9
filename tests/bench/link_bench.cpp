// The link with the serial port open on a pseudo-terminal, built as two measuring programs:
//   link_idle_load [seconds]   (default 10) CPU time and context switches of the whole process
//                              while the line is quiet;
//   link_turnaround [rounds]   (default 1000) the time from the exchange's last byte to the
//                              tool's answer: DLE ACK after a received frame, and the frame after
//                              DLE ACK to the tool's bid (median, 90th percentile, maximum).
#include <sys/resource.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <ctime>

#include "link/link_frame.h"
#include "link/trans_mng.h"
#include "link_test_peer.h"
#include "pty_peer.h"

using namespace qn410;
using namespace qn410::test;
using Clock = std::chrono::steady_clock;

namespace {

int IdleLoad(QCoreApplication& app, int seconds) {
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    const std::clock_t cpu = std::clock();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    ::getrusage(RUSAGE_SELF, &after);
    const double used = double(std::clock() - cpu) / CLOCKS_PER_SEC;
    const long switches = after.ru_nvcsw - before.ru_nvcsw + after.ru_nivcsw - before.ru_nivcsw;
    std::printf(
        "quiet line, port open, %d s: CPU %.4f s (%.3f %% of a core), "
        "%ld context switches (%.1f per second, all threads)\n",
        seconds, used, 100.0 * used / seconds, switches, double(switches) / seconds);
    return 0;
}

// Sends send and adds the microseconds until count bytes of answer came (equal to expect unless
// that is empty) to times; false when they did not come.
bool Time(PtyPeer& peer, const std::string& send, size_t count, const std::string& expect,
          std::vector<double>& times) {
    peer.Send(send);
    const auto start = Clock::now();
    const std::string got = peer.Read(count, 2000, nullptr);
    times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    return got.size() == count && (expect.empty() || got == expect);
}

void Report(const char* what, std::vector<double>& us) {
    std::sort(us.begin(), us.end());
    std::printf("%-34s n=%zu median %.1f us, p90 %.1f us, max %.1f us\n", what, us.size(),
                us[us.size() / 2], us[us.size() * 9 / 10], us.back());
}

int Turnaround(CTransMng& mng, PtyPeer& peer, int rounds) {
    const std::string body = "A01" + std::string(40, '0');
    std::vector<double> acks, frames;
    peer.Send(kBid);
    peer.Read(2, 2000, nullptr);
    for (int i = 0; i < rounds; ++i)
        if (!Time(peer, PeerFrame("o03" + std::string(32, '1')), 2, kAck, acks)) return 2;
    peer.Send(kEot);
    for (int i = 0; i < rounds; ++i) {
        mng.Enqueue(0, std::make_unique<TransferRequest>(TransferRequest{.body = body}));
        if (peer.Read(2, 2000, nullptr) != kBid) return 3;
        if (!Time(peer, kAck, body.size() + kFrameOverhead, "", frames)) return 4;
        peer.Send(kAck);
        peer.Read(2, 2000, nullptr);  // DLE EOT
    }
    Report("frame -> DLE ACK", acks);
    Report("DLE ACK to bid -> frame", frames);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool idle = std::string(argv[0]).ends_with("link_idle_load");
    const int count = argc > 1 ? std::atoi(argv[1]) : idle ? 10 : 1000;
    PtyPeer peer;
    ::setenv("QN410_COM1", peer.slavePath().c_str(), 1);
    QObject view;  // the notifications pile up unread; fine for a measurement
    CTransMng mng(&view, MaintenanceSetting{});
    if (!peer.ok() || mng.Connect(1) != 1) return 1;
    app.processEvents();  // the start-up notifications
    const int status = idle ? IdleLoad(app, count) : Turnaround(mng, peer, count);
    mng.Stop(3000);
    return status;
}
