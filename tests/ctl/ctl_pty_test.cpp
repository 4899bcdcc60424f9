// qn410ctl against qn410-sim over pseudo-terminals: each command path once, each way a transfer
// fails by the words the user sees; then the progress line.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>

#include "progress_line.h"
#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/child_process.h"
#include "support/random_setting.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "transfer/dial_table.h"
#include "transfer/send_record.h"
#include "transfer/setting_verify.h"

namespace qn410::ctl::test {
namespace {

using namespace qn410::test;
using Data = std::unique_ptr<SettingData>;  // over 2 MB: on the heap

class CtlPtyTest : public ::testing::Test {
  protected:
    // 16 exchanges of what the records carry, or of anything a file holds; numbers that pass.
    static Data Random(uint32_t seed, bool recordable) {
        auto d = std::make_unique<SettingData>(SettingDocument().data());
        recordable ? FillRandomRecordable(*d, seed) : FillRandomFileData(*d, seed);
        d->System.SwitchCnt = 16;
        MakeStationNumbersPass(*d);
        return d;
    }
    std::string Write(const SettingData& data, const std::string& name) {
        WriteAll(name, FormatSettingFile(data, ""));
        return name;
    }
    Data Read(const std::string& path) {
        SettingDocument doc;
        std::string password;
        EXPECT_EQ(ReadSettingFile(path, doc, password, prompt_), ReadOutcome::Ok) << path;
        return std::make_unique<SettingData>(doc.data());
    }
    struct Ran {
        int status;
        std::string out, err;
    };
    Ran Run(const std::vector<std::string>& args, const ChildEnv& env) {
        const int out = open("stdout", O_CREAT | O_WRONLY | O_TRUNC, 0600);
        const int err = open("stderr", O_CREAT | O_WRONLY | O_TRUNC, 0600);
        int status = 0;
        waitpid(Spawn(QN410CTL_BINARY, args, env, out, err), &status, 0);
        close(out);
        close(err);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll("stdout"), ReadAll("stderr")};
    }
    // A simulator with these options (and --idle-exit 60), started at its first use.
    Simulator& Sim(const std::string& options) {
        std::istringstream words(options + " --idle-exit 60");
        const std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
        return sims_.try_emplace(options, args).first->second;
    }
    // Every file of a test, the programs' too, by its name in a folder of its own.
    TempDir dir_;
    const std::filesystem::path home_ = std::filesystem::current_path();
    CtlPtyTest() { std::filesystem::current_path(dir_.path()); }
    ~CtlPtyTest() override { std::filesystem::current_path(home_); }
    RecordingPrompt prompt_;
    std::map<std::string, Simulator> sims_;
};

// Every command by exit status and words, against the simulator of its row ("": none); a row
// naming PORT reaches it only through that argument. A download into a random 16-exchange file
// differs from it only where the records lose something, as an upload would leave it. A call
// lost mid-transfer leaves the modem ready for the next: 16 exchanges go up and come back.
TEST_F(CtlPtyTest, EveryCommandByExitStatusAndWords) {
    const auto siteData = Random(7, false);
    SubSetting& first = siteData->Exchange[0].Sub[0];
    SetNumber(first.Number, 100100);  // only a station with a number has a name
    SetText(first.Name, "OLD");
    const std::string site = Write(*siteData, "site.txt"), onSite = "--config " + site;
    SetText(first.Name, "CHANGED");
    const std::string changed = Write(*siteData, "changed.txt");
    const Data held = AsExchangesWouldHold(*Read(site), 0);
    ASSERT_NE(FormatDifferences(CompareSettings(*Read(site), *held)), "");  // something is lost
    auto sent = Random(5, true);
    sent->Maintenance.PcConnect = 1;
    SetText(sent->Maintenance.TelNo, "0-123");
    const std::string modem = Write(*sent, "modem.txt");

    auto d = std::make_unique<SettingData>(SettingDocument().data());
    const std::string defaults = FormatSettingFile(*d, "");
    WriteAll("broken.txt", std::string(defaults).replace(defaults.find("SwitchCnt="), 6, "S"));
    d->Exchange[0].Master[2].Number = {15, "15"};  // substation 6 has 15
    const std::string dup = Write(*d, "dup.txt");
    const std::string named =
        "Substations, Exchange 01, Substation 1, Name: \"OLD\" -> \"CHANGED\"\n";
    WriteAll("pw", "Password=99" + std::string(20, '*') + "\n");
    WriteAll("kept", "kept");
    const std::string e = "qn410ctl: ", wrongExchange = e + "Incorrect exchange No.\n";
    const std::string usage = "Usage: qn410ctl upload FILE...", opened = e + "Failed to open";
    const std::string dupNamed =
        "Master Stations (Telephones), Exchange 01, Master 3, Number: \"92\" -> \"15\"\n";
    const std::string twice =
        "qn410ctl: dup.txt: master station 3 of exchange 1 (number 15): "
        "duplicate number (code 1), same as substation 6 of exchange 1\n";
    const std::string busy = e + "Exchange No.  3\nNow receiving data so you can't send\n";
    const std::string lost = "--modem --ring-time 100 --modem-fault ",
                      call = lost + "carrier-lost:500";
    const struct {
        std::string sim;
        std::vector<std::string> args;
        int status;
        std::string out, err;  // "..." at the end: the text starts so
    } rows[] = {
        {"", {"new", "a"}, 0, "", ""},
        {"", {"copy", "a", "out"}, 0, "", ""},
        {"", {}, 2, "", "Usage: qn410ctl COMMAND [ARGUMENTS]\n..."},
        {"", {"--help"}, 0, "Usage: qn410ctl COMMAND [ARGUMENTS]\n...", ""},
        {"", {"copy", "-h"}, 0, "Usage: qn410ctl copy IN OUT\n...", ""},
        {"", {"frobnicate"}, 2, "", e + "unknown command 'frobnicate' (see qn410ctl --help)\n"},
        {"", {"new"}, 2, "", "Usage: qn410ctl new FILE\n"},
        {"", {"copy", "one"}, 2, "", "Usage: qn410ctl copy IN OUT\n"},
        {"", {"check", "a", "b"}, 2, "", "Usage: qn410ctl check FILE\n"},
        {"", {"diff", "a"}, 2, "", "Usage: qn410ctl diff A B\n"},
        {"", {"verify"}, 2, "", e + "FILE is missing\nUsage: qn410ctl verify FILE..."},
        {"", {"download"}, 2, "", e + "OUT is missing\nUsage: qn410ctl download OUT..."},
        {"", {"upload", "a", "b"}, 2, "", e + "one file only: b\n" + usage},
        {"", {"upload", "a", "--exchange", "2x"}, 2, "", e + "--exchange takes 1..16\n" + usage},
        {"", {"upload", "a", "--exchange", "0"}, 2, "", e + "--exchange takes 1..16\n" + usage},
        {"", {"upload", "a", "--timeout=121"}, 2, "", e + "--timeout takes 1..120\n" + usage},
        {"", {"upload", "a", "--port"}, 2, "", e + "--port needs a value\n" + usage},
        {"", {"upload", "a", "--port="}, 2, "", e + "--port needs a value\n" + usage},
        {"", {"upload", "a", "--modem="}, 2, "", e + "--modem needs a value\n" + usage},
        {"", {"upload", "a", "--trace="}, 2, "", e + "--trace needs a file\n" + usage},
        {"", {"upload", "a", "--base", "b"}, 2, "", e + "unknown option --base\n" + usage},
        {"", {"upload", "a", "--port", "COM4"}, 1, "", opened + " the device\n"},
        {"", {"upload", "a"}, 1, "", opened + " the device\n"},
        {"", {"download", "kept"}, 1, "", opened + " the device\n"},
        {"", {"copy", "broken.txt", "gone"}, 1, "", e + "Incorrect setting file. Key..."},
        {"", {"copy", "pw", "gone"}, 1, "", e + "pw: the password field is malformed\n"},
        {"", {"copy", "absent", "gone"}, 1, "", e + "absent: cannot be opened\n"},
        {"", {"upload", "absent"}, 1, "", e + "absent: cannot be opened\n"},
        {"", {"check", "a"}, 0, "a: station numbers pass the check\n", ""},
        {"", {"check", dup}, 1, "", twice},
        {"", {"upload", dup}, 1, "", twice},
        {"", {"upload", "a", "--exchange", "2"}, 1, "", wrongExchange},
        {"", {"download", "x", "--exchange", "2", "--base", "a"}, 1, "", wrongExchange},
        {"", {"verify", "a", "--exchange", "2"}, 1, "", wrongExchange},
        {"", {"diff", "a", "out"}, 0, "", ""},
        {"", {"diff", "a", dup}, 1, dupNamed, e + "1 field differs\n"},
        {onSite, {"verify", site, "--trace", "trace"}, 0, "", "..."},
        {onSite, {"download", "new"}, 0, "", ""},
        {onSite, {"download", "based", "--base", site}, 0, "", ""},  // no progress line: no tty
        {onSite, {"upload", changed, "--exchange", "1", "--port", "PORT"}, 0, "", ""},
        {onSite, {"verify", site, "--exchange", "1"}, 1, named, "..."},
        {onSite, {"download", "one", "--exchange=1", "--port", "PORT", "--base", site}, 0, "", ""},
        {"--refuse-frames 3", {"upload", "a"}, 0, "", ""},
        {"--refuse-frames 1000000", {"upload", "a"}, 1, "", e + "Failed to transmit\n"},
        {"--refuse-frames 1000000", {"download", "kept"}, 1, "", e + "Failed to receive\n"},
        {"--silent", {"upload", "a", "--timeout", "1"}, 1, "", e + "Failed to transmit\n"},
        {"--silent", {"download", "kept", "--timeout=1"}, 1, "", e + "Communications time-out\n"},
        {"--z-after 10:3:0", {"upload", "a"}, 1, "", busy},
        {lost + "busy", {"upload", modem}, 1, "", opened + " the device\n"},
        {lost + "no-answer", {"upload", modem}, 1, "", opened + " the device\n"},
        {lost + "no-dialtone", {"upload", modem}, 1, "", opened + " the device\n"},
        {call, {"upload", modem}, 1, "", e + "Failed to transmit\n"},
        {call, {"upload", modem}, 0, "", ""},
        {call, {"download", "back", "--base", modem, "--modem", "PORT"}, 0, "", ""},
    };
    auto matches = [](const std::string& got, const std::string& want) {
        return want.ends_with("...") ? got.starts_with(want.substr(0, want.size() - 3))
                                     : got == want;
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.sim + " " + ::testing::PrintToString(row.args));
        const std::string port = row.sim.empty() ? "no-such-tty" : Sim(row.sim).port();
        auto args = row.args;
        const std::string line = std::ranges::count(args, "PORT") ? "no-such-tty" : port;
        std::ranges::replace(args, std::string("PORT"), port);
        const Ran r =
            Run(args, {{"QN410_COM1", line}, {"QN410_COM4", "no-such-tty"}, {"QN410_MODEM", line}});
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_TRUE(matches(r.out, row.out) && matches(r.err, row.err)) << r.out << r.err;
    }
    EXPECT_EQ(ReadAll("a") + ReadAll("out") + ReadAll("kept"), defaults + defaults + "kept");
    EXPECT_FALSE(std::filesystem::exists("gone") || std::filesystem::exists("absent"));
    const std::regex turn(
        "^.*TX DLE ENQ.*\n.*RX DLE ACK.*\n.*TX frame \"Q00\".*\n.*RX DLE ACK.*\n.*TX DLE EOT");
    EXPECT_TRUE(std::regex_search(ReadAll("trace"), turn)) << ReadAll("trace");
    EXPECT_EQ(FirstRecordDifference(*held, *Read("new")), std::nullopt);
    EXPECT_EQ(FormatDifferences(CompareSettings(*held, *Read("based"))), "");
    // Where it differs from the file, a record could not carry the value: lists go packed, times
    // in tens of seconds, counts and times in two digits; AutoOutSend comes back from the times.
    const std::set<std::string> lossy{"RxMaster", "AutoOutSend",     "CallCnt", "CallTime",
                                      "TalkTime", "PagingTimeLimit", "ScanCnt", "ScanSub",
                                      "GroupCnt", "GroupMaster",     "MeetCnt", "MeetMaster"};
    for (const FieldDifference& d : CompareSettings(*Read(site), *Read("based")))
        EXPECT_TRUE(lossy.contains(d.field.substr(0, d.field.find_last_not_of("0123456789") + 1)))
            << FormatDifference(d);
    const Data oneHeld = AsExchangesWouldHold(*Read(changed), 1);
    EXPECT_EQ(FormatDifferences(CompareSettings(*oneHeld, *Read("one"))), "");
    EXPECT_EQ(FirstRecordDifference(*sent, *Read("back")), std::nullopt);
}

// Ctrl-C (or SIGTERM) abandons the link as the progress dialog's Cancel does: the simulator's
// trace, read through a pipe, shows the tool's bid before the signal goes.
TEST_F(CtlPtyTest, AnInterruptAbandonsTheLinkAndWritesNothing) {
    ASSERT_EQ(mkfifo("trace", 0600), 0);
    const int trace = open("trace", O_RDWR);  // a pipe that opens without a writer
    const Simulator& sim = Sim("--silent --trace trace");
    auto waitForBid = [&, seen = std::string()]() mutable {  // a DLE ENQ traced; false after 5 s
        char c;
        for (pollfd p{trace, POLLIN, 0}; poll(&p, 1, 5000) == 1 && read(trace, &c, 1) == 1;)
            if ((seen += c).ends_with("RX stray byte 0x05")) return true;
        return false;
    };
    const std::pair<int, std::vector<std::string>> runs[] = {
        {SIGINT, {"upload", Write(SettingDocument().data(), "one.txt")}},
        {SIGTERM, {"download", "out"}}};
    for (const auto& [signal, args] : runs) {
        Child ctl(QN410CTL_BINARY, args, sim.env(), true);
        ASSERT_TRUE(waitForBid());
        ctl.Signal(signal);
        std::string err;
        EXPECT_EQ(std::tuple(ctl.Wait(5000, &err), err),
                  std::tuple(1, "qn410ctl: interrupted: abandoning the link\n"));
        EXPECT_FALSE(std::filesystem::exists("out"));
    }
    close(trace);
}

// Dial tables of each block shape go up in blocks of ten (the simulator's trace and saved table
// show it) and come back exactly into a base holding stale entries. Every fifth entry is the
// door-lock switch of the one before; the dial texts use every allowed character and length.
TEST_F(CtlPtyTest, DialTablesGoUpInBlocksAndComeBackExactly) {
    auto fill = [](int n, uint8_t doorLockTime) {
        auto d = std::make_unique<SettingData>(SettingDocument().data());
        d->System.SwitchCnt = 4;
        DialTable& table = d->Dial[1][2];  // master 3 of exchange 2
        const std::string chars = "0123456789Aa*#-0123456789Aa*#-";
        for (int i = 0; i < n; ++i) {
            const int sw = i * 997 % kDialCount;  // 997 and 1024 are coprime: all distinct
            const std::string dial = chars.substr(i % 15, 1 + i % kDialTextMax);
            SetText(table[sw].Dial, i % 5 == 4 ? kDoorLockMark : dial);
            if (i % 5 != 4) continue;
            SetText(table[sw].Shot, kDoorLockMark);
            SetText(table[(i - 1) * 997 % kDialCount].Shot, std::to_string(sw + 1));
        }
        d->ShotT[1][2] = doorLockTime;
        return d;
    };
    const std::string base = Write(*fill(40, 3), "base.txt");
    Simulator& sim = Sim("--save saved.txt --trace trace.txt");
    auto dial = [&](std::vector<std::string> args) {  // master 3 of exchange 2; its words
        args.insert(args.end(), {"--exchange", "2", "--master", "3"});
        return Run(args, sim.env()).err;
    };
    std::string blocks;  // every block of every table, in order
    for (const int n : {0, 1, 10, 11, 25, 1024}) {
        const Data sent = fill(n, static_cast<uint8_t>(1 + n % 9));
        EXPECT_EQ(dial({"dial", "upload", Write(*sent, "sent.txt")}), "") << n;
        sim.Signal(SIGUSR1);
        EXPECT_EQ(dial({"dial", "download", "back.txt", "--base", base}), "") << n;
        for (const Data& got : {Read("saved.txt"), Read("back.txt")})
            EXPECT_TRUE(got->Dial[1][2] == sent->Dial[1][2] &&
                        got->ShotT[1][2] == sent->ShotT[1][2])
                << n;
        const std::vector<DialEntry> sendTable = BuildSendTable(sent->Dial[1][2]);
        for (int b = 1; b <= std::max(1, (n + 9) / 10); ++b)  // their bytes are codec tests
            blocks += EncodeDialBlock(2, 3, sent->ShotT[1][2], sendTable, b).value_or("?") + "\n";
    }
    const std::string log = ReadAll("trace.txt");
    const std::regex frame("RX frame \"(K[^\"]*)\"");
    std::string got;
    for (std::sregex_iterator it(log.begin(), log.end(), frame), end; it != end; ++it)
        got += (*it)[1].str() + "\n";
    EXPECT_EQ(got, blocks);
}

// qn410ctl log: a printed line of eight columns and a 51-byte file line per record of exchanges
// 1 and 3, then the request that stops them. The simulator's exit codes meanwhile.
TEST_F(CtlPtyTest, LogCollectsForAWhileThenStopsTheExchanges) {
    const Simulator& sim = Sim("--rate 20 --trace trace");
    std::filesystem::create_directory("logs");
    const Ran log = Run(
        {"log", "--exchange", "1,3", "--folder", "logs", "--port", sim.port(), "--for", "2"}, {});
    ASSERT_EQ(log.status, 0);
    EXPECT_EQ(Simulator({"--rate", "x"}).Wait(), 2);  // meanwhile: anything still coming?
    EXPECT_EQ(Simulator({"--config", "missing.txt"}).Wait(), 1);
    EXPECT_EQ(Simulator({"--idle-exit", "1"}).Wait(), 0);
    const std::string sent = ReadAll("trace");
    // The request that selects no exchange, and no record after it.
    EXPECT_TRUE(std::regex_search(sent, std::regex("RX frame \"O0{18}\"(?![^]*TX frame \"o)")));
    size_t records = 0;
    for (size_t at = 0; (at = sent.find("TX frame \"o0", at)) != std::string::npos; ++records)
        EXPECT_TRUE(sent[at += 12] == '1' || sent[at] == '3');
    EXPECT_GE(records, 20u);
    const auto files = std::vector(std::filesystem::directory_iterator("logs"), {});
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(std::tuple(std::filesystem::file_size(files[0].path()),
                         std::ranges::count(log.out, '\n'), std::ranges::count(log.out, '\t')),
              std::tuple(records * 51, long(records), 7 * long(records)));
}

// One changed field in each category of a random file is named, in category order (a file
// against itself: the "diff" row of the commands' table).
// An upload of 4 steps with a message in between; blanks wipe a longer line.
TEST(ProgressLine, DrawsTheCategoryAndTheShareDoneInPlace) {
    std::ostringstream out;
    ProgressLine line(&out);
    line.OnProgress(UM_PROGRESS_START, kDisplayTransmitting, "Global Setting", 4);
    line.Break();
    out << "message\n";
    line.Break();  // nothing drawn since: no empty line
    line.OnProgress(UM_PROGRESS_ADVANCE, kDisplayTransmitting, {}, 0);
    line.OnProgress(UM_PROGRESS_STEP, kDisplayTransmitting, "Substations", 0);
    line.OnProgress(UM_PROGRESS_ADVANCE, kDisplayTransmitting, {}, 0);
    line.OnProgress(UM_PROGRESS_STEP, kDisplayTransmitting, "Zone", 0);
    line.OnProgress(UM_PROGRESS_CLOSE, 0, {}, 0);
    EXPECT_EQ(out.str(),
              "\rTransmitting data: Global Setting [0%]\nmessage\n"
              "\rTransmitting data: Global Setting [25%]"
              "\rTransmitting data: Substations [25%]   "
              "\rTransmitting data: Substations [50%]"
              "\rTransmitting data: Zone [50%]       \n");
}

}  // namespace
}  // namespace qn410::ctl::test
