// The exchange's side of the line, checked by the bytes it writes, with the clock in the test's
// hands: every time-out is reached by passing a later time, never by waiting.
#include "exchange_link.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "sim_test_line.h"

namespace qn410::sim::test {
namespace {

class ExchangeLinkTest : public ::testing::Test {
  protected:
    void Make(LineFaults faults = {}, LineTiming timing = {}) {
        link_ = std::make_unique<ExchangeLink>(line_, trace_, timing, faults);
        link_->SetFrameHandler(
            [this](std::string_view body, Millis) { received_.emplace_back(body); });
    }
    void SetUp() override { Make(); }

    // The tool's bytes arrive at time now; returns what the exchange wrote in answer.
    std::string Feed(std::string_view bytes, Millis now = 0) {
        link_->OnBytes(bytes, now);
        link_->OnTime(now);
        return line_.Take();
    }
    std::string At(Millis now) {
        link_->OnTime(now);
        return line_.Take();
    }

    FakeLine line_;
    std::ostringstream traceText_;
    SimTrace trace_{&traceText_};
    std::unique_ptr<ExchangeLink> link_;
    std::vector<std::string> received_;
};

TEST_F(ExchangeLinkTest, ToolTurnIsAnsweredAcknowledgedAndClosed) {
    EXPECT_EQ(Feed(FrameOf("Q00")), "");  // a frame without a bid is ignored
    EXPECT_EQ(Feed(kEnqPair), kAckPair);
    EXPECT_EQ(Feed(kEnqPair), kAckPair);  // a repeated bid is answered again
    EXPECT_EQ(Feed(FrameOf("Q00")), kAckPair);
    EXPECT_EQ(Feed(FrameOf("")), kAckPair);      // acknowledged, delivers nothing
    EXPECT_EQ(Feed(FrameOf("M011")), kAckPair);  // several frames in one turn are fine
    EXPECT_EQ(Feed(kEotPair), "");
    EXPECT_EQ(received_, (std::vector<std::string>{"Q00", "M011"}));
    EXPECT_TRUE(link_->Idle());
    EXPECT_EQ(Feed(kEnqPair), kAckPair);  // the next turn starts with a new bid
}

TEST_F(ExchangeLinkTest, WrongBccIsRefusedAndTheFrameSentAgainIsTaken) {
    Feed(kEnqPair);
    EXPECT_EQ(Feed(FrameOf("Q00", BodyBcc("Q00") ^ 1)), kNakPair);
    EXPECT_TRUE(received_.empty());
    EXPECT_EQ(Feed(FrameOf("Q00")), kAckPair);
    EXPECT_EQ(received_, std::vector<std::string>{"Q00"});
    EXPECT_NE(traceText_.str().find("BCC 0x43 bad"), std::string::npos) << traceText_.str();
}

TEST_F(ExchangeLinkTest, DoubledDleIsOneDataByteAndBareEtxIsData) {
    Feed(kEnqPair);
    // On the wire the data DLE is doubled; the BCC over the sent bytes is unchanged by it.
    std::string wire(
        "\x10\x02"
        "a\x10\x10z\x03q\x10\x03",
        10);
    wire += static_cast<char>('a' ^ 'z' ^ 0x03 ^ 'q' ^ 0x10 ^ 0x03);
    EXPECT_EQ(Feed(wire), kAckPair);
    EXPECT_EQ(received_, std::vector<std::string>{std::string("a\x10z\x03q", 5)});
}

// A spoilt frame is refused one second after its last byte; then the tool may send it again.
TEST_F(ExchangeLinkTest, SpoiltFramesAreRefusedAfterOneSecondOfSilence) {
    const struct {
        const char* what;
        std::string bytes;
    } rows[] = {{"incomplete", "\x10\x02Q0"},
                {"DLE then another byte", "\x10\x02Q\x10X00\x10\x03"},
                {"1024-byte body", FrameOf(std::string(1024, 'x'))}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Make();
        Feed(kEnqPair, 0);
        EXPECT_EQ(Feed(FrameOf(std::string(1023, 'x')), 0), kAckPair);
        EXPECT_EQ(Feed(row.bytes, 100), "");
        EXPECT_EQ(At(1099), "");
        EXPECT_EQ(At(1100), kNakPair);
        EXPECT_EQ(Feed(FrameOf("Q00"), 1200), kAckPair);
    }
}

TEST_F(ExchangeLinkTest, OpenTurnEndsSilentlyAfterThreeSeconds) {
    Feed(kEnqPair, 0);
    EXPECT_EQ(At(2999), "");
    EXPECT_FALSE(link_->Idle());
    EXPECT_EQ(At(3000), "");
    EXPECT_TRUE(link_->Idle());
}

TEST_F(ExchangeLinkTest, QueuedBodiesGoOutInTurnsOfTheSetSize) {
    Make({}, {.framesPerTurn = 2});
    for (const char* body : {"o01", "o02", "o03"}) link_->Queue(body);
    EXPECT_EQ(At(0), kEnqPair);
    EXPECT_EQ(Feed(kAckPair), FrameOf("o01"));
    EXPECT_EQ(Feed(kAckPair), FrameOf("o02"));
    EXPECT_EQ(Feed(kAckPair), kEotPair);
    EXPECT_EQ(At(19), "");        // a quiet gap lets the tool bid first if it wants the line
    EXPECT_EQ(At(20), kEnqPair);  // the rest in the next turn
    EXPECT_EQ(Feed(kAckPair), FrameOf("o03"));
    EXPECT_EQ(Feed(kAckPair), kEotPair);
    EXPECT_EQ(link_->counters().framesDelivered, 3);
    EXPECT_EQ(link_->Queued(), 0u);
}

TEST_F(ExchangeLinkTest, UnansweredBidIsRepeatedEveryThreeSecondsFourTimesThenDropped) {
    link_->Queue("o01");
    EXPECT_EQ(At(0), kEnqPair);
    EXPECT_EQ(At(2999), "");
    EXPECT_EQ(At(3000), kEnqPair);
    EXPECT_EQ(Feed(kNakPair, 3100), kEnqPair);  // a refusal is a failed attempt too
    EXPECT_EQ(At(6100), kEnqPair);
    EXPECT_EQ(At(9100), "");
    EXPECT_EQ(link_->Queued(), 0u);
    EXPECT_EQ(link_->counters().turnsDropped, 1);
    EXPECT_TRUE(link_->Idle());
}

TEST_F(ExchangeLinkTest, RefusedFrameIsSentAgainFourTimesAtMostThenTheTurnCloses) {
    link_->Queue("p01000");
    At(0);
    EXPECT_EQ(Feed(kAckPair), FrameOf("p01000"));
    EXPECT_EQ(Feed(kNakPair), FrameOf("p01000"));
    EXPECT_EQ(At(3000), FrameOf("p01000"));  // no answer: the same frame again
    EXPECT_EQ(Feed(kNakPair, 3100), FrameOf("p01000"));
    EXPECT_EQ(Feed(kNakPair, 3200), kEotPair);
    EXPECT_EQ(link_->counters().turnsDropped, 1);
}

TEST_F(ExchangeLinkTest, ExchangeGivesWayWhenTheToolBidsAtTheSameTime) {
    link_->Queue("z010");
    EXPECT_EQ(At(0), kEnqPair);
    EXPECT_EQ(Feed(kEnqPair, 5), kAckPair);
    EXPECT_EQ(Feed(FrameOf("Q00"), 10), kAckPair);
    EXPECT_EQ(Feed(kEotPair, 20), "");
    EXPECT_EQ(At(40), kEnqPair);  // its own turn after the tool's
    EXPECT_EQ(Feed(kAckPair, 80), FrameOf("z010"));
    EXPECT_EQ(received_, std::vector<std::string>{"Q00"});
}

TEST_F(ExchangeLinkTest, NoBidWhileTheToolHoldsTheLine) {
    Feed(kEnqPair, 0);
    link_->Queue("o01");
    EXPECT_EQ(At(100), "");
    EXPECT_EQ(Feed(kEotPair, 200), "");
    EXPECT_EQ(At(220), kEnqPair);
}

TEST_F(ExchangeLinkTest, RefusedBidsAndFramesFaults) {
    Make({.refuseBids = 2, .refuseFrames = 1});
    EXPECT_EQ(Feed(kEnqPair), kNakPair);
    EXPECT_EQ(Feed(kEnqPair), kNakPair);
    EXPECT_EQ(Feed(kEnqPair), kAckPair);
    EXPECT_EQ(Feed(FrameOf("M011")), kNakPair);
    EXPECT_TRUE(received_.empty());
    EXPECT_EQ(Feed(FrameOf("M011")), kAckPair);
    EXPECT_EQ(received_.size(), 1u);
    EXPECT_NE(traceText_.str().find("bid refused (fault)"), std::string::npos);
}

TEST_F(ExchangeLinkTest, CorruptedBccFault) {
    Make({.corruptBcc = 1});
    link_->Queue("o01");
    At(0);
    EXPECT_EQ(Feed(kAckPair), FrameOf("o01", BodyBcc("o01") ^ 0xFF));
    EXPECT_EQ(Feed(kNakPair), FrameOf("o01"));
}

TEST_F(ExchangeLinkTest, DelayedAnswersFault) {
    Make({.delay = 500});
    EXPECT_EQ(Feed(kEnqPair, 0), "");
    EXPECT_EQ(link_->NextDeadline(), 500);
    EXPECT_EQ(At(499), "");
    EXPECT_EQ(At(500), kAckPair);
    // The turn time-out counts from the moment the answer left.
    EXPECT_EQ(At(3499), "");
    EXPECT_FALSE(link_->Idle());
    At(3500);
    EXPECT_TRUE(link_->Idle());
}

TEST_F(ExchangeLinkTest, DroppedBytesAndSilentFaults) {
    Make({.dropEvery = 2});  // every second byte sent is lost
    EXPECT_EQ(Feed(kEnqPair), "\x10");
    Make({.dropRxEvery = 2});  // the ENQ is lost: no answer
    EXPECT_EQ(Feed(kEnqPair), "");
    Make({.silent = true});
    link_->Queue("o01");
    EXPECT_EQ(Feed(kEnqPair), "");
    EXPECT_EQ(At(10000), "");
    EXPECT_EQ(link_->NextDeadline(), std::nullopt);
}

TEST_F(ExchangeLinkTest, TraceNamesEveryPairAndEscapesBodies) {
    Feed(kEnqPair, 1234);
    Feed(FrameOf(std::string("p01003\x01\\z", 9)), 1300);
    Feed(kEotPair, 1400);
    EXPECT_EQ(traceText_.str(),
              "     1.234 RX DLE ENQ\n"
              "     1.234 TX DLE ACK\n"
              "     1.300 RX frame \"p01003\\x01\\\\z\" BCC 0x76 good\n"
              "     1.300 TX DLE ACK\n"
              "     1.400 RX DLE EOT\n");
}

}  // namespace
}  // namespace qn410::sim::test
