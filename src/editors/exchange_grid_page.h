// A sheet page whose grid lists the units of one exchange (stations, zone members), or of every
// exchange in use ("ALL"), one row per unit, each row remembering its unit. Every ended edit goes
// through the page's rules into its working copy, and the row is then drawn again from the
// record, so rejected text disappears.
#pragma once

#include <QWidget>
#include <string_view>
#include <vector>

#include "grid/grid_ctrl.h"

class QVBoxLayout;

namespace qn410 {

struct SettingData;

class ExchangeGridPage : public QWidget {
    Q_OBJECT
  public:
    // data: the setting data (exchanges in use); it outlives the page.
    ExchangeGridPage(const SettingData& data, int unitsPerExchange, QWidget* parent = nullptr);

    GridCtrl* grid() const { return grid_; }
    // Shows the units of exchange 1..16, or of every exchange in use for 0 ("ALL").
    void Show(int exchange);
    int shownExchange() const { return shown_; }
    // The row of a unit (exchange 1..16, index from 1), or -1 when it is not shown.
    int RowOf(int exchange, int index) const;

  protected:
    struct UnitRef {
        int exchange;  // 1-based
        int index;     // 1-based
    };
    virtual void DrawRow(int row, UnitRef unit) = 0;
    // An ended edit of an editable cell; the row is drawn again afterwards.
    virtual void Enter(UnitRef unit, int column, std::string_view text) = 0;
    // Called before the rows are drawn (a page may refresh derived data or its columns).
    virtual void BeforeShow() {}

    void SetText(int row, int column, std::string_view text) {
        grid_->SetItemText(row, column, text);
    }
    int exchanges() const;
    // The page's layout: the grid, which takes the space; a page may add controls above it.
    QVBoxLayout* pageLayout() const { return layout_; }

    const SettingData& data_;

  private:
    void OnEditEnded(int row, int column, const std::string& text, bool* accept);

    QVBoxLayout* layout_;
    GridCtrl* grid_;
    int perExchange_;
    int shown_ = 1;
    std::vector<UnitRef> rows_;
};

}  // namespace qn410
