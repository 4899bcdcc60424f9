// The modem conversation at the byte level: a scripted modem answers each command the dialler
// writes, and the transcript of both sides is compared whole.
#include "link/at_dialler.h"

#include <gtest/gtest.h>

#include <map>

namespace qn410 {
namespace {

// Answers by command (without its CR); a command without an entry gets no answer.
using Script = std::map<std::string, std::string>;

struct Modem {
    AtDialler dialler{AtTiming{.answer = 3000, .connect = 60000, .guard = 1000, .dtrLow = 500}};
    Script script;
    std::string transcript;  // ">" what the dialler wrote, "<" what the modem said, "!" notices
    AtMillis now = 0;

    // Runs until the dialler is neither dialling nor hanging up, at most a minute of its time.
    void Drive() {
        for (int guard = 0; guard < 1000; ++guard) {
            Collect();
            if (!dialler.busy()) return;
            now = dialler.NextDeadline().value_or(now + 1);
            dialler.OnTime(now);
        }
    }
    void Collect() {
        for (bool more = true; more;) {
            more = false;
            if (const auto dtr = dialler.TakeDtr()) transcript += *dtr ? "[DTR on]" : "[DTR off]";
            for (const uint16_t code : dialler.TakeNotices())
                transcript += "!" + std::to_string(code - 0x1000) + " ";
            const std::string out = dialler.TakeOutput();
            if (out.empty()) break;
            transcript += ">" + out;
            const std::string command = out.back() == '\r' ? out.substr(0, out.size() - 1) : out;
            if (const auto it = script.find(command); it != script.end()) {
                transcript += "<" + it->second;
                dialler.OnBytes(it->second, now);
                more = true;
            }
        }
    }
};

const Script kGoodModem = {{"ATZ", "ATZ\r\r\nOK\r\n"},  // echo until ATE0
                           {"ATE0", "ATE0\r\r\nOK\r\n"},
                           {"ATD0,12,3", "\r\nCONNECT 19200\r\n\x10\x05"},
                           {"+++", "\r\nOK\r\n"},
                           {"ATH", "\r\nOK\r\n"}};

TEST(AtDialler, PlacesTheCallWithPausesAndHandsOverTheExchangesBytes) {
    Modem m{.script = kGoodModem};
    m.dialler.Dial("0-12-3", 0);
    m.Drive();
    EXPECT_EQ(m.transcript,
              "[DTR on]>ATZ\r<ATZ\r\r\nOK\r\n>ATE0\r<ATE0\r\r\nOK\r\n!1024 >ATD0,12,3\r"
              "<\r\nCONNECT 19200\r\n\x10\x05!2049 ");
    EXPECT_TRUE(m.dialler.connected());
    EXPECT_EQ(m.dialler.TakeData(), "\x10\x05");
    EXPECT_EQ(DialString("12-3-"), "12,3,");
}

// Each way a call fails to come up, with the code it ends in.
TEST(AtDialler, FailureAnswersEndTheAttemptWithTheirCode) {
    const std::pair<const char*, uint16_t> cases[] = {
        {"\r\nBUSY\r\n", kTapiIdle},       {"\r\nNO ANSWER\r\n", kTapiIdle},
        {"\r\nNO CARRIER\r\n", kTapiIdle}, {"\r\nNO DIALTONE\r\n", kTapiNotPlaced},
        {"\r\nERROR\r\n", kTapiNotPlaced}, {nullptr, kTapiNotPlaced},  // no answer to ATD
    };
    for (const auto& [answer, code] : cases) {
        Modem m{.script = kGoodModem};
        m.script.erase("ATD0,12,3");
        if (answer) m.script["ATD0,12,3"] = answer;
        m.dialler.Dial("0-12-3", 0);
        m.Drive();
        EXPECT_EQ(m.dialler.phase(), AtDialler::Phase::Idle) << m.transcript;
        const std::string end = "!" + std::to_string(code - 0x1000) + " ";
        EXPECT_NE(m.transcript.find(end), std::string::npos) << m.transcript;
        // Not answering ATD within the minute and the two pauses: the dial is stopped.
        if (!answer) EXPECT_EQ(m.transcript.substr(m.transcript.size() - 2), ">\r");
        if (!answer) EXPECT_EQ(m.now, 66000);
    }
    Modem silent;  // no modem on the device
    silent.dialler.Dial("1", 0);
    silent.Drive();
    EXPECT_EQ(silent.transcript, "[DTR on]>ATZ\r!2058 ");
    Modem none;
    none.dialler.Dial("", 0);
    none.Drive();
    EXPECT_EQ(none.transcript, "!2058 ");
}

TEST(AtDialler, TheModemsNoCarrierAmongTheDataIsTheLossOfTheCall) {
    Modem m{.script = kGoodModem};
    m.dialler.Dial("0-12-3", 0);
    m.Drive();
    m.dialler.TakeData();
    m.dialler.OnBytes("\x10\x06\r\nNO CARR", 10);
    EXPECT_TRUE(m.dialler.connected());
    m.dialler.OnBytes("IER\r\n", 11);
    EXPECT_EQ(m.dialler.TakeData(), "\x10\x06\r\n");
    EXPECT_EQ(m.dialler.TakeNotices(), std::vector<uint16_t>{kTapiDisconnected});
    EXPECT_EQ(m.dialler.phase(), AtDialler::Phase::Idle);
}

// Without DTR (a pseudo-terminal): a second of silence, "+++", a second of silence, ATH. With
// DTR: dropped for half a second; only a modem that keeps its carrier gets the escape too.
TEST(AtDialler, HangUpOrder) {
    struct Case {
        bool dtrWorks, carrierStays;
        const char* transcript;
        AtMillis escapedAt;
    };
    const Case cases[] = {
        {false, false, ">+++<\r\nOK\r\n>ATH\r<\r\nOK\r\n", 1000},
        {true, false, "[DTR off][DTR on]", -1},
        {true, true, "[DTR off][DTR on]>+++<\r\nOK\r\n>ATH\r<\r\nOK\r\n", 1500},
    };
    for (const Case& c : cases) {
        Modem m{.script = kGoodModem};
        m.dialler.Dial("0-12-3", 0);
        m.Drive();
        m.transcript.clear();
        m.dialler.OnCarrier(c.carrierStays);
        m.dialler.HangUp(0, c.dtrWorks);
        m.Collect();
        m.dialler.OnTime(c.escapedAt < 0 ? 499 : c.escapedAt - 1);  // nothing before its time
        m.Collect();
        EXPECT_EQ(m.transcript.find('+'), std::string::npos);
        m.Drive();
        EXPECT_EQ(m.transcript, c.transcript);
        EXPECT_EQ(m.dialler.phase(), AtDialler::Phase::Idle);
    }
}

}  // namespace
}  // namespace qn410
