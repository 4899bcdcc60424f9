#include "monitor/log_columns.h"

#include <cstdio>

namespace qn410 {

namespace {
// Codes 00..44; a null entry is a code the exchanges do not name.
constexpr const char* kStatusTexts[] = {
    "1234567890123456789012",
    "Normal Sub call",
    "Emergency Sub call",
    "Master call",
    "C/O line call",
    "Normal call to Master",
    "Emerg call to Master",
    "Master to Master call",
    "C/O to Master call",
    "Call operation end",
    "Normal conversation",
    "Emergency conversation",
    "C/O line conversation",
    "Auto C/O call response",
    "Paging begin",
    "Emergency Paging begin",
    "Ext Distribution begin",
    "Scan Monitor connect",
    nullptr,
    "Conference begin",
    "Conference connect",
    "Emergency Conf begin",
    "Emergency Conf connect",
    "Call Forwarding log",
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    "Wait station disappear",
    "Dialing abort",
    "Conversation end",
    "Incoming C/O abort",
    "Paging end",
    "Emergency Paging end",
    "Ext Distribution end",
    "Scan Monitor end",
    "Conference end",
    "Emergency Conf end",
    "Line cut off",
    "Call end time-limit",
    "Conv end time-limit",
    "Incoming call abort",
    "Forcible termination",
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The exchange number of two digits, right-aligned in six characters.
std::string ExchangeText(const char* digits) {
    if (!IsDigit(digits[0]) || !IsDigit(digits[1])) return std::string(digits, 2);
    char text[8];
    std::snprintf(text, sizeof text, "%6d", (digits[0] - '0') * 10 + (digits[1] - '0'));
    return text;
}
}  // namespace

std::string StatusText(std::string_view code) {
    if (code.size() != 2 || !IsDigit(code[0]) || !IsDigit(code[1])) return {};
    const size_t value = static_cast<size_t>((code[0] - '0') * 10 + (code[1] - '0'));
    if (value < std::size(kStatusTexts) && kStatusTexts[value]) return kStatusTexts[value];
    return "status" + std::string(code);
}

std::string ReceptionTimeText(const char (&s)[kTimeStampSize]) {
    const std::string t(s, kTimeStampSize);
    return t.substr(0, 4) + '-' + t.substr(4, 2) + '-' + t.substr(6, 2) + ' ' + t.substr(8, 2) +
           ':' + t.substr(10, 2) + ':' + t.substr(12, 2);
}

std::array<std::string, kLogColumns> LogRowTexts(const LogLine& line) {
    // body: 'o', exchange(2), hhmmss, Line1..Line4 (6 each), status(2)
    const char* b = line.body;
    std::array<std::string, kLogColumns> row;
    row[0] = ReceptionTimeText(line.receivedAt);
    row[1] = ExchangeText(b + 1);
    row[2] = std::string(b + 3, 2) + ':' + std::string(b + 5, 2) + ':' + std::string(b + 7, 2);
    for (int i = 0; i < 4; ++i) row[3 + i] = std::string(b + 9 + 6 * i, 6);
    row[7] = StatusText(std::string_view(b + 33, 2));
    return row;
}

std::array<std::string, kMonitorColumns> MonitorRowTexts(const MonitorEntry& entry) {
    const size_t n = entry.dataLength <= kMaxMonitorData ? entry.dataLength : kMaxMonitorData;
    return {ReceptionTimeText(entry.receivedAt), ExchangeText(entry.body + 1),
            std::string(entry.body + kMonitorHeaderSize, n)};
}

}  // namespace qn410
