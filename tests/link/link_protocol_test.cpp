// The link engine by the bytes on the wire, its pacing, the engine under two threads (run under
// ThreadSanitizer by scripts/test-tsan.sh), and the modem dialler's conversation.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <thread>

#include "link/at_dialler.h"
#include "link/link_pacer.h"
#include "link_test_peer.h"

namespace qn410::test {
namespace {

// A script is the line's events in order, each with what the tool writes in answer: S submits a
// body, F feeds the exchange's bytes then an empty read, T runs 100 ms ticks (each with an empty
// read), I an empty read, R resets the slot, E a read error.
struct Step {
    char op;
    std::string in, out;
};

struct Script {
    const char* name;
    std::vector<Step> steps;
    // "sent|got|reset|error <wParam in hex> <body>", then where the slot stands
    std::vector<std::string> notices;
};

const std::string kA = PeerFrame("A"), kO = "o03" + std::string(32, '1'),
                  kLong = "o" + std::string(1022, '5');
const auto S = [](std::string body) { return Step{'S', body, ""}; };
const auto I = [](std::string out = "") { return Step{'I', "", out}; };
const auto F = [](std::string in, std::string out = "") { return Step{'F', in, out}; };
const auto T = [](int n, std::string out = "") { return Step{'T', std::to_string(n), out}; };
const auto R = [] { return Step{'R', "", ""}; };
const auto E = [](std::string out = "") { return Step{'E', "", out}; };

const Script kScripts[] = {
    {"OneTurnPerRequestAndARefusedFrameSentAgain",
     {I(), T(100), S("A"), S("B"), I(kBid), F(kAck, kA), F(kNak, kA), F(kAck, kEot + kBid),
      F(kAck, PeerFrame("B")), F(kAck, kEot), T(100)},
     {"sent 101 A", "sent 101 B", "idle"}},
    {"AckOrNakWithoutDleAndCrossingBidAreIgnored",
     {S("A"), I(kBid), F(Bytes({ACK, NAK, 'x', DLE, 'x', ACK})), F(kBid), F(kAck, kA)},
     {"frame sent"}},
    {"FourRefusedBidsEndTheRequestAndTheNextHasOneRefusedBidThenThreeRefusedFrames",
     {S("A"), I(kBid), F(kNak, kBid), F(kNak, kBid), F(kNak, kBid), F(kNak), S("B"), I(kBid),
      F(kNak, kBid), F(kAck, PeerFrame("B")), F(kNak, PeerFrame("B")), F(kNak, PeerFrame("B")),
      F(kNak)},
     {"error 8401 A", "error 8401 B", "idle"}},
    {"BodyOver1019BytesFailsWithoutTouchingTheLine",
     {S(std::string(1020, 'A')), S(kLong.substr(4)), I(), I(kBid),
      F(kAck, PeerFrame(kLong.substr(4)))},
     {"error 8401 " + std::string(1020, 'A'), "frame sent"}},
    {"AbandonInFlightHandsTheRequestBackAndKeepsTheQueue",
     {S("A"), S("B"), I(kBid), F(kAck, kA), R(), F(kAck, kBid)},  // the late ACK is ignored
     {"reset 1 A", "bid sent"}},
    {"OnlyDleEnqOpensATurnAndTwoFramesInOneReadAndTheQueuedRequestAfterIt",
     {F(Bytes({ENQ, DLE, 'x', ENQ, DLE, STX, ENQ})), F(Bytes({DLE, DLE, ENQ}), kAck), S("A"),
      F(PeerFrame("A01") + PeerFrame("B02") + kEot, kAck + kAck + kBid)},
     {"got 201 A01", "got 201 B02", "bid sent"}},
    {"DataBytesThatLookLikeControls",
     {F(kBid, kAck), F(PeerFrame(Bytes({'p', DLE, 'x'})), kAck),
      F(PeerFrame(Bytes({'o', ETX, STX, EOT, ENQ, ACK, NAK})), kAck),
      F(PeerFrame(Bytes({ETX})), kAck),  // its BCC is DLE
      F(PeerFrame(""), kAck),            // acknowledged, delivers nothing
      F(PeerFrame("A01") + kBid, kAck + kAck)},
     {"got 201 p\x10x", "got 201 o\x03\x02\x04\x05\x06\x15", "got 201 \x03", "got 201 A01",
      "turn open"}},
    {"DamagedFramesAreRefusedTheResentOneTakenAndTheFourthRefusalInARowEndsTheTurn",
     {F(kBid, kAck), F(WithBadBcc(PeerFrame(kO)), kNak),
      F(PeerFrame(kO).replace(4, 1, "4"), kNak),  // the body changed, not its BCC
      F(PeerFrame(kO), kAck),                     // a good frame renews the budget
      F(WithBadBcc(kA) + WithBadBcc(kA) + WithBadBcc(kA), kNak + kNak + kNak),
      F(WithBadBcc(kA), kNak)},
     {"got 201 " + kO, "error 8501", "idle"}},
    {"SpoiltFrameIsRefusedAfterOneSecondOfSilenceOrAtOnceOnAReadError",
     {F(kBid, kAck), F(kA.substr(0, 3)), T(9), T(1, kNak),
      F(Bytes({DLE, STX, 'A', DLE, 'x', DLE, ETX, 0})), T(9),
      F("y"),  // bytes after the error postpone the refusal
      T(9), T(1, kNak), F("x"), T(10, kNak), F(kA, kAck), F(kA.substr(0, 3)), E(), T(10, kNak),
      F(kA.substr(0, 5)), E(kNak),    // at once in place of the BCC
      F(Bytes({EOT})), T(10, kNak)},  // EOT without DLE spoils the turn
     {"got 201 A", "turn open"}},
    {"T1SilenceInATurnEndsItQuietlyThenT0RepeatsTheBidAndTheFrameEveryThreeSeconds",
     {F(kBid, kAck), S("A"), T(29), T(1), I(kBid), T(29), T(1, kBid), F(kAck, kA), T(30, kA),
      T(30, kA), T(30)},
     {"error 8401 A", "idle"}},
    {"BodyOf1023BytesFitsAnd1024DoesNotAndAResetForgetsAFrame",
     {F(kBid, kAck), F(PeerFrame(kLong), kAck), F(PeerFrame(kLong + "5")), T(10, kNak),
      F(PeerFrame(kO).substr(0, 12)), R(), F(kO + kEot)},
     {"got 201 " + kLong, "reset 1", "idle"}},
};

TEST(LinkProtocol, WritesAndNotifies) {
    for (const Script& script : kScripts) {
        SCOPED_TRACE(script.name);
        std::string wire;
        std::vector<std::string> notices;
        LinkEngine engine([&](int, const uint8_t* b, size_t n) { wire.append((const char*)b, n); },
                          [&](LinkNotice n) {
                              const char* name = n.message == UM_LINK_SENT       ? "sent"
                                                 : n.message == UM_LINK_RECEIVED ? "got"
                                                 : n.message == UM_LINK_RESET    ? "reset"
                                                                                 : "error";
                              char head[24];
                              std::snprintf(head, sizeof head, "%s %x", name, unsigned(n.wParam));
                              notices.push_back(head + (n.item ? " " + n.item->body : ""));
                          });
        for (const Step& step : script.steps) {
            if (step.op == 'S')
                engine.Enqueue(0,
                               std::make_unique<TransferRequest>(TransferRequest{.body = step.in}));
            for (unsigned char c : step.op == 'F' ? step.in : "") engine.OnByte(0, c);
            for (int i = 0; i < (step.op == 'T' ? std::stoi(step.in) : 0); ++i) {
                engine.Tick();
                engine.OnIdle(0);
            }
            if (step.op == 'R') engine.ResetSlot(0);
            if (step.op == 'E') engine.OnReadError(0);
            if (step.op == 'F' || step.op == 'I' || step.op == 'E') engine.OnIdle(0);
            EXPECT_EQ(std::exchange(wire, {}), step.out)
                << step.op << " " << testing::PrintToString(step.in);
        }
        engine.Inspect(0, [&](const LinkSlot& s) {
            const char* states[] = {"idle", "bid sent", "frame sent", "turn open", "receiving"};
            notices.push_back(s.state < 5 ? states[s.state] : "?");
        });
        EXPECT_EQ(notices, script.notices);
        // Idle and nothing to time: the channel's tick stops, a lost turn's timers included.
        EXPECT_EQ(engine.Busy(), notices.back() != "idle");
    }
}

TEST(LinkPacer, NextBidWaitsForFiveQuietMillisecondsAndAnExchangeBidInThemIsAnswered) {
    std::string wire;
    int ms = 992;  // the tick at 1000 finds the line busy: timers are checked, nothing sent
    const auto at = [&] { return LinkPacer::TimePoint{} + std::chrono::milliseconds(ms); };
    LinkEngine engine([&](int, const uint8_t* b, size_t n) { wire.append((const char*)b, n); },
                      nullptr);
    LinkPacer pacer(engine);
    const auto step = [&](const std::string& in) {
        ++ms;
        pacer.OnRead(reinterpret_cast<const uint8_t*>(in.data()), in.size(), at());
        if (pacer.QuietDue() && *pacer.QuietDue() <= at()) pacer.OnWake(at());
        if (ms % 100 == 0 && pacer.TickNeeded()) pacer.OnTick(at());
        if (!wire.empty()) pacer.OnWrite(at());
        return std::exchange(wire, {});
    };
    for (const char* body : {"A", "B"})
        engine.Enqueue(0, std::make_unique<TransferRequest>(TransferRequest{.body = body}));
    pacer.OnWake(at());
    // Each a millisecond: what the exchange sent, then what the tool wrote.
    const std::string steps[] = {
        kAck, kBid + PeerFrame("A"), kAck, kEot, "", "", "",   "",  "", "", "", "", "", kBid,
        kAck, PeerFrame("B"),        kAck, kEot, "", "", kBid, kAck};
    for (size_t i = 0; i < std::size(steps); i += 2)
        EXPECT_EQ(step(steps[i]), steps[i + 1]) << ms << " ms";
}

// The user-interface thread queues, ticks and resets while the channel thread acknowledges every
// bid and frame, now and then after a read error: both meet in the engine's lock.
TEST(LinkStress, EveryRequestComesBackExactlyOnceUnderTwoThreads) {
    constexpr int kRequests = 2000;
    std::mutex mutex;
    std::vector<int> seen(kRequests);  // times each request came back
    std::string pending;               // written on the channel thread only: a reset writes nothing
    LinkEngine engine(
        [&](int, const uint8_t* b, size_t n) { pending += n > 2 || b[1] == ENQ ? kAck : ""; },
        [&](LinkNotice n) {
            std::lock_guard lock(mutex);
            if (n.item) ++seen[std::stoi(n.item->body)];
        });
    std::atomic<bool> stop{false};
    std::thread channel([&] {
        for (int round = 0; !stop.load(); ++round) {
            for (unsigned char c : std::exchange(pending, {})) engine.OnByte(0, c);
            engine.OnIdle(0);
            if (round % 4 == 0) engine.OnReadError(0);
            std::this_thread::yield();
        }
    });
    for (int i = 0; i < kRequests; ++i) {
        engine.Enqueue(
            0, std::make_unique<TransferRequest>(TransferRequest{.body = std::to_string(i)}));
        if (i % 50 == 0) engine.ResetSlot(0);
        for (int spin = 0; engine.QueueLength(0) > 4; ++spin)
            spin % 64 ? std::this_thread::yield() : engine.Tick();
    }
    stop = true;
    channel.join();
    for (const TransferRequestPtr& r : engine.TakeAll()) ++seen[std::stoi(r->body)];
    EXPECT_EQ(std::ranges::count(seen, 1), kRequests);
}

// The modem conversation by its bytes: ">" what the dialler wrote, "<" the scripted modem's
// answer, DTR changes, "!" notices (code - 0x1000).
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

    void Drive() {
        for (Collect(); dialler.busy(); Collect())
            dialler.OnTime(now = dialler.NextDeadline().value_or(now + 1));
    }
    void Collect() {
        for (std::string out = "-"; !out.empty();) {
            if (const auto dtr = dialler.TakeDtr()) transcript += *dtr ? "[DTR on]" : "[DTR off]";
            for (const uint16_t code : dialler.TakeNotices())
                transcript += "!" + std::to_string(code - 0x1000) + " ";
            out = dialler.TakeOutput();
            transcript += out.empty() ? "" : ">" + out;
            const auto it = script.find(out.ends_with('\r') ? out.substr(0, out.size() - 1) : out);
            if (it == script.end()) continue;
            transcript += "<" + it->second;
            dialler.OnBytes(it->second, now);
        }
    }
};

// The call with its pauses, then each way a call fails to come up: the answers to ATD, an ATD
// without an answer within the minute and the two pauses (stopped with a CR), no modem
// answering ATZ. A call that came up hands over the exchange's bytes until NO CARRIER.
TEST(AtDialler, PlacesTheCallOrEndsTheAttemptWithItsCodeThenHangsUpInOrder) {
    const std::tuple<const char*, const char*, const char*, AtMillis> cases[] = {
        {"", nullptr,
         "[DTR on]>ATZ\r<ATZ\r\r\nOK\r\n>ATE0\r<ATE0\r\r\nOK\r\n!1024 >ATD0,12,3\r"
         "<\r\nCONNECT 19200\r\n\x10\x05!2049 ",
         0},
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
    Modem call;
    call.dialler.Dial("0-12-3", 0);
    call.Drive();
    EXPECT_EQ(call.dialler.TakeData(), "\x10\x05");
    call.dialler.OnBytes("\x10\x06\r\nNO CARR", 10);
    call.dialler.OnBytes("IER\r\n", 11);  // the modem's own answer: the call is lost
    EXPECT_EQ(call.dialler.TakeData(), "\x10\x06\r\n");
    EXPECT_EQ(call.dialler.TakeNotices(), std::vector<uint16_t>{kTapiDisconnected});
    // Without DTR (a pseudo-terminal): the guard time and a quarter of silence, "+++", ATH. With
    // DTR: dropped for half a second; only a modem that keeps its carrier gets the escape too.
    const std::tuple<bool, bool, const char*, AtMillis> hangUps[] = {
        {false, false, ">+++<\r\nOK\r\n>ATH\r<\r\nOK\r\n", 1250},
        {true, false, "[DTR off][DTR on]", 500},
        {true, true, "[DTR off][DTR on]>+++<\r\nOK\r\n>ATH\r<\r\nOK\r\n", 500},
    };
    for (const auto& [dtrWorks, carrierStays, transcript, firstAct] : hangUps) {
        Modem m;
        m.dialler.Dial("0-12-3", 0);
        m.Drive();
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
}  // namespace qn410::test
