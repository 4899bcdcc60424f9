// "Stations" and "Paging" on the largest table they show, "ALL" over 16 exchanges: 1024 substation
// rows, Paging's with 19 zone columns. Offscreen unless QT_QPA_PLATFORM says otherwise.
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

// Shows the sheet on "ALL" at its Substations page and paints it (exposed, repaint() paints for
// real): with building the sheet, what a user waits for when opening.
template <typename Sheet>
void ShowAll(Sheet& sheet) {
    sheet.tabs()->setCurrentIndex(std::is_same_v<Sheet, CSheetStation> ? 1 : 0);
    sheet.show();
    sheet.exchangeList()->setCurrentIndex(kExchangeCount);
    sheet.repaint();
    QCoreApplication::processEvents();
}

// Argument 0: opening, as above. 1: on a shown sheet, Stations switched to one exchange and back
// to "ALL", or one zone cell of Paging's grid toggled and repainted as a click does.
template <typename Sheet>
void BM_Sheet(benchmark::State& state) {
    SixteenExchanges host;
    std::optional<Sheet> shown;
    if (state.range(0)) ShowAll(shown.emplace(host));
    for (auto _ : state) {
        if (!state.range(0)) {
            Sheet sheet(host);
            ShowAll(sheet);
        } else if constexpr (std::is_same_v<Sheet, CSheetStation>) {
            shown->exchangeList()->setCurrentIndex(0);
            ShowAll(*shown);
        } else {
            shown->pagingPage()->grid()->ToggleCell(0, shown->pagingPage()->firstZoneColumn());
            shown->pagingPage()->grid()->viewport()->repaint();
        }
    }
}
BENCHMARK_TEMPLATE(BM_Sheet, CSheetStation)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Sheet, CSheetPaging)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
}
