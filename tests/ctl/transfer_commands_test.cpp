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

namespace qn410::ctl::test {
namespace {

using qn410::test::ReadAll;
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

// Random data over four exchanges go up and come back in every carried field, into a new file
// and into the uploaded one (whose other fields stay). What the records carry in another form,
// and all 16 exchanges, are the record tests' business.
TEST_F(TransferCommandsTest, AllExchangesGoUpAndComeBackInEveryCarriedField) {
    const std::string sentFile = Write(*Recordable(7, 4), "sent.txt");
    const Data expected = Read(sentFile);
    Simulator sim({"--idle-exit", "60"});
    ASSERT_FALSE(sim.port().empty());
    const ProcessResult up = RunCtl({"upload", sentFile}, sim.env());
    ASSERT_EQ(up.status, 0) << up.err;
    EXPECT_EQ(up.err, "");  // no progress line when standard error is not a terminal

    const ProcessResult fresh = RunCtl({"download", dir_.file("fresh.txt")}, sim.env());
    ASSERT_EQ(fresh.status, 0) << fresh.err;
    EXPECT_EQ(qn410::test::FirstRecordDifference(*expected, *Read(dir_.file("fresh.txt"))),
              std::nullopt);

    // Into the uploaded file: nothing differs.
    const ProcessResult based =
        RunCtl({"download", dir_.file("based.txt"), "--base", sentFile}, sim.env());
    ASSERT_EQ(based.status, 0) << based.err;
    const Data back = Read(dir_.file("based.txt"));
    EXPECT_EQ(qn410::test::FirstRecordDifference(*expected, *back), std::nullopt);
    EXPECT_TRUE(*back == *expected);
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
// Three refused frames are sent again and succeed; an exchange refusing every frame and a
// missing device fail both ways. (The time-outs are the transfer session's tests.)
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

// qn410-sim itself, driven by qn410ctl, which closes and reopens the device for each transfer:
// SIGUSR1 saves at once, before the line's next bytes, and the simulator carries on; SIGTERM
// saves and ends it; the trace shows the line. A wrong command line, an unreadable setting
// file and a quiet line end it with their exit statuses.
TEST_F(TransferCommandsTest, SimulatorSavesOnSignalsAndTracesTheLine) {
    const Data first = Recordable(3, 2), second = Recordable(4, 2);
    const std::string saved = dir_.file("saved.txt"), trace = dir_.file("trace.txt");
    Simulator sim({"--save", saved, "--trace", trace, "--rate", "0", "--idle-exit", "60"});
    ASSERT_EQ(sim.port().rfind("/dev/pts/", 0), 0u) << sim.port();
    ASSERT_EQ(RunCtl({"upload", Write(*first, "first.txt")}, sim.env()).status, 0);
    sim.Signal(SIGUSR1);
    ASSERT_EQ(RunCtl({"upload", Write(*second, "second.txt")}, sim.env()).status, 0);
    EXPECT_EQ(qn410::test::FirstRecordDifference(*first, *Read(saved)), std::nullopt);
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_EQ(qn410::test::FirstRecordDifference(*second, *Read(saved)), std::nullopt);
    const std::string lines = ReadAll(trace);
    for (const char* line : {"RX DLE ENQ", "TX DLE ACK", "-- saved ", "SIGTERM: stopping"})
        EXPECT_NE(lines.find(line), std::string::npos) << line;

    EXPECT_EQ(Simulator({"--rate", "x"}).Wait(), 2);
    EXPECT_EQ(Simulator({"--config", dir_.file("missing.txt")}).Wait(), 1);
    EXPECT_EQ(Simulator({"--idle-exit", "1"}).Wait(), 0);
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
