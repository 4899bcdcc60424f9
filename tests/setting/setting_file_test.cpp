// The setting file: written, read and written again byte for byte; the reader's rules and
// failures by what the user sees and the data left behind; the writer's failures; saving as a
// plain write would; the password line read and written in place, and the work file.
#include "setting/setting_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <random>

#include "setting/password.h"
#include "setting/text_field.h"
#include "setting/work_file.h"
#include "support/random_setting.h"
#include "support/recording_prompt.h"
#include "support/run_as_nobody.h"
#include "support/temp_dir.h"

namespace qn410::test {
namespace {

namespace fs = std::filesystem;
constexpr uid_t kNobody = 65534;

struct stat Stat(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

// path holding "old", with the owner and mode given.
std::string OldFile(const std::string& path, uid_t owner, mode_t mode) {
    WriteAll(path, "old");
    EXPECT_EQ(::chown(path.c_str(), owner, owner), 0);
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    return path;
}

// The default file held as lines (made at the first change), changed in one place, then read
// into doc_; the password line read from path_.
class SettingFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        lines_.clear();
        prompt_.shown.clear();
        password_ = "previous";
    }
    // Index of the n-th line (from 0) that starts with prefix.
    std::size_t Find(const std::string& prefix, int n = 0) {
        if (lines_.empty()) {
            const std::string bytes = FormatSettingFile(SettingDocument().data(), "");
            for (std::size_t at = 0; at < bytes.size(); at = bytes.find('\n', at) + 1)
                lines_.push_back(bytes.substr(at, bytes.find('\n', at) - at));
        }
        for (std::size_t i = 0; i < lines_.size(); ++i)
            if (lines_[i].rfind(prefix, 0) == 0 && n-- == 0) return i;
        ADD_FAILURE() << "no line " << prefix;
        return 0;
    }
    void Set(const std::string& prefix, const std::string& line, int n = 0) {
        lines_[Find(prefix, n)] = line;
    }
    ReadOutcome Read(const char* end = "\n") {
        std::string bytes;
        for (const auto& l : lines_) bytes += l + end;
        doc_.fileName = dir_.file("input.txt");
        WriteAll(doc_.fileName, bytes);
        return ReadSettingFile(doc_.fileName, doc_, password_, prompt_);
    }
    std::string ReadPassword() {
        std::string password = "before";
        qn410::ReadPassword(path_, password, prompt_);
        return password;
    }

    TempDir dir_;
    std::string path_ = dir_.file("qn410.txt");
    std::vector<std::string> lines_;
    SettingDocument doc_;
    std::string password_;
    RecordingPrompt prompt_;
};

// The default data and random data with the longest texts: written, read, written again.
TEST_F(SettingFileTest, WriteReadWriteGivesTheSameDataAndBytes) {
    const char* passwords[] = {"", "a", "Secret12", "\xB1\xB2\xDF pw", "20charactersxxxxxxxx"};
    for (uint32_t seed = 0; seed <= 4; ++seed) {
        SCOPED_TRACE(seed);
        SettingDocument doc, back;
        SettingData& d = doc.data();
        if (seed > 0) {
            FillRandomFileData(d, seed);
            SetText(d.Maintenance.TelNo, std::string(20, '9'));
            SetText(d.RemoteDial.TelNo[4], std::string(32, '8'));
            SetText(d.Exchange[15].Master[3].Name, "\xA1\xB2\xC3\xD4\xDF\xA5\xA6\xA7");
            SetText(d.Dial[15][3][1023].Dial, "1234567890123456");
            SetText(d.Dial[15][3][1023].Shot, "1024");
            d.ShotT[15][3] = 10;
            d.System.OutInZone[15][3] = -1;
            d.Exchange[2].Sub[1].Paging = kZoneMaskBits;
            RefreshTrunkDisplayCopies(d);  // a trunk line may show the renamed master
        }
        const std::string first = dir_.file("first.txt"), second = dir_.file("second.txt");
        ASSERT_TRUE(WriteSettingFile(first, doc, passwords[seed], prompt_));
        ASSERT_EQ(ReadSettingFile(first, back, password_, prompt_), ReadOutcome::Ok);
        EXPECT_EQ(password_, passwords[seed]);
        EXPECT_TRUE(back.data() == d);
        ASSERT_TRUE(WriteSettingFile(second, back, password_, prompt_));
        EXPECT_EQ(ReadAll(first), ReadAll(second));
        EXPECT_TRUE(prompt_.shown.empty());
    }
}

TEST_F(SettingFileTest, LayoutOfTheDefaultFile) {
    const std::string bytes = FormatSettingFile(SettingDocument().data(), "");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 142693);
    EXPECT_EQ(bytes.rfind("Password=00********************\n[Maintenance]\nPcConnect=0\n", 0), 0u);
    for (const char* piece : {
             "\nSwNumber01=10\nSwNumber02=-1\n",
             "\nOutInZone[16-4]=0\n[Function1]\nOutSend=0\nAutoOutSend=0\nStartTime=00:00\n",
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
    EXPECT_EQ(bytes.find('\r'), std::string::npos);
    // The password field: its length, then each byte moved by its place (wrapping at 256).
    EXPECT_EQ(EncodePasswordField("AB1"), "03QRA*****************");
    EXPECT_EQ(DecodePasswordField(EncodePasswordField("\xF5\xA1")), "\xF5\xA1");
}

// A failed read shows the key it missed (or nothing for a malformed password) and leaves the
// default data, no file name, and the password read so far (the old one when it was malformed).
TEST_F(SettingFileTest, FailedReadsShowTheMissingKeyAndLeaveDefaults) {
    const struct {
        const char* prefix;
        std::string line;  // "" cuts the file there
        ReadOutcome outcome;
        const char* key;  // nullptr: no message
    } cases[] = {
        {"[Maintenance]", "Garbage=1", ReadOutcome::MissingKey, "[Maintenance]"},
        {"SwitchCnt=", "switchcnt=3", ReadOutcome::MissingKey, "SwitchCnt="},  // case matters
        {"[Switch03]", "Garbage=1", ReadOutcome::MissingKey, "[Switch03]"},
        {"OutInZone[07-2]=", "Garbage=1", ReadOutcome::MissingKey, "OutInZone[07-2]="},
        {"[Speaker PA16]", "Garbage=1", ReadOutcome::MissingKey, "[Speaker PA16]"},
        {"Dial1024=", "Garbage=1", ReadOutcome::MissingKey, "Dial1024="},
        {"ShotT4=", "Garbage=1", ReadOutcome::MissingKey, "ShotT4="},
        {"TelCnt=", "", ReadOutcome::MissingKey, "TelCnt="},
        {"Password=", "Password=00" + std::string(21, '*'), ReadOutcome::BadPassword, nullptr},
        {"Password=", "Password=21" + std::string(20, '*'), ReadOutcome::BadPassword, nullptr},
        {"Password=", "Password=x1" + std::string(20, '*'), ReadOutcome::BadPassword, nullptr},
        {"Password=", "Password=", ReadOutcome::BadPassword, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        SetUp();
        doc_.data().Exchange[2].Sub[0].Level = 1;  // must not survive the failed read
        if (c.line.empty())
            lines_.resize(Find(c.prefix));
        else
            Set(c.prefix, c.line);
        EXPECT_EQ(Read(), c.outcome);
        EXPECT_TRUE(doc_.data() == SettingDocument().data());
        EXPECT_EQ(doc_.fileName, "");
        EXPECT_EQ(password_, c.key ? "" : "previous");
        if (!c.key) {
            EXPECT_TRUE(prompt_.shown.empty());
            continue;
        }
        ASSERT_EQ(prompt_.shown.size(), 1u);
        EXPECT_EQ(prompt_.shown[0].text, std::string("Incorrect setting file. Key information\n ") +
                                             c.key + " not found.\nDefault Data setting");
        EXPECT_EQ(prompt_.shown[0].icon, PromptIcon::None);
        EXPECT_EQ(prompt_.shown[0].buttons, PromptButtons::Ok);
    }
}

// A key is found anywhere in its line; function headers are not checked, subsection headers
// only by their own part; CR before LF is accepted; values are converted and cut to their
// fields; trunk lines show the masters of this file, which come later in it.
TEST_F(SettingFileTest, ReadRulesForLinesValuesAndReferences) {
    Set("SwitchCnt=", "xxSwitchCnt=3");
    Set("[Function5]", "anything at all");
    Set("[Switch02][Master03]", "[Switch09][Master03]");
    Set("RxMaster01=", "RxMaster01=02-03");
    Set("RxMaster02=", "RxMaster02=0302");
    Set("RxMaster03=", "RxMaster03=-02");
    Set("ScanSub05=", "ScanSub05= 7-x64");
    lines_[Find("[Switch09][Master03]") + 1] = "Number=4455";
    lines_[Find("[Switch09][Master03]") + 2] = "Name=DOOR";
    Set("Number=", "Number=1234567", 0);  // master 1 of exchange 1
    Set("SwNumber02=", "SwNumber02=-1");
    Set("Number=", "Number=abc", 5);   // substation 2
    Set("CallSwNo=", "CallSwNo=258");  // u8 keeps the low 8 bits
    Set("PagingTimeLimit=", "PagingTimeLimit= -45xyz");
    Set("StartTime=", "StartTime=08:30");
    Set("EndTime=", "EndTime=0830");
    Set("Name=", "Name=ABCDEFGHIJKL", 0);  // trunk line name, 8 characters at most
    Set("Shot1=", "Shot1=123456");
    Set("ShotT2=", "ShotT2=10");
    ASSERT_EQ(Read("\r\n"), ReadOutcome::Ok);
    const SettingData& d = doc_.data();
    EXPECT_EQ(d.System.SwitchCnt, 3);
    const TrunkLineSetting& line = d.Exchange[0].Line[0];
    EXPECT_EQ(line.RxMaster[0], (StationEntry{1, 2, 3}));
    EXPECT_EQ(line.RxMaster[1], (StationEntry{2, 0, 0}));
    EXPECT_EQ(line.RxMaster[2], (StationEntry{3, 0, 0}));
    EXPECT_EQ(d.Exchange[0].Master[0].ScanSub[4], (StationEntry{5, 7, 0}));
    EXPECT_EQ(line.RxNumberValue[0], 4455);
    EXPECT_EQ(TextOf(line.RxName[0]), "DOOR");
    EXPECT_EQ(line.RxNumberValue[1], kNoNumber);
    EXPECT_EQ(d.Exchange[0].Master[0].Number.Value, 1234567);
    EXPECT_EQ(TextOf(d.Exchange[0].Master[0].Number.Text), "123456");
    EXPECT_EQ(d.System.SwNumber[1].Value, kNoNumber);
    EXPECT_EQ(TextOf(d.System.SwNumber[1].Text), "-1");
    EXPECT_EQ(d.Exchange[0].Sub[1].Number.Value, 0);
    EXPECT_EQ(TextOf(d.Exchange[0].Sub[1].Number.Text), "abc");
    EXPECT_EQ(d.Exchange[0].Sub[0].CallSwNo, 2);
    EXPECT_EQ(d.Exchange[0].PagingTimeLimit, -45);
    EXPECT_EQ(d.Function[0].StartTime.Value, 8 * 256 + 30);
    EXPECT_EQ(d.Function[0].EndTime.Value, 0);
    EXPECT_EQ(TextOf(d.Exchange[0].Line[0].Name), "ABCDEFGH");
    EXPECT_EQ(TextOf(d.Dial[0][0][0].Shot), "1234");
    EXPECT_EQ(d.ShotT[0][1], 10);

    // Without the door lock block the old door lock times stay; the dial tables are cleared.
    SetUp();
    doc_.data().ShotT[4][2] = 7;
    doc_.data().Dial[3][1][5].SwitchNo = 6;
    Set("Dial1=", "Dial1=555");
    lines_.resize(Find("OneShotMake"));
    ASSERT_EQ(Read(), ReadOutcome::Ok);
    EXPECT_EQ(doc_.data().ShotT[4][2], 7);
    EXPECT_EQ(TextOf(doc_.data().Dial[0][0][0].Dial), "555");
    EXPECT_EQ(doc_.data().Dial[3][1][5], DialEntry{});
    EXPECT_TRUE(prompt_.shown.empty());
}

// A missing file is created with the defaults, but only when the document has a name. The
// defaults restore everything but the zone tables.
TEST_F(SettingFileTest, MissingFileIsCreatedWithDefaults) {
    SettingData& d = doc_.data();
    d.System.SwitchCnt = 9;
    d.Zones.Sub[2][5].Cell[3] = 1;
    d.Exchange[4].Sub[7].Paging = 0x1234;
    d.Dial[1][1][100].Dial[0] = '7';
    d.ShotT[3][3] = 9;
    doc_.fileName = dir_.file("qn410.txt");
    EXPECT_EQ(ReadSettingFile(doc_.fileName, doc_, password_, prompt_), ReadOutcome::OpenFailed);
    EXPECT_TRUE(prompt_.shown.empty());
    EXPECT_EQ(ReadAll(doc_.fileName), FormatSettingFile(d, password_));
    EXPECT_EQ(d.Zones.Sub[2][5].Cell[3], 1);
    d.Zones = SettingDocument().data().Zones;
    EXPECT_TRUE(d == SettingDocument().data());
    doc_.fileName.clear();
    EXPECT_EQ(ReadSettingFile(dir_.file("absent.txt"), doc_, password_, prompt_),
              ReadOutcome::OpenFailed);
    EXPECT_FALSE(fs::exists(dir_.file("absent.txt")));
}

// A save replaces the file, keeps its mode, clears the modified flag and writes a station
// without a number as -1.
TEST_F(SettingFileTest, SaveReplacesTheFileAndKeepsItsMode) {
    const std::string path = dir_.file("site.txt");
    WriteAll(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    doc_.data().Exchange[0].Master[0].Number.Value = kNoNumber;  // its text still says "90"
    doc_.modified = true;
    ASSERT_TRUE(WriteSettingFile(path, doc_, "pw", prompt_));
    EXPECT_FALSE(doc_.modified);
    EXPECT_EQ(TextOf(doc_.data().Exchange[0].Master[0].Number.Text), "-1");
    EXPECT_EQ(ReadAll(path), FormatSettingFile(doc_.data(), "pw"));
    EXPECT_NE(ReadAll(path).find("[Switch01][Master01]\nNumber=-1\nName=90\n"), std::string::npos);
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A write that fails part-way (files limited to 64 KiB), into a folder that does not exist, or
// onto a folder: "Set file Write Error", the old file and the modified flag kept, no temporary
// file left behind.
TEST_F(SettingFileTest, FailedSaveKeepsTheOldFile) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    TempDir dir;
    const std::string target = dir.file("site.txt");
    for (const std::string& path : {target, dir.file("no/such/folder.txt"), std::string()}) {
        SCOPED_TRACE(path);
        prompt_.shown.clear();
        doc_.modified = true;
        WriteAll(target, "the installer's only copy\n");
        rlimit small = old;
        small.rlim_cur = path == target ? 64 * 1024 : old.rlim_cur;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        if (path.empty()) {
            fs::remove(target);
            fs::create_directory(target);
        }
        const bool written = WriteSettingFile(path.empty() ? target : path, doc_, "", prompt_);
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_FALSE(written);
        ASSERT_EQ(prompt_.texts(), std::vector<std::string>{"Set file Write Error"});
        EXPECT_EQ(prompt_.shown[0].icon, PromptIcon::Exclamation);
        EXPECT_TRUE(doc_.modified);
        if (!path.empty()) {
            EXPECT_EQ(ReadAll(target), "the installer's only copy\n");
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "a file was left";
    }
}

TEST_F(SettingFileTest, PasswordStoredReadAndReplacedInPlace) {
    EXPECT_EQ(ReadPassword(), "");  // no file: no password
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
    EXPECT_EQ(ReadPassword(), longest);
    ASSERT_TRUE(WritePassword(path_, ""));
    EXPECT_EQ(ReadAll(path_), before);
    EXPECT_TRUE(prompt_.shown.empty());
    EXPECT_FALSE(WritePassword(dir_.path().string(), "pw"));  // a folder
}

TEST_F(SettingFileTest, PasswordMissingKeyAndMalformedField) {
    WriteAll(path_, "[Maintenance]\nPcConnect=0\n");
    EXPECT_EQ(ReadPassword(), "err02");
    EXPECT_EQ(
        prompt_.texts(),
        std::vector<std::string>{"Incorrect setting file. Key information\n Password= not found."});
    prompt_.shown.clear();
    for (const std::string& field : {std::string("00*******************"),
                                     "2a" + std::string(20, '*'), "21" + std::string(20, '*')}) {
        WriteAll(path_, "Password=" + field + "\n");
        EXPECT_EQ(ReadPassword(), "error") << field;
    }
    EXPECT_TRUE(prompt_.shown.empty());
}

// Every password the dialogs accept reads back unchanged from its line (from a whole file: see
// the setting file's round trip); bytes 0xF0..0xFF are refused (0xFA would read back as a line
// feed).
TEST_F(SettingFileTest, EveryAcceptedPasswordSurvivesItsLine) {
    std::mt19937 random(410);
    for (int round = 0; round < 120; ++round) {
        std::string password(random() % 21, '\0');
        for (char& c : password) c = static_cast<char>(random() % (round % 2 ? 0xF0 : 0x100));
        if (!IsStorablePassword(password)) continue;
        ASSERT_TRUE(WritePassword(path_, password));
        EXPECT_EQ(ReadPassword(), password) << round;
    }
    EXPECT_FALSE(IsStorablePassword("ab\xFA"));
}

// Saving does what writing the file itself would do: through links, keeping owner, mode and hard
// links, refused exactly where the file is not writable, and possible where only the file is.
TEST_F(SettingFileTest, SaveKeepsLinksOwnerModeAndRefusesOnlyWhereAPlainWriteWould) {
    if (!CanRunAsNobody()) GTEST_SKIP() << "needs root and runuser";
    TempDir& dir = dir_;
    fs::permissions(dir.path(), fs::perms::all);  // every user may write the folder
    const std::string defaults = FormatSettingFile(SettingDocument().data(), "");
    const auto saveAsNobody = [](const std::string& path) {
        return RunAsNobody(QN410_SAVE_DEFAULT_FILE, path);
    };

    // Through a symbolic link to the master file, which has another owner and a hard link.
    fs::create_directory(dir.file("master"));
    const std::string master = OldFile(dir.file("master/site.txt"), kNobody, 0640);
    fs::create_symlink("master/site.txt", dir.file("site.txt"));
    fs::create_hard_link(master, dir.file("second.txt"));
    SettingDocument doc;
    ASSERT_TRUE(WriteSettingFile(dir.file("site.txt"), doc, "", prompt_));
    EXPECT_TRUE(fs::is_symlink(dir.file("site.txt")));
    EXPECT_TRUE(ReadAll(master) == defaults && ReadAll(dir.file("second.txt")) == defaults);
    EXPECT_EQ(Stat(master).st_uid, kNobody);
    EXPECT_EQ(Stat(master).st_mode & 07777, 0640u);

    // As an ordinary user: the user's own read-only file is refused and left alone...
    const std::string readOnly = OldFile(dir.file("read-only.txt"), kNobody, 0444);
    EXPECT_EQ(saveAsNobody(readOnly), 1);
    EXPECT_EQ(ReadAll(readOnly), "old");
    // ...root's shared file is saved and stays root's...
    const std::string shared = OldFile(dir.file("shared.txt"), 0, 0666);
    EXPECT_EQ(saveAsNobody(shared), 0);
    EXPECT_TRUE(ReadAll(shared) == defaults);
    EXPECT_EQ(Stat(shared).st_uid, 0u);
    // ...and a writable file in a folder the user may not write is saved in place, cut to length.
    fs::create_directory(dir.file("closed"));
    fs::permissions(dir.file("closed"), static_cast<fs::perms>(0755));
    const std::string inClosed = OldFile(dir.file("closed/site.txt"), 0, 0666);
    WriteAll(inClosed, std::string(2'000'000, 'x'));
    EXPECT_EQ(saveAsNobody(inClosed), 0);
    EXPECT_TRUE(ReadAll(inClosed) == defaults);
    EXPECT_EQ(saveAsNobody(dir.file("closed/new.txt")), 1);  // nothing new can be made there
}

// The work file: created read-only when missing, rewritten although read-only, and rewritten
// with empty names after the message when a key is missing.
TEST_F(SettingFileTest, WorkFile) {
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
