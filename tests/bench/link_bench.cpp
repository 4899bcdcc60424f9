// Two measuring programs over a pseudo-terminal with the serial port open: link_idle_load
// [seconds] (default 10), CPU time and context switches of the process while the line is quiet;
// link_turnaround [rounds] (default 1000), microseconds from the exchange's last byte to the
// tool's answer, DLE ACK to a received frame and the frame to DLE ACK to the tool's bid.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <ctime>

#include "link/link_frame.h"
#include "link/trans_mng.h"
#include "link_test_peer.h"
#include "pty_peer.h"

using namespace qn410;
using namespace qn410::test;

namespace {

long ContextSwitches() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw + usage.ru_nivcsw;
}

// The microseconds from sending send to the answer of count bytes (expect unless that is empty).
struct Rounds {
    bool Time(const std::string& send, size_t count, const std::string& expect = "") {
        peer.Send(send);
        const auto start = std::chrono::steady_clock::now();
        const std::string got = peer.Read(count, 2000, nullptr);
        const std::chrono::duration<double, std::micro> took =
            std::chrono::steady_clock::now() - start;
        us.push_back(took.count());
        return got.size() == count && (expect.empty() || got == expect);
    }
    void Report(const char* what) {
        std::sort(us.begin(), us.end());
        std::printf("%-34s n=%zu median %.1f us, p90 %.1f us, max %.1f us\n", what, us.size(),
                    us[us.size() / 2], us[us.size() * 9 / 10], us.back());
    }
    PtyPeer& peer;
    std::vector<double> us;
};

int Turnaround(CTransMng& mng, PtyPeer& peer, int rounds) {
    const std::string body = "A01" + std::string(40, '0');
    Rounds acks{peer}, frames{peer};
    peer.Send(kBid);
    peer.Read(2, 2000, nullptr);
    for (int i = 0; i < rounds; ++i)
        if (!acks.Time(PeerFrame("o03" + std::string(32, '1')), 2, kAck)) return 2;
    peer.Send(kEot);
    for (int i = 0; i < rounds; ++i) {
        mng.Enqueue(0, std::make_unique<TransferRequest>(TransferRequest{.body = body}));
        if (peer.Read(2, 2000, nullptr) != kBid) return 3;
        if (!frames.Time(kAck, body.size() + kFrameOverhead)) return 4;
        peer.Send(kAck);
        peer.Read(2, 2000, nullptr);  // DLE EOT
    }
    acks.Report("frame -> DLE ACK");
    frames.Report("DLE ACK to bid -> frame");
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
    app.processEvents();                             // the start-up notifications
    if (!idle) return Turnaround(mng, peer, count);  // the manager stops the link on the way out
    const long switches = ContextSwitches();
    const std::clock_t start = std::clock();
    QTimer::singleShot(count * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const double cpu = double(std::clock() - start) / CLOCKS_PER_SEC;
    const long switched = ContextSwitches() - switches;
    std::printf(
        "quiet line, port open, %d s: CPU %.4f s (%.3f %% of a core), "
        "%ld context switches (%.1f per second, all threads)\n",
        count, cpu, 100.0 * cpu / count, switched, double(switched) / count);
}
