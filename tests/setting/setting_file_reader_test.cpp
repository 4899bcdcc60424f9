#include <gtest/gtest.h>

#include "setting/text_field.h"
#include "setting_file_fixture.h"

namespace qn410::test {
namespace {

const char kDefaultsLine[] = "\nDefault Data setting";

// A read that failed leaves default data and an empty file name.
void ExpectFellBack(const SettingDocument& doc) {
    EXPECT_TRUE(doc.data() == SettingDocument().data());
    EXPECT_EQ(doc.fileName, "");
}

TEST_F(SettingFileTest, MissingSectionShowsItsKeyAndAppliesDefaults) {
    doc_.data().Exchange[2].Sub[0].Level = 1;  // must not survive the failed read
    DeleteLine("[Maintenance]");
    EXPECT_EQ(Read(), ReadOutcome::MissingKey);
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0].text,
              std::string("Incorrect setting file. Key information\n [Maintenance] not found.") +
                  kDefaultsLine);
    EXPECT_EQ(prompt_.shown[0].icon, PromptIcon::None);
    EXPECT_EQ(prompt_.shown[0].buttons, PromptButtons::Ok);
    ExpectFellBack(doc_);
    EXPECT_EQ(password_, "");  // the password line was good and is kept
}

TEST_F(SettingFileTest, MissingKeysNameTheExpectedKey) {
    const struct {
        const char* line;
        const char* key;
    } cases[] = {
        {"SwitchCnt=", "SwitchCnt="},
        {"[Switch03]", "[Switch03]"},
        {"OutInZone[07-2]=", "OutInZone[07-2]="},
        {"[Speaker PA16]", "[Speaker PA16]"},
        {"Dial1024=", "Dial1024="},
        {"ShotT4=", "ShotT4="},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        SetUp();
        prompt_.shown.clear();
        SetLine(c.line, "Garbage=1");
        EXPECT_EQ(Read(), ReadOutcome::MissingKey);
        ASSERT_EQ(prompt_.shown.size(), 1u);
        EXPECT_EQ(prompt_.shown[0].text, std::string("Incorrect setting file. Key information\n ") +
                                             c.key + " not found." + kDefaultsLine);
        ExpectFellBack(doc_);
    }
}

TEST_F(SettingFileTest, FileCutShortReportsTheNextKey) {
    TruncateFrom(Find("TelCnt="));
    EXPECT_EQ(Read(), ReadOutcome::MissingKey);
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_NE(prompt_.shown[0].text.find(" TelCnt= not found."), std::string::npos);
}

// A key is found anywhere in its line; function headers are not checked, subsection headers
// only by their own part; CR before LF is accepted. Case matters.
TEST_F(SettingFileTest, LenientLinesAndCaseSensitiveKeys) {
    SetLine("SwitchCnt=", "xxSwitchCnt=3");
    SetLine("[Function5]", "anything at all");
    SetLine("[Switch02][Master03]", "[Switch09][Master03]");
    std::string crlf;
    for (const auto& l : lines_) crlf += l + "\r\n";
    Load(crlf);
    ASSERT_EQ(Read(), ReadOutcome::Ok);
    EXPECT_EQ(doc_.data().System.SwitchCnt, 3);

    SetUp();
    SetLine("SwitchCnt=", "switchcnt=3");
    EXPECT_EQ(Read(), ReadOutcome::MissingKey);
}

TEST_F(SettingFileTest, MalformedPasswordFailsWithoutMessage) {
    for (const std::string& value : {"00" + std::string(21, '*'), "21" + std::string(20, '*'),
                                     "x1" + std::string(20, '*'), std::string()}) {
        SCOPED_TRACE(value);
        SetUp();
        SetLine("Password=", "Password=" + value);
        password_ = "previous";
        EXPECT_EQ(Read(), ReadOutcome::BadPassword);
        EXPECT_TRUE(prompt_.shown.empty());
        ExpectFellBack(doc_);
        EXPECT_EQ(password_, "previous");  // a malformed field leaves the password as it was
    }
}

TEST_F(SettingFileTest, StationReferencesNeedTheirSeparator) {
    SetLine("RxMaster01=", "RxMaster01=03-02");
    SetLine("RxMaster02=", "RxMaster02=0302");
    SetLine("RxMaster03=", "RxMaster03=-02");
    SetLine("ScanSub05=", "ScanSub05= 7-x64");
    ASSERT_EQ(Read(), ReadOutcome::Ok);
    const TrunkLineSetting& line = doc_.data().Exchange[0].Line[0];
    EXPECT_EQ(line.RxMaster[0], (StationEntry{1, 3, 2}));
    EXPECT_EQ(line.RxMaster[1], (StationEntry{2, 0, 0}));
    EXPECT_EQ(line.RxMaster[2], (StationEntry{3, 0, 0}));
    EXPECT_EQ(doc_.data().Exchange[0].Master[0].ScanSub[4], (StationEntry{5, 7, 0}));
}

TEST_F(SettingFileTest, TrunkDisplayCopiesFollowTheMastersOfThisFile) {
    SetLine("RxMaster01=", "RxMaster01=02-03");
    SetLine("RxMaster02=", "RxMaster02=00-01");
    // Master 3 of exchange 2 comes later in the file than exchange 1's trunk lines.
    const std::size_t master = Find("[Switch02][Master03]");
    lines_[master + 1] = "Number=4455";
    lines_[master + 2] = "Name=DOOR";
    ASSERT_EQ(Read(), ReadOutcome::Ok);
    const TrunkLineSetting& line = doc_.data().Exchange[0].Line[0];
    EXPECT_EQ(line.RxNumberValue[0], 4455);
    EXPECT_EQ(TextOf(line.RxName[0]), "DOOR");
    EXPECT_EQ(line.RxNumberValue[1], kNoNumber);
    EXPECT_EQ(TextOf(line.RxName[1]), "");
}

TEST_F(SettingFileTest, ValueConversions) {
    SetLine("Number=", "Number=1234567", 0);  // master 1 of exchange 1
    SetLine("SwNumber02=", "SwNumber02=-1");
    SetLine("Number=", "Number=abc", 5);
    SetLine("CallSwNo=", "CallSwNo=258");  // u8 keeps the low 8 bits
    SetLine("PagingTimeLimit=", "PagingTimeLimit= -45xyz");
    SetLine("StartTime=", "StartTime=08:30");
    SetLine("EndTime=", "EndTime=0830");
    SetLine("Name=", "Name=ABCDEFGHIJKL", 0);  // trunk line name, 8 characters at most
    SetLine("Shot1=", "Shot1=123456");
    SetLine("ShotT2=", "ShotT2=10");
    ASSERT_EQ(Read(), ReadOutcome::Ok);
    const SettingData& d = doc_.data();
    EXPECT_EQ(d.Exchange[0].Master[0].Number.Value, 1234567);
    EXPECT_EQ(TextOf(d.Exchange[0].Master[0].Number.Text), "123456");
    EXPECT_EQ(d.System.SwNumber[1].Value, kNoNumber);
    EXPECT_EQ(TextOf(d.System.SwNumber[1].Text), "-1");
    EXPECT_EQ(d.Exchange[0].Sub[1].Number.Value, 0);  // the sixth "Number=" is substation 2's
    EXPECT_EQ(TextOf(d.Exchange[0].Sub[1].Number.Text), "abc");
    EXPECT_EQ(d.Exchange[0].Sub[0].CallSwNo, 2);
    EXPECT_EQ(d.Exchange[0].PagingTimeLimit, -45);
    EXPECT_EQ(d.Function[0].StartTime.Value, 8 * 256 + 30);
    EXPECT_EQ(TextOf(d.Function[0].StartTime.Text), "08:30");
    EXPECT_EQ(d.Function[0].EndTime.Value, 0);
    EXPECT_EQ(TextOf(d.Exchange[0].Line[0].Name), "ABCDEFGH");
    EXPECT_EQ(TextOf(d.Dial[0][0][0].Shot), "1234");
    EXPECT_EQ(d.ShotT[0][1], 10);
}

// Without the door lock block the old door lock times stay; the dial tables are cleared first.
TEST_F(SettingFileTest, FileWithoutDoorLockBlockKeepsDoorLockTimes) {
    doc_.data().ShotT[4][2] = 7;
    SetText(doc_.data().Dial[3][1][5].Name, "NAME");
    doc_.data().Dial[3][1][5].SwitchNo = 6;
    SetLine("Dial1=", "Dial1=555");
    TruncateFrom(Find("OneShotMake"));
    ASSERT_EQ(Read(), ReadOutcome::Ok);
    EXPECT_EQ(doc_.data().ShotT[4][2], 7);
    EXPECT_EQ(TextOf(doc_.data().Dial[0][0][0].Dial), "555");
    EXPECT_EQ(doc_.data().Dial[3][1][5], DialEntry{});
    EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(SettingFileTest, MissingFileIsCreatedWithDefaults) {
    doc_.data().System.SwitchCnt = 9;
    doc_.fileName = dir_.file("qn410.txt");
    EXPECT_EQ(ReadSettingFile(doc_.fileName, doc_, password_, prompt_), ReadOutcome::OpenFailed);
    EXPECT_TRUE(prompt_.shown.empty());
    EXPECT_EQ(doc_.data().System.SwitchCnt, 1);
    SettingDocument defaults;
    EXPECT_EQ(ReadAll(doc_.fileName), FormatSettingFile(defaults.data(), password_));
    // Without a document name nothing is created.
    doc_.fileName.clear();
    EXPECT_EQ(ReadSettingFile(dir_.file("absent.txt"), doc_, password_, prompt_),
              ReadOutcome::OpenFailed);
    EXPECT_FALSE(std::filesystem::exists(dir_.file("absent.txt")));
}

}  // namespace
}  // namespace qn410::test
