// The all-categories printout of 16 full exchanges (every station, list entry and zone) rendered
// into a PDF, the page count as a counter:
//   build/tests/bench/bench_print
#include <benchmark/benchmark.h>

#include <QPdfWriter>
#include <QTemporaryDir>

#include "print/printout.h"
#include "support/random_setting.h"

void AllCategoriesToPdf(benchmark::State& state) {
    using namespace qn410;
    auto data = std::make_shared<SettingData>();
    test::FillRandomFileData(*data, 16);
    data->System.SwitchCnt = kExchangeCount;
    for (ExchangeSetting& exchange : data->Exchange) {
        exchange.ZoneSize = 2;
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
