// qn410ctl against qn410-sim over pseudo-terminals, the real programs: each command path once
// end to end, and each way a transfer fails, by the words the user sees. One record per
// confirmation, failures and time-outs in detail are the transfer session's tests.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <regex>

#include "setting/setting_compare.h"
#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/child_process.h"
#include "support/passing_numbers.h"
#include "support/random_recordable.h"
#include "support/random_setting.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "transfer/dial_table.h"
#include "transfer/setting_verify.h"

namespace qn410::ctl::test {
namespace {

using qn410::test::ReadAll;
using Data = std::unique_ptr<SettingData>;  // over 2 MB: on the heap
using Env = std::vector<std::pair<std::string, std::string>>;

class CtlPtyTest : public ::testing::Test {
  protected:
    // Random data with station numbers that pass the check: only what the records carry, or
    // anything a file may hold.
    static Data Random(uint32_t seed, int switchCnt, bool recordable = true) {
        auto d = std::make_unique<SettingData>();
        SetDefaults(*d);
        recordable ? qn410::test::FillRandomRecordable(*d, seed)
                   : qn410::test::FillRandomFileData(*d, seed);
        d->System.SwitchCnt = static_cast<uint8_t>(switchCnt);
        qn410::test::MakeStationNumbersPass(*d);
        return d;
    }
    std::string Write(const SettingData& data, const std::string& name) {
        SettingDocument doc;
        doc.data() = data;
        EXPECT_TRUE(WriteSettingFile(dir_.file(name), doc, "", prompt_));
        return dir_.file(name);
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
    // qn410ctl to its end, with both its outputs.
    Ran Run(const std::vector<std::string>& args, const Env& env = {}) {
        const std::string o = dir_.file("stdout"), e = dir_.file("stderr");
        const int out = open(o.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
        const int err = open(e.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
        const pid_t pid = Spawn(QN410CTL_BINARY, args, env, out, err);
        close(out);
        close(err);
        int status = 0;
        waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(o), ReadAll(e)};
    }
    qn410::test::TempDir dir_;
    qn410::test::RecordingPrompt prompt_;
};

// Exchanges holding a random 16-exchange file: a download into a new file brings back every
// carried field; into the file itself it differs only where the records lose something (packed
// lists, cleared stations, tens of seconds), which is what an upload would leave there; verify
// agrees and its trace shows the request's turn. One exchange then goes up over a device path
// and comes back into a base that knows nothing of it. A changed name is what verify names.
TEST_F(CtlPtyTest, DownloadVerifyAndOneExchangeUpAndDown) {
    const std::string site = Write(*Random(7, 16, false), "site.txt");
    const Data held = AsExchangesWouldHold(*Read(site), 0);
    ASSERT_NE(FormatDifferences(CompareSettings(*Read(site), *held)), "");  // something is lost
    {
        Simulator sim({"--config", site, "--idle-exit", "60"});
        const std::string trace = dir_.file("trace.txt");
        const Ran same = Run({"verify", site, "--trace", trace}, sim.env());
        EXPECT_EQ(std::tuple(same.status, same.out), std::tuple(0, ""));
        std::ifstream in(trace);
        for (const char* what :
             {"TX DLE ENQ", "RX DLE ACK", "TX frame \"Q00\"", "RX DLE ACK", "TX DLE EOT"}) {
            std::string line;
            ASSERT_TRUE(std::getline(in, line));
            EXPECT_NE(line.find(what), std::string::npos) << line << " (expected " << what << ')';
        }

        ASSERT_EQ(RunCtl({"download", dir_.file("new.txt")}, sim.env()).status, 0);
        EXPECT_EQ(qn410::test::FirstRecordDifference(*held, *Read(dir_.file("new.txt"))),
                  std::nullopt);
        const ProcessResult based =
            RunCtl({"download", dir_.file("based.txt"), "--base", site}, sim.env());
        ASSERT_EQ(based.status, 0) << based.err;
        EXPECT_EQ(based.err, "");  // no progress line when standard error is not a terminal
        EXPECT_EQ(FormatDifferences(CompareSettings(*held, *Read(dir_.file("based.txt")))), "");

        const Data three = Random(11, 3);
        const std::string file = Write(*three, "three.txt");
        const Env noMap{{"QN410_COM1", "/nonexistent"}};
        ASSERT_EQ(RunCtl({"upload", file, "--exchange", "2", "--port", sim.port()}, noMap).status,
                  0);
        auto base = std::make_unique<SettingData>(*three);
        const SettingDocument defaults;
        base->Exchange[1] = defaults.data().Exchange[1];
        base->Function[1] = defaults.data().Function[1];
        for (auto& mask : base->System.OutInZone[1]) mask = 0;
        for (MasterSetting& m : base->Exchange[2].Master) SetText(m.Name, "OTHER");
        const ProcessResult down = RunCtl({"download", dir_.file("two.txt"), "--exchange=2",
                                           "--port", sim.port(), "--base", Write(*base, "b.txt")});
        ASSERT_EQ(down.status, 0) << down.err;
        EXPECT_TRUE(*Read(dir_.file("two.txt")) == *Read(file));
    }
    auto changed = Read(site);
    int sub = 0;  // the first with a number: only those carry a name
    while (changed->Exchange[0].Sub[sub].Number.Value == kNoNumber) ++sub;
    SetText(changed->Exchange[0].Sub[sub].Name, "CHANGED");
    Simulator sim({"--config", Write(*changed, "changed.txt"), "--idle-exit", "60"});
    const std::string out = Run({"verify", site, "--exchange", "1"}, sim.env()).out;
    const std::string where = "Substations, Exchange 01, Substation " + std::to_string(sub + 1);
    EXPECT_EQ(out.rfind(where + ", Name: \"", 0), 0u) << out;
    EXPECT_NE(out.find("-> \"CHANGED\"\n"), std::string::npos) << out;
}

// Every way the exchange or the line can fail a transfer: the words, exit status 1 and the
// output file untouched. Three refused frames are sent again and the upload succeeds. An
// exchange's report ('z') ends the upload or, when it comes later, the download.
TEST_F(CtlPtyTest, FailedTransfersSayWhyAndWriteNothing) {
    const std::string one = Write(SettingDocument().data(), "one.txt"), out = dir_.file("out");
    const std::string busy = "Exchange No.  3\nNow receiving data so you can't send";
    const struct {
        std::vector<std::string> sim;  // empty: no simulator, a device that is missing
        std::string up, down;          // up empty: the upload succeeds
    } cases[] = {
        {{"--refuse-frames", "3"}, "", ""},
        {{"--refuse-frames", "1000000"}, "Failed to transmit", "Failed to receive"},
        {{}, "Failed to open the device", "Failed to open the device"},
        {{"--silent"}, "Failed to transmit", "Communications time-out"},
        {{"--z-after", "10:3:0"}, busy, busy},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sim.empty() ? "no device" : c.sim.back());
        std::optional<Simulator> sim;
        Env env{{"QN410_COM1", dir_.file("no-such-tty")}};
        if (!c.sim.empty()) {
            auto args = c.sim;
            args.insert(args.end(), {"--idle-exit", "60"});
            env = sim.emplace(args).env();
        }
        const std::string timeout = c.sim.empty() || c.sim[0] != "--silent" ? "20" : "1";
        const ProcessResult up = RunCtl({"upload", one, "--timeout", timeout}, env);
        if (c.up.empty()) {
            EXPECT_EQ(up.status, 0) << up.err;
            continue;
        }
        const bool report = c.up == c.down;  // comes once, during one of the two
        if (!report || up.status != 0) {
            EXPECT_EQ(up.status, 1);
            EXPECT_EQ(up.err, "qn410ctl: " + c.up + "\n");
            if (report) continue;
        }
        qn410::test::WriteAll(out, "kept");
        const ProcessResult down = RunCtl({"download", out, "--timeout", timeout}, env);
        EXPECT_EQ(down.status, 1);
        EXPECT_EQ(down.err, "qn410ctl: " + c.down + "\n");
        EXPECT_EQ(ReadAll(out), "kept");
    }
}

// Every command's exit status and words where no line is needed: the file commands, the
// station check (as upload gives it too), exchanges a file does not have, wrong command lines
// (a time-out is only ever shortened), a named port that leads nowhere.
TEST_F(CtlPtyTest, FileCommandsAndRefusalsByExitStatusAndWords) {
    const Env env{{"QN410_COM1", dir_.file("no-such-tty")}, {"QN410_COM4", dir_.file("no-tty")}};
    const std::string a = dir_.file("a.txt"), out = dir_.file("out.txt"), gone = dir_.file("gone");
    const std::string absent = dir_.file("absent.txt"), pw = dir_.file("password.txt");
    auto d = std::make_unique<SettingData>(SettingDocument().data());
    std::string bytes = FormatSettingFile(*d, "");
    qn410::test::WriteAll(dir_.file("broken.txt"), bytes.replace(bytes.find("SwitchCnt="), 6, "S"));
    qn410::test::WriteAll(pw, "Password=99" + std::string(20, '*') + "\n");
    d->Exchange[0].Master[2].Number = {15, "15"};  // substation 6 has 15
    const std::string dup = Write(*d, "dup.txt");
    d->Exchange[0].Master[2].Number = {92, "92"};
    d->Exchange[0].Line[1].TxNumberOnOff = 1;
    d->Exchange[0].Line[1].TxNumber = 9;
    const std::string trunk = Write(*d, "trunk.txt");
    d->Exchange[0].Line[1].TxNumberOnOff = 0;
    d->System.SwitchCnt = 2;
    d->System.SwNumber[1].Value = 50;
    SetText(d->System.SwNumber[1].Text, "50");
    const std::string block = Write(*d, "block.txt");
    const std::string e = "qn410ctl: ", wrongExchange = e + "Incorrect exchange No.\n";
    const std::string usage = "Usage: qn410ctl upload FILE...";
    const std::string outside = e + block +
                                ": substation 41 of exchange 1 (number 50): number outside its "
                                "exchange's block (code 3)\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err;  // "..." at the end: the text starts so
    } rows[] = {
        {{"new", a}, 0, "", ""},
        {{"copy", a, out}, 0, "", ""},
        {{}, 2, "", "Usage: qn410ctl COMMAND [ARGUMENTS]\n..."},
        {{"--help"}, 0, "Usage: qn410ctl COMMAND [ARGUMENTS]\n...", ""},
        {{"copy", "-h"}, 0, "Usage: qn410ctl copy IN OUT\n...", ""},
        {{"frobnicate"}, 2, "", e + "unknown command 'frobnicate' (see qn410ctl --help)\n"},
        {{"new"}, 2, "", "Usage: qn410ctl new FILE\n"},
        {{"copy", "one"}, 2, "", "Usage: qn410ctl copy IN OUT\n"},
        {{"check", "a", "b"}, 2, "", "Usage: qn410ctl check FILE\n"},
        {{"diff", a}, 2, "", "Usage: qn410ctl diff A B\n"},
        {{"verify"}, 2, "", e + "FILE is missing\nUsage: qn410ctl verify FILE..."},
        {{"download"}, 2, "", e + "OUT is missing\nUsage: qn410ctl download OUT..."},
        {{"upload", "a", "b"}, 2, "", e + "one file only: b\n" + usage},
        {{"upload", "a", "--exchange", "2x"}, 2, "", e + "--exchange takes 1..16\n" + usage},
        {{"upload", "a", "--exchange", "0"}, 2, "", e + "--exchange takes 1..16\n" + usage},
        {{"upload", "a", "--timeout=121"}, 2, "", e + "--timeout takes 1..120\n" + usage},
        {{"upload", "a", "--port"}, 2, "", e + "--port needs a value\n" + usage},
        {{"upload", "a", "--port="}, 2, "", e + "--port needs a value\n" + usage},
        {{"upload", "a", "--modem="}, 2, "", e + "--modem needs a value\n" + usage},
        {{"upload", "a", "--trace="}, 2, "", e + "--trace needs a file\n" + usage},
        {{"upload", "a", "--base", "b"}, 2, "", e + "unknown option --base\n" + usage},
        {{"upload", a, "--port", "COM4"}, 1, "", e + "Failed to open the device\n"},
        {{"copy", dir_.file("broken.txt"), gone}, 1, "", e + "Incorrect setting file. Key..."},
        {{"copy", pw, gone}, 1, "", e + pw + ": the password field is malformed\n"},
        {{"copy", absent, gone}, 1, "", e + absent + ": cannot be opened\n"},
        {{"upload", absent}, 1, "", e + absent + ": cannot be opened\n"},
        {{"check", a}, 0, a + ": station numbers pass the check\n", ""},
        {{"check", dup},
         1,
         "",
         e + dup +
             ": master station 3 of exchange 1 (number 15): duplicate number (code 1), same as "
             "substation 6 of exchange 1\n"},
        {{"check", trunk},
         1,
         "",
         e + trunk +
             ": master station 1 of exchange 1 (number 90): first digit is an active C/O trunk "
             "access digit (code 4)\n"},
        {{"check", block}, 1, "", outside},
        {{"upload", block}, 1, "", outside},
        {{"upload", a, "--exchange", "2"}, 1, "", wrongExchange},
        {{"download", "x", "--exchange", "2", "--base", a}, 1, "", wrongExchange},
        {{"verify", a, "--exchange", "2"}, 1, "", wrongExchange},
        {{"diff", a, out}, 0, "", ""},
        {{"diff", a, dup},
         1,
         "Master Stations (Telephones), Exchange 01, Master 3, Number: \"92\" -> \"15\"\n",
         e + "1 field differs\n"},
    };
    auto matches = [](const std::string& got, const std::string& want) {
        return want.ends_with("...") ? got.starts_with(want.substr(0, want.size() - 3))
                                     : got == want;
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.args));
        const Ran r = Run(row.args, env);
        EXPECT_EQ(r.status, row.status);
        EXPECT_TRUE(matches(r.out, row.out)) << r.out;
        EXPECT_TRUE(matches(r.err, row.err)) << r.err;
    }
    EXPECT_EQ(ReadAll(a), FormatSettingFile(SettingDocument().data(), ""));
    EXPECT_EQ(ReadAll(a), ReadAll(out));
    EXPECT_FALSE(std::filesystem::exists(gone));
    EXPECT_FALSE(std::filesystem::exists(absent));
}

// Ctrl-C (or SIGTERM) abandons the link as the progress dialog's Cancel does: the simulator's
// trace, read through a pipe, shows the tool's bid before the signal goes.
TEST_F(CtlPtyTest, AnInterruptAbandonsTheLinkAndWritesNothing) {
    const std::string one = Write(SettingDocument().data(), "one.txt"), fifo = dir_.file("trace");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int trace = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    Simulator sim({"--silent", "--trace", fifo, "--idle-exit", "60"});
    ASSERT_FALSE(sim.port().empty());
    fcntl(trace, F_SETFL, fcntl(trace, F_GETFL) & ~O_NONBLOCK);
    auto waitForBid = [&] {  // reads the trace until a line tells of DLE ENQ; false after 5 s
        std::string line;
        char c;
        for (pollfd p{trace, POLLIN, 0}; poll(&p, 1, 5000) == 1 && read(trace, &c, 1) == 1;) {
            if (c != '\n')
                line += c;
            else if (line.find("RX stray byte 0x05") != std::string::npos)
                return true;
            else
                line.clear();
        }
        return false;
    };
    for (const int signal : {SIGINT, SIGTERM}) {
        CtlProcess ctl(signal == SIGINT ? std::vector<std::string>{"upload", one}
                                        : std::vector<std::string>{"download", dir_.file("out")},
                       sim.env());
        ASSERT_TRUE(waitForBid());
        ctl.Signal(signal);
        const ProcessResult r = ctl.Finish(5000);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "qn410ctl: interrupted: abandoning the link\n");
        EXPECT_FALSE(std::filesystem::exists(dir_.file("out")));
    }
    close(trace);
}

// Each modem fault ends in the program's text, in seconds. A call lost mid-transfer leaves the
// modem ready for the next: 16 exchanges then go up and come back (--modem names the device).
TEST_F(CtlPtyTest, ModemFaultsEndInTheirTextAndTheNextCallsCarryEverything) {
    auto sent = Random(5, 16);
    sent->Maintenance.PcConnect = 1;
    SetText(sent->Maintenance.TelNo, "0-123");
    const std::string file = Write(*sent, "modem.txt"), back = dir_.file("back.txt");
    for (const auto& [fault, text] : std::vector<std::pair<std::string, std::string>>{
             {"busy", "Failed to open the device"},
             {"no-answer", "Failed to open the device"},
             {"no-dialtone", "Failed to open the device"},
             {"carrier-lost:500", "Failed to transmit"}}) {
        Simulator sim(
            {"--modem", "--ring-time", "100", "--modem-fault", fault, "--idle-exit", "60"});
        const Env env{{"QN410_COM1", "/nonexistent"}, {"QN410_MODEM", sim.port()}};
        const ProcessResult up = RunCtl({"upload", file}, env, 20000);
        EXPECT_EQ(up.status, 1) << fault;
        EXPECT_EQ(up.err, "qn410ctl: " + text + "\n") << fault;
        if (fault.rfind("carrier", 0) != 0) continue;
        ASSERT_EQ(RunCtl({"upload", file}, env).status, 0);
        const ProcessResult down = RunCtl({"download", back, "--base", file, "--modem", sim.port()},
                                          {{"QN410_MODEM", "/nonexistent"}});
        ASSERT_EQ(down.status, 0) << down.err;
        EXPECT_EQ(qn410::test::FirstRecordDifference(*sent, *Read(back)), std::nullopt);
    }
}

// Dial tables of every block shape go up in blocks of ten (positions 1, 0.., 2 or the only block
// 3, each with its entries), as the simulator's trace and its saved table (SIGUSR1 saves at
// once) show, and come back exactly into a base holding stale entries. Every fifth entry is the
// door-lock switch of the one before; the dial texts use every allowed character and length.
TEST_F(CtlPtyTest, DialTablesGoUpInBlocksAndComeBackExactly) {
    const std::string saved = dir_.file("saved.txt"), trace = dir_.file("trace.txt");
    auto fill = [](SettingData& d, int n, uint8_t doorLockTime) {
        d.System.SwitchCnt = 4;
        DialTable& table = d.Dial[1][2];  // master 3 of exchange 2
        const std::string chars = "0123456789Aa*#-";
        for (int i = 0; i < n; ++i) {
            const int sw = i * 997 % kDialCount;  // 997 and 1024 are coprime: all distinct
            std::string dial;
            for (int c = 0; c <= (i * 7) % kDialTextMax; ++c)
                dial += chars[(i + c * 3) % chars.size()];
            SetText(table[sw].Dial, i % 5 == 4 ? kDoorLockMark : dial);
            if (i % 5 != 4) continue;
            SetText(table[sw].Shot, kDoorLockMark);
            SetText(table[(i - 1) * 997 % kDialCount].Shot, std::to_string(sw + 1));
        }
        d.ShotT[1][2] = doorLockTime;
    };
    auto base = std::make_unique<SettingData>(SettingDocument().data());
    fill(*base, 40, 3);
    const std::string baseFile = Write(*base, "base.txt");
    const std::vector<std::string> where{"--exchange", "2", "--master", "3"};
    auto ctl = [&](std::vector<std::string> args, const Simulator& sim) {
        args.insert(args.end(), where.begin(), where.end());
        const ProcessResult r = RunCtl(args, sim.env());
        EXPECT_EQ(r.status, 0) << r.err;
    };
    Simulator sim({"--save", saved, "--trace", trace, "--idle-exit", "60"});
    size_t seen = 0;  // blocks of the earlier tables in the trace
    for (const int n : {0, 1, 10, 11, 25, 1024}) {
        SCOPED_TRACE(n);
        auto sent = std::make_unique<SettingData>(SettingDocument().data());
        fill(*sent, n, static_cast<uint8_t>(1 + n % 9));
        ctl({"dial", "upload", Write(*sent, "sent.txt")}, sim);
        sim.Signal(SIGUSR1);
        ctl({"dial", "download", dir_.file("back.txt"), "--base", baseFile}, sim);
        for (const Data& got : {Read(saved), Read(dir_.file("back.txt"))})
            EXPECT_TRUE(got->Dial[1][2] == sent->Dial[1][2] &&
                        got->ShotT[1][2] == sent->ShotT[1][2]);
        std::vector<std::string> blocks;
        std::ifstream in(trace);
        const std::regex frame("RX frame \"(K.*)\" BCC");
        std::smatch m;
        for (std::string line; std::getline(in, line);)
            if (std::regex_search(line, m, frame)) blocks.push_back(m[1]);
        blocks.erase(blocks.begin(), blocks.begin() + seen);
        seen += blocks.size();
        const std::vector<DialEntry> sendTable = BuildSendTable(sent->Dial[1][2]);
        ASSERT_EQ(static_cast<int>(blocks.size()), n == 0 ? 1 : (n + 9) / 10);
        for (std::size_t b = 0; b < blocks.size(); ++b)  // the K records' bytes are codec tests
            EXPECT_EQ(blocks[b], EncodeDialBlock(2, 3, sent->ShotT[1][2], sendTable, b + 1));
    }
}

// qn410ctl log: one printed line (eight tab-separated columns) and one 51-byte file line per
// record of exchanges 1 and 3, then the request with no exchange selected stops them. A wrong
// command line, an unreadable setting file and a quiet line end the simulator with their codes.
TEST_F(CtlPtyTest, LogCollectsForAWhileThenStopsTheExchanges) {
    Simulator sim({"--rate", "20", "--trace", dir_.file("trace"), "--idle-exit", "30"});
    std::filesystem::create_directory(dir_.path() / "logs");
    const Ran log = Run({"log", "--exchange", "1,3", "--folder", dir_.file("logs"), "--port",
                         sim.port(), "--for", "2"});
    ASSERT_EQ(log.status, 0);
    const std::string& printed = log.out;
    EXPECT_EQ(Simulator({"--rate", "x"}).Wait(), 2);  // meanwhile: anything still coming?
    EXPECT_EQ(Simulator({"--config", dir_.file("missing.txt")}).Wait(), 1);
    EXPECT_EQ(Simulator({"--idle-exit", "1"}).Wait(), 0);
    const std::string trace = ReadAll(dir_.file("trace"));
    const size_t stop = trace.find("RX frame \"O000000000000000000\"");
    ASSERT_NE(stop, std::string::npos);
    EXPECT_EQ(trace.find("TX frame \"o", stop), std::string::npos);
    size_t records = 0;
    for (size_t at = 0; (at = trace.find("TX frame \"o0", at)) != std::string::npos; ++records)
        EXPECT_TRUE(trace[at += 12] == '1' || trace[at] == '3');
    EXPECT_GE(records, 20u);
    const auto files = std::vector(std::filesystem::directory_iterator(dir_.path() / "logs"), {});
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(files[0].path()), records * 51);
    EXPECT_EQ(size_t(std::count(printed.begin(), printed.end(), '\n')), records);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\t'), 7 * long(records));
}

}  // namespace
}  // namespace qn410::ctl::test
