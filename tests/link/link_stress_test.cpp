// The engine under two threads, as in the program: a channel thread feeds the exchange's bytes
// and idle reads while the user-interface thread queues requests, resets the slot and ticks.
// Every request must come back exactly once: sent, failed, dropped by a reset, or still held by
// the engine at the end. Run under ThreadSanitizer by scripts/test-tsan.sh.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

#include "link_test_peer.h"

namespace qn410::test {
namespace {

// An exchange that acknowledges bids and frames (refusing every fifth frame) and now and then
// sends a turn of its own. Used on the channel thread only.
class ScriptedExchange {
  public:
    void OnToolWrite(const uint8_t* bytes, size_t count) {
        const std::string w(reinterpret_cast<const char*>(bytes), count);
        if (w == Bytes({DLE, ENQ})) {
            pending_ += Bytes({DLE, ACK});
        } else if (count > 2) {
            pending_ += (++frames_ % 5 == 0) ? Bytes({DLE, NAK}) : Bytes({DLE, ACK});
        }
    }
    std::string TakeOutput(int round) {
        if (round % 97 == 0)
            pending_ += Bytes({DLE, ENQ}) + PeerFrame("o01stress") + Bytes({DLE, EOT});
        return std::exchange(pending_, {});
    }

  private:
    std::string pending_;
    int frames_ = 0;
};

TEST(LinkStress, EveryRequestComesBackExactlyOnceUnderTwoThreads) {
    ScriptedExchange exchange;
    std::mutex seenMutex;
    std::map<std::string, int> seen;
    std::map<uint16_t, int> byMessage;
    size_t received = 0;
    auto count = [&](const TransferRequestPtr& r) {
        std::lock_guard lock(seenMutex);
        ++seen[r->body];
    };
    LinkEngine engine([&](int, const uint8_t* b, size_t n) { exchange.OnToolWrite(b, n); },
                      [&](LinkNotice n) {
                          if (n.message == UM_LINK_RECEIVED) {
                              std::lock_guard lock(seenMutex);
                              ++received;
                          } else if (n.item) {
                              count(n.item);
                              std::lock_guard lock(seenMutex);
                              ++byMessage[n.message];
                          }
                      });

    std::atomic<bool> stop{false};
    std::thread channel([&] {
        for (int round = 0; !stop.load(); ++round) {
            for (unsigned char c : exchange.TakeOutput(round)) engine.OnByte(0, c);
            engine.OnIdle(0);
            if (round % 4 == 0) engine.OnReadError(0);
            std::this_thread::yield();
        }
    });

    constexpr int kRequests = 3000;
    for (int i = 0; i < kRequests; ++i) {
        auto r = std::make_unique<TransferRequest>();
        r->body = "A" + std::to_string(i);
        engine.Enqueue(0, std::move(r));
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
    for (const TransferRequestPtr& r : engine.TakeAll()) count(r);

    ASSERT_EQ(seen.size(), size_t{kRequests});
    for (const auto& [body, times] : seen) EXPECT_EQ(times, 1) << body;
    EXPECT_EQ(engine.QueueLength(0), 0u);
    RecordProperty("sent", byMessage[UM_LINK_SENT]);
    RecordProperty("failed", byMessage[UM_LINK_ERROR]);
    RecordProperty("dropped", byMessage[UM_LINK_RESET]);
    RecordProperty("received", static_cast<int>(received));
}

}  // namespace
}  // namespace qn410::test
