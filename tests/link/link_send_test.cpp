// The sending half of the protocol, checked by the bytes on the wire.
#include <gtest/gtest.h>

#include "link_test_peer.h"

namespace qn410::test {
namespace {

const std::string kBid = Bytes({DLE, ENQ});
const std::string kAck = Bytes({DLE, ACK});
const std::string kNak = Bytes({DLE, NAK});
const std::string kEot = Bytes({DLE, EOT});
const std::string kFrameA = Bytes({0x10, 0x02, 0x41, 0x10, 0x03, 0x52});

TEST(LinkFrame, BodyAIsFramedWithItsBcc) {
    FrameBuffer buffer;
    ASSERT_EQ(BuildLinkFrame("A", buffer), 6u);
    EXPECT_EQ(Hex(std::string(buffer.begin(), buffer.begin() + 6)), Hex(kFrameA));
    EXPECT_EQ(FrameBcc("A0100"), 0x41 ^ 0x30 ^ 0x31 ^ 0x30 ^ 0x30 ^ 0x10 ^ 0x03);
    // A body over 1019 bytes cannot be framed.
    EXPECT_EQ(BuildLinkFrame(std::string(1019, 'x'), buffer), 1024u);
    EXPECT_EQ(BuildLinkFrame(std::string(1020, 'x'), buffer), 0u);
}

// One step of a sending script: what happens on the line, and what the tool writes in answer.
struct Step {
    enum { kSubmit, kIdle, kFeed, kTicks } op;
    std::string bytes;  // the body submitted or the bytes the exchange sends
    int ticks = 0;
    std::string wire;  // written by the tool after the step
};
Step Submit(std::string body) {
    return {Step::kSubmit, std::move(body), 0, ""};
}
Step Idle(std::string wire) {
    return {Step::kIdle, "", 0, std::move(wire)};
}
Step Feed(std::string bytes, std::string wire) {
    return {Step::kFeed, bytes, 0, wire};
}
Step Ticks(int n, std::string wire) {
    return {Step::kTicks, "", n, std::move(wire)};
}

struct SendCase {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::string> sent, failed;  // bodies reported sent (0x0101), given up (0x8401)
    uint8_t state;
};

// The sending rules, one script each: bid, frame, DLE EOT; four attempts shared by the bid and
// the frame, whether refused or unanswered (3.0 s); a crossing bid or a bare ACK/NAK changes
// nothing; a body that cannot be framed fails without touching the line.
const SendCase kSendCases[] = {
    {"BidFrameAndEot",
     {Submit("A"), Idle(kBid), Feed(kAck, kFrameA), Feed(kAck, kEot)},
     {"A"},
     {},
     kStateIdle},
    {"NothingWithoutARequest", {Idle(""), Ticks(100, "")}, {}, {}, kStateIdle},
    {"OneTurnPerQueuedRequest",
     {Submit("A"), Submit("B"), Idle(kBid), Feed(kAck, kFrameA), Feed(kAck, kEot + kBid)},
     {"A"},
     {},
     kStateBidSent},
    {"RefusedFrameIsSentAgain",
     {Submit("A"), Idle(kBid), Feed(kAck, kFrameA), Feed(kNak, kFrameA), Feed(kAck, kEot)},
     {"A"},
     {},
     kStateIdle},
    {"AckOrNakWithoutDleIsIgnored",
     {Submit("A"), Idle(kBid), Feed(Bytes({ACK, NAK, 'x', DLE, 'x', ACK}), "")},
     {},
     {},
     kStateBidSent},
    {"FourRefusedBidsEndTheRequestAndTheNextStartsAfresh",
     {Submit("A"), Idle(kBid), Feed(kNak, kBid), Feed(kNak, kBid), Feed(kNak, kBid), Feed(kNak, ""),
      Submit("B"), Idle(kBid), Feed(kNak, kBid), Feed(kNak, kBid), Feed(kNak, kBid)},
     {},
     {"A"},
     kStateBidSent},
    {"BidsAndFramesShareTheAttempts",
     {Submit("A"), Idle(kBid), Feed(kNak, kBid), Feed(kAck, kFrameA), Feed(kNak, kFrameA),
      Feed(kNak, kFrameA), Feed(kNak, "")},
     {},
     {"A"},
     kStateIdle},
    {"SilentExchangeGetsTheBidEveryThreeSeconds",
     {Submit("A"), Idle(kBid), Ticks(29, ""), Ticks(1, kBid), Ticks(60, kBid + kBid),
      Ticks(30, "")},
     {},
     {"A"},
     kStateIdle},
    {"UnansweredFrameIsRepeatedAfterThreeSeconds",
     {Submit("A"), Idle(kBid), Feed(kAck, kFrameA), Ticks(30, kFrameA)},
     {},
     {},
     kStateFrameSent},
    {"CrossingBidIsIgnored",
     {Submit("A"), Idle(kBid), Feed(kBid, ""), Feed(kAck, kFrameA)},
     {},
     {},
     kStateFrameSent},
    {"OversizedBodyFailsWithoutTouchingTheLine",
     {Submit(std::string(1020, 'A')), Idle("")},
     {},
     {std::string(1020, 'A')},
     kStateIdle},
};

void PrintTo(const SendCase& c, std::ostream* os) {
    *os << c.name;
}

class LinkSendRule : public ::testing::TestWithParam<SendCase> {};

TEST_P(LinkSendRule, WritesAndReports) {
    FakeLink link;
    for (const Step& step : GetParam().steps) {
        if (step.op == Step::kSubmit) link.Submit(step.bytes);
        if (step.op == Step::kIdle) link.Idle();
        if (step.op == Step::kFeed) link.Feed(step.bytes);
        if (step.op == Step::kTicks) link.Ticks(step.ticks);
        ASSERT_EQ(Hex(link.TakeWire()), Hex(step.wire));
    }
    std::vector<std::string> sent, failed;
    for (const LinkNotice* n : link.Of(UM_LINK_SENT)) {
        EXPECT_EQ(n->wParam, 0x0101u);
        sent.push_back(n->item->body);
    }
    for (const LinkNotice* n : link.Of(UM_LINK_ERROR)) {
        EXPECT_EQ(n->wParam, 0x8401u);
        failed.push_back(n->item->body);
    }
    EXPECT_EQ(sent, GetParam().sent);
    EXPECT_EQ(failed, GetParam().failed);
    EXPECT_EQ(link.State(), GetParam().state);
}

INSTANTIATE_TEST_SUITE_P(LinkSendRules, LinkSendRule, ::testing::ValuesIn(kSendCases),
                         [](const auto& info) { return std::string(info.param.name); });

class LinkSend : public ::testing::Test {
  protected:
    FakeLink link;
};

TEST_F(LinkSend, AbandonWhileInFlightDropsTheRequestAndKeepsTheQueue) {
    link.Submit("A");
    link.Submit("B");
    link.Idle();
    link.Feed(kAck);
    link.TakeWire();
    link.engine.ResetSlot(0);
    auto resets = link.Of(UM_LINK_RESET);
    ASSERT_EQ(resets.size(), 1u);
    EXPECT_EQ(resets[0]->wParam, 1u);
    ASSERT_TRUE(resets[0]->item);  // handed back only to be released
    EXPECT_EQ(resets[0]->item->body, "A");
    EXPECT_EQ(link.State(), kStateIdle);
    link.engine.Inspect(0, [](const LinkSlot& s) {
        EXPECT_EQ(s.timersActive, 0);
        EXPECT_FALSE(s.sendItem);
    });
    // A late acknowledgement of the dropped frame is ignored; the queue goes on with "B".
    link.Feed(kAck);
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kBid));
    EXPECT_TRUE(link.Of(UM_LINK_SENT).empty());
    EXPECT_EQ(link.engine.QueueLength(0), 0u);
}

TEST_F(LinkSend, TakeAllReturnsEveryRequestOnce) {
    link.Submit("A");
    link.Submit("B");
    link.Idle();
    auto taken = link.engine.TakeAll();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0]->body, "A");
    EXPECT_EQ(taken[1]->body, "B");
    EXPECT_EQ(link.State(), kStateIdle);
}

}  // namespace
}  // namespace qn410::test
