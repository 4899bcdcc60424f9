#include <gtest/gtest.h>

#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/random_setting.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

namespace qn410::test {
namespace {

// Writes doc, reads it into a fresh document, writes that again: same data, same bytes. The
// layout test shows the default data's file.
void ExpectRoundTrip(SettingDocument& doc, const std::string& password) {
    TempDir dir;
    RecordingPrompt prompt;
    const std::string first = dir.file("first.txt"), second = dir.file("second.txt");
    ASSERT_TRUE(WriteSettingFile(first, doc, password, prompt));

    SettingDocument back;
    std::string readPassword;
    ASSERT_EQ(ReadSettingFile(first, back, readPassword, prompt), ReadOutcome::Ok);
    EXPECT_EQ(readPassword, password);
    EXPECT_TRUE(back.data() == doc.data());
    ASSERT_TRUE(WriteSettingFile(second, back, readPassword, prompt));
    EXPECT_EQ(ReadAll(first), ReadAll(second));
    EXPECT_TRUE(prompt.shown.empty());
}

TEST(SettingFileRoundTrip, RandomDataAndPasswords) {
    const char* passwords[] = {"a", "Secret12", "\xB1\xB2\xDF pw", "20charactersxxxxxxxx"};
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(seed);
        SettingDocument doc;
        FillRandomFileData(doc.data(), seed);
        ExpectRoundTrip(doc, passwords[seed - 1]);
    }
}

TEST(SettingFileRoundTrip, MaximumLengthTextsEveryFlagAndDoorLockTen) {
    SettingDocument doc;
    SettingData& d = doc.data();
    FillRandomFileData(d, 99);
    SetText(d.Maintenance.TelNo, std::string(20, '9'));
    SetText(d.RemoteDial.TelNo[4], std::string(32, '8'));
    SetText(d.Exchange[15].Master[3].Name, "\xA1\xB2\xC3\xD4\xDF\xA5\xA6\xA7");
    SetText(d.Exchange[15].Line[1].Name, "ABCDEFGH");
    SetText(d.Dial[15][3][1023].Dial, "1234567890123456");
    SetText(d.Dial[15][3][1023].Shot, "1024");
    d.ShotT[15][3] = 10;
    d.Exchange[2].Sub[1].Paging = kZoneMaskBits;
    d.System.OutInZone[15][3] = -1;
    RefreshTrunkDisplayCopies(d);  // a trunk line may show the renamed master
    ExpectRoundTrip(doc, "x");
    EXPECT_EQ(d.ShotT[15][3], 10);
}

TEST(SettingFileFormat, LayoutOfAFullFile) {
    SettingDocument doc;
    const std::string bytes = FormatSettingFile(doc.data(), "");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 142693);
    EXPECT_EQ(bytes.find('\r'), std::string::npos);
    EXPECT_EQ(bytes.rfind("Password=00********************\n[Maintenance]\nPcConnect=0\n", 0), 0u);
    for (const char* piece : {
             "\nSwNumber01=10\nSwNumber02=-1\n",
             "\nOutInZone[16-4]=0\n[Function1]\nOutSend=0\nAutoOutSend=0\nStartTime=00:00\n",
             "\n[Function16]\n",
             "\n[Switch01]\nZoneSize=1\nPagingTimeLimit=0\nLineCntLimit=3\n[Switch01][Line01]\n"
             "Name=\nTxNumberON/OFF=0\nTxNumber=0\nRxLine=0\nRxDial=0\nRxMaster01=00-00\n",
             "\n[Switch01][Master02]\nNumber=91\nName=91\nLineTx=0\n",
             "\nMeetCnt=3\nMeetMaster01=00-00\nMeetMaster02=00-00\nMeetMaster03=00-00\n"
             "[Switch01][Master04]\n",
             "\n[Switch03][Sub64]\nNumber=-1\nName=\nCallSwNo=3\nCallStNo=1\nLevel=0\nPaging=0\n"
             "[Speaker PA01]\nPaging=0\n",
             "\n[DirectSelect]\n[Switch01]\nOutMode=0\n[Switch01][Master01]\nDial1=\nDial2=\n",
             "\nDial1024=\nOneShotMake\n[Switch01]\n[Switch01][Master01]\nShotT1=0\nShot1=\n",
             "\n[Switch16][Master04]\nShotT4=0\nShot1=\n",
         })
        EXPECT_NE(bytes.find(piece), std::string::npos) << piece;
    EXPECT_TRUE(bytes.ends_with("\nShot1024=\n"));
}

// The password field: length, then each byte moved by its place; malformed fields are refused
// (the password tests read them from a file).
TEST(SettingFileFormat, PasswordField) {
    EXPECT_EQ(EncodePasswordField("AB1"), "03QRA*****************");
    EXPECT_EQ(DecodePasswordField("03QRA*****************"), "AB1");
    EXPECT_EQ(DecodePasswordField(EncodePasswordField("\xF5\xA1")), "\xF5\xA1");  // wraps at 256
}

// Defaults leave the zone tables as they are and restore everything else.
TEST(SettingDefaults, LeaveZoneTablesAndRestoreEverythingElse) {
    SettingDocument doc;
    SettingData& d = doc.data();
    d.Zones.Sub[2][5].Cell[3] = 1;
    d.Exchange[4].Sub[7].Paging = 0x1234;
    d.Dial[1][1][100].Dial[0] = '7';
    d.ShotT[3][3] = 9;
    SetDefaults(d);
    EXPECT_EQ(d.Zones.Sub[2][5].Cell[3], 1);
    SettingDocument fresh;
    d.Zones = fresh.data().Zones;
    EXPECT_TRUE(d == fresh.data());
}

TEST(SettingFileFormat, StationWithoutNumberIsWrittenAsMinusOne) {
    SettingDocument doc;
    SettingData& d = doc.data();
    d.Exchange[0].Master[0].Number.Value = kNoNumber;  // its text still says "90"
    const std::string bytes = FormatSettingFile(d, "");
    EXPECT_NE(bytes.find("[Switch01][Master01]\nNumber=-1\nName=90\n"), std::string::npos);

    TempDir dir;
    RecordingPrompt prompt;
    doc.modified = true;
    ASSERT_TRUE(WriteSettingFile(dir.file("out.txt"), doc, "", prompt));
    EXPECT_EQ(TextOf(d.Exchange[0].Master[0].Number.Text), "-1");
    EXPECT_FALSE(doc.modified);
}

}  // namespace
}  // namespace qn410::test
