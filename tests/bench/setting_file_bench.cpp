// Writing and reading a full setting file (142,693 lines), in memory and through the disk.
#include <benchmark/benchmark.h>

#include "setting/setting_file.h"
#include "support/random_setting.h"
#include "support/temp_dir.h"

namespace {

using namespace qn410;

// Random data, saved once as site.txt.
struct Saved {
    Saved() {
        test::FillRandomFileData(doc.data(), 7);
        WriteSettingFile(path, doc, "pw", prompt);
    }
    test::TempDir dir;
    const std::string path = dir.file("site.txt");
    SettingDocument doc;
    SilentPrompt prompt;
    std::string password;
};

void BM_FormatSettingFile(benchmark::State& state) {
    Saved s;
    for (auto _ : state) benchmark::DoNotOptimize(FormatSettingFile(s.doc.data(), "pw"));
}
BENCHMARK(BM_FormatSettingFile)->Unit(benchmark::kMillisecond);

void BM_ParseSettingFile(benchmark::State& state) {
    Saved s;
    const std::string file = test::ReadAll(s.path);
    for (auto _ : state)
        if (ParseSettingFile(file, s.doc.data(), s.password, nullptr) != ReadOutcome::Ok)
            state.SkipWithError("read failed");
}
BENCHMARK(BM_ParseSettingFile)->Unit(benchmark::kMillisecond);

// The whole Save: format, write a temporary file, flush it to disk, rename.
void BM_WriteSettingFile(benchmark::State& state) {
    Saved s;
    for (auto _ : state)
        if (!WriteSettingFile(s.path, s.doc, "pw", s.prompt)) state.SkipWithError("write failed");
}
BENCHMARK(BM_WriteSettingFile)->Unit(benchmark::kMillisecond);

// The whole Open: read the file from disk and parse it.
void BM_ReadSettingFile(benchmark::State& state) {
    Saved s;
    for (auto _ : state)
        if (ReadSettingFile(s.path, s.doc, s.password, s.prompt) != ReadOutcome::Ok)
            state.SkipWithError("read failed");
}
BENCHMARK(BM_ReadSettingFile)->Unit(benchmark::kMillisecond);

}  // namespace
