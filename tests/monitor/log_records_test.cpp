#include "monitor/log_records.h"

#include <gtest/gtest.h>

#include <cstring>

#include "monitor/log_history.h"

namespace qn410 {
namespace {

const LocalTime kNow{2026, 3, 4, 5, 6, 7, 3};

std::string MonitorBody(const std::string& length, size_t dataBytes) {
    return "p03" + length + std::string(dataBytes, 'd');
}

TEST(MonitorEntry, LengthLimitsAndShortFrames) {
    EXPECT_TRUE(BuildMonitorEntry(MonitorBody("256", 256), kNow));
    EXPECT_FALSE(BuildMonitorEntry(MonitorBody("257", 257), kNow));
    EXPECT_TRUE(BuildMonitorEntry(MonitorBody("000", 0), kNow));
    EXPECT_FALSE(BuildMonitorEntry(MonitorBody("010", 9), kNow));  // announced more than arrived
    EXPECT_FALSE(BuildMonitorEntry(MonitorBody("0x1", 1), kNow));
    EXPECT_FALSE(BuildMonitorEntry("p03", kNow));
}

TEST(LogHistory, KeepsTheLast1000OldestFirst) {
    LogHistory history;
    for (int i = 0; i < 1003; ++i) {
        LocalTime t = kNow;
        t.second = i % 60;
        t.minute = i / 60;
        history.AddLog(*BuildLogLine("o01" + std::to_string(100000 + i) + std::string(26, ' '), t));
    }
    auto logs = history.Logs();
    ASSERT_EQ(logs.size(), 1000u);
    EXPECT_EQ(std::string(logs.front().body, 9), "o01100003");
    EXPECT_EQ(std::string(logs.back().body, 9), "o01101002");
    EXPECT_TRUE(history.Monitors().empty());
}

}  // namespace
}  // namespace qn410
