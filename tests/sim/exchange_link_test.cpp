// The simulator's side of the line by the bytes it writes, with the clock in the test's hands:
// its answers, its own turns, giving way on crossing bids, and every fault it can be asked for.
#include "exchange_link.h"

#include <gtest/gtest.h>

#include <sstream>

#include "link_test_peer.h"
#include "sim_wire.h"

namespace qn410::sim::test {
namespace {

struct FakeLine : LineWriter {
    void Write(std::string_view bytes) override { written += bytes; }
    std::string written;
};

using qn410::test::kAck, qn410::test::kBid, qn410::test::kEot, qn410::test::kNak;
const std::string kLong = FrameOf(std::string(1023, 'x')), kOdd("a\x10\\\x03q", 5);

// Q queues a body of the exchange's; In: the tool's bytes arrive at a time; At: only the clock
// moves. out is what the exchange writes in answer.
struct Step {
    char op;
    Millis at;
    std::string in, out;
};
const auto Q = [](std::string body) { return Step{'Q', 0, body, ""}; };
const auto In = [](Millis at, std::string in, std::string out = "") {
    return Step{'B', at, in, out};
};
const auto At = [](Millis at, std::string out = "") { return Step{'T', at, "", out}; };

struct Script {
    const char* name;
    LineFaults faults;
    std::vector<Step> steps;
    std::vector<std::string> received;
    bool idle;
    int dropped = 0;  // turns whose frames were given up
    int framesPerTurn = 16;
};

void PrintTo(const Script& s, std::ostream* os) {
    *os << s.name;
}

const Script kScripts[] = {
    {"ToolTurnGoodAndBadFrames",
     {},
     {In(0, FrameOf("Q00")), In(0, kBid, kAck), In(0, kBid, kAck), In(0, FrameOf(""), kAck),
      In(0, FrameOf("Q00", BodyBcc("Q00") ^ 1), kNak), In(0, qn410::test::PeerFrame(kOdd), kAck),
      In(0, kLong, kAck), In(100, "\x10\x02Q0"), At(1099), At(1100, kNak),
      In(1200, "\x10\x02Q\x10X00\x10\x03"), At(2200, kNak),
      In(2300, FrameOf(std::string(1024, 'x'))), At(3300, kNak), In(3400, FrameOf("Q00"), kAck),
      Q("o01"), At(6399), At(6400), At(6420, kBid)},  // the turn ends 3 s after the answer
     {kOdd, std::string(1023, 'x'), "Q00"},
     false},
    {"OwnBodiesGoInTurnsOfTheSetSize",
     {},
     {Q("o01"), Q("o02"), Q("o03"), At(0, kBid), In(0, kAck, FrameOf("o01")),
      In(0, kAck, FrameOf("o02")), In(0, kAck, kEot + kBid), In(0, kAck, FrameOf("o03")),
      In(0, kAck, kEot)},
     {},
     true,
     0,
     2},
    {"UnansweredBidIsRepeatedFourTimesThenDropped",
     {},
     {Q("o01"), At(0, kBid), At(2999), At(3000, kBid), In(3100, kNak, kBid), At(6100, kBid),
      At(9100)},
     {},
     true,
     1},
    {"RefusedFrameIsSentFourTimesThenTheTurnCloses",
     {},
     {Q("p01000"), At(0, kBid), In(0, kAck, FrameOf("p01000")), In(0, kNak, FrameOf("p01000")),
      At(3000, FrameOf("p01000")), In(3100, kNak, FrameOf("p01000")), In(3200, kNak, kEot)},
     {},
     true,
     1},
    {"GivesWayOnCrossingBidsAndBidsOnlyAfterTheToolsTurn",
     {},
     {Q("z010"), At(0, kBid), In(5, kBid, kAck), In(10, FrameOf("Q00"), kAck), Q("o01"), At(15),
      In(20, kEot, kBid), In(80, kAck, FrameOf("z010"))},
     {"Q00"},
     false},
    {"InsistFaultKeepsTheBidAfterGivingWayNTimes",  // the first crossing only
     {.insistAfter = 1},
     {Q("o"), At(0, kBid), In(1, kBid, kAck), In(2, kEot, kBid), In(3, kBid)},
     {},
     false},
    {"RefusedBidsAndFramesFaults",
     {.refuseBids = 2, .refuseFrames = 1},
     {In(0, kBid, kNak), In(0, kBid, kNak), In(0, kBid, kAck), In(0, FrameOf("M011"), kNak),
      In(0, FrameOf("M011"), kAck)},
     {"M011"},
     false},
    {"CorruptedBccFault",
     {.corruptBcc = 1},
     {Q("o01"), At(0, kBid), In(0, kAck, FrameOf("o01", BodyBcc("o01") ^ 0xFF)),
      In(0, kNak, FrameOf("o01"))},
     {},
     false},
    {"DelayedAnswersFault",
     {.delay = 500},
     {In(0, kBid), At(499), At(500, kAck), At(3499), At(3500)},  // the turn counts from 500
     {},
     true},
    {"LostSentBytesFault", {.dropEvery = 2}, {In(0, kBid, "\x10")}, {}, false},
    {"LostReceivedBytesFault", {.dropRxEvery = 2}, {In(0, kBid)}, {}, true},
    {"SilentFault", {.silent = true}, {Q("o01"), In(0, kBid), At(10000)}, {}, true},
};

class SimLink : public ::testing::TestWithParam<Script> {};

TEST_P(SimLink, WritesAndDelivers) {
    FakeLine line;
    std::ostringstream text;
    SimTrace trace(&text);
    ExchangeLink link(line, trace, {.framesPerTurn = GetParam().framesPerTurn}, GetParam().faults);
    std::vector<std::string> received;
    link.SetFrameHandler([&](std::string_view body, Millis) { received.emplace_back(body); });
    for (const Step& step : GetParam().steps) {
        if (step.op == 'Q') link.Queue(step.in);
        if (step.op == 'B') link.OnBytes(step.in, step.at);
        if (step.op != 'Q') link.OnTime(step.at);
        ASSERT_EQ(std::exchange(line.written, {}), step.out) << step.op << " at " << step.at;
    }
    EXPECT_EQ(received, GetParam().received);
    EXPECT_EQ(link.Idle(), GetParam().idle);
    EXPECT_EQ(link.counters().turnsDropped, GetParam().dropped);
}

INSTANTIATE_TEST_SUITE_P(Scripts, SimLink, ::testing::ValuesIn(kScripts),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qn410::sim::test
