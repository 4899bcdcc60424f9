#include "editors/member_list.h"

#include <algorithm>
#include <cstdio>

#include "editors/exchange_selector.h"
#include "editors/station_copy.h"
#include "setting/text_field.h"

namespace qn410 {

const MemberListKind kScanMonitorList = {
    "Scan Monitor",
    "Master Station No. (1-%1):",
    true,
    true,
    kScanCount,
    &MasterSetting::ScanCnt,
    [](MasterSetting& m) { return m.ScanSub; },
    "Invalid sub-equipment No.is set.",
    "Exchange%d\nMaster Station No.%d\nDuplicated exchange-equipment No.(%d-%d)",
    'G',
    kPrintScanMonitor};
const MemberListKind kGroupCallList = {
    "Group Call",
    "Master Station (Telephone) No. (1-%1):",
    false,
    false,
    kGroupCount,
    &MasterSetting::GroupCnt,
    [](MasterSetting& m) { return m.GroupMaster; },
    "Invalid master equipment No.is set.",
    "Exchange%d\nMaster Station (Telephone) No.%d\nDuplicated exchange-equipment No.(%d-%d)",
    'E',
    kPrintGroupCall};
const MemberListKind kConferenceList = {
    "Emergency Conference",
    "Master Station (Telephone) No. (1-%1):",
    false,
    false,
    kMeetCount,
    &MasterSetting::MeetCnt,
    [](MasterSetting& m) { return m.MeetMaster; },
    "Invalid master equipment No.is set.",
    "Exchange%d\nMaster Station (Telephone) No.%d\nDuplicated exchange-equipment No.(%d-%d)",
    'L',
    kPrintConference};

MemberLists LoadLists(const MemberListKind& kind, const SettingData& data) {
    MemberLists lists{};
    for (int e = 0; e < kExchangeCount; ++e)
        for (int m = 0; m < kMasterCount; ++m) {
            // The kind's accessors take a writable master; this copy is only read.
            MasterSetting master = data.Exchange[e].Master[m];
            MemberList& list = lists[e][m];
            if (kind.hasTime) list.time = master.ScanTime;
            list.count = master.*kind.count;
            std::copy_n(kind.entries(master), kind.capacity, list.entry.begin());
        }
    return lists;
}

void StoreLists(const MemberListKind& kind, const MemberLists& lists, SettingData& data) {
    for (int e = 0; e < kExchangeCount; ++e)
        for (int m = 0; m < kMasterCount; ++m) {
            MasterSetting& master = data.Exchange[e].Master[m];
            const MemberList& list = lists[e][m];
            if (kind.hasTime) master.ScanTime = list.time;
            master.*kind.count = list.count;
            std::copy_n(list.entry.begin(), kind.capacity, kind.entries(master));
        }
}

void EnterExchange(StationEntry& entry, std::string_view text, int exchanges) {
    int value = 0;
    if (ParseInRange(CellEntry(text), 1, exchanges, value))
        entry.ExchangeNo = static_cast<uint8_t>(value);
}

void EnterEquipment(StationEntry& entry, const MemberListKind& kind, std::string_view text) {
    int value = 0;
    if (ParseInRange(CellEntry(text), 1, kind.lastEquipment(), value))
        entry.StationNo = static_cast<uint8_t>(value);
}

namespace {
// The member's station number, or nullptr when the entry names no station of the data.
const StationNumber* MemberNumber(const MemberListKind& kind, const StationEntry& entry,
                                  const SettingData& data, const char (**name)[9] = nullptr) {
    if (entry.ExchangeNo < 1 || entry.ExchangeNo > kExchangeCount || entry.StationNo < 1 ||
        entry.StationNo > kind.lastEquipment())
        return nullptr;
    const ExchangeSetting& ex = data.Exchange[entry.ExchangeNo - 1];
    if (kind.substations) {
        if (name) *name = &ex.Sub[entry.StationNo - 1].Name;
        return &ex.Sub[entry.StationNo - 1].Number;
    }
    if (name) *name = &ex.Master[entry.StationNo - 1].Name;
    return &ex.Master[entry.StationNo - 1].Number;
}
}  // namespace

MemberShown ShowMember(const MemberListKind& kind, const StationEntry& entry,
                       const SettingData& data) {
    const char(*name)[9] = nullptr;
    const StationNumber* number = MemberNumber(kind, entry, data, &name);
    if (!number || number->Value == kNoNumber) return {};
    return {std::string(TextOf(number->Text)), std::string(TextOf(*name))};
}

std::optional<ListFailure> ValidateLists(const MemberListKind& kind, const MemberLists& lists,
                                         const SettingData& data) {
    // The data's own count, unclamped: lists of exchanges beyond it are not checked.
    const int exchanges = std::clamp<int>(data.System.SwitchCnt, 0, kExchangeCount);
    if (kind.hasTime)
        for (int e = 1; e <= exchanges; ++e)
            for (int m = 1; m <= kMasterCount; ++m) {
                const int time = lists[e - 1][m - 1].time;
                if (time < kMinScanTime || time > kMaxScanTime)
                    return ListFailure{"Incorrect monitoring time", e, m, -1};
            }
    const auto used = [](const StationEntry& s) { return s.ExchangeNo != 0 || s.StationNo != 0; };
    for (int e = 1; e <= exchanges; ++e)
        for (int m = 1; m <= kMasterCount; ++m) {
            const MemberList& list = lists[e - 1][m - 1];
            for (int row = 0; row < list.rows(kind); ++row) {
                const StationEntry& s = list.entry[static_cast<std::size_t>(row)];
                if (!used(s)) continue;
                const StationNumber* number = MemberNumber(kind, s, data);
                const bool owner = !kind.substations && s.ExchangeNo == e && s.StationNo == m;
                if (s.ExchangeNo > exchanges || !number || number->Value == kNoNumber || owner)
                    return ListFailure{kind.invalidMember, e, m, row};
            }
        }
    for (int e = 1; e <= exchanges; ++e)
        for (int m = 1; m <= kMasterCount; ++m) {
            const MemberList& list = lists[e - 1][m - 1];
            for (int row = 1; row < list.rows(kind); ++row) {
                const StationEntry& s = list.entry[static_cast<std::size_t>(row)];
                const auto earlier = list.entry.begin() + row;
                const bool twice =
                    used(s) && std::any_of(list.entry.begin(), earlier, [&](const StationEntry& o) {
                        return o.ExchangeNo == s.ExchangeNo && o.StationNo == s.StationNo;
                    });
                if (!twice) continue;
                char text[160];
                std::snprintf(text, sizeof text, kind.duplicate, e, m, s.ExchangeNo, s.StationNo);
                return ListFailure{text, e, m, row};
            }
        }
    return std::nullopt;
}

}  // namespace qn410
