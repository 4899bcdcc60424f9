#include "editors/station_copy.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "setting/text_field.h"

namespace qn410 {

void StationCopy::LoadFrom(const SettingData& data) {
    for (int e = 0; e < kExchangeCount; ++e) {
        std::copy(std::begin(data.Exchange[e].Master), std::end(data.Exchange[e].Master),
                  Master[e]);
        std::copy(std::begin(data.Exchange[e].Sub), std::end(data.Exchange[e].Sub), Sub[e]);
    }
}

void StationCopy::StoreInto(SettingData& data) const {
    for (int e = 0; e < kExchangeCount; ++e) {
        std::copy(std::begin(Master[e]), std::end(Master[e]), data.Exchange[e].Master);
        std::copy(std::begin(Sub[e]), std::end(Sub[e]), data.Exchange[e].Sub);
    }
}

namespace {
SubSetting WithoutCalledCopy(SubSetting sub) {
    sub.CallNumberValue = 0;
    std::memset(sub.CallNumberText, 0, sizeof sub.CallNumberText);
    std::memset(sub.CallName, 0, sizeof sub.CallName);
    return sub;
}
}  // namespace

bool StationCopy::DiffersFrom(const SettingData& data) const {
    for (int e = 0; e < kExchangeCount; ++e) {
        if (!std::equal(std::begin(Master[e]), std::end(Master[e]), data.Exchange[e].Master))
            return true;
        for (int s = 0; s < kSubCount; ++s)
            if (!(WithoutCalledCopy(Sub[e][s]) == WithoutCalledCopy(data.Exchange[e].Sub[s])))
                return true;
    }
    return false;
}

void StationCopy::RefreshCalledCopies() {
    for (auto& subs : Sub)
        for (SubSetting& sub : subs) {
            const bool set = sub.CallSwNo >= 1 && sub.CallSwNo <= kExchangeCount &&
                             sub.CallStNo >= 1 && sub.CallStNo <= kMasterCount;
            if (!set) continue;
            const MasterSetting& master = Master[sub.CallSwNo - 1][sub.CallStNo - 1];
            sub.CallNumberValue = master.Number.Value;
            SetText(sub.CallNumberText,
                    master.Number.Value == kNoNumber ? "" : TextOf(master.Number.Text));
            SetText(sub.CallName, TextOf(master.Name));
        }
}

std::string_view CellEntry(std::string_view text) {
    return text.size() > kMaxCellText ? std::string_view() : text;
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool EnterStationNumber(StationNumber& number, char (&name)[9], std::string_view text,
                        int numberSize) {
    if (text.empty() || text.size() != static_cast<std::size_t>(numberSize) || !AllDigits(text))
        return false;
    const bool nameIsNumber = number.Value == kNoNumber || TextOf(name) == TextOf(number.Text);
    number.Value = std::stoi(std::string(text));
    SetText(number.Text, text);
    if (nameIsNumber) SetText(name, text);
    return true;
}

bool EnterName(char (&name)[9], std::string_view text) {
    if (text.empty() || text.size() > sizeof name - 1) return false;
    const bool printable = std::all_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b >= 0x20 && b <= 0x7D) || (b >= 0xA1 && b <= 0xDF);
    });
    if (!printable) return false;
    SetText(name, text);
    return true;
}

bool ParseInRange(std::string_view text, int first, int last, int& value) {
    if (text.empty() || text.size() > 6 || !AllDigits(text)) return false;
    const int parsed = std::stoi(std::string(text));
    if (parsed < first || parsed > last) return false;
    value = parsed;
    return true;
}

const MasterSetting* MasterNumbered(const StationCopy& copy, std::string_view text, int numberSize,
                                    int exchanges) {
    if (text.size() != static_cast<std::size_t>(numberSize) || !AllDigits(text)) return nullptr;
    for (int e = 0; e < std::clamp(exchanges, 0, kExchangeCount); ++e)
        for (const MasterSetting& m : copy.Master[e])
            if (m.Number.Value != kNoNumber && TextOf(m.Number.Text) == text) return &m;
    return nullptr;
}

}  // namespace qn410
