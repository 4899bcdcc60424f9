// qn410ctl check, run in-process on setting files written by the program's own writer.
#include <gtest/gtest.h>

#include <sstream>

#include "ctl_command.h"
#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

namespace qn410 {
namespace {

class CheckCommandTest : public ::testing::Test {
  protected:
    int Run(const ctl::Args& args) {
        out_.str("");
        err_.str("");
        return ctl::Run(args, out_, err_);
    }
    std::string Write(SettingDocument& doc) {
        const std::string path = dir_.file("qn410.txt");
        test::RecordingPrompt prompt;
        EXPECT_TRUE(WriteSettingFile(path, doc, "", prompt));
        return path;
    }
    static void Set(StationNumber& n, int value) {
        n.Value = value;
        SetText(n.Text, std::to_string(value));
    }
    test::TempDir dir_;
    std::ostringstream out_, err_;
};

TEST_F(CheckCommandTest, DefaultDataPasses) {
    SettingDocument doc;
    const std::string path = Write(doc);
    EXPECT_EQ(Run({"check", path}), 0);
    EXPECT_EQ(out_.str(), path + ": station numbers pass the check\n");
    EXPECT_EQ(err_.str(), "");
}

TEST_F(CheckCommandTest, DuplicateNamesBothStations) {
    SettingDocument doc;
    Set(doc.data().Exchange[0].Master[2].Number, 15);  // substation 6 of exchange 1 has 15
    const std::string path = Write(doc);
    EXPECT_EQ(Run({"check", path}), 1);
    EXPECT_EQ(err_.str(), "qn410ctl: " + path +
                              ": master station 3 of exchange 1 (number 15): duplicate number "
                              "(code 1), same as substation 6 of exchange 1\n");
}

TEST_F(CheckCommandTest, TrunkDigitAndBlockFailures) {
    SettingDocument doc;
    SettingData& d = doc.data();
    d.Exchange[0].Line[1].TxNumberOnOff = 1;
    d.Exchange[0].Line[1].TxNumber = 9;
    const std::string path = Write(doc);
    EXPECT_EQ(Run({"check", path}), 1);
    EXPECT_EQ(err_.str(), "qn410ctl: " + path +
                              ": master station 1 of exchange 1 (number 90): first digit is an "
                              "active C/O trunk access digit (code 4)\n");

    d.Exchange[0].Line[1].TxNumberOnOff = 0;
    d.System.SwitchCnt = 2;
    d.System.SwNumber[1].Value = 50;
    SetText(d.System.SwNumber[1].Text, "50");
    Write(doc);
    EXPECT_EQ(Run({"check", path}), 1);
    EXPECT_EQ(err_.str(), "qn410ctl: " + path +
                              ": substation 41 of exchange 1 (number 50): number outside its "
                              "exchange's block (code 3)\n");
}

TEST_F(CheckCommandTest, UnreadableFileAndUsage) {
    EXPECT_EQ(Run({"check", dir_.file("missing.txt")}), 1);
    EXPECT_EQ(err_.str(), "qn410ctl: " + dir_.file("missing.txt") + ": cannot be opened\n");
    EXPECT_EQ(Run({"check"}), 2);
    EXPECT_EQ(Run({"check", "a", "b"}), 2);
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(out_.str().find("check FILE"), std::string::npos);
}

}  // namespace
}  // namespace qn410
