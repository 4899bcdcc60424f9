// Random setting data for wire-record round trips (records, exchange simulator).
//
// FillRandomRecordable varies only the fields that the upload records carry, and only in the
// form in which they survive a trip to an exchange and back: names of at most 8 characters
// without blanks (with bytes 0xA1..0xDF mixed in), TalkTime and PagingTimeLimit in tens,
// member lists packed to the front with full counts, AutoOutSend following the times, cleared
// stations holding the cleared values, zone masks empty where the zone cells are not
// selectable. Every other field keeps its default, and the zone tables are rebuilt.
//
// FirstRecordDifference compares two SettingData only in those fields, for the exchanges
// 1..SwitchCnt of a, and names the first that differs as the diff listing does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "setting/setting_data.h"

namespace qn410::test {

void FillRandomRecordable(SettingData& data, uint32_t seed);

std::optional<std::string> FirstRecordDifference(const SettingData& a, const SettingData& b);

}  // namespace qn410::test
