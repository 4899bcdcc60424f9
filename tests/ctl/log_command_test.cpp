// qn410ctl log against qn410-sim over a pseudo-terminal: the daily file, the printed lines, and
// an exchange that stops sending once the collector has ended.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace qn410::ctl::test {
namespace {

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(LogCommand, CollectsForAWhileThenStopsTheExchanges) {
    qn410::test::TempDir dir;
    const std::string trace = dir.file("trace.txt");
    Simulator sim({"--rate", "20", "--trace", trace, "--idle-exit", "30"});
    ASSERT_FALSE(sim.port().empty());
    const std::string logs = dir.file("logs");
    std::filesystem::create_directory(logs);
    const std::string printed = dir.file("out.txt");
    const int out = open(printed.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const pid_t pid =
        Spawn(QN410CTL_BINARY,
              {"log", "--exchange", "1,3", "--folder", logs, "--port", sim.port(), "--for", "2"},
              {}, out, -1);
    int status = -1;
    waitpid(pid, &status, 0);
    close(out);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // anything still coming?

    // One line printed and one line in the file per record the exchanges sent, and none since
    // the request with no exchange selected.
    const auto sent = Lines(trace);
    int records = 0, afterStop = 0;
    bool stopped = false;
    for (const std::string& line : sent) {
        if (line.find("RX frame \"O000000000000000000\"") != std::string::npos) stopped = true;
        if (line.find("TX frame \"o") == std::string::npos) continue;
        ++records;
        afterStop += stopped;
        EXPECT_TRUE(line.find("\"o01") != std::string::npos ||
                    line.find("\"o03") != std::string::npos);
    }
    EXPECT_TRUE(stopped);
    EXPECT_EQ(afterStop, 0);
    EXPECT_GE(records, 20);
    const auto files = std::vector(std::filesystem::directory_iterator(logs), {});
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].path().filename().string().substr(0, 2), "HS");
    EXPECT_EQ(std::filesystem::file_size(files[0].path()), size_t(records) * 51);
    const auto lines = Lines(printed);
    ASSERT_EQ(lines.size(), size_t(records));
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), '\t'), 7);
}

}  // namespace
}  // namespace qn410::ctl::test
