// qn410ctl upload and download, the real programs over a pseudo-terminal: qn410ctl with the
// program's link on one end, qn410-sim on the other.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/child_process.h"
#include "support/passing_numbers.h"
#include "support/random_recordable.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "transfer/station_check.h"

namespace qn410::ctl::test {
namespace {

using qn410::test::ReadAll;
using qn410::test::SetNumber;
using qn410::test::TempDir;

// Random data in the form the records carry, with station numbers that pass the check.
// SettingData is large (over 2 MB): every one of a test lives on the heap.
using Data = std::unique_ptr<SettingData>;

Data Recordable(uint32_t seed, int switchCnt) {
    auto data = std::make_unique<SettingData>();
    qn410::test::FillRandomRecordable(*data, seed);
    data->System.SwitchCnt = static_cast<uint8_t>(switchCnt);
    qn410::test::MakeStationNumbersPass(*data);
    return data;
}

// Values the records cannot carry as they are, each put back by a rule of the records when the
// data come back. Applied to data in the carried form, so the original is the expected result.
void AddLossyValues(SettingData& d) {
    // Member lists travel as the entries in use, packed to the front.
    StationEntry* scan = d.Exchange[2].Master[0].ScanSub;
    for (int k = 0; k < kScanCount; ++k) scan[k] = {static_cast<uint8_t>(k + 1), 0, 0};
    scan[3] = {4, 3, 17};
    scan[9] = {10, 5, 64};
    // A station without a number travels cleared.
    SubSetting& ghost = d.Exchange[1].Sub[5];
    SetNumber(ghost.Number, kNoNumber);
    SetText(ghost.Number.Text, "-1");
    SetText(ghost.Name, "GHOST");
    ghost.Level = 1;
    // Talk time travels in tens of seconds.
    d.Function[3].TalkTime = static_cast<uint16_t>(d.Function[3].TalkTime + 7);
    // Automatic sending is on exactly when a start or end time is set.
    d.Function[4].AutoOutSend = d.Function[4].AutoOutSend ? 0 : 1;
    // Receiving masters travel only while the direct-in line is on.
    TrunkLineSetting& line = d.Exchange[5].Line[0];
    line.RxLine = 0;
    line.RxMaster[0] = {1, 3, 2};
    // An emergency substation cannot be paged: its zones are not sent. A name ends at its first
    // blank.
    SubSetting& emergency = d.Exchange[6].Sub[7];
    SetNumber(emergency.Number, 400107);
    SetText(emergency.Name, "A B");
    emergency.Level = 1;
    emergency.Paging = 5;
}

// What AddLossyValues changes, in the form the exchanges give back.
void ExpectedFromLossy(SettingData& d) {
    StationEntry* scan = d.Exchange[2].Master[0].ScanSub;
    for (int k = 0; k < kScanCount; ++k) scan[k] = {static_cast<uint8_t>(k + 1), 0, 0};
    scan[0] = {1, 3, 17};
    scan[1] = {2, 5, 64};
    SubSetting& ghost = d.Exchange[1].Sub[5];
    SetNumber(ghost.Number, kNoNumber);
    SetText(ghost.Number.Text, "-1");
    SetText(ghost.Name, "");
    ghost.CallSwNo = 2;
    ghost.CallStNo = 1;
    ghost.Level = 0;
    ghost.Paging = 0;
    TrunkLineSetting& line = d.Exchange[5].Line[0];
    line.RxLine = 0;
    for (int k = 0; k < kRxMasterCount; ++k) line.RxMaster[k] = {static_cast<uint8_t>(k + 1), 0, 0};
    SubSetting& emergency = d.Exchange[6].Sub[7];
    SetNumber(emergency.Number, 400107);
    SetText(emergency.Name, "A");
    emergency.Level = 1;
    emergency.Paging = 0;
}

class TransferCommandsTest : public ::testing::Test {
  protected:
    std::string Write(const SettingData& data, const std::string& name) {
        SettingDocument doc;
        doc.data() = data;
        qn410::test::RecordingPrompt prompt;
        const std::string path = dir_.file(name);
        EXPECT_TRUE(WriteSettingFile(path, doc, "", prompt));
        return path;
    }
    Data Read(const std::string& path) {
        SettingDocument doc;
        qn410::test::RecordingPrompt prompt;
        std::string password;
        EXPECT_EQ(ReadSettingFile(path, doc, password, prompt), ReadOutcome::Ok) << path;
        return std::make_unique<SettingData>(doc.data());
    }
    TempDir dir_;
};

TEST_F(TransferCommandsTest, SixteenExchangesGoUpAndComeBackInEveryCarriedField) {
    const Data original = Recordable(7, 16);
    const auto sent = std::make_unique<SettingData>(*original);
    AddLossyValues(*sent);
    ExpectedFromLossy(*original);
    const Data expected = Read(Write(*original, "original.txt"));
    const std::string sentFile = Write(*sent, "sent.txt");
    ASSERT_TRUE(CheckStationNumbers(*sent).ok());
    // The file keeps every lossy value: what changes below, the records change.
    const Data sentBack = Read(sentFile);
    EXPECT_EQ(TextOf(sentBack->Exchange[1].Sub[5].Name), "GHOST");
    EXPECT_EQ(sentBack->Exchange[2].Master[0].ScanSub[9].StationNo, 64);
    EXPECT_EQ(sentBack->Function[3].TalkTime % 10, 7);
    EXPECT_NE(sentBack->Function[4].AutoOutSend, expected->Function[4].AutoOutSend);
    EXPECT_EQ(sentBack->Exchange[5].Line[0].RxMaster[0].StationNo, 2);
    EXPECT_EQ(TextOf(sentBack->Exchange[6].Sub[7].Name), "A B");
    EXPECT_EQ(sentBack->Exchange[6].Sub[7].Paging, 5);

    Simulator sim({"--idle-exit", "60"});
    ASSERT_FALSE(sim.port().empty());
    const ProcessResult up = RunCtl({"upload", sentFile}, sim.env());
    ASSERT_EQ(up.status, 0) << up.err;
    EXPECT_EQ(up.err, "");  // no progress line when standard error is not a terminal

    const ProcessResult fresh = RunCtl({"download", dir_.file("fresh.txt")}, sim.env());
    ASSERT_EQ(fresh.status, 0) << fresh.err;
    EXPECT_EQ(qn410::test::FirstRecordDifference(*expected, *Read(dir_.file("fresh.txt"))),
              std::nullopt);

    // Into the uploaded file: the lossy values, and only they, come back in the carried form.
    const ProcessResult based =
        RunCtl({"download", dir_.file("based.txt"), "--base", sentFile}, sim.env());
    ASSERT_EQ(based.status, 0) << based.err;
    const Data back = Read(dir_.file("based.txt"));
    EXPECT_EQ(qn410::test::FirstRecordDifference(*expected, *back), std::nullopt);
    EXPECT_TRUE(*back == *expected);
}

// On a terminal the upload draws its progress line in place and ends it with the transfer.
TEST_F(TransferCommandsTest, ATerminalSeesTheProgressLine) {
    SettingDocument defaults;
    const std::string file = Write(defaults.data(), "one.txt");
    Simulator sim({"--idle-exit", "60"});
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    const pid_t pid = Spawn(QN410CTL_BINARY, {"upload", file}, sim.env(), -1, terminal);
    close(terminal);
    std::string shown;
    char buffer[4096];
    pollfd p{master, POLLIN, 0};
    // Read until the terminal hangs up (EIO) once the program has ended.
    while (poll(&p, 1, 20000) == 1) {
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0) break;
        shown.append(buffer, static_cast<std::size_t>(n));
    }
    close(master);
    int status = -1;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // The terminal turns each "\n" into "\r\n".
    EXPECT_EQ(shown.rfind("\rTransmitting data: Global Setting [0%]", 0), 0u) << shown;
    EXPECT_NE(shown.find("\rTransmitting data: Substations ["), std::string::npos);
    EXPECT_NE(shown.find("[100%]\r\n"), std::string::npos);
    EXPECT_EQ(shown.find("qn410ctl:"), std::string::npos);
}

// Exchange 2 of 3: its own records and every exchange's master records go up and come back.
TEST_F(TransferCommandsTest, OneExchangeGoesUpAndComesBackOverADevicePath) {
    const Data original = Recordable(11, 3);
    const std::string file = Write(*original, "three.txt");
    Simulator sim({"--idle-exit", "60"});
    ASSERT_FALSE(sim.port().empty());
    const std::vector<std::pair<std::string, std::string>> noMap{{"QN410_COM1", "/nonexistent"}};
    ASSERT_EQ(RunCtl({"upload", file, "--exchange", "2", "--port", sim.port()}, noMap).status, 0);

    // The base knows nothing of exchange 2 and holds other masters.
    const auto base = std::make_unique<SettingData>(*original);
    const SettingDocument defaults;
    base->Exchange[1] = defaults.data().Exchange[1];
    base->Function[1] = defaults.data().Function[1];
    for (auto& mask : base->System.OutInZone[1]) mask = 0;
    for (MasterSetting& m : base->Exchange[2].Master) SetText(m.Name, "OTHER");
    const std::string out = dir_.file("two.txt");
    const ProcessResult down = RunCtl(
        {"download", out, "--exchange=2", "--port", sim.port(), "--base", Write(*base, "b.txt")});
    ASSERT_EQ(down.status, 0) << down.err;
    const Data back = Read(out);
    const Data expected = Read(file);
    EXPECT_EQ(qn410::test::FirstRecordDifference(*expected, *back), std::nullopt);
    EXPECT_TRUE(*back == *expected);
}

// Every way the exchange can fail a transfer: the message, exit status 1, the output untouched.
// Three refused frames are sent again and succeed; a silent exchange, one refusing every frame
// and a missing device fail both ways.
TEST_F(TransferCommandsTest, FailedTransfersReportAndWriteNothing) {
    SettingDocument defaults;
    const std::string file = Write(defaults.data(), "one.txt");
    {
        Simulator sim({"--refuse-frames", "3", "--idle-exit", "60"});
        const ProcessResult up = RunCtl({"upload", file}, sim.env());
        EXPECT_EQ(up.status, 0) << up.err;
    }
    struct Case {
        std::vector<std::string> simArgs;  // empty: no simulator, a device path that is missing
        std::string timeout;
        std::string upload;
        std::string download;
    };
    const Case cases[] = {
        {{"--silent"}, "2", "Failed to transmit", "Communications time-out"},
        {{"--refuse-frames", "1000000"}, "20", "Failed to transmit", "Failed to receive"},
        {{}, "5", "Failed to open the device", "Failed to open the device"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Simulator> sim;
        std::vector<std::pair<std::string, std::string>> env{
            {"QN410_COM2", dir_.file("no-such-tty")}};
        if (!c.simArgs.empty()) {
            std::vector<std::string> args = c.simArgs;
            args.insert(args.end(), {"--idle-exit", "60"});
            sim = std::make_unique<Simulator>(args);
            env = sim->env();
        }
        const std::vector<std::string> port =
            sim ? std::vector<std::string>{} : std::vector<std::string>{"--port", "COM2"};
        auto run = [&](std::vector<std::string> args) {
            args.insert(args.end(), {"--timeout", c.timeout});
            args.insert(args.end(), port.begin(), port.end());
            return RunCtl(args, env);
        };
        const ProcessResult up = run({"upload", file});
        EXPECT_EQ(up.status, 1);
        EXPECT_EQ(up.err, "qn410ctl: " + c.upload + "\n");
        const std::string out = dir_.file("out.txt");
        qn410::test::WriteAll(out, "kept");
        const ProcessResult down = run({"download", out});
        EXPECT_EQ(down.status, 1);
        EXPECT_EQ(down.err, "qn410ctl: " + c.download + "\n");
        EXPECT_EQ(ReadAll(out), "kept");
    }
}

// An exchange that reports it is busy cancels the transfer under way: the simulator queues its
// report after ten stored records, so it reaches the upload or, at the latest, the download.
TEST_F(TransferCommandsTest, AnExchangeThatIsBusyCancelsTheTransfer) {
    SettingDocument defaults;
    const std::string file = Write(defaults.data(), "one.txt");
    const std::string busy = "qn410ctl: Exchange No.  3\nNow receiving data so you can't send\n";
    Simulator sim({"--z-after", "10:3:0", "--idle-exit", "60"});
    const ProcessResult up = RunCtl({"upload", file}, sim.env());
    if (up.status != 0) {
        EXPECT_EQ(up.status, 1);
        EXPECT_EQ(up.err, busy);
        return;
    }
    const std::string out = dir_.file("out.txt");
    const ProcessResult down = RunCtl({"download", out}, sim.env());
    EXPECT_EQ(down.status, 1);
    EXPECT_EQ(down.err, busy);
    EXPECT_FALSE(std::filesystem::exists(out));
}

// The simulator's trace through a pipe: lines as the simulator writes them.
class TraceReader {
  public:
    explicit TraceReader(const std::string& path) {
        if (mkfifo(path.c_str(), 0600) == 0) fd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    }
    ~TraceReader() {
        if (fd_ >= 0) close(fd_);
    }
    // Call once the simulator runs (it opens the trace before it prints its port).
    void Block() { fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK); }
    // Reads until a line holds text; false after 5 s without it.
    bool WaitFor(const std::string& text) {
        char c;
        pollfd p{fd_, POLLIN, 0};
        while (poll(&p, 1, 5000) == 1 && read(fd_, &c, 1) == 1) {
            if (c != '\n') {
                line_ += c;
                continue;
            }
            const bool found = line_.find(text) != std::string::npos;
            line_.clear();
            if (found) return true;
        }
        return false;
    }

  private:
    int fd_ = -1;
    std::string line_;
};

// Ctrl-C abandons the link as the progress dialog's Cancel does, at the next tick.
TEST_F(TransferCommandsTest, AnInterruptAbandonsTheLinkAndWritesNothing) {
    SettingDocument defaults;
    const std::string file = Write(defaults.data(), "one.txt");
    TraceReader trace(dir_.file("trace"));
    Simulator sim({"--silent", "--trace", dir_.file("trace"), "--idle-exit", "60"});
    ASSERT_FALSE(sim.port().empty());
    trace.Block();
    for (const bool upload : {true, false}) {
        const std::string out = dir_.file("out.txt");
        CtlProcess ctl(upload ? std::vector<std::string>{"upload", file}
                              : std::vector<std::string>{"download", out},
                       sim.env());
        ASSERT_TRUE(trace.WaitFor("RX stray byte 0x05"));  // the tool bids (DLE ENQ)
        ctl.Signal(upload ? SIGINT : SIGTERM);
        const ProcessResult r = ctl.Finish(5000);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "qn410ctl: interrupted: abandoning the link\n");
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

// Refusals that need no line: the device named would not even open.
TEST_F(TransferCommandsTest, UploadRefusesBadFilesNumbersAndExchanges) {
    const std::vector<std::pair<std::string, std::string>> env{
        {"QN410_COM1", dir_.file("no-such-tty")}};
    SettingDocument defaults;
    const std::string one = Write(defaults.data(), "one.txt");
    ProcessResult r = RunCtl({"upload", one, "--exchange", "2"}, env);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "qn410ctl: Incorrect exchange No.\n");

    // Sixteen exchanges of default numbers: the check's own words, as qn410ctl check gives them.
    const auto sixteen = std::make_unique<SettingData>(defaults.data());
    sixteen->System.SwitchCnt = 16;
    const std::string bad = Write(*sixteen, "sixteen.txt");
    r = RunCtl({"upload", bad}, env);
    EXPECT_EQ(r.status, 1);
    const ProcessResult check = RunCtl({"check", bad});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(r.err, check.err);

    r = RunCtl({"upload", dir_.file("missing.txt")}, env);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "qn410ctl: " + dir_.file("missing.txt") + ": cannot be opened\n");
    EXPECT_EQ(RunCtl({"upload"}, env).status, 2);
    EXPECT_EQ(RunCtl({"download", "a", "--exchange", "17"}, env).status, 2);
}

}  // namespace
}  // namespace qn410::ctl::test
