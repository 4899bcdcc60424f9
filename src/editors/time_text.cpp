#include "editors/time_text.h"

#include <algorithm>
#include <string>

#include "setting/text_field.h"

namespace qn410 {

namespace {
// A non-empty digit run read as a number; saturates at 100 (every such value is out of range).
std::optional<int> SmallNumber(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = std::min(value * 10 + (c - '0'), 100);
    }
    return value;
}
}  // namespace

std::optional<TimeOfDay> ParseTimeText(std::string_view text) {
    std::string compact;
    for (char c : text)
        if (c != ' ') compact += c;
    const std::size_t colon = compact.find(':');
    if (colon == std::string::npos || compact.find(':', colon + 1) != std::string::npos)
        return std::nullopt;
    const std::optional<int> hour = SmallNumber(std::string_view(compact).substr(0, colon));
    const std::optional<int> minute = SmallNumber(std::string_view(compact).substr(colon + 1));
    if (!hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
    TimeOfDay time{};
    time.Value = static_cast<uint16_t>(*hour * 256 + *minute);
    const char form[] = {char('0' + *hour / 10), char('0' + *hour % 10), ':',
                         char('0' + *minute / 10), char('0' + *minute % 10)};
    SetText(time.Text, std::string_view(form, sizeof form));
    return time;
}

bool IsTimeOfDay(uint16_t value) {
    return (value >> 8) <= 23 && (value & 0xFF) <= 59;
}

}  // namespace qn410
