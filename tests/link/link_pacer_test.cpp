// The channel's pacing of the engine, by the bytes on the wire with the clock in the test's
// hands: 5 ms of quiet line before a send, timer checks on a busy line, the tick only when due.
#include "link/link_pacer.h"

#include <gtest/gtest.h>

#include "link/link_engine.h"
#include "link_test_peer.h"

namespace qn410::test {
namespace {

const std::string kEnq = Bytes({DLE, ENQ}), kAck = Bytes({DLE, ACK}), kEot = Bytes({DLE, EOT});

// The channel thread over whole milliseconds: bytes read, the quiet one-shot when due, the tick.
class PacedLine : public ::testing::Test {
  protected:
    LinkPacer::TimePoint At() const {
        return LinkPacer::TimePoint{} + std::chrono::milliseconds(ms);
    }
    void Submit(const std::string& body) {
        auto r = std::make_unique<TransferRequest>();
        r->body = body;
        engine.Enqueue(0, std::move(r));
        pacer.OnWake(At());
    }
    // One millisecond passes; returns what the tool wrote in it.
    std::string Step(const std::string& in = {}) {
        ++ms;
        pacer.OnRead(reinterpret_cast<const uint8_t*>(in.data()), in.size(), At());
        if (pacer.QuietDue() && *pacer.QuietDue() <= At()) pacer.OnWake(At());
        if (ms % 100 == 0 && pacer.TickNeeded()) pacer.OnTick(At());
        return std::exchange(wire, {});
    }
    void SendA() {
        Submit("A");
        ASSERT_EQ(Hex(std::exchange(wire, {})), Hex(kEnq));
        ASSERT_EQ(Hex(Step(kAck)), Hex(PeerFrame("A")));
        ASSERT_EQ(Hex(Step(kAck)), Hex(kEot));
    }

    std::string wire;
    int ms = 1000;
    LinkEngine engine{[this](int, const uint8_t* b, size_t n) {
                          wire.append(reinterpret_cast<const char*>(b), n);
                          pacer.OnWrite(At());
                      },
                      nullptr};
    LinkPacer pacer{engine};
};

TEST_F(PacedLine, NextBidWaitsForFiveQuietMillisecondsAndAnExchangeBidInThemIsAnswered) {
    SendA();
    Submit("B");
    for (int i = 1; i < 5; ++i) EXPECT_EQ(Step(), "") << i << " ms after DLE EOT";
    EXPECT_EQ(Hex(Step()), Hex(kEnq));
    EXPECT_EQ(Hex(Step(kAck)), Hex(PeerFrame("B")));
    EXPECT_EQ(Hex(Step(kAck)), Hex(kEot));
    Submit("C");
    Step();
    EXPECT_EQ(Hex(Step(kEnq)), Hex(kAck));
    EXPECT_EQ(Hex(Step(PeerFrame("o01") + kEot)), Hex(kAck));
}

TEST_F(PacedLine, TimeOutsHoldOnALineThatIsNeverQuiet) {
    Submit("A");
    wire.clear();
    std::string out;
    while (out.empty() && ms < 1000 + 3200) out = Step(ms % 2 ? "x" : "");
    EXPECT_EQ(Hex(out), Hex(kEnq));  // T0 ran out: the bid is repeated
    EXPECT_GE(ms, 1000 + 2900);
}

TEST_F(PacedLine, TickRunsOnlyWhileThereIsSomethingToTime) {
    EXPECT_FALSE(pacer.TickNeeded());
    SendA();
    EXPECT_FALSE(pacer.TickNeeded());
    Step(kEnq);  // the exchange's turn: T1 runs
    EXPECT_TRUE(pacer.TickNeeded());
    for (int i = 0; i < 3100; ++i) Step();
    EXPECT_FALSE(pacer.TickNeeded());
}

}  // namespace
}  // namespace qn410::test
