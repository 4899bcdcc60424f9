// "Substations" of the Paging sheet: the zones of every substation, with the exchange's zone
// digits (1 shows zones 1..9, 2 shows 1..19; hidden zones keep their flags) and its paging
// time-out (0 off, else 10..990 s in steps of 10). Under "ALL" a choice here goes to every
// exchange. Both settings live in the first substation row of each exchange.
#pragma once

#include "editors/zone_page.h"

class QCheckBox;
class QComboBox;

namespace qn410 {

class StepEdit;

class CPagePaging : public ZonePage {
    Q_OBJECT
  public:
    static constexpr int kMaxTime = 990;
    static constexpr int kMinTime = 10;

    CPagePaging(ZoneTables& copy, const SettingData& data, QWidget* parent = nullptr);

    QComboBox* zoneDigitsList() const { return digits_; }
    QCheckBox* timeOutBox() const { return timeOut_; }
    StepEdit* timeBox() const { return time_; }

  protected:
    int ZonesShown() const override;
    void BeforeShow() override;

  private:
    // The time-out and zone digits of the first exchange shown.
    ZoneRow& FirstRow() const;
    // Stores into every exchange shown.
    void StoreZoneSize(uint8_t size);
    void StoreTime(int32_t seconds);
    void ShowControls();
    void OnTimeOutClicked(bool on);
    void OnTimeEdited();

    QComboBox* digits_;
    QCheckBox* timeOut_;
    StepEdit* time_;
};

// The spin rule of the time box: rounded down to a multiple of 10 within 10..990, then moved by
// 10 per step, staying within 10..990.
QString PagingTimeStep(const QString& text, int steps);

}  // namespace qn410
