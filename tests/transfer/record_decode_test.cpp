// Decoders: whole uploads of random data come back in every carried field; the exchange's
// reading rules for odd fields; malformed records are ignored whole.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "sample_data.h"
#include "support/random_recordable.h"
#include "transfer/record_codec.h"
#include "transfer/upload_plan.h"

namespace qn410 {
namespace {

using test::Fields;

TEST(RoundTripTest, EveryRecordOfAWholeUploadComesBack) {
    const FixedClock clock({2026, 12, 6, 13, 0, 0, 0});
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        SettingDocument src, dst;
        test::FillRandomRecordable(src.data(), seed);
        const UploadPlan plan(src.data(), 0);
        for (int s = 1; s < plan.size(); ++s) {
            const auto record = plan.Record(s, &clock);
            ASSERT_TRUE(record) << s;
            ASSERT_TRUE(Decode(*record, dst.data())) << *record;
        }
        EXPECT_EQ(test::FirstRecordDifference(src.data(), dst.data()), std::nullopt)
            << "seed " << seed;
        // The decoders keep the zone tables in step with what they stored.
        for (int e = 0; e < src.data().System.SwitchCnt; ++e)
            for (int k = 0; k < kSubCount; ++k)
                ASSERT_EQ(dst.data().Zones.Sub[e][k], src.data().Zones.Sub[e][k]) << e << k;
    }
}

class DecodeTest : public ::testing::Test {
  protected:
    void SetUp() override { RebuildZoneTables(src()); }
    SettingData& src() { return src_->data(); }
    SettingData& dst() { return dst_.data(); }
    // Encodes letter from the sample data and decodes it into the default data.
    void RoundTrip(char letter, RecordRequest r) {
        r.data = &src();
        const auto record = Encode(letter, r);
        ASSERT_TRUE(record) << letter;
        ASSERT_TRUE(Decode(*record, dst())) << *record;
    }
    bool Store(const std::string& body) { return Decode(body, dst()); }
    std::unique_ptr<SettingDocument> src_ = test::SampleDocument();
    SettingDocument dst_;
};

// A blank number clears the station whatever else the record holds.
TEST_F(DecodeTest, BlankNumberClearsTheStation) {
    ASSERT_TRUE(Store(Fields("B011|      |Name    |11|0123456789          ")));
    const MasterSetting& m = dst().Exchange[0].Master[0];
    EXPECT_EQ(std::tuple(std::string(m.Number.Text), m.Number.Value, std::string(m.Name),
                         int(m.LineTx), std::string(m.TelNo)),
              std::tuple("-1", kNoNumber, "", 0, ""));
    ASSERT_TRUE(Store(Fields("C0307|      |Gate    |05|4|1")));
    const SubSetting& s = dst().Exchange[2].Sub[6];  // called: master 1 of its own exchange
    EXPECT_EQ(std::tuple(s.Number.Value, std::string(s.Name), int(s.CallSwNo), int(s.CallStNo),
                         int(s.Level)),
              std::tuple(kNoNumber, "", 3, 1, 0));
}

TEST_F(DecodeTest, TrunksKeepReceiversWhateverTheCount) {
    ASSERT_TRUE(Store(Fields("D01|03|A       |000|0|021|000|000|000|        |0000|000000000000")));
    EXPECT_EQ(dst().Exchange[0].Line[0].RxLine, 0);
    EXPECT_EQ(dst().Exchange[0].Line[0].RxMaster[0], (StationEntry{1, 2, 1}));
}

// Group call, conference and scan lists are reset, then filled with the packed entries.
TEST_F(DecodeTest, MemberListsResetThenFillThePackedEntries) {
    MasterSetting& m = dst().Exchange[0].Master[1];
    m.GroupCnt = 4;
    m.GroupMaster[13] = {9, 9, 9};
    RoundTrip('E', {.exchange = 1, .station = 2});
    EXPECT_EQ(m.GroupCnt, 15);
    EXPECT_EQ(m.GroupMaster[2], (StationEntry{3, 16, 3}));
    for (int k = 3; k < kGroupCount; ++k)
        EXPECT_EQ(m.GroupMaster[k], (StationEntry{uint8_t(k + 1), 0, 0})) << k;
    RoundTrip('L', {.exchange = 4, .station = 1});
    EXPECT_EQ(dst().Exchange[3].Master[0].MeetMaster[1], (StationEntry{2, 4, 4}));
    MasterSetting& g = dst().Exchange[0].Master[3];
    g.ScanSub[5] = {6, 1, 1};
    RoundTrip('G', {.exchange = 1, .station = 4});
    EXPECT_EQ(g.ScanSub[2], (StationEntry{3, 3, 5}));
    EXPECT_EQ(g.ScanSub[5], (StationEntry{6, 0, 0}));
}

TEST_F(DecodeTest, TalkTimeInTensAndAutoOutSendFromTheTimes) {
    RoundTrip('F', {.exchange = 2});
    EXPECT_EQ(dst().Function[1].TalkTime, 120);  // 125 goes out as 12
    EXPECT_EQ(dst().Function[1].AutoOutSend, 1);
    dst().Function[0].AutoOutSend = 1;
    ASSERT_TRUE(Store(Fields("F01|1|0000|0000|0|10|00|99")));
    EXPECT_EQ(dst().Function[0].AutoOutSend, 0);
    EXPECT_EQ(dst().Function[0].TalkTime, 990);
}

// Paging writes one zone bit per substation (a digit other than 1 is off) and the time limit
// in tens; an external source writes its zone mask.
TEST_F(DecodeTest, PagingWritesOneZoneBit) {
    SubSetting* subs = dst().Exchange[1].Sub;
    subs[1].Paging = (1 << 4) | (1 << 7);  // cell 2 on the wire clears zone 5 only
    subs[2].Paging = 0x7FFFFFFF;           // kept to zones 1..19
    RoundTrip('H', {.exchange = 2, .zone = 5});
    EXPECT_EQ(dst().Exchange[1].PagingTimeLimit, 60);
    EXPECT_EQ(subs[1].Paging, 1 << 7);
    EXPECT_EQ(subs[2].Paging, 0x7FFFF & ~(1 << 4));
    std::string h = Fields("H01|1|00|03|") + std::string(64, '0');
    h[8] = '3';  // would set zones 3 and 4 if shifted as a number
    h[9] = '1';
    ASSERT_TRUE(Store(h));
    EXPECT_EQ(dst().Exchange[0].Sub[0].Paging, 0);
    EXPECT_EQ(dst().Exchange[0].Sub[1].Paging, 1 << 2);
    dst().System.OutInZone[15][0] = -1;
    RoundTrip('J', {.exchange = 16, .sourceZone = 1});
    EXPECT_EQ(dst().System.OutInZone[15][0], 0x7FFFE);
}

TEST_F(DecodeTest, NamesEndAtTheirFirstSpaceAndNonDigitsReadZero) {
    ASSERT_TRUE(Store(Fields("B011|12 4  |Ab Cd   |00|") + std::string(20, ' ')));
    EXPECT_STREQ(dst().Exchange[0].Master[0].Name, "Ab");
    EXPECT_STREQ(dst().Exchange[0].Master[0].Number.Text, "12");
    ASSERT_TRUE(Store(Fields("C0102|1x3   |N       |1A|x|1")));
    const SubSetting& s = dst().Exchange[0].Sub[1];
    EXPECT_STREQ(s.Number.Text, "1x3");
    EXPECT_EQ(s.Number.Value + s.CallSwNo + s.CallStNo, 0);
    ASSERT_TRUE(Store(Fields("F01|1|0x00|0000|0|1-|00|?9")));
    EXPECT_EQ(dst().Function[0].StartTime.Value + dst().Function[0].CallCnt, 0);
    EXPECT_EQ(dst().Function[0].TalkTime, 0);
}

// Malformed records, and texts holding control bytes, are ignored whole.
TEST_F(DecodeTest, MalformedRecordsAreIgnoredWhole) {
    const std::string master = "1123   Name    00" + std::string(20, ' ');
    const std::string sub = Fields("      |N       |01|1|0");
    std::vector<std::string> bad = {
        "",
        "B0",
        "B011      ",                                              // too short
        "B00" + master,                                            // exchange 0
        "C1701" + sub,                                             // exchange 17
        "C0165" + sub,                                             // substation 65
        "C01x1" + sub,                                             // substation not a number
        "B015" + master.substr(1),                                 // master 5
        "E01116011022033044055066077088099100111122133144155166",  // 16 entries
        "L01104011022033044",                                      // 4 entries
        "G01130020101",                                            // count 2, one entry
        "H0110020",                                                // short
        "I0120000000000000000",                                    // zone 20
        Fields("J0100|1111"),                                      // zone 0
        Fields("A00|20260307090502|7|17|3|0000"),                  // 17 exchanges
        Fields("A00|20260307090502|7|02|3|0000|100   "),           // second exchange missing
        Fields("K0121|0000|3|00"),                                 // not stored here
        "Q00",
        "Z01",
    };
    // A place in every text field: SwNumber, Number, Name, TelNo, line names, transfer numbers.
    test::FillRandomRecordable(src(), 9);
    src().System.SwitchCnt = 2;
    const RecordRequest one{.exchange = 1, .station = 1, .substation = 1, .data = &src()};
    const std::pair<char, int> texts[] = {{'A', 25}, {'A', 36}, {'B', 4},  {'B', 12}, {'B', 39},
                                          {'C', 5},  {'C', 18}, {'D', 29}, {'U', 4},  {'U', 64}};
    for (const auto& [letter, at] : texts)
        for (const char control : {'\0', '\n', '\x1F', '\x7F'})
            (bad.emplace_back(*Encode(letter, one)))[at] = control;
    const SettingDocument before;
    for (const std::string& body : bad) EXPECT_FALSE(Store(body)) << body;
    EXPECT_TRUE(dst() == before.data());
}

}  // namespace
}  // namespace qn410
