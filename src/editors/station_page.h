// What the two pages of the Stations sheet share: a grid showing the stations of one exchange,
// or of every exchange in use ("ALL"), one row per station, each row remembering its station.
// Every entry goes through the page's rules into the working copy, and the row is then drawn
// again from the station's record, so rejected text disappears.
#pragma once

#include <QWidget>
#include <string_view>
#include <vector>

#include "editors/station_copy.h"
#include "grid/grid_ctrl.h"

namespace qn410 {

class StationPage : public QWidget {
    Q_OBJECT
  public:
    // copy: the sheet's working copy; data: the setting data (exchanges, digits). Both outlive
    // the page.
    StationPage(StationCopy& copy, const SettingData& data, int stationsPerExchange,
                QWidget* parent = nullptr);

    GridCtrl* grid() const { return grid_; }
    // Shows the stations of exchange 1..16, or of every exchange in use for 0 ("ALL").
    void Show(int exchange);
    int shownExchange() const { return shown_; }
    // The row of a station (exchange 1..16, index from 1), or -1 when it is not shown.
    int RowOf(int exchange, int index) const;

  protected:
    struct StationRef {
        int exchange;  // 1-based
        int index;     // 1-based
    };
    // Called once the column count is set: header texts, widths, kinds.
    void SetUpGrid(int columns);
    virtual void DrawRow(int row, StationRef station) = 0;
    // An ended edit of an editable cell; the row is drawn again afterwards.
    virtual void Enter(StationRef station, int column, std::string_view text) = 0;
    // Called before the rows are drawn (a page may refresh derived data).
    virtual void BeforeShow() {}

    void SetText(int row, int column, std::string_view text) {
        grid_->SetItemText(row, column, text);
    }
    int exchanges() const;
    int numberSize() const { return data_.System.NumberSize; }

    StationCopy& copy_;
    const SettingData& data_;

  private:
    void OnEditEnded(int row, int column, const std::string& text, bool* accept);

    GridCtrl* grid_;
    int perExchange_;
    int shown_ = 1;
    std::vector<StationRef> rows_;
};

// "1".."16" for a number, "" for 0 (none).
std::string NumberOrBlank(int value);
// A station number's text, or "" when the station has none.
std::string_view NumberText(const StationNumber& number);

}  // namespace qn410
