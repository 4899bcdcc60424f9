// Random setting data for round-trip tests, and station numbers that pass the check.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "setting/setting_data.h"
#include "setting/text_field.h"

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

template <typename Number>
void SetNumber(Number& n, int value) {
    n.Value = value;
    SetText(n.Text, std::to_string(value));
}

// Station numbers that pass the station number check, whatever the data held before: each
// exchange a block of its own, six digits, trunk access digits 0 or 9 while every station
// number starts with 1..8. Stations without a number keep none.
inline void MakeStationNumbersPass(SettingData& d) {
    d.System.NumberSize = 6;
    for (int e = 0; e < kExchangeCount; ++e) {
        const int block = 100000 + 50000 * e;
        SetNumber(d.System.SwNumber[e], block);
        ExchangeSetting& ex = d.Exchange[e];
        for (TrunkLineSetting& line : ex.Line) line.TxNumber = line.TxNumber % 2 ? 9 : 0;
        for (int m = 0; m < kMasterCount; ++m)
            if (ex.Master[m].Number.Value != kNoNumber) SetNumber(ex.Master[m].Number, block + m);
        for (int s = 0; s < kSubCount; ++s)
            if (ex.Sub[s].Number.Value != kNoNumber) SetNumber(ex.Sub[s].Number, block + 100 + s);
    }
}

}  // namespace qn410::test
