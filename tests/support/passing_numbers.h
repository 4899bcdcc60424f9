// Station numbers that pass the station number check, whatever the data held before: each
// exchange a block of its own, six digits, trunk access digits 0 or 9 while every station
// number starts with 1..8. Stations without a number keep none.
#pragma once

#include <string>

#include "setting/setting_data.h"
#include "setting/text_field.h"

namespace qn410::test {

template <typename Number>
void SetNumber(Number& n, int value) {
    n.Value = value;
    SetText(n.Text, std::to_string(value));
}

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
