// Writing and reading a full setting file (142,693 lines): formatting and parsing in memory, the
// whole Save (format, write a temporary file, flush it to disk, rename) and the whole Open.
#include <benchmark/benchmark.h>

#include "setting/setting_file.h"
#include "support/random_setting.h"
#include "support/temp_dir.h"

using namespace qn410;

struct Saved {
    Saved() {
        test::FillRandomFileData(doc.data(), 7);
        WriteSettingFile(path, doc, "pw", prompt);
        text = test::ReadAll(path);
    }
    test::TempDir dir;
    const std::string path = dir.file("site.txt");
    std::string text, password;
    SettingDocument doc;
    SilentPrompt prompt;
};

void Run(benchmark::State& state, bool (*step)(Saved&)) {
    Saved s;
    for (auto _ : state)
        if (!step(s)) state.SkipWithError("failed");
}

BENCHMARK_CAPTURE(Run, Format, [](Saved& s) {
    return !FormatSettingFile(s.doc.data(), "pw").empty();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, Parse, [](Saved& s) {
    return ParseSettingFile(s.text, s.doc.data(), s.password, nullptr) == ReadOutcome::Ok;
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, Save, [](Saved& s) {
    return WriteSettingFile(s.path, s.doc, "pw", s.prompt);
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, Open, [](Saved& s) {
    return ReadSettingFile(s.path, s.doc, s.password, s.prompt) == ReadOutcome::Ok;
})->Unit(benchmark::kMillisecond);
