// The simulator's own parts: its side of the line with the clock in the test's hands, its storage
// and its options. The tool against the simulator end to end is in tests/link, ctl and gui.
#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <sstream>
#include <tuple>

#include "download_records.h"
#include "exchange_link.h"
#include "link_test_peer.h"
#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "sim_exchange.h"
#include "sim_options.h"
#include "sim_wire.h"
#include "support/random_setting.h"
#include "support/temp_dir.h"
#include "transfer/upload_plan.h"

namespace qn410::sim::test {
namespace {

using namespace std::string_literals;

struct FakeLine : LineWriter {
    void Write(std::string_view bytes) override { written += bytes; }
    std::string written;
};

using qn410::test::kAck, qn410::test::kBid, qn410::test::kEot, qn410::test::kNak;
std::ostringstream traceText;
SimTrace trace(&traceText);
const std::string kLong = FrameOf(std::string(1023, 'x')), kOdd("a\x10\\\x03q", 5);

// Q queues a body of the exchange's; In: the tool's bytes arrive at a time; At: only the clock
// moves. out is what the exchange writes in answer.
struct Step {
    char op;
    Millis at;
    std::string in, out;
};
const auto Q = [](std::string body) { return Step{'Q', 0, body, ""}; };
const auto In = [](Millis at, std::string in, std::string out = "") {
    return Step{'B', at, in, out};
};
const auto At = [](Millis at, std::string out = "") { return Step{'T', at, "", out}; };

struct Script {
    const char* name;
    std::vector<Step> steps;
    // the bodies delivered, then "idle" or "busy" and how many turns' frames were given up
    std::vector<std::string> end;
    LineFaults faults = {};
};

const Script kScripts[] = {
    {"ToolTurnGoodAndBadFrames",
     {In(0, FrameOf("Q00")), In(0, kBid, kAck), In(0, kBid, kAck), In(0, FrameOf(""), kAck),
      In(0, FrameOf("Q00", BodyBcc("Q00") ^ 1), kNak), In(0, qn410::test::PeerFrame(kOdd), kAck),
      In(0, kLong, kAck), In(100, "\x10\x02Q0"), At(1099), At(1100, kNak),
      In(1200, "\x10\x02Q\x10X00\x10\x03"), At(2200, kNak),
      In(2300, FrameOf(std::string(1024, 'x'))), At(3300, kNak), In(3400, FrameOf("Q00"), kAck),
      Q("o01"), At(6399), At(6400), At(6420, kBid)},  // the turn ends 3 s after the answer
     {kOdd, std::string(1023, 'x'), "Q00", "busy"}},
    {"OwnBodiesGoInTurnsOfTheSetSize",
     {Q("o01"), Q("o02"), Q("o03"), At(0, kBid), In(0, kAck, FrameOf("o01")),
      In(0, kAck, FrameOf("o02")), In(0, kAck, kEot + kBid), In(0, kAck, FrameOf("o03")),
      In(0, kAck, kEot)},
     {"idle"}},
    {"UnansweredBidAndRefusedFrameAreSentFourTimesThenDropped",
     {Q("o01"), At(0, kBid), At(2999), At(3000, kBid), In(3100, kNak, kBid), At(6100, kBid),
      At(9100), Q("p01000"), At(9200, kBid), In(9200, kAck, FrameOf("p01000")),
      In(9200, kNak, FrameOf("p01000")), At(12200, FrameOf("p01000")),
      In(12300, kNak, FrameOf("p01000")), In(12400, kNak, kEot)},
     {"idle", "2 dropped"}},
    {"GivesWayOnCrossingBidsAndBidsOnlyAfterTheToolsTurn",
     {Q("z010"), At(0, kBid), In(5, kBid, kAck), In(10, FrameOf("Q00"), kAck), Q("o01"), At(15),
      In(20, kEot, kBid), In(80, kAck, FrameOf("z010"))},
     {"Q00", "busy"}},
    {"InsistFaultKeepsTheBidAfterGivingWayNTimes",
     {Q("o"), At(0, kBid), In(1, kBid, kAck), In(2, kEot, kBid), In(3, kBid)},
     {"busy"},  // the first crossing only
     {.insistAfter = 1}},
    {"RefusedBidsAndFramesAndCorruptedBccFaults",
     {In(0, kBid, kNak), In(0, kBid, kNak), In(0, kBid, kAck), In(0, FrameOf("M011"), kNak),
      In(0, FrameOf("M011"), kAck), Q("o01"), In(0, kEot, kBid),
      In(0, kAck, FrameOf("o01", BodyBcc("o01") ^ 0xFF)), In(0, kNak, FrameOf("o01"))},
     {"M011", "busy"},
     {.refuseBids = 2, .refuseFrames = 1, .corruptBcc = 1}},
    {"DelayedAnswersFault",
     {In(0, kBid), At(499), At(500, kAck), At(3499), At(3500)},  // the turn counts from 500
     {"idle"},
     {.delay = 500}},
    {"LostSentBytesFault", {In(0, kBid, "\x10")}, {"busy"}, {.dropEvery = 2}},
    {"LostReceivedBytesFault", {In(0, kBid)}, {"idle"}, {.dropRxEvery = 2}},
    {"SilentFault", {Q("o01"), In(0, kBid), At(10000)}, {"idle"}, {.silent = true}},
};

TEST(SimLink, WritesAndDelivers) {
    for (const Script& script : kScripts) {
        SCOPED_TRACE(script.name);
        FakeLine line;
        ExchangeLink link(line, trace, {.framesPerTurn = 2}, script.faults);
        std::vector<std::string> received;
        link.SetFrameHandler([&](std::string_view body, Millis) { received.emplace_back(body); });
        for (const Step& step : script.steps) {
            if (step.op == 'Q') link.Queue(step.in);
            if (step.op == 'B') link.OnBytes(step.in, step.at);
            if (step.op != 'Q') link.OnTime(step.at);
            ASSERT_EQ(std::exchange(line.written, {}), step.out) << step.op << " at " << step.at;
        }
        received.push_back(link.Idle() ? "idle" : "busy");
        if (const int n = link.counters().turnsDropped)
            received.push_back(std::to_string(n) + " dropped");
        EXPECT_EQ(received, script.end);
    }
}

const FixedClock kClock(LocalTime{2026, 12, 6, 9, 30, 0, 0});

TEST(SimExchange, RandomDataIsStoredWholeAndDownloadedAsTheToolExpects) {
    SettingDocument source, held;
    qn410::test::FillRandomRecordable(source.data(), 1);
    const int count = source.data().System.SwitchCnt;
    std::vector<std::string> upload[17];  // by exchange, 0 for all
    for (const int exchange : {0, count}) {
        const UploadPlan plan(source.data(), exchange);
        for (int s = 1; s <= plan.size(); ++s)
            if (plan.step(s).letter != '\0')  // not the closing release
                upload[exchange].push_back(*plan.Record(s, &kClock));
    }
    SimExchange up(held.data(), kClock, trace, 0, 3);
    for (const std::string& body : upload[0]) EXPECT_TRUE(up.OnRecord(body, 0).empty());
    EXPECT_EQ(up.storedRecords(), int(upload[0].size()));

    // What it holds, saved as it saves on exit and read back, is what was uploaded.
    qn410::test::TempDir dir;
    SilentPrompt prompt;
    std::string password;
    ASSERT_TRUE(WriteSettingFile(dir.file("saved.txt"), held, "pw", prompt));
    ASSERT_EQ(ReadSettingFile(dir.file("saved.txt"), held, password, prompt), ReadOutcome::Ok);
    EXPECT_EQ(qn410::test::FirstRecordDifference(source.data(), held.data()), std::nullopt);

    SimExchange down(held.data(), kClock, trace, 0, 3);
    for (const int exchange : {0, count}) {
        const std::string request = (exchange < 10 ? "Q0" : "Q") + std::to_string(exchange);
        EXPECT_EQ(down.OnRecord(request, 0), upload[exchange]) << request;
        EXPECT_EQ(int(upload[exchange].size()), ExpectedDownloadCount(held.data(), exchange));
    }
}

TEST(SimExchange, AnswersStatusFaultMonitoringAndDialBlocks) {
    SettingDocument doc;
    doc.data().System.SwitchCnt = 2;
    SimExchange exchange(doc.data(), kClock, trace, 0, 7, StatusFault{2, 3, '0'});
    // Q and T for exchanges not in use, an unknown letter, a record too short to be stored, a
    // stored one, a remote dialing request: no answer.
    for (const std::string body : {"Q03", "T171", "R01", "B011", "M011", "N011        "})
        EXPECT_TRUE(exchange.OnRecord(body, 0).empty()) << body;
    EXPECT_EQ(exchange.OnRecord("T021", 0), std::vector<std::string>{"K02130000300"});
    EXPECT_EQ(exchange.OnRecord("M012", 0), std::vector<std::string>{"z030"});  // once
    EXPECT_TRUE(exchange.OnRecord("M011", 0).empty());
    EXPECT_EQ(exchange.storedRecords(), 3);
    // Monitoring records at the set rate, of every length a record may have and now and then
    // one too long for the tool.
    SimExchange monitor(doc.data(), kClock, trace, 100, 7);
    monitor.OnRecord("P00" + std::string("0100000000000000"), 0);
    std::set<int> lengths;
    for (Millis now = 100; now <= 3000; now += 100)
        for (const std::string& r : monitor.Due(now)) lengths.insert(int(r.size()) - 6);
    EXPECT_GT(lengths.size(), 50u);
    for (const int n : {0, kMaxMonitorData, kMaxMonitorData + 1})
        EXPECT_TRUE(lengths.count(n)) << n;
    // A received door-lock number is kept without its padding or zeros.
    const std::string block = "K01140001301" + std::string("0007") + "12#*" + std::string(12, ' ');
    ASSERT_TRUE(StoreDialBlock(block + "0012", doc.data()));
    EXPECT_EQ(TextOf(doc.data().Dial[0][0][6].Dial), "12#*");
    EXPECT_EQ(TextOf(doc.data().Dial[0][0][6].Shot), "12");
    EXPECT_EQ(doc.data().ShotT[0][0], 4);
    EXPECT_FALSE(StoreDialBlock("K0114000130", doc.data()));   // short
    EXPECT_FALSE(StoreDialBlock("K17140001301", doc.data()));  // no exchange 17
}

TEST(SimOptions, EveryOptionIsReadAndDocumentedAndAWrongOneNamed) {
    const std::string args =
        "--device /dev/ttyUSB0 --config in.txt --save=out.txt --trace - --rate 2.5 --seed 9 "
        "--frames-per-turn 4 --idle-exit 30 --refuse-bids 1 --refuse-frames 2 --corrupt-bcc 3 "
        "--delay 250 --drop-every 7 --drop-rx-every 11 --silent --z-after 5:3:1";
    std::istringstream line(args);
    const ParsedOptions p = ParseOptions(
        {std::istream_iterator<std::string>(line), std::istream_iterator<std::string>()});
    ASSERT_EQ(p.error, "");
    const SimOptions& o = p.options;
    const LineFaults& f = o.faults;
    EXPECT_EQ(std::tie(o.device, o.config, o.save, o.trace),
              std::tuple("/dev/ttyUSB0"s, "in.txt"s, "out.txt"s, "-"s));
    EXPECT_EQ(std::tuple(o.rate, o.seed, o.timing.framesPerTurn, o.idleExit),
              std::tuple(2.5, 9u, 4, std::optional(30.0)));
    EXPECT_EQ(std::tuple(f.refuseBids, f.refuseFrames, f.corruptBcc, f.delay, f.dropEvery,
                         f.dropRxEvery, f.silent),
              std::tuple(1, 2, 3, Millis{250}, 7, 11, true));
    ASSERT_TRUE(o.statusFault);
    EXPECT_EQ(
        std::tuple(o.statusFault->afterRecords, o.statusFault->exchange, o.statusFault->status),
        std::tuple(5, 3, '1'));
    EXPECT_TRUE(!p.help && ParseOptions({"--help"}).help);

    std::istringstream names(args +
                             " --insist-after --modem --modem-fault --ring-time --help SIGUSR1");
    for (std::string name; names >> name;) {
        if (!name.starts_with("--") && name != "SIGUSR1") continue;
        EXPECT_NE(HelpText().find(name.substr(0, name.find('='))), std::string::npos) << name;
    }
    // A wrong command line says what is wrong.
    EXPECT_EQ(ParseOptions({"--bogus"}).error, "unknown option: --bogus");
    EXPECT_EQ(ParseOptions({"--save"}).error, "missing value for --save");
    const std::pair<std::string, std::string> badValues[] = {
        {"--rate", "fast"},     {"--refuse-bids", "-1"},    {"--delay", "10x"},
        {"--idle-exit", "0"},   {"--frames-per-turn", "0"}, {"--z-after", "5:17:0"},
        {"--z-after", "5:3:2"}, {"--z-after", "0:3:0"},     {"--z-after", "5:3"},
        {"--z-after", "a:b:c"}, {"--z-after", "5::0"}};
    for (const auto& [name, value] : badValues)
        EXPECT_EQ(ParseOptions({name, value}).error, "bad value for " + name + ": " + value);
    EXPECT_EQ(ParseOptions({"--silent=yes"}).error, "unknown option: --silent=yes");
}

}  // namespace
}  // namespace qn410::sim::test
