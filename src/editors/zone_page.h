// A page of the Paging sheet: one row per zone member (substation, public-address output or
// external-source control input) of one exchange or of every exchange ("ALL"), and one column
// per paging zone. A click on a zone cell flips its membership between "v" and "-"; a cell
// showing "x" (a substation that cannot be paged) stays as it is.
#pragma once

#include "editors/exchange_grid_page.h"
#include "setting/setting_data.h"

namespace qn410 {

enum class ZoneUnit { Substation, Speaker, Source };

class ZonePage : public ExchangeGridPage {
    Q_OBJECT
  public:
    // copy: the sheet's working copy of the zone tables; data: the setting data. Both outlive
    // the page.
    ZonePage(ZoneTables& copy, const SettingData& data, ZoneUnit unit, QWidget* parent = nullptr);

    ZoneUnit unit() const { return unit_; }
    // The grid column of zone 1.
    int firstZoneColumn() const { return firstZone_; }

  protected:
    ZoneRow& Row(int exchange, int index);
    // Zones shown as columns: all 19 unless a page says otherwise.
    virtual int ZonesShown() const { return kZoneCount; }
    void BeforeShow() override;
    void DrawRow(int row, UnitRef unit) override;
    void Enter(UnitRef unit, int column, std::string_view text) override;

    ZoneTables& copy_;

  private:
    void BuildColumns(int zones);

    ZoneUnit unit_;
    int firstZone_;
    int zonesBuilt_ = -1;
};

// "Public Address Systems": the 16 amplifier outputs of each exchange, "PA01".."PA16".
class CPageSpeak : public ZonePage {
    Q_OBJECT
  public:
    CPageSpeak(ZoneTables& copy, const SettingData& data, QWidget* parent = nullptr)
        : ZonePage(copy, data, ZoneUnit::Speaker, parent) {}
};

// "External Source Distribution": the 4 control inputs of each exchange, "ch1".."ch4".
class CPageOutIn : public ZonePage {
    Q_OBJECT
  public:
    CPageOutIn(ZoneTables& copy, const SettingData& data, QWidget* parent = nullptr)
        : ZonePage(copy, data, ZoneUnit::Source, parent) {}
};

}  // namespace qn410
