// The receiving half of the protocol: what the tool answers to the exchange's bytes and which
// bodies it delivers.
#include <gtest/gtest.h>

#include "link_test_peer.h"

namespace qn410::test {
namespace {

const std::string kBid = Bytes({DLE, ENQ});
const std::string kAck = Bytes({DLE, ACK});
const std::string kNak = Bytes({DLE, NAK});
const std::string kEot = Bytes({DLE, EOT});

class LinkReceive : public ::testing::Test {
  protected:
    void OpenTurn() {
        link.Feed(kBid);
        ASSERT_EQ(Hex(link.TakeWire()), Hex(kAck));
        ASSERT_EQ(link.State(), kStateTurnOpen);
    }
    std::vector<std::string> Delivered() const {
        std::vector<std::string> bodies;
        for (const LinkNotice* n : link.Of(UM_LINK_RECEIVED)) {
            EXPECT_EQ(n->wParam, 0x0201u);
            bodies.push_back(n->item->body);
        }
        return bodies;
    }
    FakeLink link;
};

using Bodies = std::vector<std::string>;

// One exchange turn after DLE ENQ / DLE ACK: the bytes the exchange sends in one read, what the
// tool answers, what it delivers and where the slot stands afterwards.
struct TurnCase {
    const char* name;
    std::string sent;
    std::string answer;
    Bodies delivered;
    uint8_t state;
};

void PrintTo(const TurnCase& c, std::ostream* os) {
    *os << c.name;
}

class LinkReceiveTurn : public LinkReceive, public ::testing::WithParamInterface<TurnCase> {};

const std::string kO = "o03" + std::string(32, '1');

const TurnCase kTurnCases[] = {
    {"TwoFramesInOneRead",
     PeerFrame("A01") + PeerFrame("B02") + kEot,
     kAck + kAck,
     {"A01", "B02"},
     kStateIdle},
    {"DleDleIsOneDataByte",
     PeerFrame(Bytes({'p', DLE, 'x'})),
     kAck,
     {Bytes({'p', DLE, 'x'})},
     kStateTurnOpen},
    {"EtxWithoutDleIsData",
     PeerFrame(Bytes({'o', ETX, STX, EOT, ENQ, ACK, NAK})),
     kAck,
     {Bytes({'o', ETX, STX, EOT, ENQ, ACK, NAK})},
     kStateTurnOpen},
    {"EmptyBodyIsAcknowledgedAndDeliversNothing", PeerFrame(""), kAck, {}, kStateTurnOpen},
    {"WrongBccIsRefusedAtOnce", WithBadBcc(PeerFrame(kO)), kNak, {}, kStateTurnOpen},
    {"DamagedBodyIsRefusedAtOnce", IncrementByte(PeerFrame(kO), 5), kNak, {}, kStateTurnOpen},
    {"DamagedThenGood",
     WithBadBcc(PeerFrame("K01")) + PeerFrame("K01"),
     kNak + kAck,
     {"K01"},
     kStateTurnOpen},
    {"BidBetweenFramesIsAnsweredAgain",
     PeerFrame("A01") + kBid,
     kAck + kAck,
     {"A01"},
     kStateTurnOpen},
    {"DleThenOtherInsideBodySpoilsTheFrame",
     Bytes({DLE, STX, 'A', DLE, 'x', DLE, ETX, 0}),
     "",
     {},
     kStateReceiveError},
    {"BareByteBetweenFramesIsAnError", Bytes({'x'}), "", {}, kStateReceiveError},
    {"BccMayBeADle", PeerFrame(Bytes({ETX})), kAck, {Bytes({ETX})}, kStateTurnOpen},
};

TEST_P(LinkReceiveTurn, AnswersAndDelivers) {
    const TurnCase& c = GetParam();
    OpenTurn();
    link.Feed(c.sent);
    EXPECT_EQ(Hex(link.TakeWire()), Hex(c.answer));
    EXPECT_EQ(Delivered(), c.delivered);
    EXPECT_EQ(link.State(), c.state);
    EXPECT_TRUE(link.Of(UM_LINK_ERROR).empty());
}

INSTANTIATE_TEST_SUITE_P(Turns, LinkReceiveTurn, ::testing::ValuesIn(kTurnCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkReceive, OnlyDleEnqOpensATurn) {
    link.Feed(Bytes({ENQ, DLE, 'x', ENQ, DLE, STX, ENQ}));
    EXPECT_EQ(link.TakeWire(), "");
    EXPECT_EQ(link.State(), kStateIdle);
    link.Feed(Bytes({DLE, DLE, ENQ}));
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kAck));
}

TEST_F(LinkReceive, SpoiledFrameIsRefusedAfterOneSecondOfSilence) {
    OpenTurn();
    link.Feed(PeerFrame(kO).substr(0, 10));
    link.Ticks(9);
    EXPECT_EQ(link.TakeWire(), "");
    link.Ticks(1);
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kNak));
    EXPECT_EQ(link.State(), kStateTurnOpen);
    link.Feed(PeerFrame(kO));
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kAck));
    EXPECT_EQ(Delivered(), Bodies{kO});
    // Bytes after an error postpone the refusal.
    link.Feed("x");
    link.Ticks(9);
    link.Feed("y");  // restarts the 1.0 s of silence
    link.Ticks(9);
    EXPECT_EQ(link.TakeWire(), "");
    link.Ticks(1);
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kNak));
}

// A good frame renews the budget of refusals; the fourth refusal in a row ends the turn.
TEST_F(LinkReceive, FourthRefusalInOneTurnEndsIt) {
    OpenTurn();
    for (int i = 0; i < 3; ++i) link.Feed(WithBadBcc(PeerFrame("A01")));
    link.Feed(PeerFrame("A01"));
    link.TakeWire();
    for (int i = 0; i < 3; ++i) link.Feed(WithBadBcc(PeerFrame("A01")));
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kNak + kNak + kNak));
    EXPECT_TRUE(link.Of(UM_LINK_ERROR).empty());
    link.Feed(WithBadBcc(PeerFrame("A01")));
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kNak));
    auto errors = link.Of(UM_LINK_ERROR);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0]->wParam, 0x8501u);
    EXPECT_FALSE(errors[0]->item);
    EXPECT_EQ(link.State(), kStateIdle);
}

// A read error inside a frame is refused after the silence, one instead of the BCC at once.
TEST_F(LinkReceive, ReadErrors) {
    OpenTurn();
    link.Feed(PeerFrame(kO).substr(0, 6));
    link.engine.OnReadError(0);
    EXPECT_EQ(link.State(), kStateReceiveError);
    link.Ticks(10);
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kNak));
    const std::string frame = PeerFrame("A01");
    link.Feed(frame.substr(0, frame.size() - 1));
    link.engine.OnReadError(0);
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kNak));
}

TEST_F(LinkReceive, SilenceBetweenFramesEndsTheTurnQuietly) {
    OpenTurn();
    link.Feed(PeerFrame("A01"));
    link.TakeWire();
    link.Ticks(29);
    EXPECT_EQ(link.State(), kStateTurnOpen);
    link.Ticks(1);
    EXPECT_EQ(link.State(), kStateIdle);
    EXPECT_EQ(link.TakeWire(), "");
    EXPECT_TRUE(link.Of(UM_LINK_ERROR).empty());
}

TEST_F(LinkReceive, BodyOf1023BytesFitsAnd1024DoesNot) {
    OpenTurn();
    const std::string longest = "o" + std::string(1022, '5');
    link.Feed(PeerFrame(longest));
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kAck));
    EXPECT_EQ(Delivered(), Bodies{longest});

    link.Feed(PeerFrame(longest + "5"));
    EXPECT_EQ(link.TakeWire(), "");
    EXPECT_EQ(link.State(), kStateReceiveError);
    link.Ticks(10);
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kNak));
    EXPECT_EQ(Delivered().size(), 1u);
}

TEST_F(LinkReceive, QueuedRequestWaitsForTheTurnToClose) {
    OpenTurn();
    link.Submit("A");
    link.Feed(PeerFrame("o01"));
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kAck));
    link.Feed(kEot);
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kBid));
}

TEST_F(LinkReceive, ResetInsideAFrameForgetsIt) {
    OpenTurn();
    link.Feed(PeerFrame(kO).substr(0, 12));
    link.engine.ResetSlot(0);
    EXPECT_EQ(link.State(), kStateIdle);
    link.engine.Inspect(0, [](const LinkSlot& s) { EXPECT_EQ(s.receiveLength, 0); });
    ASSERT_EQ(link.Of(UM_LINK_RESET).size(), 1u);
    EXPECT_FALSE(link.Of(UM_LINK_RESET)[0]->item);
}

}  // namespace
}  // namespace qn410::test
