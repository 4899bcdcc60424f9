// Random setting data for round-trip tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "setting/setting_data.h"

namespace qn410::test {

// What FillRandomRecordable makes (its zone tables left as they were), and besides every other
// field the setting file stores, in any form the file carries unchanged; display copies hold
// what reading a file leaves in them.
void FillRandomFileData(SettingData& data, uint32_t seed);

// Varies only the fields that the upload records carry, and only in the form in which they
// survive a trip to an exchange and back: names of at most 8 characters without blanks (with
// bytes 0xA1..0xDF mixed in), TalkTime and PagingTimeLimit in tens, member lists packed to the
// front with full counts, AutoOutSend following the times, cleared stations holding the cleared
// values, zone masks empty where the zone cells are not selectable. Every other field keeps its
// default, and the zone tables are rebuilt.
void FillRandomRecordable(SettingData& data, uint32_t seed);

// Compares two SettingData only in the fields FillRandomRecordable varies, for the exchanges
// 1..SwitchCnt of a, and names the first that differs as the diff listing does.
std::optional<std::string> FirstRecordDifference(const SettingData& a, const SettingData& b);

}  // namespace qn410::test
