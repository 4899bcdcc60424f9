// The station number check that guards every upload: station numbers route calls, so before
// the data reaches the exchanges every master station and substation number must be well
// formed, unique, inside its exchange's block and clear of the C/O trunk access digits.
//
// The steps run in this order over exchanges 1..SwitchCnt, stations in index order; the first
// failure ends the check. Stations without a number are skipped.
//   1 masters: text of exactly NumberSize characters, value below 10^NumberSize   -> BadDigits
//   2 masters: no other master, then no substation, of any exchange has the number -> Duplicate
//   3 masters: first digit is not the access digit of an active trunk of its exchange
//   4 substations: as step 1                                                       -> BadDigits
//   5 substations: SwNumber(e) <= value < SwNumber(e + 1), no upper limit on the last exchange
//   6 substations: no later substation of the same exchange has the number         -> Duplicate
//   7 substations: as step 3                                                       -> TrunkDigit
#pragma once

#include <cstdint>
#include <string>

#include "setting/setting_data.h"

namespace qn410 {

enum class StationCheckCode : uint8_t {
    Ok = 0,
    Duplicate = 1,
    BadDigits = 2,     // wrong number of digits, or a value too large
    OutsideBlock = 3,  // a substation number outside its exchange's block
    TrunkDigit = 4,    // first digit equals an active trunk access digit
};

enum class StationKind : uint8_t { Master = 0, Sub = 1 };

struct StationCheckResult {
    StationCheckCode code = StationCheckCode::Ok;
    StationKind kind = StationKind::Master;
    uint8_t exchange = 0;  // 1-based
    uint8_t index = 0;     // equipment number: master 1..4, substation 1..64
    int32_t numberValue = 0;
    std::string numberText;
    // Duplicate only: the station that holds the same number.
    StationKind otherKind = StationKind::Master;
    uint8_t otherExchange = 0;
    uint8_t otherIndex = 0;

    bool ok() const { return code == StationCheckCode::Ok; }
};

StationCheckResult CheckStationNumbers(const SettingData& data);

// The text the Stations editor shows for a failed check ("" for Ok), for example
// "Substations\nStation No.(250)for Exchange 1 exceeds station No.limits.".
std::string StationCheckMessage(const StationCheckResult& result);

}  // namespace qn410
