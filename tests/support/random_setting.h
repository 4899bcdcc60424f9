// Random setting data for round-trip tests.
#pragma once

#include <cstdint>

#include "setting/setting_data.h"

namespace qn410::test {

// Fills data with random values that the setting file carries unchanged: every field stored in
// the file varies (names with bytes 0xA1..0xDF, often at their longest), display copies hold
// what reading a file leaves in them, and the zone tables stay as they were.
void FillRandomFileData(SettingData& data, uint32_t seed);

}  // namespace qn410::test
