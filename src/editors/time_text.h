// The time texts of time-based call forwarding, as the user types them.
#pragma once

#include <optional>
#include <string_view>

#include "setting/setting_data.h"

namespace qn410 {

// Blanks are removed; the rest must be decimal digits with exactly one ':', the hour 0..23
// before it and the minute 0..59 after it ("7:5", "07:05" and "0007:0005" are all 7:05). The
// result holds hour * 256 + minute and the text in its two-digit form "07:05", which always
// fits the 6-byte field.
std::optional<TimeOfDay> ParseTimeText(std::string_view text);

// Whether a stored time value is a time of day (hour 0..23, minute 0..59).
bool IsTimeOfDay(uint16_t value);

}  // namespace qn410
