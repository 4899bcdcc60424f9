// qn410ctl dial upload and download against qn410-sim over a pseudo-terminal: the blocks on the
// wire (the simulator's trace), the table the simulator stores, and the table that comes back.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/child_process.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "transfer/dial_table.h"

namespace qn410::ctl::test {
namespace {

constexpr int kExchange = 2, kMaster = 3;

// A table of n entries spread over the switches, every fifth one the door-lock switch of the
// entry before it, with dial texts of every allowed character and length.
void FillTable(SettingData& d, int n, uint8_t doorLockTime) {
    DialTable& table = d.Dial[kExchange - 1][kMaster - 1];
    const std::string chars = "0123456789Aa*#-";
    for (int i = 0; i < n; ++i) {
        const int sw = i * 997 % kDialCount;  // 997 and 1024 are coprime: all distinct
        std::string dial;
        for (int c = 0; c <= (i * 7) % kDialTextMax; ++c) dial += chars[(i + c * 3) % chars.size()];
        SetText(table[sw].Dial, dial);
        if (i % 5 == 4) {  // door-lock switch of the previous entry
            SetText(table[sw].Dial, kDoorLockMark);
            SetText(table[sw].Shot, kDoorLockMark);
            SetText(table[(i - 1) * 997 % kDialCount].Shot, std::to_string(sw + 1));
        }
    }
    d.ShotT[kExchange - 1][kMaster - 1] = doorLockTime;
}

void ExpectSameTable(const SettingData& want, const std::string& path, const char* what) {
    SettingDocument got;
    qn410::test::RecordingPrompt prompt;
    std::string password;
    ASSERT_EQ(ReadSettingFile(path, got, password, prompt), ReadOutcome::Ok) << path;
    const int e = kExchange - 1, m = kMaster - 1;
    EXPECT_TRUE(got.data().Dial[e][m] == want.Dial[e][m] &&
                got.data().ShotT[e][m] == want.ShotT[e][m])
        << what;
}

// The K frames the simulator received, in order.
std::vector<std::string> ReceivedBlocks(const std::string& trace) {
    std::vector<std::string> out;
    std::ifstream in(trace);
    const std::regex frame("RX frame \"(K.*)\" BCC");
    std::smatch m;
    for (std::string line; std::getline(in, line);)
        if (std::regex_search(line, m, frame)) out.push_back(m[1]);
    return out;
}

class DialCommandsTest : public ::testing::TestWithParam<int> {};

TEST_P(DialCommandsTest, TableGoesUpInBlocksAndComesBackExactly) {
    const int n = GetParam();
    qn410::test::TempDir dir;
    qn410::test::RecordingPrompt prompt;
    SettingDocument sent;
    sent.data().System.SwitchCnt = 4;
    FillTable(sent.data(), n, static_cast<uint8_t>(1 + n % 9));
    ASSERT_TRUE(WriteSettingFile(dir.file("sent.txt"), sent, "", prompt));
    const std::string saved = dir.file("saved.txt"), trace = dir.file("trace.txt");
    auto args = [](std::vector<std::string> a) {
        for (const char* w : {"--exchange", "2", "--master", "3"}) a.push_back(w);
        return a;
    };
    {
        Simulator sim({"--save", saved, "--trace", trace, "--idle-exit", "60"});
        const ProcessResult up = RunCtl(args({"dial", "upload", dir.file("sent.txt")}), sim.env());
        ASSERT_EQ(up.status, 0) << up.err;
        sim.Signal(SIGTERM);
        ASSERT_EQ(sim.Wait(), 0);
    }
    // Blocks of ten packed entries, positions 1, 0.., 2 or the only block 3.
    const std::vector<DialEntry> sendTable =
        BuildSendTable(sent.data().Dial[kExchange - 1][kMaster - 1]);
    const std::vector<std::string> blocks = ReceivedBlocks(trace);
    ASSERT_EQ(static_cast<int>(blocks.size()), n == 0 ? 1 : (n + 9) / 10);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const auto header = ReadDialBlockHeader(blocks[b]);
        ASSERT_TRUE(header);
        EXPECT_EQ(header->total, static_cast<int>(sendTable.size()));
        EXPECT_EQ(header->position, DialBlockPosition(b + 1, blocks.size()));
        EXPECT_EQ(header->count, std::min<int>(10, n - 10 * b));
        for (int j = 0; j < header->count; ++j)
            EXPECT_EQ(std::stoi(blocks[b].substr(12 + 24 * j, 4)), sendTable[10 * b + j].SwitchNo);
    }
    ExpectSameTable(sent.data(), saved, "stored by the simulator");

    // Back into a base whose table holds stale entries: the download replaces them.
    SettingDocument base;
    base.data().System.SwitchCnt = 4;
    FillTable(base.data(), 40, 3);
    ASSERT_TRUE(WriteSettingFile(dir.file("base.txt"), base, "", prompt));
    Simulator sim({"--config", saved, "--idle-exit", "60"});
    const ProcessResult down =
        RunCtl(args({"dial", "download", dir.file("back.txt"), "--base", dir.file("base.txt")}),
               sim.env());
    ASSERT_EQ(down.status, 0) << down.err;
    ExpectSameTable(sent.data(), dir.file("back.txt"), "downloaded");
}

INSTANTIATE_TEST_SUITE_P(Sizes, DialCommandsTest, ::testing::Values(0, 1, 10, 11, 25, 1024));

}  // namespace
}  // namespace qn410::ctl::test
