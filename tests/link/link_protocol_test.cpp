// The link protocol by the bytes on the wire: each script is the line's events in order, with
// what the tool writes after each; then every notice the engine posted, in order, and where the
// slot stands.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "link/line_trace.h"
#include "link_test_peer.h"

namespace qn410::test {
namespace {

// S submits a body, F feeds the exchange's bytes then an empty read, T runs 100 ms ticks (each
// with an empty read), I an empty read, R resets the slot, E a read error; out is what the tool
// writes in answer.
struct Step {
    char op;
    std::string in, out;
};

struct Script {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::string> notices;  // "sent|got|reset|error <wParam in hex> <body>"
    uint8_t state;
};

void PrintTo(const Script& s, std::ostream* os) {
    *os << s.name;
}

const std::string kA = PeerFrame("A"), kO = "o03" + std::string(32, '1'),
                  kLong = "o" + std::string(1022, '5');
const auto S = [](std::string body) { return Step{'S', body, ""}; };
const auto I = [](std::string out = "") { return Step{'I', "", out}; };
const auto F = [](std::string in, std::string out = "") { return Step{'F', in, out}; };
const auto T = [](int ticks, std::string out = "") {
    return Step{'T', std::to_string(ticks), out};
};
const auto R = [] { return Step{'R', "", ""}; };
const auto E = [](std::string out = "") { return Step{'E', "", out}; };

const Script kScripts[] = {
    {"OneTurnPerRequestAndARefusedFrameSentAgain",
     {I(), T(100), S("A"), S("B"), I(kBid), F(kAck, kA), F(kNak, kA), F(kAck, kEot + kBid),
      F(kAck, PeerFrame("B")), F(kAck, kEot), T(100)},
     {"sent 101 A", "sent 101 B"},
     kStateIdle},
    {"AckOrNakWithoutDleAndCrossingBidAreIgnored",
     {S("A"), I(kBid), F(Bytes({ACK, NAK, 'x', DLE, 'x', ACK})), F(kBid), F(kAck, kA)},
     {},
     kStateFrameSent},
    {"FourRefusedBidsEndTheRequestAndTheNextStartsAfresh",
     {S("A"), I(kBid), F(kNak, kBid), F(kNak, kBid), F(kNak, kBid), F(kNak), S("B"), I(kBid),
      F(kNak, kBid), F(kNak, kBid), F(kNak, kBid)},
     {"error 8401 A"},
     kStateBidSent},
    {"OneRefusedBidThenThreeRefusedFrames",
     {S("A"), I(kBid), F(kNak, kBid), F(kAck, kA), F(kNak, kA), F(kNak, kA), F(kNak)},
     {"error 8401 A"},
     kStateIdle},
    {"T0BidEveryThreeSecondsThenFrame",
     {S("A"), I(kBid), T(29), T(1, kBid), F(kAck, kA), T(30, kA), T(30, kA), T(30)},
     {"error 8401 A"},
     kStateIdle},
    {"BodyOver1019BytesFailsWithoutTouchingTheLine",
     {S(std::string(1020, 'A')), S(kLong.substr(4)), I(), I(kBid),
      F(kAck, PeerFrame(kLong.substr(4)))},
     {"error 8401 " + std::string(1020, 'A')},
     kStateFrameSent},
    {"AbandonInFlightHandsTheRequestBackAndKeepsTheQueue",
     {S("A"), S("B"), I(kBid), F(kAck, kA), R(), F(kAck, kBid)},  // the late ACK is ignored
     {"reset 1 A"},
     kStateBidSent},
    {"TwoFramesInOneReadAndTheQueuedRequestAfterTheTurn",
     {F(kBid, kAck), S("A"), F(PeerFrame("A01") + PeerFrame("B02") + kEot, kAck + kAck + kBid)},
     {"got 201 A01", "got 201 B02"},
     kStateBidSent},
    {"DataBytesThatLookLikeControls",
     {F(kBid, kAck), F(PeerFrame(Bytes({'p', DLE, 'x'})), kAck),
      F(PeerFrame(Bytes({'o', ETX, STX, EOT, ENQ, ACK, NAK})), kAck),
      F(PeerFrame(Bytes({ETX})), kAck),  // its BCC is DLE
      F(PeerFrame(""), kAck),            // acknowledged, delivers nothing
      F(PeerFrame("A01") + kBid, kAck + kAck)},
     {"got 201 p\x10x", "got 201 o\x03\x02\x04\x05\x06\x15", "got 201 \x03", "got 201 A01"},
     kStateTurnOpen},
    {"OnlyDleEnqOpensATurn",
     {F(Bytes({ENQ, DLE, 'x', ENQ, DLE, STX, ENQ})), F(Bytes({DLE, DLE, ENQ}), kAck)},
     {},
     kStateTurnOpen},
    {"DamagedFramesAreRefusedAndTheResentOneTaken",
     {F(kBid, kAck), F(WithBadBcc(PeerFrame(kO)), kNak),
      F(PeerFrame(kO).replace(4, 1, "4"), kNak),  // the body changed, not its BCC
      F(PeerFrame(kO), kAck)},
     {"got 201 " + kO},
     kStateTurnOpen},
    {"T2SpoiltFrameIsRefusedAfterOneSecondOfSilence",
     {F(kBid, kAck), F(kA.substr(0, 3)), T(9), T(1, kNak),
      F(Bytes({DLE, STX, 'A', DLE, 'x', DLE, ETX, 0})), T(9),
      F("y"),  // bytes after the error postpone the refusal
      T(9), T(1, kNak), F("x"), T(10, kNak)},
     {},
     kStateTurnOpen},
    {"FourthRefusalInARowEndsTheTurn",
     {F(kBid, kAck), F(WithBadBcc(kA) + WithBadBcc(kA) + WithBadBcc(kA), kNak + kNak + kNak),
      F(kA, kAck),  // a good frame renews the budget
      F(WithBadBcc(kA) + WithBadBcc(kA) + WithBadBcc(kA), kNak + kNak + kNak),
      F(WithBadBcc(kA), kNak)},
     {"got 201 A", "error 8501"},
     kStateIdle},
    {"ReadErrorOrBareEotIsRefused",
     {F(kBid, kAck), F(kA.substr(0, 3)), E(), T(10, kNak), F(kA.substr(0, 5)),
      E(kNak),                        // at once in place of the BCC
      F(Bytes({EOT})), T(10, kNak)},  // EOT without DLE spoils the turn
     {},
     kStateTurnOpen},
    {"T1SilenceInATurnEndsItQuietly",
     {F(kBid, kAck), S("A"), T(29), T(1), I(kBid)},
     {},
     kStateBidSent},
    {"BodyOf1023BytesFitsAnd1024DoesNot",
     {F(kBid, kAck), F(PeerFrame(kLong), kAck), F(PeerFrame(kLong + "5")), T(10, kNak)},
     {"got 201 " + kLong},
     kStateTurnOpen},
    {"ResetInsideAFrameForgetsIt",
     {F(kBid, kAck), F(PeerFrame(kO).substr(0, 12)), R(), F(kO + kEot)},
     {"reset 1"},
     kStateIdle},
};

class LinkProtocol : public ::testing::TestWithParam<Script> {};

TEST_P(LinkProtocol, WritesAndNotifies) {
    std::string wire;
    std::vector<std::string> notices;
    LinkEngine engine(
        [&](int, const uint8_t* b, size_t n) { wire.append(reinterpret_cast<const char*>(b), n); },
        [&](LinkNotice n) {
            const char* name = n.message == UM_LINK_SENT       ? "sent"
                               : n.message == UM_LINK_RECEIVED ? "got"
                               : n.message == UM_LINK_RESET    ? "reset"
                                                               : "error";
            char head[24];
            std::snprintf(head, sizeof head, "%s %x", name, unsigned(n.wParam));
            notices.push_back(head + (n.item ? " " + n.item->body : ""));
        });
    for (const Step& step : GetParam().steps) {
        if (step.op == 'S')
            engine.Enqueue(0, std::make_unique<TransferRequest>(TransferRequest{.body = step.in}));
        for (unsigned char c : step.op == 'F' ? step.in : "") engine.OnByte(0, c);
        for (int i = 0; i < (step.op == 'T' ? std::stoi(step.in) : 0); ++i) {
            engine.Tick();
            engine.OnIdle(0);
        }
        if (step.op == 'R') engine.ResetSlot(0);
        if (step.op == 'E') engine.OnReadError(0);
        if (step.op == 'F' || step.op == 'I' || step.op == 'E') engine.OnIdle(0);
        ASSERT_EQ(std::exchange(wire, {}), step.out)
            << step.op << " " << testing::PrintToString(step.in);
    }
    EXPECT_EQ(notices, GetParam().notices);
    engine.Inspect(0, [](const LinkSlot& s) { EXPECT_EQ(s.state, GetParam().state); });
    // Idle and nothing to time: the channel's tick stops, a lost turn's timers included.
    EXPECT_EQ(engine.Busy(), GetParam().state != kStateIdle);
}

INSTANTIATE_TEST_SUITE_P(Link, LinkProtocol, ::testing::ValuesIn(kScripts),
                         [](const auto& info) { return std::string(info.param.name); });

// The trace reads an exchange's frame holding a data DLE as the engine does: good.
TEST(LineTrace, DataDleInAReceivedFrame) {
    std::ostringstream out;
    LineTrace(out, [] { return int64_t{0}; }).Bytes(LineTrace::Direction::Rx, PeerFrame("A\x10"));
    EXPECT_EQ(out.str(), "     0.000000 RX frame \"A\\x10\" BCC 0x52 good\n");
}

}  // namespace
}  // namespace qn410::test
