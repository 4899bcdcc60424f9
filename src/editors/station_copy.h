// The Stations editor's working copy (the master stations and substations of all 16
// exchanges) and the rules by which a grid entry changes one station. The rules only store what
// is well formed; anything else leaves the station as it was, and the caller redraws its row.
//
// Texts are the system's single-byte texts. A station without a number holds the value -1.
#pragma once

#include <string_view>

#include "setting/setting_data.h"

namespace qn410 {

struct StationCopy {
    MasterSetting Master[kExchangeCount][kMasterCount];
    SubSetting Sub[kExchangeCount][kSubCount];

    void LoadFrom(const SettingData& data);
    void StoreInto(SettingData& data) const;
    // Differs from the setting data in anything but the substations' display copies of their
    // called master (derived data, not stored in the file nor sent).
    bool DiffersFrom(const SettingData& data) const;
    // Refreshes every substation's display copy of its called master from the masters here.
    void RefreshCalledCopies();
};

inline constexpr std::size_t kMaxCellText = 50;  // a longer entry counts as empty

// An entry longer than kMaxCellText counts as empty.
std::string_view CellEntry(std::string_view text);
bool AllDigits(std::string_view text);

// "Station": stored only as exactly numberSize decimal digits. A station whose name was its
// number (or that had no number) takes the new number as its name too.
bool EnterStationNumber(StationNumber& number, char (&name)[9], std::string_view text,
                        int numberSize);
// "Name": at most 8 characters, each printable ASCII 0x20..0x7D or katakana 0xA1..0xDF.
bool EnterName(char (&name)[9], std::string_view text);
// A decimal number within first..last, or nothing.
bool ParseInRange(std::string_view text, int first, int last, int& value);

// The master whose number is text (exactly numberSize digits), among exchanges 1..exchanges.
const MasterSetting* MasterNumbered(const StationCopy& copy, std::string_view text, int numberSize,
                                    int exchanges);

}  // namespace qn410
