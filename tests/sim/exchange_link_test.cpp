// The simulator's side of the line by the bytes it writes, with the clock in the test's hands:
// its answers, its own turns, giving way on crossing bids, and every fault it can be asked for.
#include "exchange_link.h"

#include <gtest/gtest.h>

#include <sstream>

#include "sim_wire.h"

namespace qn410::sim::test {
namespace {

struct FakeLine : LineWriter {
    void Write(std::string_view bytes) override { written += bytes; }
    std::string written;
};

std::string Pair(uint8_t second) {
    return {static_cast<char>(kDle), static_cast<char>(second)};
}
const std::string kEnqP = Pair(kEnq), kAckP = Pair(kAck), kNakP = Pair(kNak), kEotP = Pair(kEot);
const std::string kLong = FrameOf(std::string(1023, 'x')), kOdd("a\x10\\\x03q", 5);
// On the wire the data DLE is doubled; the BCC is over the data bytes as sent, the pair counting
// as nothing.
const std::string kOddFrame =
    "\x10\x02" + std::string("a\x10\x10\\\x03q\x10\x03", 8) + char('a' ^ '\\' ^ 3 ^ 'q' ^ 0x10 ^ 3);

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
     {In(0, FrameOf("Q00")), In(0, kEnqP, kAckP), In(0, kEnqP, kAckP), In(0, FrameOf(""), kAckP),
      In(0, FrameOf("Q00", BodyBcc("Q00") ^ 1), kNakP), In(0, kOddFrame, kAckP),
      In(0, kLong, kAckP), In(100, "\x10\x02Q0"), At(1099), At(1100, kNakP),
      In(1200, "\x10\x02Q\x10X00\x10\x03"), At(2200, kNakP),
      In(2300, FrameOf(std::string(1024, 'x'))), At(3300, kNakP), In(3400, FrameOf("Q00"), kAckP),
      Q("o01"), At(6399), At(6400), At(6420, kEnqP)},  // the turn ends 3 s after the answer
     {kOdd, std::string(1023, 'x'), "Q00"},
     false},
    {"OwnBodiesGoInTurnsOfTheSetSize",
     {},
     {Q("o01"), Q("o02"), Q("o03"), At(0, kEnqP), In(0, kAckP, FrameOf("o01")),
      In(0, kAckP, FrameOf("o02")), In(0, kAckP, kEotP + kEnqP), In(0, kAckP, FrameOf("o03")),
      In(0, kAckP, kEotP)},
     {},
     true,
     0,
     2},
    {"UnansweredBidIsRepeatedFourTimesThenDropped",
     {},
     {Q("o01"), At(0, kEnqP), At(2999), At(3000, kEnqP), In(3100, kNakP, kEnqP), At(6100, kEnqP),
      At(9100)},
     {},
     true,
     1},
    {"RefusedFrameIsSentFourTimesThenTheTurnCloses",
     {},
     {Q("p01000"), At(0, kEnqP), In(0, kAckP, FrameOf("p01000")), In(0, kNakP, FrameOf("p01000")),
      At(3000, FrameOf("p01000")), In(3100, kNakP, FrameOf("p01000")), In(3200, kNakP, kEotP)},
     {},
     true,
     1},
    {"GivesWayOnCrossingBidsAndBidsAfterTheToolsTurn",
     {},
     {Q("z010"), At(0, kEnqP), In(5, kEnqP, kAckP), In(10, FrameOf("Q00"), kAckP),
      In(20, kEotP, kEnqP), In(80, kAckP, FrameOf("z010"))},
     {"Q00"},
     false},
    {"InsistFaultKeepsTheBidAfterGivingWayNTimes",  // the first crossing only
     {.insistAfter = 1},
     {Q("o"), At(0, kEnqP), In(1, kEnqP, kAckP), In(2, kEotP, kEnqP), In(3, kEnqP)},
     {},
     false},
    {"NoBidWhileTheToolHoldsTheLine",
     {},
     {In(0, kEnqP, kAckP), Q("o01"), At(100), In(200, kEotP, kEnqP)},
     {},
     false},
    {"RefusedBidsAndFramesFaults",
     {.refuseBids = 2, .refuseFrames = 1},
     {In(0, kEnqP, kNakP), In(0, kEnqP, kNakP), In(0, kEnqP, kAckP), In(0, FrameOf("M011"), kNakP),
      In(0, FrameOf("M011"), kAckP)},
     {"M011"},
     false},
    {"CorruptedBccFault",
     {.corruptBcc = 1},
     {Q("o01"), At(0, kEnqP), In(0, kAckP, FrameOf("o01", BodyBcc("o01") ^ 0xFF)),
      In(0, kNakP, FrameOf("o01"))},
     {},
     false},
    {"DelayedAnswersFault",
     {.delay = 500},
     {In(0, kEnqP), At(499), At(500, kAckP), At(3499), At(3500)},  // the turn counts from 500
     {},
     true},
    {"LostSentBytesFault", {.dropEvery = 2}, {In(0, kEnqP, "\x10")}, {}, false},
    {"LostReceivedBytesFault", {.dropRxEvery = 2}, {In(0, kEnqP)}, {}, true},
    {"SilentFault", {.silent = true}, {Q("o01"), In(0, kEnqP), At(10000)}, {}, true},
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
