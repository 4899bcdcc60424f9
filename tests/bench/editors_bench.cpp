// How long "Stations" and "Paging" take to open on the largest table they show: "ALL" over 16
// exchanges, whose Substations pages have 1024 rows. The time counts everything a user waits for:
// building the sheet, choosing "ALL", turning to the Substations page and painting it once. Runs
// offscreen unless QT_QPA_PLATFORM says otherwise:
//   build/tests/bench/bench_editors [--benchmark_filter=Paging]
#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QTabWidget>

#include "../gui/editors/editor_test_host.h"
#include "editors/page_paging.h"
#include "editors/page_sub.h"
#include "editors/sheet_paging.h"
#include "editors/sheet_station.h"
#include "setting/text_field.h"
#include "support/passing_numbers.h"

namespace {

using namespace qn410;

// 16 exchanges of 4-digit numbers, two zone digits, every master and substation numbered and
// named.
struct SixteenExchanges : test::EditorTestHost {
    SixteenExchanges() {
        SettingData& d = document.data();
        d.System.SwitchCnt = 16;
        d.System.NumberSize = 4;
        for (int e = 0; e < kExchangeCount; ++e) {
            d.Exchange[e].ZoneSize = 2;
            test::SetNumber(d.System.SwNumber[e], 1000 + 500 * e);
            for (int m = 0; m < kMasterCount; ++m) {
                test::SetNumber(d.Exchange[e].Master[m].Number, 1400 + 500 * e + m);
                SetText(d.Exchange[e].Master[m].Name, "MASTER" + std::to_string(m + 1));
            }
            for (int s = 0; s < kSubCount; ++s) {
                SubSetting& sub = d.Exchange[e].Sub[s];
                test::SetNumber(sub.Number, 1000 + 500 * e + s);
                SetText(sub.Name, "ROOM" + std::to_string(s + 1));
                sub.CallSwNo = static_cast<uint8_t>(e + 1);
                sub.CallStNo = 1;
            }
        }
    }
};

// Shows the sheet on "ALL" and paints it (exposed: repaint() paints for real).
void ShowAll(QWidget& sheet, QComboBox* exchanges) {
    sheet.show();
    exchanges->setCurrentIndex(kExchangeCount);
    sheet.repaint();
    QCoreApplication::processEvents();
}

void BM_StationsOpenAllSubstations(benchmark::State& state) {
    SixteenExchanges host;
    for (auto _ : state) {
        CSheetStation sheet(host);
        sheet.tabs()->setCurrentIndex(1);
        ShowAll(sheet, sheet.exchangeList());
        if (sheet.subPage()->grid()->RowCount() != kExchangeCount * kSubCount)
            state.SkipWithError("ALL did not show 1024 substations");
    }
}
BENCHMARK(BM_StationsOpenAllSubstations)->Unit(benchmark::kMillisecond);

// Switching a shown Substations page between one exchange and "ALL".
void BM_StationsSwitchToAll(benchmark::State& state) {
    SixteenExchanges host;
    CSheetStation sheet(host);
    sheet.tabs()->setCurrentIndex(1);
    for (auto _ : state) {
        ShowAll(sheet, sheet.exchangeList());
        sheet.exchangeList()->setCurrentIndex(0);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_StationsSwitchToAll)->Unit(benchmark::kMillisecond);

// "Paging" on "ALL": 1024 substation rows of 19 zone columns opened, and one zone cell toggled
// and repainted as a click does.
void BM_PagingOpenAll(benchmark::State& state) {
    SixteenExchanges host;
    for (auto _ : state) {
        CSheetPaging sheet(host);
        ShowAll(sheet, sheet.exchangeList());
        if (sheet.pagingPage()->grid()->ColumnCount() != 5 + kZoneCount)
            state.SkipWithError("ALL did not show 19 zones");
    }
}
BENCHMARK(BM_PagingOpenAll)->Unit(benchmark::kMillisecond);

void BM_PagingToggleCell(benchmark::State& state) {
    SixteenExchanges host;
    CSheetPaging sheet(host);
    ShowAll(sheet, sheet.exchangeList());
    for (auto _ : state) {
        sheet.pagingPage()->grid()->ToggleCell(0, sheet.pagingPage()->firstZoneColumn());
        sheet.pagingPage()->grid()->viewport()->repaint();
    }
}
BENCHMARK(BM_PagingToggleCell)->Unit(benchmark::kMillisecond);

}  // namespace
