// The exchanges behind the line: what they store, what they send back for Q and T, and the log
// and monitoring reports.
#include "sim_exchange.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "download_records.h"
#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/random_recordable.h"
#include "support/random_setting.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"
#include "transfer/upload_plan.h"

namespace qn410::sim::test {
namespace {

using qn410::test::FillRandomFileData;
using qn410::test::FillRandomRecordable;
using qn410::test::FirstRecordDifference;
using qn410::test::TempDir;

const FixedClock kClock(LocalTime{2026, 12, 6, 13, 5, 9, 0});

class SimExchangeTest : public ::testing::Test {
  protected:
    SimExchange Make(double rate = 0, std::optional<StatusFault> fault = std::nullopt) {
        return SimExchange(doc_.data(), kClock, trace_, rate, 7, fault);
    }
    SettingDocument doc_;
    std::ostringstream traceText_;
    SimTrace trace_{&traceText_};
};

// The tool's own upload sequence, without its closing message.
std::vector<std::string> UploadRecords(const SettingData& data, int exchange) {
    const UploadPlan plan(data, exchange);
    std::vector<std::string> records;
    for (int s = 1; s <= plan.size(); ++s)
        if (plan.step(s).letter != '\0') records.push_back(*plan.Record(s, &kClock));
    return records;
}

// A download sends the records in the tool's upload order (whose letter order the upload plan
// tests spell out), as many as the tool expects; one exchange gets every master but only its
// own rest.
TEST_F(SimExchangeTest, DownloadHasTheUploadOrderAndCount) {
    EXPECT_TRUE(DownloadRecords(doc_.data(), 2, kClock).empty());  // not in use
    for (const uint32_t seed : {4u, 5u}) {
        SettingDocument source;
        FillRandomFileData(source.data(), seed);
        for (const int exchange : {0, int(source.data().System.SwitchCnt)}) {
            const auto records = DownloadRecords(source.data(), exchange, kClock);
            EXPECT_EQ(int(records.size()), ExpectedDownloadCount(source.data(), exchange));
            EXPECT_EQ(records, UploadRecords(source.data(), exchange));
        }
    }
}

// Every record of a whole upload of random data is stored; a download then gives back the very
// same records, and the data read back from the saved setting file equals the uploaded data in
// every field the records carry.
TEST_F(SimExchangeTest, UploadedDataComesBackInTheDownloadAndTheSavedFile) {
    for (const uint32_t seed : {1u, 2u}) {
        SettingDocument source;
        FillRandomRecordable(source.data(), seed);
        const auto upload = UploadRecords(source.data(), 0);

        SettingDocument held;
        SimExchange exchange(held.data(), kClock, trace_, 0, 1);
        for (const auto& record : upload) EXPECT_TRUE(exchange.OnRecord(record, 0).empty());
        EXPECT_EQ(exchange.storedRecords(), static_cast<int>(upload.size()));
        EXPECT_EQ(DownloadRecords(held.data(), 0, kClock), upload) << "seed " << seed;

        TempDir dir;
        qn410::test::RecordingPrompt prompt;
        ASSERT_TRUE(WriteSettingFile(dir.file("saved.txt"), held, "pw", prompt));
        SettingDocument reread;
        std::string password;
        ASSERT_EQ(ReadSettingFile(dir.file("saved.txt"), reread, password, prompt),
                  ReadOutcome::Ok);
        EXPECT_EQ(password, "pw");
        EXPECT_EQ(FirstRecordDifference(source.data(), reread.data()), std::nullopt)
            << "seed " << seed;
        EXPECT_EQ(DownloadRecords(reread.data(), 0, kClock), upload) << "seed " << seed;
    }
}

TEST_F(SimExchangeTest, DialBlocksOfTwentyFiveEntries) {
    DialTable& table = doc_.data().Dial[1][2];  // exchange 2, master 3
    for (int d = 0; d < 25; ++d) SetText(table[d * 3].Dial, std::to_string(100 + d));
    SetText(table[0].Shot, "4");
    SetText(table[3].Dial, "x");
    SetText(table[3].Shot, "x");
    doc_.data().ShotT[1][2] = 5;

    const auto blocks = DialBlocks(doc_.data(), 2, 3);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0].substr(0, 12), "K02350025110");
    EXPECT_EQ(blocks[1].substr(0, 12), "K02350025010");
    EXPECT_EQ(blocks[2].substr(0, 12), "K02350025205");
    EXPECT_EQ(blocks[0].substr(12, 24), "0001100                4");
    EXPECT_EQ(blocks[0].substr(36, 24), "0004x                  x");

    SettingDocument other;
    DialTable& stale = other.data().Dial[1][2];
    SetText(stale[1].Dial, "999");  // an old entry the upload does not carry
    for (const auto& block : blocks) EXPECT_TRUE(StoreDialBlock(block, other.data()));
    EXPECT_EQ(other.data().ShotT[1][2], 5);
    for (int d = 0; d < kDialCount; ++d) {
        EXPECT_EQ(TextOf(stale[d].Dial), TextOf(table[d].Dial)) << d;
        EXPECT_EQ(TextOf(stale[d].Shot), TextOf(table[d].Shot)) << d;
    }
    // An empty table is one empty block.
    doc_.data().ShotT[0][0] = 0;  // shown and sent as 3
    EXPECT_EQ(DialBlocks(doc_.data(), 1, 1), std::vector<std::string>{"K01130000300"});
    EXPECT_TRUE(DialBlocks(doc_.data(), 17, 1).empty());
}

TEST_F(SimExchangeTest, ReceivedDialBlockKeepsTheDoorLockNumberWithoutPaddingOrZeros) {
    std::string block = "K01140001301";
    block += "0007" + std::string("12#*") + std::string(12, ' ') + "0012";
    EXPECT_TRUE(StoreDialBlock(block, doc_.data()));
    EXPECT_EQ(TextOf(doc_.data().Dial[0][0][6].Dial), "12#*");
    EXPECT_EQ(TextOf(doc_.data().Dial[0][0][6].Shot), "12");
    EXPECT_EQ(doc_.data().ShotT[0][0], 4);
    // A switch number out of range or a short block changes nothing.
    block.replace(12, 4, "1025");
    EXPECT_FALSE(StoreDialBlock(block, doc_.data()));
    EXPECT_FALSE(StoreDialBlock("K0114000130", doc_.data()));
    EXPECT_FALSE(StoreDialBlock("K17140001301", doc_.data()));
}

TEST_F(SimExchangeTest, RequestsAreAnsweredByLetter) {
    doc_.data().System.SwitchCnt = 2;
    SimExchange exchange = Make();
    EXPECT_EQ(exchange.OnRecord("Q00", 0).size(), 1u + 144 * 2);
    EXPECT_EQ(exchange.OnRecord("Q02", 0).size(), 141u + 4 * 2);
    EXPECT_TRUE(exchange.OnRecord("Q03", 0).empty());  // not in use
    EXPECT_EQ(exchange.OnRecord("T021", 0), std::vector<std::string>{"K02130000300"});
    EXPECT_TRUE(exchange.OnRecord("N011" + std::string(32, ' '), 0).empty());
    EXPECT_TRUE(exchange.OnRecord("R01", 0).empty());
    EXPECT_TRUE(exchange.OnRecord("B011", 0).empty());  // too short: not stored
    EXPECT_EQ(exchange.storedRecords(), 0);
}

TEST_F(SimExchangeTest, StatusFaultSendsZOnceAfterTheGivenRecordCount) {
    SimExchange exchange = Make(0, StatusFault{2, 3, '0'});
    EXPECT_TRUE(exchange.OnRecord("M011", 0).empty());
    EXPECT_EQ(exchange.OnRecord("M012", 0), std::vector<std::string>{"z030"});
    EXPECT_TRUE(exchange.OnRecord("M011", 0).empty());
}

TEST_F(SimExchangeTest, LogAndMonitorRecordsAtTheSetRateWithinTheLimits) {
    doc_.data().System.SwitchCnt = 4;
    SimExchange exchange = Make(10);  // ten a second
    EXPECT_TRUE(exchange.Due(100000).empty());
    EXPECT_EQ(exchange.NextDue(), std::nullopt);
    exchange.OnRecord("O00" + std::string("1010000000000000"), 0);
    EXPECT_EQ(exchange.NextDue(), 100);
    const auto records = exchange.Due(1000);
    ASSERT_EQ(records.size(), 10u);
    std::map<std::string, int> statuses;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string& r = records[i];
        ASSERT_EQ(r.size(), 35u) << r;
        EXPECT_EQ(r.substr(0, 3), i % 2 == 0 ? "o01" : "o03");
        EXPECT_EQ(r.substr(3, 6), "130509");
        ++statuses[r.substr(33, 2)];
    }
    EXPECT_EQ(statuses.size(), 10u);  // the status codes vary
    exchange.OnRecord("O00" + std::string(16, '0'), 1000);
    EXPECT_TRUE(exchange.Due(5000).empty());
    SimExchange monitor = Make(100);
    monitor.OnRecord("P00" + std::string("0100000000000000"), 0);
    const auto monitored = monitor.Due(1000);
    ASSERT_EQ(monitored.size(), 100u);
    bool sawEmpty = false, sawFull = false;
    for (const std::string& r : monitored) {
        ASSERT_GE(r.size(), 6u);
        EXPECT_EQ(r.substr(0, 3), "p02");
        const int n = std::stoi(r.substr(3, 3));
        EXPECT_EQ(r.size(), static_cast<std::size_t>(6 + n));
        EXPECT_LE(n, kMaxMonitorData);
        sawEmpty = sawEmpty || n == 0;
        sawFull = sawFull || n == kMaxMonitorData;
    }
    EXPECT_TRUE(sawEmpty);
    EXPECT_TRUE(sawFull);
}

}  // namespace
}  // namespace qn410::sim::test
