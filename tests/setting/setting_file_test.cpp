// The setting file: byte-for-byte round trips; the reader's rules and failures by what the user
// sees and the data left behind; saving as a plain write would; the password line; the work file.
#include "setting/setting_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <random>

#include "setting/password.h"
#include "setting/setting_compare.h"
#include "setting/text_field.h"
#include "setting/work_file.h"
#include "support/random_setting.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

namespace qn410::test {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
const std::string kKeyMissing = "Incorrect setting file. Key information\n ";

// The default file as lines, changed in places, then read into doc_.
class SettingFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string bytes = FormatSettingFile(SettingDocument().data(), "");
        lines_.clear();
        for (std::size_t at = 0; at < bytes.size(); at = bytes.find('\n', at) + 1)
            lines_.push_back(bytes.substr(at, bytes.find('\n', at) - at));
        prompt_.shown.clear();
        password_ = "previous";
    }
    // The n-th line (from 0) that starts with prefix.
    std::string& Line(const std::string& prefix, int n = 0) {
        for (std::string& line : lines_)
            if (line.starts_with(prefix) && n-- == 0) return line;
        ADD_FAILURE() << "no line " << prefix;
        return lines_[0];
    }
    ReadOutcome Read(const char* end = "\n") {
        std::string bytes;
        for (const auto& l : lines_) bytes += l + end;
        doc_.fileName = path_;
        WriteAll(path_, bytes);
        return ReadSettingFile(path_, doc_, password_, prompt_);
    }

    TempDir dir_;
    std::string path_ = dir_.file("qn410.txt");
    std::vector<std::string> lines_;
    SettingDocument doc_;
    std::string password_;
    RecordingPrompt prompt_;
};

// The default data and random data with the longest texts: written, read and written again to
// the same data and bytes. A station without a number is written as -1 whatever its text says.
TEST_F(SettingFileTest, WriteReadWriteGivesTheSameDataAndBytes) {
    const char* passwords[] = {"", "\xB1\xB2\xDF pw", "20charactersxxxxxxxx"};
    for (uint32_t seed = 0; seed < 3; ++seed) {
        SCOPED_TRACE(seed);
        SettingDocument doc, back;
        SettingData& d = doc.data();
        if (seed > 0) {
            FillRandomFileData(d, seed);
            SetText(d.Maintenance.TelNo, std::string(20, '9'));
            SetText(d.RemoteDial.TelNo[4], std::string(32, '8'));
            d.System.OutInZone[15][3] = -1;
        }
        StationNumber& cleared = d.Exchange[1].Sub[0].Number;
        cleared.Value = kNoNumber;
        SetText(cleared.Text, "77");
        doc.modified = true;
        const std::string first = dir_.file("first.txt"), second = dir_.file("second.txt");
        ASSERT_TRUE(WriteSettingFile(first, doc, passwords[seed], prompt_));
        EXPECT_FALSE(doc.modified);
        EXPECT_EQ(TextOf(cleared.Text), "-1");
        ASSERT_EQ(ReadSettingFile(first, back, password_, prompt_), ReadOutcome::Ok);
        EXPECT_EQ(password_, passwords[seed]);
        EXPECT_TRUE(back.data() == d);
        ASSERT_TRUE(WriteSettingFile(second, back, password_, prompt_));
        EXPECT_EQ(ReadAll(first), ReadAll(second));
    }
    EXPECT_TRUE(prompt_.shown.empty());
    // The default file's layout by excerpts, each a run of whole lines; the first opens the file
    // and the last ends it.
    const std::string bytes = "\n" + FormatSettingFile(SettingDocument().data(), "");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 142694);
    const std::string excerpts = ReadAll(QN410_SETTING_EXCERPTS);
    for (std::size_t at = 0, end = 0; at < excerpts.size(); at = end + 5) {
        end = std::min(excerpts.find("----\n", at), excerpts.size());
        const std::string excerpt = "\n" + excerpts.substr(at, end - at);
        EXPECT_NE(bytes.find(excerpt), std::string::npos) << excerpt;
        EXPECT_TRUE(at > 0 || bytes.starts_with(excerpt)) << excerpt;
        EXPECT_TRUE(end < excerpts.size() || bytes.ends_with(excerpt)) << excerpt;
    }
}

// A failed read shows the key it missed (or nothing for a malformed password) and leaves the
// default data, no file name, and the password read so far (the old one when it was malformed).
// A missing file gives the defaults too, and is made with them when the document has a name.
TEST_F(SettingFileTest, FailedReadsShowTheMissingKeyAndLeaveDefaults) {
    const std::string stars(20, '*');
    const struct {
        const char* prefix;
        std::string line;  // "" cuts the file there
        const char* key;   // nullptr: a malformed password, no message
    } cases[] = {
        {"[Maintenance]", "Garbage=1", "[Maintenance]"},
        {"SwitchCnt=", "switchcnt=3", "SwitchCnt="},  // case matters
        {"[Switch03]", "Garbage=1", "[Switch03]"},
        {"OutInZone[07-2]=", "Garbage=1", "OutInZone[07-2]="},
        {"[Speaker PA16]", "Garbage=1", "[Speaker PA16]"},
        {"Dial1024=", "Garbage=1", "Dial1024="},
        {"ShotT4=", "Garbage=1", "ShotT4="},
        {"TelCnt=", "", "TelCnt="},
        {"Password=", "Password=00*" + stars, nullptr},
        {"Password=", "Password=21" + stars, nullptr},
        {"Password=", "Password=x1" + stars, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        SetUp();
        doc_.data().Exchange[2].Sub[0].Level = 1;  // must not survive the failed read
        std::string& line = Line(c.prefix);
        line = c.line;
        if (c.line.empty()) lines_.resize(&line - lines_.data());
        EXPECT_EQ(Read(), c.key ? ReadOutcome::MissingKey : ReadOutcome::BadPassword);
        EXPECT_TRUE(doc_.data() == SettingDocument().data());
        EXPECT_EQ(doc_.fileName, "");
        EXPECT_EQ(password_, c.key ? "" : "previous");
        EXPECT_EQ(
            prompt_.texts(),
            c.key ? Texts{kKeyMissing + c.key + " not found.\nDefault Data setting"} : Texts{});
        EXPECT_TRUE(prompt_.shown.empty() || prompt_.shown[0].icon == PromptIcon::None);
    }

    fs::remove(path_);
    EXPECT_EQ(ReadSettingFile(path_, doc_, password_, prompt_), ReadOutcome::OpenFailed);
    EXPECT_FALSE(fs::exists(path_));
    SettingData& d = doc_.data();
    d.System.SwitchCnt = 9;
    d.Zones.Sub[2][5].Cell[3] = 1;  // not in the file: left alone
    d.Dial[1][1][100].Dial[0] = '7';
    doc_.fileName = path_;
    EXPECT_EQ(ReadSettingFile(path_, doc_, password_, prompt_), ReadOutcome::OpenFailed);
    EXPECT_EQ(ReadAll(path_), FormatSettingFile(d, password_));
    EXPECT_EQ(d.Zones.Sub[2][5].Cell[3], 1);
    d.Zones = SettingDocument().data().Zones;
    EXPECT_TRUE(d == SettingDocument().data());
}

// A key is found anywhere in its line; function headers are not checked, subsection headers
// only by their own part; CR before LF is accepted; values are cut to their fields; trunk lines
// show the masters of this file, which come later in it.
TEST_F(SettingFileTest, ReadRulesForLinesValuesAndReferences) {
    Line("SwitchCnt=") = "xxSwitchCnt=3";
    Line("[Function5]") = "anything at all";
    std::string* master = &Line("[Switch02][Master03]");
    master[0] = "[Switch09][Master03]";
    master[1] = "Number=4455";
    master[2] = "Name=DOOR";
    Line("RxMaster01=") = "RxMaster01=02-03";
    Line("Number=") = "Number=1234567";  // master 1 of exchange 1
    Line("PagingTimeLimit=") = "PagingTimeLimit= -45xyz";
    Line("StartTime=") = "StartTime=08:30";
    Line("Name=") = "Name=ABCDEFGHIJKL";  // trunk line name, 8 characters at most
    Line("Shot1=") = "Shot1=123456";
    Line("ShotT2=") = "ShotT2=10";
    ASSERT_EQ(Read("\r\n"), ReadOutcome::Ok);
    const SettingData& d = doc_.data();
    const TrunkLineSetting& line = d.Exchange[0].Line[0];
    EXPECT_EQ(line.RxMaster[0], (StationEntry{1, 2, 3}));
    EXPECT_EQ((std::vector<int>{d.System.SwitchCnt, d.Exchange[0].Master[0].Number.Value,
                                d.Exchange[0].PagingTimeLimit, d.Function[0].StartTime.Value,
                                d.ShotT[0][1], line.RxNumberValue[0], line.RxNumberValue[1]}),
              (std::vector<int>{3, 1234567, -45, 8 * 256 + 30, 10, 4455, kNoNumber}));
    EXPECT_EQ((std::vector<std::string_view>{TextOf(d.Exchange[0].Master[0].Number.Text),
                                             TextOf(line.RxName[0]), TextOf(line.Name),
                                             TextOf(d.Dial[0][0][0].Shot)}),
              (std::vector<std::string_view>{"123456", "DOOR", "ABCDEFGH", "1234"}));
}

// A write that fails part-way (files limited to 64 KiB), into a folder that does not exist, or
// onto a folder: "Set file Write Error", the old file and the modified flag kept, no temporary
// file left behind.
TEST_F(SettingFileTest, FailedSaveKeepsTheOldFile) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    for (const std::string& path : {path_, dir_.file("no/such/folder.txt"), std::string()}) {
        SCOPED_TRACE(path);
        prompt_.shown.clear();
        doc_.modified = true;
        WriteAll(path_, "the installer's only copy\n");
        rlimit small = old;
        small.rlim_cur = path == path_ ? 64 * 1024 : old.rlim_cur;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        if (path.empty()) {
            fs::remove(path_);
            fs::create_directory(path_);
        }
        const bool written = WriteSettingFile(path.empty() ? path_ : path, doc_, "", prompt_);
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_FALSE(written);
        ASSERT_EQ(prompt_.texts(), Texts{"Set file Write Error"});
        EXPECT_EQ(prompt_.shown[0].icon, PromptIcon::Exclamation);
        EXPECT_TRUE(doc_.modified);
        EXPECT_TRUE(path.empty() || ReadAll(path_) == "the installer's only copy\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), {}), 1) << "a file was left";
    }
}

// The password line: replaced in place, the rest of the file untouched; every password the
// dialogs accept reads back unchanged, and bytes 0xF0..0xFF are refused (0xFA would read back
// as a line feed); a missing key. (The malformed field: see the shell's start-up tests.)
TEST_F(SettingFileTest, PasswordLine) {
    const auto read = [&] {
        std::string password = "before";
        ReadPassword(path_, password, prompt_);
        return password;
    };
    EXPECT_EQ(read(), "");  // no file: no password
    ASSERT_TRUE(WritePassword(path_, "pw"));
    EXPECT_EQ(ReadAll(path_), "Password=02\x80\x87******************\n");
    ASSERT_TRUE(WriteSettingFile(path_, doc_, "", prompt_));
    const std::string before = ReadAll(path_);
    std::mt19937 random(410);
    for (int round = 0; round < 60; ++round) {
        std::string password(random() % 21, '\0');
        for (char& c : password) c = static_cast<char>(random() % (round % 2 ? 0xF0 : 0x100));
        if (!IsStorablePassword(password)) continue;
        ASSERT_TRUE(WritePassword(path_, password));
        EXPECT_EQ(read(), password) << round;
    }
    EXPECT_FALSE(IsStorablePassword("ab\xFA"));
    ASSERT_TRUE(WritePassword(path_, ""));
    EXPECT_EQ(ReadAll(path_), before);  // only the password line was ever written
    EXPECT_FALSE(WritePassword(dir_.path().string(), "pw"));  // a folder
    EXPECT_TRUE(prompt_.shown.empty());
    WriteAll(path_, "[Maintenance]\nPcConnect=0\n");
    EXPECT_EQ(read(), "err02");
    EXPECT_EQ(prompt_.texts(), Texts{kKeyMissing + "Password= not found."});
}

// Saving does what writing the file itself would do: through links, keeping owner, mode and hard
// links, refused exactly where the file is not writable, and possible where only the file is.
TEST_F(SettingFileTest, SaveKeepsLinksOwnerModeAndRefusesOnlyWhereAPlainWriteWould) {
    // As root every file may be written: the steps of an ordinary user run as "nobody".
    if (::geteuid() != 0 || ::access("/usr/sbin/runuser", X_OK) != 0) GTEST_SKIP() << "needs root";
    constexpr uid_t kNobody = 65534;
    fs::permissions(dir_.path(), fs::perms::all);  // every user may write the folder
    const std::string defaults = FormatSettingFile(SettingDocument().data(), "");
    const auto oldFile = [&](const std::string& name, uid_t owner, mode_t mode) {
        const std::string path = dir_.file(name);
        WriteAll(path, "old");
        EXPECT_EQ(::chown(path.c_str(), owner, owner), 0);
        EXPECT_EQ(::chmod(path.c_str(), mode), 0);
        return path;
    };
    const auto saveAsNobody = [](const std::string& path) {
        const std::string command =
            "runuser -u nobody -- '" QN410_SAVE_DEFAULT_FILE "' '" + path + "'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };

    // Through a symbolic link to a file of another owner, and to a file with a second hard link.
    fs::create_directory(dir_.file("master"));
    const std::string master = oldFile("master/site.txt", kNobody, 0640);
    fs::create_symlink("master/site.txt", dir_.file("site.txt"));
    fs::create_hard_link(oldFile("linked.txt", 0, 0600), dir_.file("second.txt"));
    for (const char* name : {"site.txt", "linked.txt"})
        ASSERT_TRUE(WriteSettingFile(dir_.file(name), doc_, "", prompt_));
    EXPECT_TRUE(fs::is_symlink(dir_.file("site.txt")));
    EXPECT_TRUE(ReadAll(master) == defaults && ReadAll(dir_.file("second.txt")) == defaults);
    struct stat st {};
    ::stat(master.c_str(), &st);
    EXPECT_EQ(st.st_uid, kNobody);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // As an ordinary user: the user's own read-only file is refused and left alone...
    const std::string readOnly = oldFile("read-only.txt", kNobody, 0444);
    EXPECT_EQ(saveAsNobody(readOnly), 1);
    EXPECT_EQ(ReadAll(readOnly), "old");
    // ...root's shared file is saved and stays root's...
    const std::string shared = oldFile("shared.txt", 0, 0666);
    EXPECT_EQ(saveAsNobody(shared), 0);
    EXPECT_TRUE(ReadAll(shared) == defaults);
    ::stat(shared.c_str(), &st);
    EXPECT_EQ(st.st_uid, 0u);
    // ...and a writable file in a folder the user may not write is saved in place, cut to length.
    fs::create_directory(dir_.file("closed"));
    fs::permissions(dir_.file("closed"), static_cast<fs::perms>(0755));
    const std::string inClosed = oldFile("closed/site.txt", 0, 0666);
    WriteAll(inClosed, std::string(2'000'000, 'x'));
    EXPECT_EQ(saveAsNobody(inClosed), 0);
    EXPECT_TRUE(ReadAll(inClosed) == defaults);
    EXPECT_EQ(saveAsNobody(dir_.file("closed/new.txt")), 1);  // nothing new can be made there
}

// The work file, read-only between runs: made when missing, and rewritten with empty names after
// the message when a key is missing.
TEST_F(SettingFileTest, WorkFile) {
    EXPECT_EQ(ReadWorkFile(path_, prompt_).history, "");
    EXPECT_EQ(ReadAll(path_), "[File Name]\nHistory=\nMonitor=\n");
    EXPECT_EQ(fs::status(path_).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_TRUE(prompt_.shown.empty());
    WriteAll(path_ + ".2", "[File Name]\nHistory=HS261206-01.txt\nMonitr=x\n");
    EXPECT_EQ(ReadWorkFile(path_ + ".2", prompt_).history, "");
    EXPECT_EQ(prompt_.texts(), Texts{kKeyMissing + "Monitor= not found.\nDefault Data setting"});
    EXPECT_EQ(ReadAll(path_ + ".2"), "[File Name]\nHistory=\nMonitor=\n");
}

// What qn410ctl diff and verify report: one field changed in each category, found in order.
TEST(SettingCompare, NamesExactlyTheChangedFieldsInCategoryOrder) {
    auto base = std::make_unique<SettingData>(SettingDocument().data());
    FillRandomFileData(*base, 410);
    const auto d = std::make_unique<SettingData>(*base);
    ExchangeSetting* x = d->Exchange;
    const std::pair<const char*, void*> changes[] = {
        {"Global Setting, NumberSize", &d->System.NumberSize},
        {"Call Forwarding/Time-Out, Exchange 03, CallTime", &d->Function[2].CallTime},
        {"Master Stations (Telephones), Exchange 16, Master 4, Name", x[15].Master[3].Name},
        {"Substations, Exchange 01, Substation 50, Level", &x[0].Sub[49].Level},
        {"C/O Trunks, Exchange 02, Line 2, RxMaster03", &x[1].Line[1].RxMaster[2].StationNo},
        {"Scan Monitor, Exchange 05, Master 1, ScanTime", &x[4].Master[0].ScanTime},
        {"Group Call, Exchange 06, Master 2, GroupMaster15",
         &x[5].Master[1].GroupMaster[14].ExchangeNo},
        {"Emergency Conference, Exchange 07, Master 3, MeetCnt", &x[6].Master[2].MeetCnt},
        {"Paging, Exchange 08, Substation 64, Paging", &x[7].Sub[63].Paging},
        {"PC Port, CommPort", &d->Maintenance.CommPort},
        {"Remote Dialing, Number 5, TelNo", d->RemoteDial.TelNo[4]},
        {"Public Address Systems, Exchange 09, Speaker PA16, Paging", &x[8].Speaker[15].Paging},
        {"External Source Distribution, Exchange 10, Source 4, OutInZone",
         &d->System.OutInZone[9][3]},
        {"Direct Select, Exchange 11, OutMode", &d->DirectSelect.OutMode[10]},
        {"Dialing Assignment, Exchange 12, Master 4, Entry 1024, Shot", d->Dial[11][3][1023].Shot},
    };
    for (const auto& [field, at] : changes) *static_cast<char*>(at) ^= 2;  // its first byte
    const auto report = CompareSettings(*base, *d);
    ASSERT_EQ(report.size(), std::size(changes)) << FormatDifferences(report);
    for (size_t i = 0; i < report.size(); ++i)
        EXPECT_EQ(FormatDifference(report[i]).rfind(changes[i].first + std::string(": \""), 0), 0u)
            << FormatDifference(report[i]);
}

}  // namespace
}  // namespace qn410::test
