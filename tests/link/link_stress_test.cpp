// The engine under two threads, as in the program: a channel thread feeds an exchange's bytes
// and idle reads while the user-interface thread queues requests, resets the slot and ticks.
// Every request comes back exactly once: sent, failed, dropped by a reset, or still held by the
// engine at the end. Run under ThreadSanitizer by scripts/test-tsan.sh.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

#include "link_test_peer.h"

namespace qn410::test {

TEST(LinkStress, EveryRequestComesBackExactlyOnceUnderTwoThreads) {
    std::mutex mutex;
    std::map<std::string, int> seen;
    // The exchange (channel thread only) acknowledges bids and frames, refusing every fifth
    // frame, and now and then sends a turn of its own.
    std::string pending;
    int frames = 0;
    LinkEngine engine(
        [&](int, const uint8_t* b, size_t n) {
            if (n == 2 && b[1] == ENQ) pending += kAck;
            if (n > 2) pending += ++frames % 5 ? kAck : kNak;
        },
        [&](LinkNotice n) {
            std::lock_guard lock(mutex);
            if (n.item && n.message != UM_LINK_RECEIVED) ++seen[n.item->body];
        });
    std::atomic<bool> stop{false};
    std::thread channel([&] {
        for (int round = 0; !stop.load(); ++round) {
            if (round % 97 == 0) pending += kBid + PeerFrame("o01stress") + kEot;
            for (unsigned char c : std::exchange(pending, {})) engine.OnByte(0, c);
            engine.OnIdle(0);
            if (round % 4 == 0) engine.OnReadError(0);
            std::this_thread::yield();
        }
    });
    constexpr int kRequests = 3000;
    for (int i = 0; i < kRequests; ++i) {
        engine.Enqueue(
            0, std::make_unique<TransferRequest>(TransferRequest{.body = "A" + std::to_string(i)}));
        if (i % 3 == 0) engine.Tick();
        if (i % 50 == 0) engine.ResetSlot(0);
        // Let the channel catch up now and then, so both threads stay busy together.
        for (int spin = 0; spin < 100000 && engine.QueueLength(0) > 4; ++spin) {
            if (spin % 64 == 0) engine.Tick();
            std::this_thread::yield();
        }
    }
    stop = true;
    channel.join();
    for (const TransferRequestPtr& r : engine.TakeAll()) ++seen[r->body];
    ASSERT_EQ(seen.size(), size_t{kRequests});
    for (const auto& [body, times] : seen) EXPECT_EQ(times, 1) << body;
}

}  // namespace qn410::test
