// The modem conversation at the byte level: a scripted modem answers each command the dialler
// writes, and the transcript of both sides is compared whole.
#include "link/at_dialler.h"

#include <gtest/gtest.h>

#include <map>

namespace qn410 {
namespace {

// ">" what the dialler wrote, "<" what the modem answered, "!" notices (code - 0x1000).
struct Modem {
    AtDialler dialler{AtTiming{.answer = 3000, .connect = 60000, .guard = 1000, .dtrLow = 500}};
    std::map<std::string, std::string> script = {  // by command, without its CR
        {"ATZ", "ATZ\r\r\nOK\r\n"},                // echoed until ATE0
        {"ATE0", "ATE0\r\r\nOK\r\n"},
        {"ATD0,12,3", "\r\nCONNECT 19200\r\n\x10\x05"},
        {"+++", "\r\nOK\r\n"},
        {"ATH", "\r\nOK\r\n"}};
    std::string transcript;
    AtMillis now = 0;

    // Runs until the dialler is neither dialling nor hanging up.
    void Drive() {
        for (Collect(); dialler.busy(); Collect()) {
            now = dialler.NextDeadline().value_or(now + 1);
            dialler.OnTime(now);
        }
    }
    void Collect() {
        for (std::string out = "-"; !out.empty();) {
            if (const auto dtr = dialler.TakeDtr()) transcript += *dtr ? "[DTR on]" : "[DTR off]";
            for (const uint16_t code : dialler.TakeNotices())
                transcript += "!" + std::to_string(code - 0x1000) + " ";
            out = dialler.TakeOutput();
            if (out.empty()) break;
            transcript += ">" + out;
            const auto it = script.find(out.back() == '\r' ? out.substr(0, out.size() - 1) : out);
            if (it == script.end()) continue;
            transcript += "<" + it->second;
            dialler.OnBytes(it->second, now);
        }
    }
};

TEST(AtDialler, PlacesTheCallWithPausesAndHandsOverTheExchangesBytesUntilNoCarrier) {
    Modem m;
    m.dialler.Dial("0-12-3", 0);
    m.Drive();
    EXPECT_EQ(m.transcript,
              "[DTR on]>ATZ\r<ATZ\r\r\nOK\r\n>ATE0\r<ATE0\r\r\nOK\r\n!1024 >ATD0,12,3\r"
              "<\r\nCONNECT 19200\r\n\x10\x05!2049 ");
    EXPECT_EQ(m.dialler.TakeData(), "\x10\x05");
    m.dialler.OnBytes("\x10\x06\r\nNO CARR", 10);
    m.dialler.OnBytes("IER\r\n", 11);  // the modem's own answer: the call is lost
    EXPECT_EQ(m.dialler.TakeData(), "\x10\x06\r\n");
    EXPECT_EQ(m.dialler.TakeNotices(), std::vector<uint16_t>{kTapiDisconnected});
}

// Each way a call fails to come up ends in its notice: the answers to ATD, an ATD without an
// answer within the minute and the two pauses (stopped with a CR), no modem answering ATZ.
TEST(AtDialler, FailureAnswersEndTheAttemptWithTheirCode) {
    const std::tuple<const char*, const char*, const char*, AtMillis> cases[] = {
        {"ATD0,12,3", "\r\nBUSY\r\n", "!2051 ", 0},
        {"ATD0,12,3", "\r\nNO ANSWER\r\n", "!2051 ", 0},
        {"ATD0,12,3", "\r\nNO CARRIER\r\n", "!2051 ", 0},
        {"ATD0,12,3", "\r\nNO DIALTONE\r\n", "!2058 ", 0},
        {"ATD0,12,3", "\r\nERROR\r\n", "!2058 ", 0},
        {"ATD0,12,3", nullptr, "!2058 >\r", 66000},
        {"ATZ", nullptr, "[DTR on]>ATZ\r!2058 ", 3000},
    };
    for (const auto& [command, answer, end, at] : cases) {
        Modem m;
        m.script.erase(command);
        if (answer) m.script[command] = answer;
        m.dialler.Dial("0-12-3", 0);
        m.Drive();
        EXPECT_TRUE(m.transcript.ends_with(end)) << m.transcript;
        EXPECT_EQ(m.now, at);
    }
}

// Without DTR (a pseudo-terminal): the guard time and a quarter of silence, "+++", ATH. With DTR:
// dropped for half a second; only a modem that keeps its carrier gets the escape too.
TEST(AtDialler, HangUpOrder) {
    const std::tuple<bool, bool, const char*, AtMillis> cases[] = {
        {false, false, ">+++<\r\nOK\r\n>ATH\r<\r\nOK\r\n", 1250},
        {true, false, "[DTR off][DTR on]", 500},
        {true, true, "[DTR off][DTR on]>+++<\r\nOK\r\n>ATH\r<\r\nOK\r\n", 500},
    };
    for (const auto& [dtrWorks, carrierStays, transcript, firstAct] : cases) {
        Modem m;
        m.dialler.Dial("0-12-3", 0);
        m.Drive();
        m.transcript.clear();
        m.dialler.OnCarrier(carrierStays);
        m.dialler.HangUp(0, dtrWorks);
        m.dialler.TakeDtr();
        m.dialler.OnTime(firstAct - 1);  // nothing before its time
        EXPECT_EQ(m.dialler.TakeOutput() + (m.dialler.TakeDtr() ? "x" : ""), "");
        m.transcript = dtrWorks ? "[DTR off]" : "";
        m.Drive();
        EXPECT_EQ(m.transcript, transcript);
    }
}

}  // namespace
}  // namespace qn410
