// qn410ctl new, copy and check, run in-process on files written by the program's own writer.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "ctl_command.h"
#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

namespace qn410::test {
namespace {

struct CtlRun {
    int status;
    std::string out, err;
};

CtlRun Ctl(const ctl::Args& args) {
    std::ostringstream out, err;
    const int status = ctl::Run(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(CtlFileCommands, NewWritesDefaultsAndCopyReproducesThem) {
    TempDir dir;
    const std::string a = dir.file("a.txt"), b = dir.file("b.txt");
    ASSERT_EQ(Ctl({"new", a}).status, 0);
    SettingDocument defaults;
    EXPECT_EQ(ReadAll(a), FormatSettingFile(defaults.data(), ""));
    const CtlRun copy = Ctl({"copy", a, b});
    EXPECT_EQ(copy.status, 0);
    EXPECT_EQ(copy.err, "");
    EXPECT_EQ(ReadAll(a), ReadAll(b));
}

TEST(CtlFileCommands, CopyOfABrokenFileSaysWhyAndWritesNothing) {
    TempDir dir;
    const std::string in = dir.file("in.txt"), out = dir.file("out.txt");
    SettingDocument doc;
    std::string bytes = FormatSettingFile(doc.data(), "");
    bytes.replace(bytes.find("SwitchCnt="), 6, "Swotch");
    WriteAll(in, bytes);
    const CtlRun broken = Ctl({"copy", in, out});
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.err.find("SwitchCnt= not found."), std::string::npos) << broken.err;
    WriteAll(in, "Password=99" + std::string(20, '*') + "\n");
    EXPECT_EQ(Ctl({"copy", in, out}).status, 1);
    const CtlRun missing = Ctl({"copy", dir.file("absent.txt"), out});
    EXPECT_EQ(missing.err, "qn410ctl: " + dir.file("absent.txt") + ": cannot be opened\n");
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_FALSE(std::filesystem::exists(dir.file("absent.txt")));
}

// The check's own words (its steps are the station check's tests); exit 1 names both stations.
TEST(CtlFileCommands, CheckPassesOrNamesTheStationAndWhy) {
    TempDir dir;
    SettingDocument doc;
    RecordingPrompt prompt;
    const std::string path = dir.file("qn410.txt");
    ASSERT_TRUE(WriteSettingFile(path, doc, "", prompt));
    CtlRun r = Ctl({"check", path});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, path + ": station numbers pass the check\n");
    StationNumber& n = doc.data().Exchange[0].Master[2].Number;  // substation 6 has 15
    n.Value = 15;
    SetText(n.Text, "15");
    ASSERT_TRUE(WriteSettingFile(path, doc, "", prompt));
    r = Ctl({"check", path});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "qn410ctl: " + path +
                         ": master station 3 of exchange 1 (number 15): duplicate number "
                         "(code 1), same as substation 6 of exchange 1\n");
    SetText(n.Text, "92");
    n.Value = 92;
    TrunkLineSetting& line = doc.data().Exchange[0].Line[1];
    line.TxNumberOnOff = 1;
    line.TxNumber = 9;
    ASSERT_TRUE(WriteSettingFile(path, doc, "", prompt));
    EXPECT_EQ(Ctl({"check", path}).err, "qn410ctl: " + path +
                                            ": master station 1 of exchange 1 (number 90): "
                                            "first digit is an active C/O trunk access digit "
                                            "(code 4)\n");
    line.TxNumberOnOff = 0;
    doc.data().System.SwitchCnt = 2;
    doc.data().System.SwNumber[1].Value = 50;
    SetText(doc.data().System.SwNumber[1].Text, "50");
    ASSERT_TRUE(WriteSettingFile(path, doc, "", prompt));
    EXPECT_EQ(Ctl({"check", path}).err, "qn410ctl: " + path +
                                            ": substation 41 of exchange 1 (number 50): number "
                                            "outside its exchange's block (code 3)\n");
}

TEST(CtlFileCommands, UsageAndHelp) {
    for (const ctl::Args& args : std::vector<ctl::Args>{
             {}, {"copy", "only-one"}, {"frobnicate"}, {"check"}, {"check", "a", "b"}})
        EXPECT_EQ(Ctl(args).status, 2) << ::testing::PrintToString(args);
    const CtlRun help = Ctl({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("copy IN OUT"), std::string::npos);
    EXPECT_NE(help.out.find("check FILE"), std::string::npos);
}

}  // namespace
}  // namespace qn410::test
