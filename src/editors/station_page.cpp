#include "editors/station_page.h"

#include <QVBoxLayout>
#include <algorithm>

#include "setting/text_field.h"

namespace qn410 {

StationPage::StationPage(StationCopy& copy, const SettingData& data, int stationsPerExchange,
                         QWidget* parent)
    : QWidget(parent),
      copy_(copy),
      data_(data),
      grid_(new GridCtrl(this)),
      perExchange_(stationsPerExchange) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    connect(grid_, &GridCtrl::editEnded, this, &StationPage::OnEditEnded);
}

void StationPage::SetUpGrid(int columns) {
    grid_->SetColumnCount(columns);
    grid_->SetFixedColumnCount(3);  // running number (hidden), exchange, line
    grid_->SetDefaultRowHeight(20);
    // One and a half times a one-line header, and at least room for the two-line headers
    // ("Called\n Exchange") in fonts taller than the original's.
    const int twoLines = 2 * grid_->fontMetrics().lineSpacing() + 6;
    grid_->SetHeaderHeight(std::max(grid_->DefaultHeaderHeight() * 3 / 2, twoLines));
    grid_->SetBackground(Qt::white);
}

int StationPage::exchanges() const {
    return std::clamp<int>(data_.System.SwitchCnt, 1, kExchangeCount);
}

void StationPage::Show(int exchange) {
    shown_ = exchange;
    BeforeShow();
    const int first = exchange == 0 ? 1 : exchange;
    const int last = exchange == 0 ? exchanges() : exchange;
    rows_.clear();
    for (int e = first; e <= last; ++e)
        for (int i = 1; i <= perExchange_; ++i) rows_.push_back({e, i});
    const int count = static_cast<int>(rows_.size());
    grid_->SetRowCount(count);
    // Filling thousands of cells one by one must not redraw the grid thousands of times.
    grid_->setUpdatesEnabled(false);
    for (int row = 0; row < count; ++row) {
        grid_->SetItemText(row, 0, std::to_string(row + 1));
        DrawRow(row, rows_[static_cast<std::size_t>(row)]);
    }
    grid_->setUpdatesEnabled(true);
}

int StationPage::RowOf(int exchange, int index) const {
    const auto at = std::find_if(rows_.begin(), rows_.end(), [&](const StationRef& r) {
        return r.exchange == exchange && r.index == index;
    });
    return at == rows_.end() ? -1 : static_cast<int>(at - rows_.begin());
}

void StationPage::OnEditEnded(int row, int column, const std::string& text, bool* accept) {
    *accept = false;  // the row is drawn from the record instead
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    const StationRef station = rows_[static_cast<std::size_t>(row)];
    Enter(station, column, text);
    DrawRow(row, station);
}

std::string NumberOrBlank(int value) {
    return value == 0 ? std::string() : std::to_string(value);
}

std::string_view NumberText(const StationNumber& number) {
    return number.Value == kNoNumber ? std::string_view() : TextOf(number.Text);
}

}  // namespace qn410
