// "Substations": one row per substation (64 per exchange) with its number, name, the master it
// calls (by exchange and line, or by that master's station number) and its call priority
// (toggled by a click). The called master's number and name are shown from the master records.
#pragma once

#include "editors/station_page.h"

namespace qn410 {

class CPageSub : public StationPage {
    Q_OBJECT
  public:
    CPageSub(StationCopy& copy, const SettingData& data, QWidget* parent = nullptr);

  protected:
    void BeforeShow() override;
    void DrawRow(int row, StationRef station) override;
    void Enter(StationRef station, int column, std::string_view text) override;
};

}  // namespace qn410
