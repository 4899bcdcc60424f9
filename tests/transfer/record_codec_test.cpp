// The records against bytes written out by hand, both ways; the exchange's reading rules for
// odd fields; malformed records. Whole uploads of random data read back: transfer_session_test.
#include "transfer/record_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/passing_numbers.h"
#include "support/random_recordable.h"
#include "transfer/upload_plan.h"

namespace qn410 {
namespace {

// A record written field by field, "F02|1|0830": the bars only mark where the fields meet.
std::string Fields(std::string_view fields) {
    std::string out;
    for (const char c : fields)
        if (c != '|') out += c;
    return out;
}

using E = StationEntry;

// Records of a two-exchange installation, read in order into the default data: they set the
// fields named below, and that data encodes to the same bytes. Letters without a decoder are
// encoded from their request alone.
TEST(RecordCodec, HandWrittenRecordsReadAndEncodeAlike) {
    SettingDocument doc;
    SettingData& d = doc.data();
    const FixedClock clock({2026, 3, 7, 9, 5, 2, 6});  // a Saturday
    const std::string blank(11, ' ');
    const std::pair<RecordRequest, std::string> rows[] = {
        {{.clock = &clock}, Fields("A00|2026|03|07|09|05|02|7|02|3|1010|100   |200   ")},
        {{.exchange = 2, .station = 3}, Fields("B023|245   |Desk\261B  |10|03-1234-5678        ")},
        {{.exchange = 1, .substation = 12}, Fields("C0112|123   |Lobby   |02|3|1")},
        {{.exchange = 2, .substation = 1}, Fields("C0201|201   |        |02|1|0")},
        {{.exchange = 2, .substation = 64}, Fields("C0264|264   |        |02|1|0")},
        {{.exchange = 1},
         Fields("D01|15|Trunk1  |1|9|0|4|012|034|000|161|Line2   |1|7|1|0|000000000000")},
        {{.exchange = 1, .station = 2}, Fields("E012|03|011|024|163")},
        {{.exchange = 2}, Fields("F02|1|0830|1745|1|25|07|12")},
        {{.exchange = 1, .station = 4}, Fields("G014|30|03|0110|0264|0305")},
        {{.exchange = 2, .zone = 5}, Fields("H02|2|06|05|1") + std::string(62, '0') + "1"},
        {{.exchange = 2, .zone = 19}, Fields("H02|2|06|19|") + std::string(63, '0') + "1"},
        {{.exchange = 1, .zone = 19}, "I0119" + ("1" + std::string(14, '0')) + "1"},
        {{.exchange = 1, .zone = 1}, "I0101" + std::string(15, '0') + "1"},
        {{.exchange = 2, .sourceZone = 1}, Fields("J0201|0010")},
        {{.exchange = 2, .station = 1}, Fields("L021|02|021|044")},
        {{.exchange = 2}, "M023"},
        // Each number becomes the destination's exchange, station or line and its name: a
        // master's number (245), line 2's access digit (7); a number of the wrong length (24)
        // or one no active line uses (8) is sent blank.
        {{.exchange = 1, .station = 1},
         Fields("U011|245   |02|3|Desk\261B  |7     |01|2|Line2   |24    |") + blank + "8     " +
             blank},
    };
    for (const auto& [request, bytes] : rows) ASSERT_TRUE(Decode(bytes, d)) << bytes;
    auto encodesAlike = [&] {
        for (auto [request, bytes] : rows) {
            request.data = &d;
            EXPECT_EQ(Encode(bytes[0], request), bytes);
        }
    };
    encodesAlike();
    // The fields whose reading has a rule of its own: times in tens of seconds, a time's text as
    // "HH:MM", a name with a byte above 0x7F, a receiver's station, U's number of the wrong
    // length kept as written.
    EXPECT_EQ(
        std::tuple(+d.Function[1].TalkTime, d.Exchange[1].PagingTimeLimit,
                   std::string(d.Function[1].EndTime.Text),
                   std::string(d.Exchange[1].Master[2].Name), d.Exchange[0].Line[0].RxMaster[3],
                   std::string(d.Exchange[0].Master[0].CnvTelNo)),
        std::tuple(120, 60, "17:45", "Desk\261B", E{4, 16, 1}, "24"));

    // What no record carries, or carries rounded, changes no byte: a half-used list entry, the
    // receivers of a line not receiving, a talk time's last digit, and in a zone an emergency
    // substation and one without a number.
    d.Exchange[0].Master[1].GroupMaster[3] = {4, 3, 0};
    d.Exchange[0].Line[1].RxMaster[0] = {1, 5, 1};
    d.Function[1].TalkTime = 125;
    test::SetNumber(d.Exchange[1].Sub[1].Number, 202);
    d.Exchange[1].Sub[1].Level = 1;
    d.Exchange[1].Sub[1].Paging = d.Exchange[1].Sub[5].Paging = 1 << 4;
    RebuildZoneTables(d);
    encodesAlike();

    // Sizes follow SwitchCnt; oversized values never spill into the next field.
    d.System.SwitchCnt = 16;
    EXPECT_EQ(Encode('A', {.data = &d})->size(), 121u);
    d.Exchange[0].LineCntLimit = 255;
    EXPECT_EQ(Encode('D', {.exchange = 1, .data = &d})->substr(3, 3), "55T");
    d.Exchange[1].PagingTimeLimit = 990;  // sent as its first two digits
    RebuildZoneRows(d, 2);
    EXPECT_EQ(Encode('H', {.exchange = 2, .zone = 1, .data = &d})->substr(3, 3), "299");
    // Masters of exchanges not in use, and lines that are off, are no destinations.
    d.System.SwitchCnt = 1;
    d.Exchange[0].Line[1].TxNumberOnOff = 0;
    EXPECT_EQ(Encode('U', {.exchange = 1, .station = 1, .data = &d})->substr(4, 34),
              "245   " + blank + "7     " + blank);

    const std::pair<RecordRequest, std::string> requests[] = {
        // Stations without a number: six spaces, the rest as stored. N, O, P, Q and T from the
        // request alone.
        {{.exchange = 2, .station = 4}, Fields("B024|      |X       |00|                    ")},
        {{.exchange = 3, .substation = 64}, Fields("C0364|      |        |03|1|0")},
        {{.exchange = 5, .station = 1}, "E05100"},  // an empty list
        {{.exchange = 5}, "M053"},
        {{.exchange = 2, .station = 3, .text = "0312345678#"},
         "N0230312345678#" + std::string(21, ' ')},
        {{.text = "1010000000000001"}, "O001010000000000001"},
        {{.exchange = 0, .text = "0000000000000011"}, "P000000000000000011"},
        {{}, "Q00"},
        {{.exchange = 7}, "Q07"},
        {{.exchange = 3, .station = 4}, "T034"},
        // A letter alone: the request does not fit it, and there is no record.
        {{.exchange = 0, .station = 1}, "B"},
        {{.exchange = 1, .station = 5}, "B"},
        {{.exchange = 17, .substation = 1}, "C"},
        {{.exchange = 1, .substation = 65}, "C"},
        {{.exchange = 1, .zone = 20}, "H"},
        {{.exchange = 1, .zone = 1}, "J"},  // no source
        {{.exchange = 1}, "R"},
        {{.exchange = 1}, "V"},
    };
    d.DirectSelect.OutMode[4] = 3;
    SetText(d.Exchange[1].Master[3].Name, "X");
    for (auto [request, bytes] : requests) {
        request.data = &d;
        EXPECT_EQ(Encode(bytes[0], request).value_or(bytes.substr(0, 1)), bytes);
    }
    EXPECT_FALSE(Encode('D', {.exchange = 1}));  // no data
}

TEST(RecordCodec, DialingAssignmentBlock) {
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
    EXPECT_EQ(Encode('K', r), Fields("K012|1|0012|2|02|0011|0312345678      |   7|"
                                     "1024|1234567890123456|    "));
    r.firstEntry = 1;
    r.lastEntry = 0;
    r.blockPosition = 3;
    r.doorLockTime = 4;
    EXPECT_EQ(Encode('K', r), Fields("K012|4|0000|3|00"));
    r.firstEntry = 11;  // block 11..15 reaches past the table's 12
    r.lastEntry = 15;
    EXPECT_FALSE(Encode('K', r));
}

// The exchange's reading rules: a blank number clears the station whatever else the record
// holds; receivers are kept whatever the count; member lists are reset, then filled; paging
// writes one zone bit per substation (only the digit 1 sets it) within zones 1..19; names end at
// their first space and non-digits read as 0.
TEST(RecordCodec, ReadingRules) {
    SettingDocument doc;
    SettingData& d = doc.data();
    auto store = [&](const std::string& body) { ASSERT_TRUE(Decode(body, d)) << body; };
    store(Fields("B011|      |Name    |11|0123456789          "));
    const MasterSetting& m = d.Exchange[0].Master[0];
    EXPECT_EQ(std::tuple(std::string(m.Number.Text), m.Number.Value, std::string(m.Name), +m.LineTx,
                         std::string(m.TelNo)),
              std::tuple("-1", kNoNumber, "", 0, ""));
    store(Fields("C0307|      |Gate    |05|4|1"));
    const SubSetting& s = d.Exchange[2].Sub[6];  // called: master 1 of its own exchange
    EXPECT_EQ(std::tuple(s.Number.Value, std::string(s.Name), +s.CallSwNo, +s.CallStNo, +s.Level),
              std::tuple(kNoNumber, "", 3, 1, 0));
    store(Fields("D01|03|A       |000|0|021|000|000|000|        |0000|000000000000"));
    EXPECT_EQ(std::tuple(+d.Exchange[0].Line[0].RxLine, d.Exchange[0].Line[0].RxMaster[0]),
              std::tuple(0, E{1, 2, 1}));

    MasterSetting& group = d.Exchange[0].Master[1];
    group.GroupCnt = 4;
    group.GroupMaster[13] = {9, 9, 9};
    store(Fields("E012|03|011|024|163"));
    EXPECT_EQ(group.GroupCnt, 15);
    for (int k = 3; k < kGroupCount; ++k)
        EXPECT_EQ(group.GroupMaster[k], (E{uint8_t(k + 1), 0, 0}));
    d.Exchange[0].Master[3].ScanSub[5] = {6, 1, 1};
    store(Fields("G014|30|03|0110|0264|0305"));
    EXPECT_EQ(d.Exchange[0].Master[3].ScanSub[5], (E{6, 0, 0}));

    store(Fields("F02|1|0830|1745|1|25|07|12"));  // AutoOutSend follows the times
    d.Function[0].AutoOutSend = 1;
    store(Fields("F01|1|0000|0000|0|10|00|99"));
    EXPECT_EQ(
        std::tuple(+d.Function[1].AutoOutSend, +d.Function[0].AutoOutSend, +d.Function[0].TalkTime),
        std::tuple(1, 0, 990));

    SubSetting* subs = d.Exchange[1].Sub;
    subs[1].Paging = (1 << 4) | (1 << 7);  // cell 2 on the wire clears zone 5 only
    subs[2].Paging = 0x7FFFFFFF;
    store(Fields("H02|2|06|05|1") + std::string(62, '0') + "1");
    EXPECT_EQ(std::tuple(subs[1].Paging, subs[2].Paging), std::tuple(1 << 7, 0x7FFFF & ~(1 << 4)));
    std::string h = Fields("H01|1|00|03|") + std::string(64, '0');
    h[8] = '3';  // would set zones 3 and 4 if shifted as a number
    h[9] = '1';
    store(h);
    EXPECT_EQ(std::tuple(d.Exchange[0].Sub[0].Paging, d.Exchange[0].Sub[1].Paging),
              std::tuple(0, 1 << 2));
    d.System.OutInZone[15][0] = -1;
    store(Fields("J1601|0010"));
    EXPECT_EQ(d.System.OutInZone[15][0], 0x7FFFE);

    store(Fields("B011|12 4  |Ab Cd   |00|") + std::string(20, ' '));
    EXPECT_EQ(std::tuple(std::string(m.Name), std::string(m.Number.Text)), std::tuple("Ab", "12"));
    store(Fields("C0102|1x3   |N       |1A|x|1"));
    const SubSetting& odd = d.Exchange[0].Sub[1];
    EXPECT_EQ(
        std::tuple(std::string(odd.Number.Text), odd.Number.Value + odd.CallSwNo + odd.CallStNo),
        std::tuple("1x3", 0));
    store(Fields("F01|1|0x00|0000|0|1-|00|?9"));
    EXPECT_EQ(d.Function[0].StartTime.Value + d.Function[0].CallCnt + d.Function[0].TalkTime, 0);
}

// Malformed records, and texts holding control bytes, are ignored whole.
TEST(RecordCodec, MalformedRecordsAreIgnoredWhole) {
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
    auto src = std::make_unique<SettingData>();
    test::FillRandomRecordable(*src, 9);
    src->System.SwitchCnt = 2;
    const RecordRequest one{.exchange = 1, .station = 1, .substation = 1, .data = src.get()};
    const std::pair<char, int> texts[] = {{'A', 25}, {'A', 36}, {'B', 4},  {'B', 12}, {'B', 39},
                                          {'C', 5},  {'C', 18}, {'D', 29}, {'U', 4},  {'U', 64}};
    for (const auto& [letter, at] : texts)
        for (const char control : {'\0', '\n', '\x1F', '\x7F'})
            (bad.emplace_back(*Encode(letter, one)))[at] = control;
    SettingDocument doc;
    for (const std::string& body : bad) EXPECT_FALSE(Decode(body, doc.data())) << body;
    EXPECT_TRUE(doc.data() == SettingDocument().data());
}

}  // namespace
}  // namespace qn410
