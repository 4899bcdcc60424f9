#include "editors/exchange_grid_page.h"

#include <QVBoxLayout>
#include <algorithm>

#include "editors/exchange_selector.h"
#include "setting/setting_data.h"

namespace qn410 {

ExchangeGridPage::ExchangeGridPage(const SettingData& data, int unitsPerExchange, QWidget* parent)
    : QWidget(parent),
      data_(data),
      layout_(new QVBoxLayout(this)),
      grid_(new GridCtrl(this)),
      perExchange_(unitsPerExchange) {
    layout_->addWidget(grid_, 1);
    connect(grid_, &GridCtrl::editEnded, this, &ExchangeGridPage::OnEditEnded);
}

int ExchangeGridPage::exchanges() const {
    return ExchangesInUse(data_);
}

void ExchangeGridPage::Show(int exchange) {
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

int ExchangeGridPage::RowOf(int exchange, int index) const {
    const auto at = std::find_if(rows_.begin(), rows_.end(), [&](const UnitRef& r) {
        return r.exchange == exchange && r.index == index;
    });
    return at == rows_.end() ? -1 : static_cast<int>(at - rows_.begin());
}

void ExchangeGridPage::OnEditEnded(int row, int column, const std::string& text, bool* accept) {
    *accept = false;  // the row is drawn from the record instead
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    const UnitRef unit = rows_[static_cast<std::size_t>(row)];
    Enter(unit, column, text);
    DrawRow(row, unit);
}

}  // namespace qn410
