// The data and the sheet the Stations tests start from, and small verbs to change the data.
#pragma once

#include <QTabBar>
#include <QTabWidget>
#include <functional>
#include <memory>

#include "editor_test_host.h"
#include "editors/page_master.h"
#include "editors/page_sub.h"
#include "editors/sheet_station.h"
#include "setting/text_field.h"

namespace qn410::test {

inline void Number(StationNumber& number, char (&name)[9], int value) {
    number.Value = value;
    SetText(number.Text, std::to_string(value));
    SetText(name, std::to_string(value));
}
inline void NoNumber(StationNumber& number) {
    number.Value = kNoNumber;
    SetText(number.Text, "-1");
}

// Three exchanges of 3-digit numbers starting at 100, 200, 300. Masters 191..194, 291..294 and
// 491..494 (masters have no number block); substations e01..e64, each calling master 1 of its
// exchange. No C/O access number in use.
inline void ThreeExchanges(SettingData& d) {
    SetDefaults(d);
    d.System.SwitchCnt = 3;
    d.System.NumberSize = 3;
    for (int e = 1; e <= 3; ++e) {
        d.System.SwNumber[e - 1].Value = 100 * e;
        SetText(d.System.SwNumber[e - 1].Text, std::to_string(100 * e));
        ExchangeSetting& ex = d.Exchange[e - 1];
        for (int m = 1; m <= 4; ++m)
            Number(ex.Master[m - 1].Number, ex.Master[m - 1].Name,
                   (e == 3 ? 400 : 100 * e) + 90 + m);
        for (int s = 1; s <= 64; ++s) {
            Number(ex.Sub[s - 1].Number, ex.Sub[s - 1].Name, 100 * e + s);
            ex.Sub[s - 1].CallSwNo = static_cast<uint8_t>(e);
            ex.Sub[s - 1].CallStNo = 1;
        }
    }
}

inline MasterSetting& M(SettingData& d, int e, int m) {
    return d.Exchange[e - 1].Master[m - 1];
}
inline SubSetting& S(SettingData& d, int e, int s) {
    return d.Exchange[e - 1].Sub[s - 1];
}
inline void Access(SettingData& d, int e, int line, int digit) {
    d.Exchange[e - 1].Line[line - 1].TxNumberOnOff = 1;
    d.Exchange[e - 1].Line[line - 1].TxNumber = static_cast<uint8_t>(digit);
}

struct Sheet {
    EditorTestHost host;
    std::unique_ptr<CSheetStation> sheet;
    explicit Sheet(const std::function<void(SettingData&)>& change = nullptr) {
        ThreeExchanges(host.document.data());
        if (change) change(host.document.data());
        Open();
    }
    void Open() {
        sheet = std::make_unique<CSheetStation>(host);
        sheet->show();
        QApplication::setActiveWindow(sheet.get());
        QVERIFY(QTest::qWaitForWindowExposed(sheet.get()));
    }
    GridCtrl* masters() const { return sheet->masterPage()->grid(); }
    GridCtrl* subs() const { return sheet->subPage()->grid(); }
    void ShowSubs() { QTest::mouseClick(TabBar(), Qt::LeftButton, {}, TabCentre(1)); }
    void ShowMasters() { QTest::mouseClick(TabBar(), Qt::LeftButton, {}, TabCentre(0)); }
    QTabBar* TabBar() const { return sheet->tabs()->tabBar(); }
    QPoint TabCentre(int i) const { return TabBar()->tabRect(i).center(); }
    const StationCopy& copy() const { return sheet->workingCopy(); }
    SettingData& stored() { return host.document.data(); }
};

inline std::string Text(const char* field) {
    return std::string(field);
}

}  // namespace qn410::test
