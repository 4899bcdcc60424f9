#include "editors/station_page.h"

#include <algorithm>

#include "setting/text_field.h"

namespace qn410 {

StationPage::StationPage(StationCopy& copy, const SettingData& data, int stationsPerExchange,
                         QWidget* parent)
    : ExchangeGridPage(data, stationsPerExchange, parent), copy_(copy) {}

void StationPage::SetUpGrid(int columns) {
    grid()->SetColumnCount(columns);
    grid()->SetFixedColumnCount(3);  // running number (hidden), exchange, line
    grid()->SetDefaultRowHeight(20);
    // One and a half times a one-line header, and at least room for the two-line headers
    // ("Called\n Exchange") in fonts taller than the original's.
    const int twoLines = 2 * grid()->fontMetrics().lineSpacing() + 6;
    grid()->SetHeaderHeight(std::max(grid()->DefaultHeaderHeight() * 3 / 2, twoLines));
    grid()->SetBackground(Qt::white);
}

std::string NumberOrBlank(int value) {
    return value == 0 ? std::string() : std::to_string(value);
}

std::string_view NumberText(const StationNumber& number) {
    return number.Value == kNoNumber ? std::string_view() : TextOf(number.Text);
}

}  // namespace qn410
