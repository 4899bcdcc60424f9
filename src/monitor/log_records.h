// The log and monitor records the view builds from received 'o' and 'p' frames: the units of the
// two histories, of the log and monitor files and of the list windows.
//
// LogLine, 49 bytes, no terminator:
//   [0..13]  PC time of reception "YYYYMMDDhhmmss"
//   [14..48] body[0..34] of the 'o' frame, from its letter through the status code
//
// MonitorEntry, 280 bytes:
//   [0..1]        n, the data length, unsigned 16-bit (host order)
//   [2..15]       PC time of reception "YYYYMMDDhhmmss"
//   [16..21+n]    body[0..n+5] of the 'p' frame: 'p', exchange (2), n (3 digits), n data bytes
//   [22+n]        0
//   [23+n..279]   not used (zero)
// The 'p' body carries n at body[3..5] in three decimal digits, n at most 256.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "setting/clock.h"

namespace qn410 {

inline constexpr size_t kTimeStampSize = 14;
inline constexpr size_t kLogBodySize = 35;
inline constexpr size_t kMonitorHeaderSize = 6;  // 'p', exchange, three-digit length
inline constexpr size_t kMaxMonitorData = 256;

struct LogLine {
    char receivedAt[kTimeStampSize];
    char body[kLogBodySize];
};
static_assert(sizeof(LogLine) == 49);

struct MonitorEntry {
    uint16_t dataLength;
    char receivedAt[kTimeStampSize];
    char body[264];  // header, data, NUL, then unused
};
static_assert(sizeof(MonitorEntry) == 280);

// "%04d%02d%02d%02d%02d%02d" of t, exactly 14 characters.
std::string TimeStamp(const LocalTime& t);

// The log line of an 'o' body received at now; none when the body is shorter than 35 bytes
// (a short frame is dropped rather than filled with bytes that never arrived).
std::optional<LogLine> BuildLogLine(std::string_view body, const LocalTime& now);

// The monitor entry of a 'p' body received at now; none when the length field is not three
// digits, announces more than 256 data bytes, or more bytes than the frame carried.
std::optional<MonitorEntry> BuildMonitorEntry(std::string_view body, const LocalTime& now);

// The monitor line of the file and of "Data Save": time, then header and data (20 + n bytes).
std::string MonitorLineText(const MonitorEntry& entry);

}  // namespace qn410
