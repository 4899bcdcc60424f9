// The simulated exchanges against the tool's own link engine, in-process on a wire whose clock
// the test advances (5 ms a step, the engine's tick every 100 ms). Random data uploaded through
// line faults is stored whole and survives the saved file; downloads then give exactly the
// records, in the order and number the tool expects. The faults cost time, never data.
#include "sim_exchange.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "download_records.h"
#include "exchange_link.h"
#include "link/link_engine.h"
#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/random_recordable.h"
#include "support/temp_dir.h"
#include "transfer/upload_plan.h"

namespace qn410::sim::test {
namespace {

const FixedClock kClock(LocalTime{2026, 12, 6, 9, 30, 0, 0});

struct Wire : LineWriter {
    Wire(SettingData& held, LineFaults faults)
        : link(*this, trace, {}, faults), exchanges(held, kClock, trace, 0, 3) {
        link.SetFrameHandler([this](std::string_view body, Millis now) {
            for (std::string& reply : exchanges.OnRecord(body, now)) link.Queue(std::move(reply));
        });
    }
    void Write(std::string_view bytes) override { toTool += bytes; }
    void Send(const std::string& body) {
        engine.Enqueue(0, std::make_unique<TransferRequest>(TransferRequest{.body = body}));
    }
    // Steps until count notices have come or ten minutes of line time have passed.
    void Run(size_t count) {
        for (const Millis end = now + 600000; notices.size() < count && now < end; now += 5) {
            link.OnBytes(std::exchange(toSim, {}), now);
            for (const char c : std::exchange(toTool, {})) engine.OnByte(0, uint8_t(c));
            engine.OnIdle(0);
            link.OnTime(now);
            if (now % 100 == 0) engine.Tick();
        }
    }

    std::ostringstream text;
    SimTrace trace{&text};
    ExchangeLink link;
    SimExchange exchanges;
    std::string toSim, toTool;
    std::vector<std::string> notices;  // "sent <body>", "got <body>" or "error"
    LinkEngine engine{
        [this](int, const uint8_t* b, size_t n) { toSim.append((const char*)b, n); },
        [this](LinkNotice n) {
            const bool ok = n.message == UM_LINK_SENT || n.message == UM_LINK_RECEIVED;
            notices.push_back(!ok ? "error"
                                  : (n.message == UM_LINK_SENT ? "sent " : "got ") + n.item->body);
        }};
    Millis now = 0;
};

TEST(SimExchange, RandomDataGoesUpWholeAndComesBackAsTheToolExpects) {
    for (const uint32_t seed : {1u, 2u}) {
        SettingDocument source, held, reread;
        qn410::test::FillRandomRecordable(source.data(), seed);
        const int count = source.data().System.SwitchCnt;
        // One refused bid and one refused frame use two of the first request's three repeats;
        // now and then a lost acknowledgement makes the tool repeat a frame.
        Wire up(held.data(), {.refuseBids = 1, .refuseFrames = 1, .delay = 40, .dropEvery = 53});
        std::vector<std::string> upload[17];  // by exchange, 0 for all
        for (const int exchange : {0, count}) {
            const UploadPlan plan(source.data(), exchange);
            for (int s = 1; s <= plan.size(); ++s)
                if (plan.step(s).letter != '\0')
                    upload[exchange].push_back(*plan.Record(s, &kClock));
        }
        std::vector<std::string> expected;
        for (const std::string& body : upload[0]) {
            up.Send(body);
            expected.push_back("sent " + body);
        }
        up.Run(expected.size());
        ASSERT_EQ(up.notices, expected) << "seed " << seed;
        EXPECT_GE(up.exchanges.storedRecords(), int(expected.size()));  // repeats stored twice

        qn410::test::TempDir dir;
        SilentPrompt prompt;
        std::string password;
        ASSERT_TRUE(WriteSettingFile(dir.file("saved.txt"), held, "pw", prompt));
        ASSERT_EQ(ReadSettingFile(dir.file("saved.txt"), reread, password, prompt),
                  ReadOutcome::Ok);
        EXPECT_EQ(qn410::test::FirstRecordDifference(source.data(), reread.data()), std::nullopt);

        // The first frame of each download is refused three times; the fourth goes through.
        for (const int exchange : {0, count}) {
            Wire down(reread.data(), {.corruptBcc = 3, .dropEvery = 211});
            char request[4];
            std::snprintf(request, sizeof request, "Q%02d", exchange);
            expected = {"sent " + std::string(request)};
            for (const std::string& body : upload[exchange]) expected.push_back("got " + body);
            EXPECT_EQ(int(expected.size()) - 1, ExpectedDownloadCount(reread.data(), exchange));
            down.Send(request);
            down.Run(expected.size());
            EXPECT_EQ(down.notices, expected) << "seed " << seed << ", exchange " << exchange;
        }
    }
}

TEST(SimExchange, AnswersStatusFaultMonitoringAndDialBlocks) {
    SettingDocument doc;
    doc.data().System.SwitchCnt = 2;
    std::ostringstream text;
    SimTrace trace(&text);
    SimExchange exchange(doc.data(), kClock, trace, 0, 7, StatusFault{2, 3, '0'});
    EXPECT_TRUE(exchange.OnRecord("Q03", 0).empty());  // not in use
    EXPECT_EQ(exchange.OnRecord("T021", 0), std::vector<std::string>{"K02130000300"});
    EXPECT_TRUE(exchange.OnRecord("T171", 0).empty());
    EXPECT_TRUE(exchange.OnRecord("R01", 0).empty());
    EXPECT_TRUE(exchange.OnRecord("B011", 0).empty());  // too short: not stored
    EXPECT_TRUE(exchange.OnRecord("M011", 0).empty());
    EXPECT_TRUE(exchange.OnRecord("N011" + std::string(32, ' '), 0).empty());
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

}  // namespace
}  // namespace qn410::sim::test
