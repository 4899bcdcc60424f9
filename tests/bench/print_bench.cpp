// How long the all-categories printout of 16 full exchanges takes to render into a PDF (every
// station, list entry and zone shown), the page count as a counter. Runs offscreen:
//   build/tests/bench/bench_print
#include <benchmark/benchmark.h>

#include <QPdfWriter>
#include <QTemporaryDir>

#include "print/printout.h"
#include "support/random_setting.h"

namespace {

using namespace qn410;

void AllCategoriesToPdf(benchmark::State& state) {
    auto data = std::make_shared<SettingData>();
    test::FillRandomFileData(*data, 16);
    data->System.SwitchCnt = kExchangeCount;
    for (ExchangeSetting& exchange : data->Exchange) {
        exchange.ZoneSize = 2;  // all 19 zones
        for (MasterSetting& m : exchange.Master) {
            m.ScanCnt = kScanCount;
            m.GroupCnt = kGroupCount;
            m.MeetCnt = kMeetCount;
        }
    }
    const PrintRequest request{
        .filePath = "/home/installer/site/qn410.txt", .date = PrintDate(), .data = data};
    QTemporaryDir dir;
    for (auto _ : state) {
        QPdfWriter writer(dir.filePath(QStringLiteral("bench_print.pdf")));
        state.counters["pages"] = PaintPrintout(writer, request).pages;
    }
}
BENCHMARK(AllCategoriesToPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
