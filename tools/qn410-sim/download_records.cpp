#include "download_records.h"

#include <algorithm>
#include <cstring>

#include "setting/text_field.h"
#include "transfer/record_codec.h"
#include "transfer/record_format.h"

namespace qn410::sim {
namespace {

// Letters after A and B, each with its records per exchange, in download order.
struct LetterRange {
    char letter;
    int perExchange;
};
constexpr LetterRange kPerExchange[] = {{'C', kSubCount},
                                        {'D', 1},
                                        {'E', kMasterCount},
                                        {'F', 1},
                                        {'G', kMasterCount},
                                        {'H', kZoneCount},
                                        {'I', kZoneCount},
                                        {'J', kZoneCount},
                                        {'U', kMasterCount},
                                        {'L', kMasterCount},
                                        {'M', 1}};

RecordRequest RequestFor(char letter, int exchange, int index, const SettingData& data) {
    RecordRequest r;
    r.exchange = static_cast<uint8_t>(exchange);
    r.data = &data;
    switch (letter) {
        case 'C':
            r.substation = static_cast<uint8_t>(index);
            break;
        case 'H':
        case 'I':
            r.zone = static_cast<uint8_t>(index);
            break;
        case 'J':
            r.sourceZone = static_cast<uint8_t>(index);
            break;
        default:
            r.station = static_cast<uint8_t>(index);
            break;
    }
    return r;
}

void Add(std::vector<std::string>& out, char letter, const RecordRequest& r) {
    if (auto record = Encode(letter, r)) out.push_back(std::move(*record));
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int Digits(std::string_view body, std::size_t pos, std::size_t width) {
    const std::string_view field = body.substr(pos, width);
    if (field.size() != width || !AllDigits(field)) return -1;
    int value = 0;
    for (const char c : field) value = value * 10 + (c - '0');
    return value;
}

std::string_view Trim(std::string_view text, char c) {
    while (!text.empty() && text.front() == c) text.remove_prefix(1);
    return text;
}

}  // namespace

std::vector<std::string> DownloadRecords(SettingData& data, int exchange, const Clock& clock) {
    std::vector<std::string> out;
    const int count = data.System.SwitchCnt;
    if (exchange < 0 || exchange > count) return out;
    RebuildZoneTables(data);

    RecordRequest global;
    global.data = &data;
    global.clock = &clock;
    Add(out, 'A', global);
    for (int e = 1; e <= count; ++e)
        for (int m = 1; m <= kMasterCount; ++m) Add(out, 'B', RequestFor('B', e, m, data));
    const int first = exchange == 0 ? 1 : exchange;
    const int last = exchange == 0 ? count : exchange;
    for (const LetterRange& range : kPerExchange)
        for (int e = first; e <= last; ++e)
            for (int i = 1; i <= range.perExchange; ++i)
                Add(out, range.letter, RequestFor(range.letter, e, i, data));
    return out;
}

std::vector<std::string> DialBlocks(const SettingData& data, int exchange, int master) {
    std::vector<std::string> out;
    if (exchange < 1 || exchange > kExchangeCount || master < 1 || master > kMasterCount)
        return out;
    const DialTable& table = data.Dial[exchange - 1][master - 1];
    std::vector<DialEntry> sendTable;
    for (int d = 0; d < kDialCount; ++d) {
        if (TextOf(table[d].Dial).empty()) continue;
        sendTable.push_back(table[d]);
        sendTable.back().SwitchNo = static_cast<uint16_t>(d + 1);  // not kept in the file
    }
    int doorLock = data.ShotT[exchange - 1][master - 1];
    if (doorLock == 0 || doorLock > 10) doorLock = 3;

    const int n = static_cast<int>(sendTable.size());
    const int blocks = n == 0 ? 1 : (n + 9) / 10;
    for (int s = 1; s <= blocks; ++s) {
        RecordRequest r;
        r.exchange = static_cast<uint8_t>(exchange);
        r.station = static_cast<uint8_t>(master);
        r.firstEntry = static_cast<int16_t>((s - 1) * 10 + 1);
        r.lastEntry = static_cast<int16_t>(n);
        r.blockPosition = blocks == 1 ? 3 : s == 1 ? 1 : s == blocks ? 2 : 0;
        r.doorLockTime = static_cast<uint8_t>(doorLock);
        r.sendTable = sendTable;
        Add(out, 'K', r);
    }
    return out;
}

bool StoreDialBlock(std::string_view body, SettingData& data) {
    namespace k = wire::k;
    if (body.size() < k::kEntries || body[0] != 'K') return false;
    const int exchange = Digits(body, wire::kExchange, 2);
    const int master = Digits(body, k::kMaster, 1);
    const int doorLock = Digits(body, k::kDoorLock, 1);
    const int position = Digits(body, k::kPosition, 1);
    const int c = Digits(body, k::kCount, 2);
    if (exchange < 1 || exchange > kExchangeCount || master < 1 || master > kMasterCount ||
        doorLock < 0 || position < 0 || c < 0 || c > static_cast<int>(k::kMaxEntries) ||
        body.size() < k::Size(c))
        return false;
    for (int j = 0; j < c; ++j) {
        const int d = Digits(body, k::kEntries + k::kEntryWidth * j + k::kSwitch, 4);
        if (d < 1 || d > kDialCount) return false;
    }

    DialTable& table = data.Dial[exchange - 1][master - 1];
    if (position == 1 || position == 3) {
        for (int d = 0; d < kDialCount; ++d) {
            table[d] = DialEntry{};
            table[d].SwitchNo = static_cast<uint16_t>(d + 1);
        }
    }
    data.ShotT[exchange - 1][master - 1] = static_cast<uint8_t>(doorLock);
    for (int j = 0; j < c; ++j) {
        const std::size_t pos = k::kEntries + k::kEntryWidth * j;
        const int d = Digits(body, pos + k::kSwitch, 4);
        DialEntry& entry = table[d - 1];
        entry.SwitchNo = static_cast<uint16_t>(d);
        const std::string_view dial = body.substr(pos + k::kDial, 16);
        const std::string_view text = dial.substr(0, std::min(dial.find(' '), dial.size()));
        SetText(entry.Dial, text);
        // The door-lock switch comes right-aligned; its padding and leading zeros are not kept.
        SetText(entry.Shot, text.empty() ? std::string_view{}
                                         : Trim(Trim(body.substr(pos + k::kShot, 4), ' '), '0'));
    }
    return true;
}

}  // namespace qn410::sim
