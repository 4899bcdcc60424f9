#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "setting/setting_file.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

namespace qn410::test {
namespace {

namespace fs = std::filesystem;

class SettingFileWriteFailure : public ::testing::Test {
  protected:
    void SetUp() override {
        doc_.modified = true;
        target_ = dir_.file("site.txt");
        WriteAll(target_, "the installer's only copy\n");
    }

    // The write failed the way the user must see it, and nothing was lost.
    void ExpectFailedSafely(bool written) {
        EXPECT_FALSE(written);
        ASSERT_EQ(prompt_.shown.size(), 1u);
        EXPECT_EQ(prompt_.shown[0].text, "Set file Write Error");
        EXPECT_EQ(prompt_.shown[0].icon, PromptIcon::Exclamation);
        EXPECT_TRUE(doc_.modified);
        EXPECT_EQ(ReadAll(target_), "the installer's only copy\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), {}), 1)
            << "a temporary file was left behind";
    }

    TempDir dir_;
    std::string target_;
    SettingDocument doc_;
    RecordingPrompt prompt_;
};

TEST_F(SettingFileWriteFailure, WriteThatFailsPartWayKeepsTheOldFile) {
    // Files may grow to 64 KiB only: the 1.3 MB setting file fails in the middle of writing.
    signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteSettingFile(target_, doc_, "", prompt_);
    setrlimit(RLIMIT_FSIZE, &old);
    ExpectFailedSafely(written);
}

TEST_F(SettingFileWriteFailure, TargetIsAFolderOrInAMissingFolder) {
    for (const std::string& path : {target_, dir_.file("no/such/folder.txt")}) {
        SCOPED_TRACE(path);
        prompt_.shown.clear();
        if (path == target_) {
            fs::remove(target_);
            fs::create_directory(target_);
        }
        EXPECT_FALSE(WriteSettingFile(path, doc_, "", prompt_));
        EXPECT_EQ(prompt_.texts(), std::vector<std::string>{"Set file Write Error"});
        EXPECT_TRUE(doc_.modified);
    }
}

TEST(SettingFileWrite, ReplacesTheFileAndKeepsItsPermissions) {
    TempDir dir;
    SettingDocument doc;
    RecordingPrompt prompt;
    const std::string path = dir.file("site.txt");
    WriteAll(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    doc.modified = true;
    ASSERT_TRUE(WriteSettingFile(path, doc, "pw", prompt));
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(ReadAll(path), FormatSettingFile(doc.data(), "pw"));
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace
}  // namespace qn410::test
