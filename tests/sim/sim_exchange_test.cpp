// The simulated exchanges' own storage: every record of random data, uploaded, is stored whole
// and survives the saved file; a download request then gives exactly the records, in the order
// and number the tool expects. Their line faults are in exchange_link_test.cpp; the tool against
// the simulator end to end is in tests/ctl and tests/gui.
#include "sim_exchange.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "download_records.h"
#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/random_recordable.h"
#include "support/temp_dir.h"
#include "transfer/upload_plan.h"

namespace qn410::sim::test {
namespace {

const FixedClock kClock(LocalTime{2026, 12, 6, 9, 30, 0, 0});

TEST(SimExchange, RandomDataIsStoredWholeAndDownloadedAsTheToolExpects) {
    std::ostringstream text;
    SimTrace trace(&text);
    for (const uint32_t seed : {1u, 2u}) {
        SettingDocument source, held, reread;
        qn410::test::FillRandomRecordable(source.data(), seed);
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

        qn410::test::TempDir dir;
        SilentPrompt prompt;
        std::string password;
        ASSERT_TRUE(WriteSettingFile(dir.file("saved.txt"), held, "pw", prompt));
        ASSERT_EQ(ReadSettingFile(dir.file("saved.txt"), reread, password, prompt),
                  ReadOutcome::Ok);
        EXPECT_EQ(qn410::test::FirstRecordDifference(source.data(), reread.data()), std::nullopt);

        SimExchange down(reread.data(), kClock, trace, 0, 3);
        for (const int exchange : {0, count}) {
            char request[4];
            std::snprintf(request, sizeof request, "Q%02d", exchange);
            EXPECT_EQ(down.OnRecord(request, 0), upload[exchange]) << seed << " " << request;
            EXPECT_EQ(int(upload[exchange].size()), ExpectedDownloadCount(reread.data(), exchange));
        }
    }
}

TEST(SimExchange, AnswersStatusFaultMonitoringAndDialBlocks) {
    SettingDocument doc;
    doc.data().System.SwitchCnt = 2;
    std::ostringstream text;
    SimTrace trace(&text);
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

}  // namespace
}  // namespace qn410::sim::test
