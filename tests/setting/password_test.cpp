// The password line read and written in place, and the work file: their failures by the text
// the user sees and what is left in the file.
#include "setting/password.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "setting/setting_file.h"
#include "setting/work_file.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

namespace qn410::test {
namespace {

namespace fs = std::filesystem;

class PasswordAndWorkFile : public ::testing::Test {
  protected:
    std::string Read() {
        std::string password = "before";
        ReadPassword(path_, password, prompt_);
        return password;
    }
    TempDir dir_;
    std::string path_ = dir_.file("qn410.txt");
    RecordingPrompt prompt_;
};

TEST_F(PasswordAndWorkFile, StoredReadAndReplacedInPlace) {
    EXPECT_EQ(Read(), "");  // no file: no password
    ASSERT_TRUE(WritePassword(path_, "pw"));
    EXPECT_EQ(ReadAll(path_), "Password=02\x80\x87******************\n");

    SettingDocument doc;
    ASSERT_TRUE(WriteSettingFile(path_, doc, "", prompt_));
    const std::string before = ReadAll(path_);
    const std::string longest = "ABCDEFGHIJ\xB1\xB2\xB3\xB4\xB5klmno";
    ASSERT_TRUE(WritePassword(path_, longest));
    const std::string after = ReadAll(path_);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(32), before.substr(32));  // only the first 32 bytes change
    EXPECT_EQ(Read(), longest);
    ASSERT_TRUE(WritePassword(path_, ""));
    EXPECT_EQ(ReadAll(path_), before);
    EXPECT_TRUE(prompt_.shown.empty());
    EXPECT_FALSE(WritePassword(dir_.path().string(), "pw"));  // a folder
}

TEST_F(PasswordAndWorkFile, MissingKeyAndMalformedField) {
    WriteAll(path_, "[Maintenance]\nPcConnect=0\n");
    EXPECT_EQ(Read(), "err02");
    EXPECT_EQ(
        prompt_.texts(),
        std::vector<std::string>{"Incorrect setting file. Key information\n Password= not found."});
    prompt_.shown.clear();
    for (const std::string& field : {std::string("00*******************"),
                                     "2a" + std::string(20, '*'), "21" + std::string(20, '*')}) {
        WriteAll(path_, "Password=" + field + "\n");
        EXPECT_EQ(Read(), "error") << field;
    }
    EXPECT_TRUE(prompt_.shown.empty());
}

// Every password the dialogs accept reads back unchanged from its line (from a whole file: see
// the setting file's round trip); bytes 0xF0..0xFF are refused (0xFA would read back as a line
// feed).
TEST_F(PasswordAndWorkFile, EveryAcceptedPasswordSurvivesWriteAndRead) {
    std::mt19937 random(410);
    for (int round = 0; round < 120; ++round) {
        std::string password(random() % 21, '\0');
        for (char& c : password) c = static_cast<char>(random() % (round % 2 ? 0xF0 : 0x100));
        if (!IsStorablePassword(password)) continue;
        ASSERT_TRUE(WritePassword(path_, password));
        EXPECT_EQ(Read(), password) << round;
    }
    EXPECT_FALSE(IsStorablePassword("ab\xFA"));
}

// The work file: created read-only when missing, rewritten although read-only, and rewritten
// with empty names after the message when a key is missing.
TEST_F(PasswordAndWorkFile, WorkFile) {
    const std::string path = dir_.file("qn410work.txt");
    const auto readOnly = [&] {
        return (fs::status(path).permissions() & (fs::perms::owner_write | fs::perms::group_write |
                                                  fs::perms::others_write)) == fs::perms::none;
    };
    WorkFile work = ReadWorkFile(path, prompt_);
    EXPECT_EQ(work.history + work.monitor, "");
    EXPECT_EQ(ReadAll(path), "[File Name]\nHistory=\nMonitor=\n");
    EXPECT_TRUE(readOnly());
    ASSERT_TRUE(WriteWorkFile(path, {"HS261206-03.txt", "/logs/CM261206-04.txt"}));
    work = ReadWorkFile(path, prompt_);
    EXPECT_EQ(work.history, "HS261206-03.txt");
    EXPECT_EQ(work.monitor, "/logs/CM261206-04.txt");
    EXPECT_TRUE(readOnly());
    EXPECT_TRUE(prompt_.shown.empty());

    fs::remove(path);
    WriteAll(path, "[File Name]\nHistory=HS261206-01.txt\nMonitr=x\n");
    EXPECT_EQ(ReadWorkFile(path, prompt_).history, "");
    EXPECT_EQ(prompt_.texts(),
              std::vector<std::string>{"Incorrect setting file. Key information\n"
                                       " Monitor= not found.\nDefault Data setting"});
    EXPECT_EQ(ReadAll(path), "[File Name]\nHistory=\nMonitor=\n");
}

}  // namespace
}  // namespace qn410::test
