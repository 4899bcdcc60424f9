// The exchange's turn-taking, by the bytes it writes with the clock in the test's hands: it
// bids the moment a turn ends, otherwise only after 20 ms of quiet line; on crossing bids it
// gives way, or with the fault keeps its bid once it has given way N times.
#include <gtest/gtest.h>

#include <sstream>

#include "exchange_link.h"
#include "sim_test_line.h"

namespace qn410::sim::test {
namespace {

struct TurnTaking : ::testing::Test {
    std::string Feed(std::string_view bytes, Millis now) {
        link.OnBytes(bytes, now);
        link.OnTime(now);
        return line.Take();
    }
    FakeLine line;
    std::ostringstream text;
    SimTrace trace{&text};
    ExchangeLink link{line, trace, {}, {.insistAfter = 1}};
};

TEST_F(TurnTaking, BidsAtTheEndOfATurnOrAfterQuiet) {
    EXPECT_EQ(Feed(kEnqPair, 0), kAckPair);
    EXPECT_EQ(Feed(FrameOf("A01") + kEotPair, 1), kAckPair);
    link.Queue("o01");
    EXPECT_EQ(Feed("", 5), "");  // the tool may be bidding now
    EXPECT_EQ(Feed("", 20), "");
    EXPECT_EQ(Feed("", 21), kEnqPair);
    EXPECT_EQ(Feed(kAckPair, 22), FrameOf("o01"));
    link.Queue("o02");
    EXPECT_EQ(Feed(kAckPair, 23), kEotPair + kEnqPair);  // at once after its own turn
}

TEST_F(TurnTaking, GivesWayThenInsists) {
    link.Queue("o01");
    EXPECT_EQ(Feed("", 0), kEnqPair);
    EXPECT_EQ(Feed(kEnqPair, 1), kAckPair);  // the first crossing: the tool goes first
    EXPECT_EQ(Feed(FrameOf("A01") + kEotPair, 2), kAckPair + kEnqPair);
    EXPECT_EQ(Feed(kEnqPair, 3), "");  // the second: the exchange keeps its bid
    EXPECT_EQ(link.counters().crossings, 2);
    EXPECT_EQ(Feed("", 3003), kEnqPair);
}

}  // namespace
}  // namespace qn410::sim::test
