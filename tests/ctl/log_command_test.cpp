// qn410ctl log against qn410-sim over a pseudo-terminal: the daily file, the printed lines, and
// exchanges that send nothing more once the collector has ended.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace qn410::ctl::test {
namespace {

using qn410::test::ReadAll;

TEST(LogCommand, CollectsForAWhileThenStopsTheExchanges) {
    qn410::test::TempDir dir;
    Simulator sim({"--rate", "20", "--trace", dir.file("trace"), "--idle-exit", "30"});
    std::filesystem::create_directory(dir.path() / "logs");
    const int out = open(dir.file("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const pid_t pid = Spawn(QN410CTL_BINARY,
                            {"log", "--exchange", "1,3", "--folder", dir.file("logs"), "--port",
                             sim.port(), "--for", "2"},
                            {}, out, -1);
    int status = -1;
    waitpid(pid, &status, 0);
    close(out);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    usleep(500000);  // anything still coming?

    // One printed line (eight tab-separated columns) and one file line per record sent by
    // exchanges 1 and 3, and none after the request with no exchange selected.
    const std::string trace = ReadAll(dir.file("trace"));
    const size_t stop = trace.find("RX frame \"O000000000000000000\"");
    ASSERT_NE(stop, std::string::npos);
    EXPECT_EQ(trace.find("TX frame \"o", stop), std::string::npos);
    size_t records = 0;
    for (size_t at = 0; (at = trace.find("TX frame \"o0", at)) != std::string::npos; ++records)
        EXPECT_TRUE(trace[at += 12] == '1' || trace[at] == '3');
    EXPECT_GE(records, 20u);
    const auto files = std::vector(std::filesystem::directory_iterator(dir.path() / "logs"), {});
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(files[0].path()), records * 51);
    const std::string printed = ReadAll(dir.file("out"));
    EXPECT_EQ(size_t(std::count(printed.begin(), printed.end(), '\n')), records);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\t'), 7 * long(records));
}

}  // namespace
}  // namespace qn410::ctl::test
