// The texts of a row of the "Log Data" list (eight columns) and of the "Communication Monitor"
// list (three columns), shared by the windows, their printout and qn410ctl.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "monitor/log_records.h"

namespace qn410 {

inline constexpr int kLogColumns = 8;
inline constexpr int kMonitorColumns = 3;

// The text of a two-digit status code; empty when the field is not two digits.
std::string StatusText(std::string_view code);

// YYYY-MM-DD hh:mm:ss of a 14-digit reception time.
std::string ReceptionTimeText(const char (&stamp)[kTimeStampSize]);

std::array<std::string, kLogColumns> LogRowTexts(const LogLine& line);
std::array<std::string, kMonitorColumns> MonitorRowTexts(const MonitorEntry& entry);

}  // namespace qn410
