// The member lists that every master station keeps: the substations it scans in turn (Scan
// Monitor), the masters it calls together (Group Call) and the masters it joins into an emergency
// conference (Emergency Conference). One design serves the three; MemberListKind holds what
// differs between them, the rest (working copy, entry rules, checks) is shared.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "editors/editor_host.h"
#include "setting/setting_data.h"

namespace qn410 {

struct MemberListKind {
    const char* title;
    const char* ownerLabel;  // %1: the number of masters
    bool hasTime;            // the monitoring time of the scan lists
    bool substations;        // members are substations (1..64), else masters (1..4)
    int capacity;            // entries per list
    uint8_t MasterSetting::*count;
    StationEntry* (*entries)(MasterSetting&);
    const char* invalidMember;
    const char* duplicate;  // owning exchange, owning master, member's exchange and equipment
    char letter;            // upload record
    PrintCategory print;

    int lastEquipment() const { return substations ? kSubCount : kMasterCount; }
};

extern const MemberListKind kScanMonitorList;
extern const MemberListKind kGroupCallList;
extern const MemberListKind kConferenceList;

inline constexpr int kMinScanTime = 1;
inline constexpr int kMaxScanTime = 99;

// One master's list as the editor holds it.
struct MemberList {
    uint8_t time = 0;   // scan monitor only
    uint8_t count = 0;  // rows in use, as stored
    std::array<StationEntry, kScanCount> entry{};
    bool operator==(const MemberList&) const = default;

    int rows(const MemberListKind& kind) const { return std::min<int>(count, kind.capacity); }
};
using MemberLists = std::array<std::array<MemberList, kMasterCount>, kExchangeCount>;

MemberLists LoadLists(const MemberListKind& kind, const SettingData& data);
void StoreLists(const MemberListKind& kind, const MemberLists& lists, SettingData& data);

// "Exchange" and "Line" of a grid row: stored only as a decimal within range (exchanges in use,
// lastEquipment); anything else leaves the entry as it was.
void EnterExchange(StationEntry& entry, std::string_view text, int exchanges);
void EnterEquipment(StationEntry& entry, const MemberListKind& kind, std::string_view text);
// The member's number and name, when the entry names a station; nothing otherwise.
struct MemberShown {
    std::string number;
    std::string name;
};
MemberShown ShowMember(const MemberListKind& kind, const StationEntry& entry,
                       const SettingData& data);

struct ListFailure {
    std::string message;
    int exchange = 0;  // owning exchange and master, 1-based
    int master = 0;
    int row = -1;  // the member's row, or -1 for the monitoring time
};
// The checks of Overwrite and Upload, in order: monitoring times, members, duplicates.
std::optional<ListFailure> ValidateLists(const MemberListKind& kind, const MemberLists& lists,
                                         const SettingData& data);

}  // namespace qn410
