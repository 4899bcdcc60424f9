// What the two pages of the Stations sheet share: a grid of the stations of one exchange or of
// every exchange ("ALL") over the sheet's working copy, with the header and row sizes of both.
#pragma once

#include <string>
#include <string_view>

#include "editors/exchange_grid_page.h"
#include "editors/station_copy.h"

namespace qn410 {

class StationPage : public ExchangeGridPage {
    Q_OBJECT
  public:
    // copy: the sheet's working copy; data: the setting data (exchanges, digits). Both outlive
    // the page.
    StationPage(StationCopy& copy, const SettingData& data, int stationsPerExchange,
                QWidget* parent = nullptr);

  protected:
    using StationRef = UnitRef;
    // Called once the column count is set: header texts, widths, kinds.
    void SetUpGrid(int columns);
    int numberSize() const { return data_.System.NumberSize; }

    StationCopy& copy_;
};

// "1".."16" for a number, "" for 0 (none).
std::string NumberOrBlank(int value);
// A station number's text, or "" when the station has none.
std::string_view NumberText(const StationNumber& number);

}  // namespace qn410
