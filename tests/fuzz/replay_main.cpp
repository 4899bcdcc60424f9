// Runs a libFuzzer target without libFuzzer over every file in the folder named, in name order:
// the normal build replays the committed corpus this way.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>

#include "support/temp_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc != 2 || !fs::is_directory(argv[1])) return 1;
    std::set<fs::path> files;
    for (const auto& entry : fs::directory_iterator(argv[1])) files.insert(entry.path());
    for (const fs::path& file : files) {
        const std::string bytes = qn410::test::ReadAll(file);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("replayed %zu inputs\n", files.size());
    return files.empty() ? 1 : 0;
}
