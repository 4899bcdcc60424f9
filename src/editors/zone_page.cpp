#include "editors/zone_page.h"

#include <QString>
#include <algorithm>

#include "setting/text_field.h"

namespace qn410 {

namespace {
constexpr char kMember[] = "v";
constexpr char kNotMember[] = "-";
constexpr char kNotSelectable[] = "x";
constexpr int kZoneWidth = 80;

int UnitsPerExchange(ZoneUnit unit) {
    switch (unit) {
        case ZoneUnit::Substation:
            return kSubCount;
        case ZoneUnit::Speaker:
            return kSpeakerCount;
        case ZoneUnit::Source:
            break;
    }
    return kExternalSourceCount;
}
}  // namespace

ZonePage::ZonePage(ZoneTables& copy, const SettingData& data, ZoneUnit unit, QWidget* parent)
    : ExchangeGridPage(data, UnitsPerExchange(unit), parent),
      copy_(copy),
      unit_(unit),
      firstZone_(unit == ZoneUnit::Substation ? 5 : 3) {
    grid()->SetDefaultRowHeight(20);
    grid()->SetHeaderHeight(grid()->DefaultHeaderHeight() * 3 / 2);
    grid()->SetBackground(Qt::white);
}

ZoneRow& ZonePage::Row(int exchange, int index) {
    const int e = exchange - 1;
    const int i = index - 1;
    switch (unit_) {
        case ZoneUnit::Substation:
            return copy_.Sub[e][i];
        case ZoneUnit::Speaker:
            return copy_.Speaker[e][i];
        case ZoneUnit::Source:
            break;
    }
    return copy_.Source[e][i];
}

void ZonePage::BuildColumns(int zones) {
    zonesBuilt_ = zones;
    GridCtrl* g = grid();
    g->SetColumnCount(firstZone_ + zones);
    g->SetFixedColumnCount(3);  // running number (hidden), exchange, unit
    const char* unitHeader = unit_ == ZoneUnit::Source ? "Ctrl IN" : "Line";
    const std::pair<const char*, int> fixed[] = {
        {"", 0}, {"Exchange", 85}, {unitHeader, 70}, {"Station", 60}, {"Name", 80}};
    for (int c = 0; c < firstZone_; ++c) {
        g->SetHeaderText(c, fixed[c].first);
        g->SetColumnWidth(c, fixed[c].second);
        g->SetColumnReadOnly(c, true);
    }
    for (int z = 1; z <= zones; ++z) {
        const int c = firstZone_ + z - 1;
        g->SetHeaderText(c, "Zone" + std::to_string(z));
        g->SetColumnWidth(c, kZoneWidth);
        g->SetColumnAlignment(c, Qt::AlignCenter);
        g->SetToggleColumn(c, kMember, kNotMember);
    }
}

void ZonePage::BeforeShow() {
    if (zonesBuilt_ != ZonesShown()) BuildColumns(ZonesShown());
}

void ZonePage::DrawRow(int row, UnitRef unit) {
    const ZoneRow& r = Row(unit.exchange, unit.index);
    SetText(row, 1, std::to_string(unit.exchange));
    char name[8];
    switch (unit_) {
        case ZoneUnit::Substation:
            SetText(row, 2, std::to_string(unit.index));
            SetText(row, 3, r.NumberValue == kNoNumber ? std::string_view() : TextOf(r.NumberText));
            SetText(row, 4, TextOf(r.Name));
            break;
        case ZoneUnit::Speaker:
            std::snprintf(name, sizeof name, "PA%02d", unit.index);
            SetText(row, 2, name);
            break;
        case ZoneUnit::Source:
            std::snprintf(name, sizeof name, "ch%d", unit.index);
            SetText(row, 2, name);
            break;
    }
    for (int z = 0; z < zonesBuilt_; ++z) {
        const uint8_t cell = r.Cell[z];
        SetText(row, firstZone_ + z, cell == 2 ? kNotSelectable : cell ? kMember : kNotMember);
    }
}

void ZonePage::Enter(UnitRef unit, int column, std::string_view) {
    const int z = column - firstZone_;
    if (z < 0 || z >= zonesBuilt_) return;
    uint8_t& cell = Row(unit.exchange, unit.index).Cell[z];
    if (cell == 0 || cell == 1) cell = cell ? 0 : 1;  // 2: not selectable
}

}  // namespace qn410
