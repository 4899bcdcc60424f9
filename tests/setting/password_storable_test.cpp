#include <gtest/gtest.h>

#include <random>

#include "setting/password.h"
#include "setting/setting_file.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

namespace qn410::test {
namespace {

// Every password the dialogs accept reads back unchanged, from its line and from a whole file.
TEST(StorablePassword, EveryAcceptedPasswordSurvivesWriteAndRead) {
    TempDir dir;
    const std::string path = dir.file("qn410.txt");
    RecordingPrompt prompt;
    std::mt19937 random(410);
    for (int round = 0; round < 120; ++round) {
        std::string password(random() % 21, '\0');
        for (char& c : password) c = static_cast<char>(random() % (round % 2 ? 0xF0 : 0x100));
        if (!IsStorablePassword(password)) continue;
        SettingDocument doc;
        std::string back = "before";
        if (round % 30 == 1) {  // the whole file now and then: it is large
            ASSERT_TRUE(WriteSettingFile(path, doc, password, prompt));
            ReadSettingFile(path, doc, back, prompt);
        } else {
            ASSERT_TRUE(WritePassword(path, password));
            ReadPassword(path, back, prompt);
        }
        EXPECT_EQ(back, password) << round;
    }
    EXPECT_FALSE(IsStorablePassword("ab\xFA"));  // would read back as a line feed
}

}  // namespace
}  // namespace qn410::test
