#include "setting/password.h"

#include <gtest/gtest.h>

#include "setting/setting_file.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

namespace qn410::test {
namespace {

class PasswordFile : public ::testing::Test {
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

TEST_F(PasswordFile, TwentyCharactersAreStoredReadAndReplacedInPlace) {
    SettingDocument doc;
    ASSERT_TRUE(WriteSettingFile(path_, doc, "", prompt_));
    const std::string before = ReadAll(path_);

    const std::string longest = "ABCDEFGHIJ\xB1\xB2\xB3\xB4\xB5klmno";
    ASSERT_EQ(longest.size(), 20u);
    ASSERT_TRUE(WritePassword(path_, longest));
    const std::string after = ReadAll(path_);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(32), before.substr(32));  // only the first 32 bytes change
    EXPECT_EQ(Read(), longest);

    ASSERT_TRUE(WritePassword(path_, ""));
    EXPECT_EQ(Read(), "");
    EXPECT_EQ(ReadAll(path_).substr(0, 32), "Password=00********************\n");
    EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(PasswordFile, MissingFileMeansNoPasswordAndWriteCreatesIt) {
    EXPECT_EQ(Read(), "");
    ASSERT_TRUE(WritePassword(path_, "pw"));
    EXPECT_EQ(ReadAll(path_), "Password=02\x80\x87******************\n");
    EXPECT_EQ(Read(), "pw");
}

TEST_F(PasswordFile, MissingKeyShowsMessageWithoutDefaultLine) {
    WriteAll(path_, "[Maintenance]\nPcConnect=0\n");
    EXPECT_EQ(Read(), "err02");
    EXPECT_EQ(
        prompt_.texts(),
        std::vector<std::string>{"Incorrect setting file. Key information\n Password= not found."});
}

TEST_F(PasswordFile, MalformedFieldGivesErrorMarker) {
    for (const std::string& field : {std::string("00*******************"),
                                     "2a" + std::string(20, '*'), "21" + std::string(20, '*')}) {
        SCOPED_TRACE(field);
        WriteAll(path_, "Password=" + field + "\n");
        EXPECT_EQ(Read(), "error");
    }
    EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(PasswordFile, WriteIntoAFolderFails) {
    EXPECT_FALSE(WritePassword(dir_.path().string(), "pw"));
}

}  // namespace
}  // namespace qn410::test
