#include "monitor/log_records.h"

#include <cstdio>
#include <cstring>

namespace qn410 {

std::string TimeStamp(const LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return std::string(text, kTimeStampSize);
}

std::optional<LogLine> BuildLogLine(std::string_view body, const LocalTime& now) {
    if (body.size() < kLogBodySize) return std::nullopt;
    LogLine line;
    std::memcpy(line.receivedAt, TimeStamp(now).data(), kTimeStampSize);
    std::memcpy(line.body, body.data(), kLogBodySize);
    return line;
}

std::optional<MonitorEntry> BuildMonitorEntry(std::string_view body, const LocalTime& now) {
    if (body.size() < kMonitorHeaderSize) return std::nullopt;
    size_t n = 0;
    for (char c : body.substr(3, 3)) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<size_t>(c - '0');
    }
    if (n > kMaxMonitorData || body.size() < kMonitorHeaderSize + n) return std::nullopt;
    MonitorEntry entry{};
    entry.dataLength = static_cast<uint16_t>(n);
    std::memcpy(entry.receivedAt, TimeStamp(now).data(), kTimeStampSize);
    std::memcpy(entry.body, body.data(), kMonitorHeaderSize + n);  // the NUL is already there
    return entry;
}

std::string MonitorLineText(const MonitorEntry& entry) {
    const size_t n = entry.dataLength <= kMaxMonitorData ? entry.dataLength : kMaxMonitorData;
    return std::string(entry.receivedAt, kTimeStampSize) +
           std::string(entry.body, kMonitorHeaderSize + n);
}

}  // namespace qn410
