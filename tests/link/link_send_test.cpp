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

class LinkSend : public ::testing::Test {
  protected:
    // Queues body and lets the engine bid for the line.
    void StartSending(const std::string& body) {
        link.Submit(body);
        link.Idle();
        ASSERT_EQ(Hex(link.TakeWire()), Hex(kBid));
    }
    void ExpectFailedWith(const std::string& body) {
        auto errors = link.Of(UM_LINK_ERROR);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0]->wParam, 0x8401u);
        ASSERT_TRUE(errors[0]->item);
        EXPECT_EQ(errors[0]->item->body, body);
        EXPECT_TRUE(link.Of(UM_LINK_SENT).empty());
        EXPECT_EQ(link.State(), kStateIdle);
    }
    FakeLink link;
};

TEST_F(LinkSend, RequestGoesOutAsBidFrameAndEot) {
    StartSending("A");
    link.Feed(kAck);
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kFrameA));
    EXPECT_TRUE(link.notices.empty());
    link.Feed(kAck);
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kEot));
    auto sent = link.Of(UM_LINK_SENT);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0]->wParam, 0x0101u);
    EXPECT_EQ(sent[0]->item->body, "A");
    EXPECT_EQ(link.State(), kStateIdle);
}

TEST_F(LinkSend, NothingIsSentWithoutARequest) {
    link.Idle();
    link.Ticks(100);
    EXPECT_EQ(link.TakeWire(), "");
    EXPECT_TRUE(link.notices.empty());
}

TEST_F(LinkSend, QueuedRequestsGoOneTurnEach) {
    link.Submit("A");
    link.Submit("B");
    link.Idle();
    link.Feed(kAck);
    link.Feed(kAck);  // the idle read after it takes the next request at once
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kBid + kFrameA + kEot + kBid));
    EXPECT_EQ(link.engine.QueueLength(0), 0u);
}

TEST_F(LinkSend, RefusedFrameIsSentAgain) {
    StartSending("A");
    link.Feed(kAck);
    link.Feed(kNak);
    link.Feed(kAck);
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kFrameA + kFrameA + kEot));
    EXPECT_EQ(link.Of(UM_LINK_SENT).size(), 1u);
}

TEST_F(LinkSend, AckOrNakWithoutDleIsIgnored) {
    StartSending("A");
    link.Feed(Bytes({ACK, NAK, 'x', DLE, 'x', ACK}));
    EXPECT_EQ(link.TakeWire(), "");
    EXPECT_EQ(link.State(), kStateBidSent);
}

// Four refused bids end the request; the next one gets a fresh budget.
TEST_F(LinkSend, FourRefusedBidsEndTheRequest) {
    StartSending("A");
    for (int i = 0; i < 3; ++i) {
        link.Feed(kNak);
        EXPECT_EQ(Hex(link.TakeWire()), Hex(kBid)) << "repeat " << i + 1;
    }
    link.Feed(kNak);
    EXPECT_EQ(link.TakeWire(), "");
    ExpectFailedWith("A");
    StartSending("B");
    for (int i = 0; i < 3; ++i) link.Feed(kNak);
    EXPECT_EQ(link.State(), kStateBidSent);
}

TEST_F(LinkSend, BudgetIsSharedBetweenBidsAndFrames) {
    StartSending("A");
    link.Feed(kNak);
    link.Feed(kAck);
    link.Feed(kNak);
    link.Feed(kNak);
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kBid + kFrameA + kFrameA + kFrameA));
    link.Feed(kNak);
    EXPECT_EQ(link.TakeWire(), "");
    ExpectFailedWith("A");
}

TEST_F(LinkSend, SilentExchangeRepeatsTheBidEveryThreeSeconds) {
    StartSending("A");
    link.Ticks(29);
    EXPECT_EQ(link.TakeWire(), "");
    link.Ticks(1);
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kBid));
    link.Ticks(60);
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kBid + kBid));
    EXPECT_TRUE(link.notices.empty());
    link.Ticks(30);  // no answer to the fourth attempt
    EXPECT_EQ(link.TakeWire(), "");
    ExpectFailedWith("A");
}

TEST_F(LinkSend, UnansweredFrameIsRepeatedAfterT0) {
    StartSending("A");
    link.Feed(kAck);
    link.TakeWire();
    link.Ticks(30);
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kFrameA));
    EXPECT_EQ(link.State(), kStateFrameSent);
}

TEST_F(LinkSend, CrossingBidFromTheExchangeIsIgnored) {
    StartSending("A");
    link.Feed(kBid);
    EXPECT_EQ(link.TakeWire(), "");
    link.Feed(kAck);
    EXPECT_EQ(Hex(link.TakeWire()), Hex(kFrameA));
}

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

TEST_F(LinkSend, OversizedBodyFailsWithoutTouchingTheLine) {
    link.Submit(std::string(1020, 'A'));
    link.Idle();
    EXPECT_EQ(link.TakeWire(), "");
    ExpectFailedWith(std::string(1020, 'A'));
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
