// Writing and reading a full setting file (142,693 lines), in memory and through the disk.
#include <benchmark/benchmark.h>

#include "setting/setting_file.h"
#include "support/random_setting.h"
#include "support/temp_dir.h"

namespace {

using namespace qn410;

void BM_FormatSettingFile(benchmark::State& state) {
    SettingDocument doc;
    test::FillRandomFileData(doc.data(), 7);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string file = FormatSettingFile(doc.data(), "pw");
        bytes = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_FormatSettingFile)->Unit(benchmark::kMillisecond);

void BM_ParseSettingFile(benchmark::State& state) {
    SettingDocument doc;
    test::FillRandomFileData(doc.data(), 7);
    const std::string file = FormatSettingFile(doc.data(), "pw");
    std::string password;
    for (auto _ : state) {
        const ReadOutcome outcome = ParseSettingFile(file, doc.data(), password, nullptr);
        if (outcome != ReadOutcome::Ok) state.SkipWithError("read failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_ParseSettingFile)->Unit(benchmark::kMillisecond);

// The whole Save: format, write a temporary file, flush it to disk, rename.
void BM_WriteSettingFile(benchmark::State& state) {
    test::TempDir dir;
    SettingDocument doc;
    test::FillRandomFileData(doc.data(), 7);
    SilentPrompt prompt;
    const std::string path = dir.file("site.txt");
    for (auto _ : state)
        if (!WriteSettingFile(path, doc, "pw", prompt)) state.SkipWithError("write failed");
}
BENCHMARK(BM_WriteSettingFile)->Unit(benchmark::kMillisecond);

// The whole Open: read the file from disk and parse it.
void BM_ReadSettingFile(benchmark::State& state) {
    test::TempDir dir;
    SettingDocument doc;
    test::FillRandomFileData(doc.data(), 7);
    SilentPrompt prompt;
    const std::string path = dir.file("site.txt");
    WriteSettingFile(path, doc, "pw", prompt);
    std::string password;
    for (auto _ : state)
        if (ReadSettingFile(path, doc, password, prompt) != ReadOutcome::Ok)
            state.SkipWithError("read failed");
}
BENCHMARK(BM_ReadSettingFile)->Unit(benchmark::kMillisecond);

}  // namespace
