// "Master Stations (Telephones)": one row per master station (4 per exchange) with its number,
// name, C/O line access and emergency paging flags (toggled by a click), and its forwarding
// numbers.
#pragma once

#include "editors/station_page.h"

namespace qn410 {

class CPageMaster : public StationPage {
    Q_OBJECT
  public:
    CPageMaster(StationCopy& copy, const SettingData& data, QWidget* parent = nullptr);

  protected:
    void DrawRow(int row, StationRef station) override;
    void Enter(StationRef station, int column, std::string_view text) override;
};

}  // namespace qn410
