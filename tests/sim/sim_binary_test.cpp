// The real qn410-sim program over a pseudo-terminal, driven by a scripted tool: a small,
// separate implementation of the tool's side of the line. Every wait is bounded by a poll
// time-out; nothing sleeps.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/child_process.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "transfer/record_codec.h"

namespace qn410::sim::test {
namespace {

using qn410::test::ReadAll;
using qn410::test::TempDir;

constexpr int kWaitMs = 5000;
constexpr char kDle = 0x10, kStx = 0x02, kEtx = 0x03, kEot = 0x04, kEnq = 0x05, kAck = 0x06,
               kNak = 0x15;

using SimProcess = ctl::test::Simulator;

// The tool's side: one frame per turn out; any number of frames per turn in.
class ScriptedTool {
  public:
    explicit ScriptedTool(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY);
        termios t{};
        if (fd_ >= 0 && tcgetattr(fd_, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~ScriptedTool() {
        if (fd_ >= 0) close(fd_);
    }
    bool ok() const { return fd_ >= 0; }

    void Write(const std::string& bytes) {
        ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    std::optional<char> Byte() {
        pollfd p{fd_, POLLIN, 0};
        char c;
        if (poll(&p, 1, kWaitMs) != 1 || read(fd_, &c, 1) != 1) return std::nullopt;
        return c;
    }
    // The second byte of the next control pair.
    std::optional<char> Pair() {
        const auto dle = Byte();
        if (dle != kDle) return std::nullopt;
        return Byte();
    }
    static std::string Frame(const std::string& body) {
        char bcc = kDle ^ kEtx;
        for (const char c : body) bcc ^= c;
        return std::string{kDle, kStx} + body + std::string{kDle, kEtx, bcc};
    }
    // Bid, one frame, close: true when both the bid and the frame were acknowledged.
    bool Send(const std::string& body) {
        Write({kDle, kEnq});
        if (Pair() != kAck) return false;
        Write(Frame(body));
        if (Pair() != kAck) return false;
        Write({kDle, kEot});
        return true;
    }
    std::string Take(std::size_t n) {
        std::string bytes;
        while (bytes.size() < n) bytes += Byte().value_or('?');
        return bytes;
    }
    // Takes the exchange's turns until count bodies have come, refusing a frame whose BCC is
    // wrong. A doubled DLE is one data byte.
    std::vector<std::string> Receive(std::size_t count) {
        std::vector<std::string> bodies;
        while (bodies.size() < count && Pair() == kEnq) {
            Write({kDle, kAck});
            while (Pair() == kStx) {
                std::string body;
                std::optional<char> c;
                while ((c = Byte()) && !(*c == kDle && (c = Byte()) == kEtx)) body += *c;
                const bool good = Byte() == Frame(body).back();
                if (good) bodies.push_back(body);
                Write({kDle, good ? kAck : kNak});
            }
        }
        return bodies;
    }

  private:
    int fd_ = -1;
};

TEST(SimBinary, TakesAnUploadAnswersADownloadSurvivesAReopenAndSaves) {
    TempDir dir;
    SimProcess sim({"--save", dir.file("saved.txt"), "--trace", dir.file("trace.txt"), "--rate",
                    "0", "--idle-exit", "20"});
    const std::string path = sim.port();
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;

    SettingDocument sent;
    MasterSetting& desk = sent.data().Exchange[0].Master[1];
    desk.Number.Value = 21;
    SetText(desk.Number.Text, "21");
    SetText(desk.Name, "DESK");
    const std::string master = *Encode('B', {.exchange = 1, .station = 2, .data = &sent.data()});
    {
        ScriptedTool tool(path);
        ASSERT_TRUE(tool.ok());
        ASSERT_TRUE(tool.Send(master));
    }
    // The tool closes and opens the device again, as it does when its port settings change.
    ScriptedTool tool(path);
    ASSERT_TRUE(tool.Send("Q01"));
    const auto records = tool.Receive(145);  // one exchange in use: 141 + 4
    ASSERT_EQ(records.size(), 145u);
    EXPECT_EQ(records[0].substr(0, 3), "A00");
    EXPECT_EQ(records[2], master);
    EXPECT_EQ(records.back().substr(0, 3), "M01");

    // SIGUSR1 saves at once and the simulator carries on.
    qn410::test::RecordingPrompt prompt;
    std::string password;
    sim.Signal(SIGUSR1);
    ASSERT_TRUE(tool.Send("M012"));  // answered after the save: signals come first
    SettingDocument saved;
    ASSERT_EQ(ReadSettingFile(dir.file("saved.txt"), saved, password, prompt), ReadOutcome::Ok);
    EXPECT_EQ(TextOf(saved.data().Exchange[0].Master[1].Name), "DESK");
    EXPECT_EQ(saved.data().DirectSelect.OutMode[0], 0);

    // SIGTERM saves again and ends the simulator.
    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(), 0);
    ASSERT_EQ(ReadSettingFile(dir.file("saved.txt"), saved, password, prompt), ReadOutcome::Ok);
    EXPECT_EQ(TextOf(saved.data().Exchange[0].Master[1].Name), "DESK");
    EXPECT_EQ(saved.data().DirectSelect.OutMode[0], 2);
    const std::string trace = ReadAll(dir.file("trace.txt"));
    EXPECT_NE(trace.find("RX frame \"Q01\" BCC 0x43 good"), std::string::npos) << trace;
    EXPECT_NE(trace.find("TX DLE ENQ"), std::string::npos);
    EXPECT_NE(trace.find("SIGTERM: stopping"), std::string::npos);
}

TEST(SimBinary, FaultsAndIdleExit) {
    SimProcess sim({"--refuse-bids", "1", "--corrupt-bcc", "1", "--idle-exit", "1"});
    const std::string path = sim.port();
    ScriptedTool tool(path);
    ASSERT_TRUE(tool.ok());
    tool.Write({kDle, kEnq});
    EXPECT_EQ(tool.Pair(), kNak);
    ASSERT_TRUE(tool.Send("T011"));
    // The single dialing block comes first with a spoilt BCC, then right.
    ASSERT_EQ(tool.Pair(), kEnq);
    tool.Write({kDle, kAck});
    const std::string good = ScriptedTool::Frame("K01130000300");
    const std::string first = tool.Take(good.size());
    EXPECT_EQ(first.substr(0, good.size() - 1), good.substr(0, good.size() - 1));
    EXPECT_NE(first.back(), good.back());
    tool.Write({kDle, kNak});
    EXPECT_EQ(tool.Take(good.size()), good);
    tool.Write({kDle, kAck});
    EXPECT_EQ(tool.Pair(), kEot);
    EXPECT_EQ(sim.Wait(), 0);  // ends by itself once the line is quiet
}

TEST(SimBinary, WrongCommandLineAndUnreadableSettingFileFail) {
    SimProcess bad({"--rate", "x"});
    EXPECT_EQ(bad.Wait(), 2);
    SimProcess missing({"--config", "/nonexistent/qn410.txt"});
    EXPECT_EQ(missing.Wait(), 1);
}

}  // namespace
}  // namespace qn410::sim::test
