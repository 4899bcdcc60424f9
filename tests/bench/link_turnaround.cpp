// Measures the tool's turnaround over a pseudo-terminal: the time from the exchange's last byte
// to the tool's answer, for DLE ACK after a received frame and for the frame after DLE ACK to
// the tool's bid. Prints median, 90th percentile and maximum.
//   link_turnaround [rounds]      (default 1000)
#include <poll.h>
#include <unistd.h>

#include <QCoreApplication>
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

// Blocks until count bytes arrived (or 2 s passed) and returns them.
std::string ReadExactly(int fd, size_t count) {
    std::string got;
    const auto end = Clock::now() + std::chrono::seconds(2);
    while (got.size() < count && Clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char buffer[2048];
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, count - got.size()));
        if (n > 0) got.append(buffer, static_cast<size_t>(n));
    }
    return got;
}

void Report(const char* what, std::vector<double>& us) {
    std::sort(us.begin(), us.end());
    std::printf("%-34s n=%zu median %.1f us, p90 %.1f us, max %.1f us\n", what, us.size(),
                us[us.size() / 2], us[us.size() * 9 / 10], us.back());
}

double Since(Clock::time_point t0) {
    return std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 1000;
    PtyPeer peer;
    if (!peer.ok()) return 1;
    ::setenv("QN410_COM1", peer.slavePath().c_str(), 1);
    QObject view;  // the notifications pile up unread; fine for a measurement
    CTransMng mng(&view, MaintenanceSetting{});
    if (mng.Connect(1) != 1) return 1;
    const int fd = peer.fd();

    // Received frames: the exchange's BCC byte to the tool's DLE ACK.
    std::vector<double> ackTimes;
    peer.Send(Bytes({DLE, ENQ}));
    ReadExactly(fd, 2);
    const std::string frame = PeerFrame("o03" + std::string(32, '1'));
    for (int i = 0; i < rounds; ++i) {
        peer.Send(frame);
        const auto t0 = Clock::now();
        if (ReadExactly(fd, 2) != Bytes({DLE, ACK})) return 2;
        ackTimes.push_back(Since(t0));
    }
    peer.Send(Bytes({DLE, EOT}));

    // Sent requests: the exchange's DLE ACK to the tool's frame.
    std::vector<double> frameTimes;
    const std::string body = "A01" + std::string(40, '0');
    for (int i = 0; i < rounds; ++i) {
        auto r = std::make_unique<TransferRequest>();
        r->body = body;
        mng.Enqueue(0, std::move(r));
        if (ReadExactly(fd, 2) != Bytes({DLE, ENQ})) return 3;
        peer.Send(Bytes({DLE, ACK}));
        const auto t0 = Clock::now();
        if (ReadExactly(fd, body.size() + kFrameOverhead).size() != body.size() + kFrameOverhead) {
            return 4;
        }
        frameTimes.push_back(Since(t0));
        peer.Send(Bytes({DLE, ACK}));
        ReadExactly(fd, 2);  // DLE EOT
    }
    Report("frame -> DLE ACK", ackTimes);
    Report("DLE ACK to bid -> frame", frameTimes);
    mng.Stop(3000);
    return 0;
}
