#include "setting/work_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/recording_prompt.h"
#include "support/temp_dir.h"

namespace qn410::test {
namespace {

namespace fs = std::filesystem;

bool IsReadOnly(const std::string& path) {
    const auto p = fs::status(path).permissions();
    return (p & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write)) ==
           fs::perms::none;
}

class WorkFileTest : public ::testing::Test {
  protected:
    TempDir dir;
    RecordingPrompt prompt;
    const std::string path = dir.file("qn410work.txt");
};

TEST_F(WorkFileTest, MissingFileGivesEmptyNamesAndIsCreatedReadOnly) {
    const WorkFile work = ReadWorkFile(path, prompt);
    EXPECT_EQ(work.history, "");
    EXPECT_EQ(work.monitor, "");
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(ReadAll(path), "[File Name]\nHistory=\nMonitor=\n");
    EXPECT_TRUE(IsReadOnly(path));
}

TEST_F(WorkFileTest, ReadOnlyFileIsRewrittenAndReadBack) {
    ASSERT_TRUE(WriteWorkFile(path, {"HS261206-01.txt", "/logs/CM261206-02.txt"}));
    ASSERT_TRUE(IsReadOnly(path));
    ASSERT_TRUE(WriteWorkFile(path, {"HS261206-03.txt", "CM261206-04.txt"}));
    const WorkFile work = ReadWorkFile(path, prompt);
    EXPECT_EQ(work.history, "HS261206-03.txt");
    EXPECT_EQ(work.monitor, "CM261206-04.txt");
    EXPECT_TRUE(IsReadOnly(path));
}

TEST_F(WorkFileTest, MissingKeyShowsMessageAndRewritesTheFile) {
    WriteAll(path, "[File Name]\nHistory=HS261206-01.txt\nMonitr=x\n");
    const WorkFile work = ReadWorkFile(path, prompt);
    EXPECT_EQ(work.history, "");
    EXPECT_EQ(prompt.texts(),
              std::vector<std::string>{"Incorrect setting file. Key information\n"
                                       " Monitor= not found.\nDefault Data setting"});
    EXPECT_EQ(ReadAll(path), "[File Name]\nHistory=\nMonitor=\n");
}

}  // namespace
}  // namespace qn410::test
