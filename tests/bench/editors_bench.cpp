// How long "Stations" and "Paging" take to open on the largest table they show: "ALL" over 16
// exchanges, whose Substations pages have 1024 rows. The time counts everything a user waits for:
// building the sheet, choosing "ALL", turning to the Substations page and painting it once. Runs
// offscreen unless QT_QPA_PLATFORM says otherwise:
//   build/tests/bench/bench_editors
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QTabWidget>
#include <string>

#include "editors/page_paging.h"
#include "editors/page_sub.h"
#include "editors/sheet_paging.h"
#include "editors/sheet_station.h"
#include "setting/text_field.h"

namespace {

using namespace qn410;

class BenchHost : public EditorHost {
  public:
    SettingDocument& Document() override { return document; }
    Prompt& prompt() override { return silent; }
    void SaveDocument() override {}
    bool ConfirmTransmit() override { return false; }
    void SubmitRequest(TransferRequestPtr, bool) override {}
    void PostProgress(AppMessage, int, std::string, int) override {}
    void CloseProgress() override {}
    void AdvanceProgress() override {}
    bool ProgressCancelled() const override { return false; }
    void PostPrint(PrintJob) override {}

    SettingDocument document;
    SilentPrompt silent;
};

// 16 exchanges of 4-digit numbers, every master and substation numbered and named.
void SixteenExchanges(SettingData& d) {
    SetDefaults(d);
    d.System.SwitchCnt = 16;
    d.System.NumberSize = 4;
    for (int e = 0; e < kExchangeCount; ++e) {
        d.Exchange[e].ZoneSize = 2;
        const int first = 1000 + 500 * e;
        d.System.SwNumber[e].Value = first;
        SetText(d.System.SwNumber[e].Text, std::to_string(first));
        for (int m = 0; m < kMasterCount; ++m) {
            MasterSetting& master = d.Exchange[e].Master[m];
            master.Number.Value = first + 400 + m;
            SetText(master.Number.Text, std::to_string(master.Number.Value));
            SetText(master.Name, "MASTER" + std::to_string(m + 1));
        }
        for (int s = 0; s < kSubCount; ++s) {
            SubSetting& sub = d.Exchange[e].Sub[s];
            sub.Number.Value = first + s;
            SetText(sub.Number.Text, std::to_string(sub.Number.Value));
            SetText(sub.Name, "ROOM" + std::to_string(s + 1));
            sub.CallSwNo = static_cast<uint8_t>(e + 1);
            sub.CallStNo = 1;
        }
    }
}

void BM_StationsOpenAllSubstations(benchmark::State& state) {
    BenchHost host;
    SixteenExchanges(host.document.data());
    for (auto _ : state) {
        CSheetStation sheet(host);
        sheet.show();
        sheet.exchangeList()->setCurrentIndex(kExchangeCount);  // "ALL"
        sheet.tabs()->setCurrentIndex(1);
        sheet.repaint();
        QCoreApplication::processEvents();
        if (sheet.subPage()->grid()->RowCount() != kExchangeCount * kSubCount)
            state.SkipWithError("ALL did not show 1024 substations");
    }
}
BENCHMARK(BM_StationsOpenAllSubstations)->Unit(benchmark::kMillisecond);

// Switching a shown Substations page between one exchange and "ALL".
void BM_StationsSwitchToAll(benchmark::State& state) {
    BenchHost host;
    SixteenExchanges(host.document.data());
    CSheetStation sheet(host);
    sheet.show();
    sheet.tabs()->setCurrentIndex(1);
    for (auto _ : state) {
        sheet.exchangeList()->setCurrentIndex(kExchangeCount);
        sheet.repaint();
        QCoreApplication::processEvents();
        sheet.exchangeList()->setCurrentIndex(0);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_StationsSwitchToAll)->Unit(benchmark::kMillisecond);

// "Paging" shown on "ALL" with 16 exchanges of two zone digits, 1024 substation rows of 19 zone
// columns: opened, and one zone cell toggled and repainted as a click does.
void ShowAll(CSheetPaging& sheet) {
    sheet.show();
    sheet.exchangeList()->setCurrentIndex(kExchangeCount);  // "ALL"
    sheet.repaint();
    QCoreApplication::processEvents();  // exposed: repaint() paints for real
}
void BM_PagingOpenAll(benchmark::State& state) {
    BenchHost host;
    SixteenExchanges(host.document.data());
    for (auto _ : state) {
        CSheetPaging sheet(host);
        ShowAll(sheet);
        if (sheet.pagingPage()->grid()->ColumnCount() != 5 + kZoneCount)
            state.SkipWithError("ALL did not show 19 zones");
    }
}
BENCHMARK(BM_PagingOpenAll)->Unit(benchmark::kMillisecond);

void BM_PagingToggleCell(benchmark::State& state) {
    BenchHost host;
    SixteenExchanges(host.document.data());
    CSheetPaging sheet(host);
    ShowAll(sheet);
    for (auto _ : state) {
        sheet.pagingPage()->grid()->ToggleCell(0, sheet.pagingPage()->firstZoneColumn());
        sheet.pagingPage()->grid()->viewport()->repaint();
    }
}
BENCHMARK(BM_PagingToggleCell)->Unit(benchmark::kMillisecond);

}  // namespace
