// Field-by-field comparison of two SettingData, reported the way an installer reads a listing:
// category, exchange, station or list entry, field, old value and new value.
//
// Only what the setting file keeps takes part (display copies, zone tables and the dial
// entries' switch numbers and names are derived from other fields). Values are shown as the
// setting file writes them, so a report line can be found again in the file.
#pragma once

#include <string>
#include <vector>

#include "setting/setting_data.h"

namespace qn410 {

// The categories in the order of the printout, which is the order of a report.
enum class SettingCategory {
    GlobalSetting,
    CallForwarding,
    MasterStations,
    Substations,
    CoTrunks,
    ScanMonitor,
    GroupCall,
    EmergencyConference,
    Paging,
    PcPort,
    RemoteDialing,
    PublicAddress,
    ExternalSource,
    DirectSelect,
    DialingAssignment,
};

// The category's title as the program shows it ("Master Stations (Telephones)").
const char* CategoryTitle(SettingCategory category);

struct FieldDifference {
    SettingCategory category;
    int exchange;        // 1..16, 0 for installation-wide fields
    std::string place;   // "Master 2", "Substation 12", "Line 1", "Entry 15"; empty for none
    std::string field;   // the setting file's key without "=", as "Name" or "TieLine02"
    std::string before;  // value in the first data
    std::string after;   // value in the second data
    bool operator==(const FieldDifference&) const = default;
};

// Every field that differs, in category order, then exchange, place and field order.
std::vector<FieldDifference> CompareSettings(const SettingData& before, const SettingData& after);

// One line per difference: category, exchange, place, field: "before" -> "after".
std::string FormatDifference(const FieldDifference& difference);
std::string FormatDifferences(const std::vector<FieldDifference>& differences);

}  // namespace qn410
