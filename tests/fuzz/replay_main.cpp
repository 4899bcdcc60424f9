// Runs a libFuzzer target without libFuzzer over every file named on the command line and every
// file in a folder named there, in name order. The normal build replays the committed corpus
// this way, so every input the fuzzer once kept stays covered.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>

#include "support/temp_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::set<fs::path> files;
    for (int i = 1; i < argc; ++i)
        if (fs::is_directory(argv[i]))
            for (const auto& entry : fs::directory_iterator(argv[i])) files.insert(entry.path());
        else
            files.insert(argv[i]);
    for (const fs::path& file : files) {
        if (!fs::is_regular_file(file)) {
            std::fprintf(stderr, "cannot read %s\n", file.c_str());
            return 1;
        }
        const std::string bytes = qn410::test::ReadAll(file);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("replayed %zu inputs\n", files.size());
    return files.empty() ? 1 : 0;
}
