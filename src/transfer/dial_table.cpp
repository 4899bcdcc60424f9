#include "transfer/dial_table.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "setting/text_field.h"
#include "transfer/record_codec.h"
#include "transfer/record_fields.h"

namespace qn410 {

namespace k = wire::k;

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view Trim(std::string_view text, char c) {
    while (!text.empty() && text.front() == c) text.remove_prefix(1);
    while (c == ' ' && !text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// A two- or four-digit field, or -1 when a character is not a digit.
int Digits(std::string_view body, std::size_t pos, std::size_t width) {
    if (body.size() < pos + width) return -1;
    int value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        if (!IsDigit(body[pos + i])) return -1;
        value = value * 10 + (body[pos + i] - '0');
    }
    return value;
}

}  // namespace

void CopyDialTables(const SettingData& from, DialTables& to) {
    std::memcpy(to.Dial, from.Dial, sizeof to.Dial);
    std::memcpy(to.ShotT, from.ShotT, sizeof to.ShotT);
}

void CopyDialTables(const DialTables& from, SettingData& to) {
    std::memcpy(to.Dial, from.Dial, sizeof to.Dial);
    std::memcpy(to.ShotT, from.ShotT, sizeof to.ShotT);
}

bool SameDialTables(const DialTables& copy, const SettingData& data) {
    if (std::memcmp(copy.ShotT, data.ShotT, sizeof copy.ShotT) != 0) return false;
    // Switch numbers and names are display copies the editor fills in; only the texts count.
    for (int e = 0; e < kExchangeCount; ++e)
        for (int m = 0; m < kMasterCount; ++m)
            for (int d = 0; d < kDialCount; ++d) {
                const DialEntry &a = copy.Dial[e][m][d], &b = data.Dial[e][m][d];
                if (TextOf(a.Dial) != TextOf(b.Dial) || TextOf(a.Shot) != TextOf(b.Shot))
                    return false;
            }
    return true;
}

uint8_t ValidDoorLockTime(uint8_t time) {
    return time == 0 || time > 10 ? kDefaultDoorLockTime : time;
}

bool IsAcceptedDialEdit(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(kDialTextMax)) return false;
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return IsDigit(c) || std::strchr("aAcC*#- ", c) != nullptr; });
}

std::optional<int> ParseDoorLockSwitch(std::string_view text) {
    if (text.empty() || text.size() > 4 || !std::all_of(text.begin(), text.end(), IsDigit))
        return std::nullopt;
    const int value = wire::NumberValue(text);
    if (value < 1 || value > kDialCount) return std::nullopt;
    return value;
}

bool IsValidDialText(std::string_view text) {
    if (text == kDoorLockMark) return true;
    if (text.empty() || text.size() > static_cast<std::size_t>(kDialTextMax)) return false;
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return IsDigit(c) || std::strchr("Aa*#-", c) != nullptr; });
}

bool HasNoOwnDial(const DialEntry& entry) {
    const std::string_view dial = TextOf(entry.Dial);
    return dial.find_first_not_of(' ') == std::string_view::npos || dial == kDoorLockMark;
}

void ClearDoorLockMarks(DialTable& table) {
    for (int d = 0; d < kDialCount; ++d) {
        DialEntry& entry = table[d];
        entry.SwitchNo = static_cast<uint16_t>(d + 1);
        if (entry.Dial[0] == 'x') {
            SetText(entry.Dial, "");
            SetText(entry.Shot, "");
        }
    }
}

void RebuildDoorLockMarks(DialTable& table) {
    ClearDoorLockMarks(table);
    for (int d = 0; d < kDialCount; ++d) {
        const auto target = ParseDoorLockSwitch(TextOf(table[d].Shot));
        if (!target) continue;
        SetText(table[*target - 1].Dial, kDoorLockMark);
        SetText(table[*target - 1].Shot, kDoorLockMark);
    }
}

void ClearDialTable(DialTable& table) {
    for (int d = 0; d < kDialCount; ++d) {
        table[d] = DialEntry{};
        table[d].SwitchNo = static_cast<uint16_t>(d + 1);
    }
}

std::string LookUpStationName(const SettingData& data, std::string_view dial) {
    const int digits = data.System.NumberSize;
    if (dial.size() != static_cast<std::size_t>(digits) ||
        !std::all_of(dial.begin(), dial.end(), IsDigit))
        return {};
    const int32_t value = wire::NumberValue(dial);
    const int exchanges = std::clamp<int>(data.System.SwitchCnt, 0, kExchangeCount);
    for (int e = 0; e < exchanges; ++e)
        for (const MasterSetting& m : data.Exchange[e].Master)
            if (m.Number.Value != kNoNumber && m.Number.Value == value)
                return std::string(TextOf(m.Name));
    for (int e = 0; e < exchanges; ++e)
        for (const SubSetting& s : data.Exchange[e].Sub)
            if (s.Number.Value != kNoNumber && s.Number.Value == value)
                return std::string(TextOf(s.Name));
    return {};
}

std::optional<DialFailure> CheckDialTables(const DialTables& tables, int switchCnt) {
    const int exchanges = std::clamp(switchCnt, 0, kExchangeCount);
    for (int e = 0; e < exchanges; ++e)
        for (int m = 0; m < kMasterCount; ++m)
            for (int d = 0; d < kDialCount; ++d) {
                const std::string_view dial = TextOf(tables.Dial[e][m][d].Dial);
                if (!dial.empty() && !IsValidDialText(dial))
                    return DialFailure{e + 1, m + 1, d + 1};
            }
    return std::nullopt;
}

std::string DialFailureText(const DialFailure& failure) {
    char text[96];
    std::snprintf(text, sizeof text, kIncorrectDialFormat, failure.exchange, failure.master);
    return text;
}

std::vector<DialEntry> BuildSendTable(const DialTable& table) {
    std::vector<DialEntry> out;
    for (int d = 0; d < kDialCount; ++d) {
        if (TextOf(table[d].Dial).empty()) continue;
        out.push_back(table[d]);
        out.back().SwitchNo = static_cast<uint16_t>(d + 1);  // not kept in the file
    }
    return out;
}

int DialBlockCount(int entries) {
    return entries <= 0 ? 1 : (entries + kDialBlockEntries - 1) / kDialBlockEntries;
}

int DialBlockPosition(int block, int blocks) {
    if (blocks <= 1) return 3;
    if (block == 1) return 1;
    return block == blocks ? 2 : 0;
}

std::optional<std::string> EncodeDialBlock(int exchange, int master, uint8_t doorLockTime,
                                           const std::vector<DialEntry>& sendTable, int block) {
    const int n = static_cast<int>(sendTable.size());
    const int blocks = DialBlockCount(n);
    if (block < 1 || block > blocks) return std::nullopt;
    RecordRequest r;
    r.exchange = static_cast<uint8_t>(exchange);
    r.station = static_cast<uint8_t>(master);
    r.firstEntry = static_cast<int16_t>((block - 1) * kDialBlockEntries + 1);
    r.lastEntry = static_cast<int16_t>(n);
    r.blockPosition = static_cast<uint8_t>(DialBlockPosition(block, blocks));
    r.doorLockTime = doorLockTime;
    r.sendTable = sendTable;
    return Encode('K', r);
}

std::optional<DialBlockHeader> ReadDialBlockHeader(std::string_view body) {
    if (body.size() < k::kEntries || body[0] != 'K') return std::nullopt;
    DialBlockHeader h;
    h.exchange = Digits(body, wire::kExchange, 2);
    h.master = Digits(body, k::kMaster, 1);
    h.doorLockTime = std::max(Digits(body, k::kDoorLock, 1), 0);
    h.total = std::max(Digits(body, k::kTotal, 4), 0);
    h.position = Digits(body, k::kPosition, 1);
    h.count = std::clamp(Digits(body, k::kCount, 2), 0, static_cast<int>(k::kMaxEntries));
    if (h.exchange < 1 || h.exchange > kExchangeCount || h.master < 1 || h.master > kMasterCount)
        return std::nullopt;
    return h;
}

std::optional<DialBlockHeader> StoreDialBlock(std::string_view body, SettingData& data,
                                              bool clearTable) {
    const auto h = ReadDialBlockHeader(body);
    if (!h) return std::nullopt;
    DialTable& table = data.Dial[h->exchange - 1][h->master - 1];
    if (clearTable) ClearDialTable(table);
    for (auto& byExchange : data.Dial)
        for (DialTable& t : byExchange)
            for (int d = 0; d < kDialCount; ++d) t[d].SwitchNo = static_cast<uint16_t>(d + 1);
    data.ShotT[h->exchange - 1][h->master - 1] =
        ValidDoorLockTime(static_cast<uint8_t>(h->doorLockTime));
    for (int j = 0; j < h->count; ++j) {
        const std::size_t pos = k::kEntries + k::kEntryWidth * j;
        if (body.size() < pos + k::kEntryWidth) break;
        const int d = Digits(body, pos + k::kSwitch, 4);
        if (d < 1 || d > kDialCount) break;
        DialEntry& entry = table[d - 1];
        if (wire::IsBlank(body, pos + k::kDial, kDialTextMax)) {
            SetText(entry.Dial, "");
            SetText(entry.Shot, "");
            continue;
        }
        SetText(entry.Dial, wire::ReadText(body, pos + k::kDial, kDialTextMax));
        // Right-aligned in four characters: neither its padding nor leading zeros are kept.
        SetText(entry.Shot, Trim(Trim(body.substr(pos + k::kShot, 4), ' '), '0'));
    }
    return h;
}

}  // namespace qn410
