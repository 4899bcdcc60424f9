// The zone tables: the zone masks laid out as rows of cells for editing and for the H, I and J
// records.
#include <cstring>

#include "setting/text_field.h"
#include "transfer/record_codec.h"

namespace qn410 {

namespace {

ZoneRow EmptyRow(int exchange, int index) {
    ZoneRow row;
    std::memset(static_cast<void*>(&row), 0, sizeof row);
    row.ExchangeNo = static_cast<uint8_t>(exchange);
    row.Index = static_cast<uint8_t>(index);
    row.NumberValue = kNoNumber;
    return row;
}

void FillCells(ZoneRow& row, int32_t mask) {
    for (int z = 0; z < kZoneCount; ++z) row.Cell[z] = (mask >> z) & 1;
}

}  // namespace

void RebuildZoneRows(SettingData& data, int exchange) {
    if (exchange < 1 || exchange > kExchangeCount) return;
    const ExchangeSetting& ex = data.Exchange[exchange - 1];
    ZoneTables& t = data.Zones;
    for (int s = 0; s < kSubCount; ++s) {
        const SubSetting& sub = ex.Sub[s];
        ZoneRow row = EmptyRow(exchange, s + 1);
        row.ZoneSize = ex.ZoneSize;
        row.PagingTimeLimit = ex.PagingTimeLimit;
        row.NumberValue = sub.Number.Value;
        SetText(row.NumberText, TextOf(sub.Number.Text));
        SetText(row.Name, TextOf(sub.Name));
        // A substation without a number, or with emergency priority, cannot be paged.
        if (sub.Number.Value == kNoNumber || sub.Level == 1)
            std::memset(row.Cell, 2, sizeof row.Cell);
        else
            FillCells(row, sub.Paging);
        t.Sub[exchange - 1][s] = row;
    }
    for (int p = 0; p < kSpeakerCount; ++p) {
        ZoneRow row = EmptyRow(exchange, p + 1);
        FillCells(row, ex.Speaker[p].Paging);
        t.Speaker[exchange - 1][p] = row;
    }
    for (int k = 0; k < kExternalSourceCount; ++k) {
        ZoneRow row = EmptyRow(exchange, k + 1);
        FillCells(row, data.System.OutInZone[exchange - 1][k]);
        t.Source[exchange - 1][k] = row;
    }
}

void RebuildZoneTables(SettingData& data) {
    for (int e = 1; e <= kExchangeCount; ++e) RebuildZoneRows(data, e);
}

}  // namespace qn410
