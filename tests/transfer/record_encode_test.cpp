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

TEST_F(EncodeTest, EveryLetter) {
    const FixedClock clock({2026, 3, 7, 9, 5, 2, 6});  // a Saturday
    const std::string blank(11, ' ');
    // The letter is the record's first byte.
    const std::pair<RecordRequest, std::string> rows[] = {
        {{.clock = &clock}, Fields("A00|2026|03|07|09|05|02|7|02|3|1010|100   |200   ")},
        {{.exchange = 2, .station = 3}, Fields("B023|245   |Desk\261B  |10|03-1234-5678        ")},
        // No number: six spaces; the rest is sent as stored.
        {{.exchange = 2, .station = 4}, Fields("B024|      |X       |00|                    ")},
        {{.exchange = 1, .substation = 12}, Fields("C0112|123   |Lobby   |02|3|1")},
        {{.exchange = 3, .substation = 64}, Fields("C0364|      |        |03|1|0")},
        // Receivers are sent only while the direct-in line is on.
        {{.exchange = 3},
         Fields("D03|15|Trunk1  |1|9|0|4|012|034|000|161|        |0|0|1|0|000000000000")},
        // Group, conference and scan lists send only their fully used entries, packed.
        {{.exchange = 1, .station = 2}, Fields("E012|03|011|024|163")},
        {{.exchange = 5, .station = 1}, "E05100"},
        {{.exchange = 4, .station = 1}, Fields("L041|02|021|044")},
        {{.exchange = 1, .station = 4}, Fields("G014|30|03|0110|0264|0305")},
        {{.exchange = 2}, Fields("F02|1|0830|1745|1|25|07|12")},  // TalkTime in tens
        // Paging: members, the time limit in tens; emergency substations are sent as 0.
        {{.exchange = 2, .zone = 5}, Fields("H02|2|06|05|1") + std::string(62, '0') + "1"},
        {{.exchange = 2, .zone = 19}, Fields("H02|2|06|19|") + std::string(63, '0') + "1"},
        {{.exchange = 1, .zone = 19}, "I0119" + ("1" + std::string(14, '0')) + "1"},
        {{.exchange = 1, .zone = 1}, "I0101" + std::string(15, '0') + "1"},
        {{.exchange = 16, .sourceZone = 1}, Fields("J1601|0010")},
        {{.exchange = 5}, "M053"},
        {{.exchange = 2, .station = 3, .text = "0312345678#"},
         "N0230312345678#" + std::string(21, ' ')},
        {{.text = "1010000000000001"}, "O001010000000000001"},
        {{.exchange = 0, .text = "0000000000000011"}, "P000000000000000011"},
        {{}, "Q00"},
        {{.exchange = 7}, "Q07"},
        {{.exchange = 3, .station = 4}, "T034"},
        // Each number becomes the destination's exchange, station or line and its name: a
        // master's number (245), line 2's access digit (7); a number of the wrong length (24)
        // or one no active line uses (8) is sent blank.
        {{.exchange = 1, .station = 1},
         Fields("U011|245   |02|3|Desk\261B  |7     |01|2|Line2   |24    |") + blank + "8     " +
             blank},
    };
    for (const auto& [request, bytes] : rows) EXPECT_EQ(Enc(bytes[0], request), bytes);

    // Sizes follow SwitchCnt; oversized values never spill into the next field.
    data().System.SwitchCnt = 16;
    EXPECT_EQ(Enc('A', {}).size(), 121u);
    data().System.SwitchCnt = 1;
    EXPECT_EQ(Enc('A', {}).size(), 31u);
    data().Exchange[2].LineCntLimit = 255;
    EXPECT_EQ(Enc('D', {.exchange = 3}).substr(3, 3), "55T");
    data().Exchange[1].PagingTimeLimit = 990;  // sent as its first two digits
    RebuildZoneRows(data(), 2);
    EXPECT_EQ(Enc('H', {.exchange = 2, .zone = 1}).substr(3, 3), "299");
    // Masters of exchanges not in use, and lines that are off, are no destinations.
    data().Exchange[0].Line[1].TxNumberOnOff = 0;
    const std::string u = Enc('U', {.exchange = 1, .station = 1});
    EXPECT_EQ(u.substr(4, 34), "245   " + blank + "7     " + blank);
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
    r.firstEntry = 11;  // block 11..15 reaches past the table's 12
    r.lastEntry = 15;
    EXPECT_FALSE(Encode('K', r));
}

TEST_F(EncodeTest, RequestsThatDoNotFitTheirLetterGiveNoRecord) {
    const std::pair<char, RecordRequest> refused[] = {
        {'B', {.exchange = 0, .station = 1}},
        {'B', {.exchange = 1, .station = 5}},
        {'C', {.exchange = 17, .substation = 1}},
        {'C', {.exchange = 1, .substation = 65}},
        {'H', {.exchange = 1, .zone = 20}},
        {'J', {.exchange = 1, .zone = 1}},  // no sourceZone
        {'R', {.exchange = 1}},
        {'V', {.exchange = 1}},
    };
    for (auto [letter, request] : refused) {
        request.data = &data();
        EXPECT_FALSE(Encode(letter, request)) << letter;
    }
    EXPECT_FALSE(Encode('D', {.exchange = 1}));  // no data
}

}  // namespace
}  // namespace qn410
