// "Stations" and "Paging" on the largest table they show, "ALL" over 16 exchanges: 1024 substation
// rows, Paging's with 19 zone columns. Offscreen unless QT_QPA_PLATFORM says otherwise:
//   build/tests/bench/bench_editors [--benchmark_filter=Paging]
#include <benchmark/benchmark.h>

#include <QTabWidget>

#include "../gui/editors/editor_test_host.h"
#include "editors/page_paging.h"
#include "editors/sheet_paging.h"
#include "editors/sheet_station.h"
#include "support/random_setting.h"

using namespace qn410;

struct SixteenExchanges : test::EditorTestHost {
    SixteenExchanges() {
        test::FillRandomFileData(document.data(), 16);
        document.data().System.SwitchCnt = kExchangeCount;
        for (ExchangeSetting& exchange : document.data().Exchange) exchange.ZoneSize = 2;
    }
};

// Shows the sheet on "ALL" at its Substations page and paints it: what a user waits for when
// opening, with building the sheet (exposed, repaint() paints for real).
template <typename Sheet>
void ShowAll(Sheet& sheet) {
    sheet.tabs()->setCurrentIndex(std::is_same_v<Sheet, CSheetStation> ? 1 : 0);
    sheet.show();
    sheet.exchangeList()->setCurrentIndex(kExchangeCount);
    sheet.repaint();
    QCoreApplication::processEvents();
}

template <typename Sheet>
void BM_OpenAll(benchmark::State& state) {
    SixteenExchanges host;
    for (auto _ : state) {
        Sheet sheet(host);
        ShowAll(sheet);
    }
}
BENCHMARK_TEMPLATE(BM_OpenAll, CSheetStation)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_OpenAll, CSheetPaging)->Unit(benchmark::kMillisecond);

// On a shown sheet: Stations switched from "ALL" to one exchange and back; one zone cell of
// Paging's "ALL" grid toggled and repainted as a click does.
template <typename Sheet>
void BM_ShownAll(benchmark::State& state) {
    SixteenExchanges host;
    Sheet sheet(host);
    ShowAll(sheet);
    for (auto _ : state) {
        if constexpr (std::is_same_v<Sheet, CSheetStation>) {
            sheet.exchangeList()->setCurrentIndex(0);
            ShowAll(sheet);
        } else {
            sheet.pagingPage()->grid()->ToggleCell(0, sheet.pagingPage()->firstZoneColumn());
            sheet.pagingPage()->grid()->viewport()->repaint();
        }
    }
}
BENCHMARK_TEMPLATE(BM_ShownAll, CSheetStation)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ShownAll, CSheetPaging)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
}
