// The channel's pacing by the bytes on the wire, one millisecond a step with a fake clock.
#include "link/link_pacer.h"

#include <gtest/gtest.h>

#include "link_test_peer.h"

namespace qn410::test {

TEST(LinkPacer, NextBidWaitsForFiveQuietMillisecondsAndAnExchangeBidInThemIsAnswered) {
    std::string wire;
    int ms = 992;  // the tick at 1000 finds the line busy: timers are checked, nothing sent
    const auto at = [&] { return LinkPacer::TimePoint{} + std::chrono::milliseconds(ms); };
    LinkEngine engine([&](int, const uint8_t* b, size_t n) { wire.append((const char*)b, n); },
                      nullptr);
    LinkPacer pacer(engine);
    const auto step = [&](const std::string& in = {}) {  // one millisecond: what the tool wrote
        ++ms;
        pacer.OnRead(reinterpret_cast<const uint8_t*>(in.data()), in.size(), at());
        if (pacer.QuietDue() && *pacer.QuietDue() <= at()) pacer.OnWake(at());
        if (ms % 100 == 0 && pacer.TickNeeded()) pacer.OnTick(at());
        if (!wire.empty()) pacer.OnWrite(at());
        return std::exchange(wire, {});
    };
    for (const char* body : {"A", "B"})
        engine.Enqueue(0, std::make_unique<TransferRequest>(TransferRequest{.body = body}));
    pacer.OnWake(at());
    EXPECT_EQ(step(kAck), kBid + PeerFrame("A"));
    EXPECT_EQ(step(kAck), kEot);
    for (int i = 1; i < 5; ++i) EXPECT_EQ(step(), "") << i << " ms after DLE EOT";
    EXPECT_EQ(step(), kBid);
    EXPECT_EQ(step(kAck), PeerFrame("B"));
    EXPECT_EQ(step(kAck), kEot);
    step();
    EXPECT_EQ(step(kBid), kAck);
}

}  // namespace qn410::test
