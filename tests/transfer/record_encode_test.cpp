// Every command letter against bytes written out by hand.
#include <gtest/gtest.h>

#include <string>

#include "sample_data.h"
#include "transfer/record_codec.h"

namespace qn410 {
namespace {

using test::Fields;

class EncodeTest : public ::testing::Test {
  protected:
    void SetUp() override { RebuildZoneTables(data()); }
    SettingData& data() { return doc_->data(); }
    std::string Enc(char letter, RecordRequest r) {
        if (!r.data) r.data = &data();
        const auto record = Encode(letter, r);
        EXPECT_TRUE(record.has_value()) << letter;
        return record.value_or("");
    }
    std::unique_ptr<SettingDocument> doc_ = test::SampleDocument();
};

TEST_F(EncodeTest, GlobalSettingCarriesClockAndFirstNumbers) {
    const FixedClock clock({2026, 3, 7, 9, 5, 2, 6});  // a Saturday
    EXPECT_EQ(Enc('A', {.clock = &clock}),
              Fields("A00|2026|03|07|09|05|02|7|02|3|1010|100   |200   "));
    data().System.SwitchCnt = 16;
    EXPECT_EQ(Enc('A', {}).size(), 121u);
    data().System.SwitchCnt = 1;
    EXPECT_EQ(Enc('A', {}).size(), 31u);
}

TEST_F(EncodeTest, StationsTrunksAndTheirLists) {
    EXPECT_EQ(Enc('B', {.exchange = 2, .station = 3}),
              Fields("B023|245   |Desk\261B  |10|03-1234-5678        "));
    // No number: six spaces; the rest is sent as stored.
    EXPECT_EQ(Enc('B', {.exchange = 2, .station = 4}),
              Fields("B024|      |X       |00|                    "));
    EXPECT_EQ(Enc('C', {.exchange = 1, .substation = 12}), Fields("C0112|123   |Lobby   |02|3|1"));
    EXPECT_EQ(Enc('C', {.exchange = 3, .substation = 64}), Fields("C0364|      |        |03|1|0"));
    // Receivers are sent only while the direct-in line is on.
    EXPECT_EQ(Enc('D', {.exchange = 3}),
              Fields("D03|15|Trunk1  |1|9|0|4|012|034|000|161|        |0|0|1|0|000000000000"));
    // Group, conference and scan lists send only their fully used entries, packed.
    EXPECT_EQ(Enc('E', {.exchange = 1, .station = 2}), Fields("E012|03|011|024|163"));
    EXPECT_EQ(Enc('E', {.exchange = 5, .station = 1}), "E05100");
    EXPECT_EQ(Enc('L', {.exchange = 4, .station = 1}), Fields("L041|02|021|044"));
    EXPECT_EQ(Enc('G', {.exchange = 1, .station = 4}), Fields("G014|30|03|0110|0264|0305"));
    data().Exchange[2].LineCntLimit = 255;  // an oversized value never spills into the next field
    EXPECT_EQ(Enc('D', {.exchange = 3}).substr(3, 3), "55T");
}

TEST_F(EncodeTest, CallForwardingSendsTalkTimeInTens) {
    EXPECT_EQ(Enc('F', {.exchange = 2}), Fields("F02|1|0830|1745|1|25|07|12"));
}

TEST_F(EncodeTest, PagingSendsMembersAndNotSelectableAsZero) {
    EXPECT_EQ(Enc('H', {.exchange = 2, .zone = 5}),
              Fields("H02|2|06|05|1") + std::string(62, '0') + "1");
    EXPECT_EQ(Enc('H', {.exchange = 2, .zone = 19}),
              Fields("H02|2|06|19|") + std::string(63, '0') + "1");
    // The time limit goes out as its first two digits.
    data().Exchange[1].PagingTimeLimit = 990;
    RebuildZoneRows(data(), 2);
    EXPECT_EQ(Enc('H', {.exchange = 2, .zone = 1}).substr(3, 3), "299");
}

TEST_F(EncodeTest, PublicAddressAndExternalSources) {
    EXPECT_EQ(Enc('I', {.exchange = 1, .zone = 19}),
              std::string("I0119") + "1" + std::string(14, '0') + "1");
    EXPECT_EQ(Enc('I', {.exchange = 1, .zone = 1}),
              std::string("I0101") + std::string(15, '0') + "1");
    EXPECT_EQ(Enc('J', {.exchange = 16, .sourceZone = 1}), Fields("J1601|0010"));
}

TEST_F(EncodeTest, DialingAssignmentBlock) {
    DialTable table{};
    table[10].SwitchNo = 11;
    SetText(table[10].Dial, "0312345678");
    SetText(table[10].Shot, "7");
    table[11].SwitchNo = 1024;
    SetText(table[11].Dial, "1234567890123456");
    SetText(table[11].Shot, "12345");  // too long for its field: sent blank
    RecordRequest r{.exchange = 1, .station = 2, .firstEntry = 11, .lastEntry = 12};
    r.blockPosition = 2;
    r.doorLockTime = 10;
    r.sendTable = std::span<const DialEntry>(table.data(), 12);
    EXPECT_EQ(Enc('K', r), Fields("K012|1|0012|2|02|0011|0312345678      |   7|"
                                  "1024|1234567890123456|    "));
    r.firstEntry = 1;
    r.lastEntry = 0;
    r.blockPosition = 3;
    r.doorLockTime = 4;
    EXPECT_EQ(Enc('K', r), Fields("K012|4|0000|3|00"));
}

TEST_F(EncodeTest, RequestsWithoutSettingData) {
    EXPECT_EQ(Enc('M', {.exchange = 5}), "M053");
    EXPECT_EQ(Enc('N', {.exchange = 2, .station = 3, .text = "0312345678#"}),
              std::string("N023") + "0312345678#" + std::string(21, ' '));
    EXPECT_EQ(Enc('O', {.text = "1010000000000001"}), "O001010000000000001");
    EXPECT_EQ(Enc('P', {.exchange = 0, .text = "0000000000000011"}), "P000000000000000011");
    EXPECT_EQ(Enc('Q', {}), "Q00");
    EXPECT_EQ(Enc('Q', {.exchange = 7}), "Q07");
    EXPECT_EQ(Enc('T', {.exchange = 3, .station = 4}), "T034");
}

// Each number becomes the destination's exchange, station or line and its name: a master's
// number (245), line 2's access digit (7); a number of the wrong length (24) or one no active
// line uses (8) is sent blank, and so are masters of exchanges not in use.
TEST_F(EncodeTest, TransferSettingResolvesDestinations) {
    const std::string blank(11, ' ');
    EXPECT_EQ(Enc('U', {.exchange = 1, .station = 1}),
              Fields("U011|245   |02|3|Desk\261B  |7     |01|2|Line2   |24    |") + blank +
                  "8     " + blank);
    data().Exchange[0].Line[1].TxNumberOnOff = 0;
    data().System.SwitchCnt = 1;
    const std::string u = Enc('U', {.exchange = 1, .station = 1});
    EXPECT_EQ(u.substr(4, 17), "245   " + blank);
    EXPECT_EQ(u.substr(21, 17), "7     " + blank);
}

TEST_F(EncodeTest, RequestsThatDoNotFitTheirLetterGiveNoRecord) {
    EXPECT_FALSE(Encode('B', {.exchange = 0, .station = 1, .data = &data()}));
    EXPECT_FALSE(Encode('B', {.exchange = 1, .station = 5, .data = &data()}));
    EXPECT_FALSE(Encode('C', {.exchange = 17, .substation = 1, .data = &data()}));
    EXPECT_FALSE(Encode('C', {.exchange = 1, .substation = 65, .data = &data()}));
    EXPECT_FALSE(Encode('H', {.exchange = 1, .zone = 20, .data = &data()}));
    EXPECT_FALSE(Encode('J', {.exchange = 1, .zone = 1, .data = &data()}));  // needs sourceZone
    EXPECT_FALSE(Encode('D', {.exchange = 1}));                              // no data
    EXPECT_FALSE(Encode('R', {.exchange = 1, .data = &data()}));
    EXPECT_FALSE(Encode('V', {.exchange = 1, .data = &data()}));
    DialTable table{};
    RecordRequest k{.exchange = 1, .station = 1, .firstEntry = 11, .lastEntry = 15};
    k.sendTable = std::span<const DialEntry>(table.data(), 12);  // block 11..15 reaches past
    EXPECT_FALSE(Encode('K', k));
}

}  // namespace
}  // namespace qn410
