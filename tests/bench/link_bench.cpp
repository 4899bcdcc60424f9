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

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool idle = std::string(argv[0]).ends_with("link_idle_load");
    const int count = argc > 1 ? std::atoi(argv[1]) : idle ? 10 : 1000;
    PtyPeer peer;
    ::setenv("QN410_COM1", peer.slavePath().c_str(), 1);
    QObject view;  // the notifications pile up unread; fine for a measurement
    CTransMng mng(&view, MaintenanceSetting{});  // stops the link on the way out
    if (!peer.ok() || mng.Connect(1) != 1) return 1;
    app.processEvents();  // the start-up notifications
    if (idle) {
        rusage before{}, after{};
        ::getrusage(RUSAGE_SELF, &before);
        const std::clock_t start = std::clock();
        QTimer::singleShot(count * 1000, &app, &QCoreApplication::quit);
        app.exec();
        ::getrusage(RUSAGE_SELF, &after);
        const double cpu = double(std::clock() - start) / CLOCKS_PER_SEC;
        const long switches = after.ru_nvcsw + after.ru_nivcsw - before.ru_nvcsw - before.ru_nivcsw;
        std::printf(
            "quiet line, port open, %d s: %.3f %% of a core, %.1f context switches a second\n",
            count, 100.0 * cpu / count, double(switches) / count);
        return 0;
    }
    // Sends send and times the answer of `bytes` bytes into us; false when it did not come.
    auto time = [&peer](const std::string& send, size_t bytes, std::vector<double>& us) {
        peer.Send(send);
        const auto start = std::chrono::steady_clock::now();
        const bool answered = peer.Read(bytes, 2000, nullptr).size() == bytes;
        const std::chrono::duration<double, std::micro> took =
            std::chrono::steady_clock::now() - start;
        us.push_back(took.count());
        return answered;
    };
    const std::string body = "A01" + std::string(40, '0');
    std::vector<double> acks, frames;
    peer.Send(kBid);  // the exchange takes the line
    peer.Read(2, 2000, nullptr);
    for (int i = 0; i < count; ++i)
        if (!time(PeerFrame("o03" + std::string(32, '1')), 2, acks)) return 2;
    peer.Send(kEot);
    for (int i = 0; i < count; ++i) {
        mng.Enqueue(0, std::make_unique<TransferRequest>(TransferRequest{.body = body}));
        if (peer.Read(2, 2000, nullptr) != kBid) return 3;
        if (!time(kAck, body.size() + kFrameOverhead, frames)) return 4;
        peer.Send(kAck);
        peer.Read(2, 2000, nullptr);  // DLE EOT
    }
    for (auto [what, us] :
         {std::pair{"frame -> DLE ACK", &acks}, {"DLE ACK to bid -> frame", &frames}}) {
        std::sort(us->begin(), us->end());
        std::printf("%-34s n=%zu median %.1f us, p90 %.1f us, max %.1f us\n", what, us->size(),
                    (*us)[us->size() / 2], (*us)[us->size() * 9 / 10], us->back());
    }
}
