// The exchange's crossing rule, by the bytes it writes with the clock in the test's hands: it
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

TEST_F(TurnTaking, GivesWayThenInsists) {
    link.Queue("o01");
    EXPECT_EQ(Feed("", 0), kEnqPair);        // the line has been quiet since the start
    EXPECT_EQ(Feed(kEnqPair, 1), kAckPair);  // the first crossing: the tool goes first
    EXPECT_EQ(Feed(FrameOf("A01") + kEotPair, 2), kAckPair + kEnqPair);
    EXPECT_EQ(Feed(kEnqPair, 3), "");  // the second: the exchange keeps its bid
    EXPECT_EQ(link.counters().crossings, 2);
    EXPECT_EQ(Feed("", 3003), kEnqPair);
}

}  // namespace
}  // namespace qn410::sim::test
