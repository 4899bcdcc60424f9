// The wire records against bytes written out by hand, both ways; the upload order; the station
// number check; the sequencing of uploads and downloads without windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "setting/text_field.h"
#include "support/random_setting.h"
#include "support/recording_poster.h"
#include "support/recording_prompt.h"
#include "transfer/record_codec.h"
#include "transfer/station_check.h"
#include "transfer/transfer_session.h"
#include "transfer/upload_plan.h"

namespace qn410::test {
namespace {

// A record written field by field, "F02|1|0830": the bars only mark where the fields meet.
std::string Fields(std::string fields) {
    std::erase(fields, '|');
    return fields;
}

using E = StationEntry;

// Records of a two-exchange installation read into the default data encode to the same bytes;
// letters without a decoder are encoded from their request alone.
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
        // A master's number (245) and line 2's access digit (7) name their destination; a number
        // of the wrong length (24) or one no active line uses (8) is sent blank.
        {{.exchange = 1, .station = 1},
         Fields("U011|245   |02|3|Desk\261B  |7     |01|2|Line2   |24    |") + blank + "8     " +
             blank},
    };
    for (const auto& [request, bytes] : rows) ASSERT_TRUE(Decode(bytes, d)) << bytes;
    auto encodesAlike = [&](const auto& table) {
        for (auto [request, bytes] : table) {
            request.data = &d;
            EXPECT_EQ(Encode(bytes[0], request).value_or(bytes.substr(0, 1)), bytes);
        }
    };
    encodesAlike(rows);
    // Times in tens of seconds, a time's text as "HH:MM", a name with a byte above 0x7F, a
    // receiver's station, U's number of the wrong length kept as written.
    EXPECT_EQ(
        std::tuple(+d.Function[1].TalkTime, d.Exchange[1].PagingTimeLimit,
                   std::string(d.Function[1].EndTime.Text),
                   std::string(d.Exchange[1].Master[2].Name), d.Exchange[0].Line[0].RxMaster[3],
                   std::string(d.Exchange[0].Master[0].CnvTelNo)),
        std::tuple(120, 60, "17:45", "Desk\261B", E{4, 16, 1}, "24"));

    // No byte changes for a half-used list entry, a gap inside a list, the receivers of a line
    // not receiving, a talk time's last digit, or in a zone an emergency substation and one
    // without a number.
    d.Exchange[0].Master[1].GroupMaster[3] = {4, 3, 0};
    std::swap(d.Exchange[0].Master[1].GroupMaster[2], d.Exchange[0].Master[1].GroupMaster[5]);
    std::swap(d.Exchange[0].Master[3].ScanSub[2], d.Exchange[0].Master[3].ScanSub[7]);
    d.Exchange[0].Line[1].RxMaster[0] = {1, 5, 1};
    d.Function[1].TalkTime = 125;
    d.Exchange[1].Sub[1].Number = {202, "202"};
    d.Exchange[1].Sub[1].Level = 1;
    d.Exchange[1].Sub[1].Paging = d.Exchange[1].Sub[5].Paging = 1 << 4;
    RebuildZoneTables(d);
    encodesAlike(rows);

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

    // Dialing entries 11 and 12; a door lock time of 10 goes as its first digit, a shot too long
    // for its field as blanks.
    std::array<DialEntry, 12> dial{};
    dial[10] = {11, "0312345678", "", "7"};
    dial[11] = {1024, "1234567890123456", "", "12345"};
    auto k = [&](int16_t first, int16_t last, uint8_t position, uint8_t doorLockTime) {
        return RecordRequest{1, 2, 0, 0, 0, first, last, position, doorLockTime, nullptr, dial};
    };
    const std::pair<RecordRequest, std::string> requests[] = {
        // Stations without a number: six spaces, the rest as stored.
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
        {k(11, 12, 2, 10),
         Fields("K012|1|0012|2|02|0011|0312345678      |   7|1024|1234567890123456|    ")},
        {k(1, 0, 3, 4), Fields("K012|4|0000|3|00")},  // empty table
        // A letter alone: the request does not fit it, and there is no record.
        {k(11, 15, 2, 4), "K"},  // beyond the table's 12 entries
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
    encodesAlike(requests);
    EXPECT_FALSE(Encode('D', {.exchange = 1}));  // no data
}

// A blank number clears the station; receivers are kept whatever the count; member lists are
// reset, then filled; paging writes one zone bit per substation (only the digit 1 sets it) in
// zones 1..19; names end at their first space and non-digits read as 0. Malformed records are
// ignored whole.
TEST(RecordCodec, ReadingRulesAndMalformedRecords) {
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

    // Malformed records, and texts holding control bytes, are ignored whole.
    const std::string master = "1123   Name    00" + std::string(20, ' ');
    const std::string sub = Fields("      |N       |01|1|0");
    std::vector<std::string> bad = {
        "",
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
        "Z01",
    };
    // A place in every text field: SwNumber, Number, Name, TelNo, line names, transfer numbers.
    auto src = std::make_unique<SettingData>();
    FillRandomRecordable(*src, 9);
    src->System.SwitchCnt = 2;
    const RecordRequest one{.exchange = 1, .station = 1, .substation = 1, .data = src.get()};
    const std::pair<char, int> texts[] = {{'A', 25}, {'A', 36}, {'B', 4},  {'B', 12}, {'B', 39},
                                          {'C', 5},  {'C', 18}, {'D', 29}, {'U', 4},  {'U', 64}};
    for (const auto& [letter, at] : texts)
        for (const char control : {'\0', '\n', '\x1F', '\x7F'})
            (bad.emplace_back(*Encode(letter, one)))[at] = control;
    const auto before = std::make_unique<SettingData>(d);
    for (const std::string& body : bad) EXPECT_FALSE(Decode(body, d)) << body;
    EXPECT_TRUE(d == *before);
    // A download stores only what it can decode, naming its category for the progress display.
    RecordingPoster poster;
    EXPECT_FALSE(StoreReceivedRecord("K0121000030000", d, poster));
    EXPECT_TRUE(StoreReceivedRecord("M027", d, poster));
    ASSERT_EQ(poster.posted.size(), 1u);
    EXPECT_EQ(poster.posted[0].name, "Direct Select");
}

// Each step {letter, exchange, station, substation, zone, source zone, range total, index}: A; B
// for every exchange; per target exchange C D E F G H I J U L M; the closing message.
TEST(UploadPlan, OrderOfLettersExchangesAndIndexes) {
    EXPECT_EQ(std::tuple(UploadStepCount(1, 0), UploadStepCount(3, 2)), std::tuple(146, 154));
    const struct {
        char letter;
        int count, field;  // field: where the unit goes in the step
    } ranges[] = {{'C', 64, 3}, {'D', 1, 0},  {'E', 4, 2}, {'F', 1, 0}, {'G', 4, 2}, {'H', 19, 4},
                  {'I', 19, 4}, {'J', 19, 5}, {'U', 4, 2}, {'L', 4, 2}, {'M', 1, 0}};
    SettingDocument doc;
    for (const int n : {1, 2, 3, 16}) {
        doc.data().System.SwitchCnt = static_cast<uint8_t>(n);
        EXPECT_EQ(
            std::pair(ExpectedDownloadCount(doc.data(), 0), ExpectedDownloadCount(doc.data(), 1)),
            std::pair(1 + 144 * n, 141 + 4 * n));
        EXPECT_EQ(UploadPlan(doc.data(), n + 1).size(), 0) << "exchange outside the system";
        for (const int target : {0, 1, n}) {
            using Step = std::array<int, 8>;
            std::vector<Step> want{{'A', 0, 0, 0, 0, 0, 1, 1}};
            for (int e = 1, i = 1; e <= n; ++e)
                for (int m = 1; m <= 4; ++m) want.push_back({'B', e, m, 0, 0, 0, 4 * n, i++});
            const int first = target ? target : 1, last = target ? target : n;
            for (const auto& range : ranges)
                for (int e = first, i = 1; e <= last; ++e)
                    for (int u = 1; u <= range.count; ++u) {
                        Step x{range.letter, e, 0, 0, 0, 0, range.count * (last - first + 1), i++};
                        if (range.field) x[range.field] = u;
                        want.push_back(x);
                    }
            want.push_back({0, target, 0, 0, 0, 0, 1, 1});
            const UploadPlan plan(doc.data(), target);
            EXPECT_EQ(plan.size(), target ? 142 + 4 * n : 2 + 144 * n);
            std::vector<Step> got;
            for (int s = 1; s <= plan.size(); ++s) {
                const UploadStep step = plan.step(s);
                const RecordRequest& r = step.request;
                got.push_back({step.letter, r.exchange, r.station, r.substation, r.zone,
                               r.sourceZone, step.rangeTotal, step.rangeIndex});
            }
            EXPECT_EQ(got, want) << "n=" << n << " target=" << target;
        }
    }
}

// Over two exchanges (three digits, blocks 100.. and 200..) a row sets station numbers
// ("M2.3=1234": master 3 of exchange 2; "S": substation; ":1000" a value other than the text's)
// and trunk access digits ("T1.2=9": line 2 of exchange 1, active; "t": not active), and gives
// where the check stops: code, station with its number's text and value, a duplicate's twin.
TEST(StationCheck, StepsInTheirOrder) {
    const std::pair<const char*, const char*> rows[] = {
        {"", "0"},
        {"M1.2=123 S1.1=101", "0"},
        // 1: masters' digits, over every exchange before step 2 looks for duplicates.
        {"M2.3=1234", "2 M2.3=1234:1234"},
        {"M2.3=999:1000", "2 M2.3=999:1000"},  // a value beyond the digits, a text that fits
        {"M1.1=150 M1.3=150 M2.1=15", "2 M2.1=15:15"},
        // 2: other masters first, then substations of any exchange.
        {"M1.1=150 S2.5=150 M2.2=150", "1 M1.1=150:150 M2.2"},
        {"M1.1=150 S2.5=150", "1 M1.1=150:150 S2.5"},
        // 3: only active trunks of the master's own exchange; after step 2.
        {"M1.1=901 M2.1=902 T1.1=9", "4 M1.1=901:901"},
        {"M1.1=901 t1.1=9", "0"},
        {"M2.1=902 T1.1=9", "0"},
        {"M1.1=901 M2.1=150 S1.1=150 T1.1=9", "1 M2.1=150:150 S1.1"},
        // 4: substations' digits, after every master step.
        {"S1.3=12", "2 S1.3=12:12"},
        {"S1.3=12 M2.4=250 T2.1=2", "4 M2.4=250:250"},
        // 5: blocks; the last exchange has no upper limit.
        {"S1.1=199 S2.1=999", "0"},
        {"S1.1=199 S1.2=250", "3 S1.2=250:250"},
        {"S2.2=150", "3 S2.2=150:150"},
        // 6: duplicates within the exchange, after the blocks of every exchange.
        {"S1.3=120 S1.7=120", "1 S1.3=120:120 S1.7"},
        {"S1.3=120 S1.7=120 S2.1=100", "3 S2.1=100:100"},
        // 7: substations against their own exchange's active trunks.
        {"S1.1=190 S2.4=901 T2.2=9", "4 S2.4=901:901"},
        // Exchanges beyond SwitchCnt are not examined.
        {"M3.1=1 S16.64=1", "0"},
    };
    auto station = [](StationKind kind, int exchange, int index) {
        return (kind == StationKind::Master ? "M" : "S") + std::to_string(exchange) + "." +
               std::to_string(index);
    };
    EXPECT_EQ(StationCheckMessage(CheckStationNumbers(SettingDocument().data())), "");
    for (const auto& [set, stop] : rows) {
        SettingDocument doc;
        SettingData& d = doc.data();
        d.System.SwitchCnt = 2;
        d.System.NumberSize = 3;
        d.System.SwNumber[0].Value = 100;
        d.System.SwNumber[1].Value = 200;
        for (ExchangeSetting& x : d.Exchange) {
            for (MasterSetting& m : x.Master) m.Number = {kNoNumber, "-1"};
            for (SubSetting& s : x.Sub) s.Number = {kNoNumber, "-1"};
        }
        std::istringstream words(set);
        for (std::string w; words >> w;) {
            char kind, text[8];
            int e, i, value = -1;
            ASSERT_GE(std::sscanf(w.c_str(), "%c%d.%d=%7[0-9]:%d", &kind, &e, &i, text, &value), 4);
            ExchangeSetting& x = d.Exchange[e - 1];
            if (kind == 'T' || kind == 't') {
                x.Line[i - 1].TxNumberOnOff = kind == 'T';
                x.Line[i - 1].TxNumber = static_cast<uint8_t>(std::stoi(text));
                continue;
            }
            StationNumber& n = kind == 'M' ? x.Master[i - 1].Number : x.Sub[i - 1].Number;
            SetText(n.Text, text);
            n.Value = value >= 0 ? value : std::stoi(text);
        }
        const StationCheckResult r = CheckStationNumbers(d);
        std::string got = std::to_string(int(r.code));
        if (!r.ok())
            got += " " + station(r.kind, r.exchange, r.index) + "=" + r.numberText + ":" +
                   std::to_string(r.numberValue);
        if (r.code == StationCheckCode::Duplicate)
            got += " " + station(r.otherKind, r.otherExchange, r.otherIndex);
        EXPECT_EQ(got, stop) << set;
    }
}

class TransferSessionTest : public ::testing::Test, public TransferHost {
  protected:
    void StartTimer() override { running_ = true; }
    void StopTimer() override { running_ = false; }
    void Finished(TransferOutcome) override { ++finished_; }

    std::vector<RecordingPoster::Posted> Take() {
        std::erase_if(poster_.posted, [](const auto& p) { return !p.request; });
        return std::exchange(poster_.posted, {});
    }
    TransferRequestPtr TakeOne() {
        auto requests = Take();
        EXPECT_EQ(requests.size(), 1u);
        return requests.empty() ? nullptr : std::move(requests[0].request);
    }
    void Receive(const std::string& body) {
        session_.OnLinkResult(kResultReceived,
                              std::make_unique<TransferRequest>(TransferRequest{.body = body}));
    }
    // The link let go (both masks cleared) by wParam; the answer ends the transfer as outcome.
    void ExpectClose(uint32_t wParam, TransferOutcome outcome) {
        auto close = Take();
        ASSERT_EQ(close.size(), 1u);
        const TransferRequest& r = *close[0].request;
        EXPECT_EQ(std::tuple(close[0].wParam, r.setMask, r.clearMask), std::tuple(wParam, 0, 3));
        session_.OnLinkResult(wParam == kLinkAbandon ? kResultReset : kResultDone,
                              std::move(close[0].request));
        EXPECT_EQ(session_.outcome(), outcome);
    }
    // The records of a random three-exchange installation, as it sends them for exchange.
    std::unique_ptr<SettingData> ReceiveAll(uint32_t seed, int exchange) {
        auto source = std::make_unique<SettingData>();
        FillRandomRecordable(*source, seed);
        source->System.SwitchCnt = 3;
        const UploadPlan plan(*source, exchange);
        for (int s = 1; s < plan.size(); ++s) Receive(*plan.Record(s));
        return source;
    }

    SettingDocument doc_;
    RecordingPoster poster_;
    RecordingPrompt prompt_;
    int cancel_ = 0, finished_ = 0;
    bool running_ = false;
    FixedClock clock_{LocalTime{2026, 12, 6, 9, 30, 0, 0}};
    TransferSession session_{doc_, poster_, prompt_, *this, this, cancel_, &clock_};
};

// One record per confirmation; or a refused record, no device, Cancel (the link abandoned
// instead of the next record), 120 s without a confirmation. The late answers change nothing in
// a download started at once, which stores only its records (of an "All" download's, only
// exchange 2's) and releases the link once they are in.
TEST_F(TransferSessionTest, HowAnUploadEndsAndWhatComesAfter) {
    doc_.data().System.SwitchCnt = 3;
    session_.StartUpload(2);
    int records = 0;
    for (auto requests = Take(); !requests.empty(); requests = Take(), ++records) {
        ASSERT_EQ(requests.size(), 1u);  // nothing more until the link confirms
        session_.OnLinkResult(kResultDone, std::move(requests[0].request));
    }
    EXPECT_EQ(std::tuple(records, session_.outcome(), finished_, running_, prompt_.shown.size()),
              std::tuple(154, TransferOutcome::Uploaded, 1, false, 0u));
    session_.StartUpload(0);
    session_.OnLinkResult(kResultNotDelivered, TakeOne());
    EXPECT_EQ(session_.outcome(), TransferOutcome::FailedTransmit);
    session_.StartUpload(0);
    session_.OnLinkResult(kResultOpenFailed, TakeOne());
    EXPECT_EQ(std::tuple(session_.outcome(), poster_.posted.back().message, prompt_.shown[1].icon),
              std::tuple(TransferOutcome::FailedOpen, UM_PROGRESS_CLOSE, PromptIcon::Exclamation));
    session_.StartUpload(0);
    cancel_ = 1;  // pressed while the first record is under way
    session_.OnLinkResult(kResultDone, TakeOne());
    ExpectClose(kLinkAbandon, TransferOutcome::Cancelled);
    cancel_ = 0;
    session_.StartUpload(0);
    auto inFlight = TakeOne();
    for (int i = 0; i < 119; ++i) session_.OnTimer();
    EXPECT_EQ(prompt_.shown.size(), 2u);
    session_.OnTimer();
    session_.OnLinkResult(kResultNotDelivered, std::move(inFlight));
    auto abandon = Take();
    ASSERT_EQ(abandon.size(), 1u);
    EXPECT_EQ(std::tuple(abandon[0].wParam, session_.outcome()),
              std::tuple(kLinkAbandon, TransferOutcome::FailedTransmit));
    session_.StartDownload(2);
    session_.OnLinkResult(kResultReset, std::move(abandon[0].request));
    EXPECT_EQ(session_.outcome(), TransferOutcome::Running);
    EXPECT_EQ(prompt_.texts(),
              (std::vector<std::string>{"Failed to transmit", "Failed to open the device",
                                        "Failed to transmit"}));
    session_.OnLinkResult(kResultDone, TakeOne());
    auto expected = std::make_unique<SettingData>(doc_.data());
    const auto source = ReceiveAll(5, 0);
    EXPECT_EQ(Take().size(), 1u);
    const UploadPlan single(*source, 2);
    for (int s = 1; s < single.size(); ++s) Decode(*single.Record(s), *expected);
    EXPECT_EQ(FirstRecordDifference(*expected, doc_.data()), std::nullopt);
}

// Every record stored, then the release; records before the confirmation ignored, a time-out
// keeping what arrived; a device lost (no request) or an exchange's cancel ending it at once.
TEST_F(TransferSessionTest, HowADownloadEnds) {
    session_.StartDownload(0);
    auto request = TakeOne();
    EXPECT_EQ(std::tuple(request->body, request->setMask), std::tuple("Q00", 3));
    session_.OnLinkResult(kResultDone, std::move(request));
    EXPECT_EQ(session_.expected(), 145);  // SwitchCnt 1 here
    const auto source = ReceiveAll(17, 0);
    // The Global Setting raised SwitchCnt to 3: 2 + 144 * 3 - 1 records.
    EXPECT_EQ(std::tuple(session_.expected(), session_.received(), finished_, doc_.modified),
              std::tuple(433, 433, 0, true));
    ExpectClose(kLinkSubmit, TransferOutcome::Downloaded);  // a normal release
    EXPECT_EQ(poster_.posted.back().message, UM_PROGRESS_CLOSE);
    EXPECT_EQ(FirstRecordDifference(*source, doc_.data()), std::nullopt);
    for (int e = 0; e < 3; ++e)  // the decoders keep the zone tables in step
        EXPECT_TRUE(std::ranges::equal(doc_.data().Zones.Sub[e], source->Zones.Sub[e])) << e;

    session_.StartDownload(1);
    request = TakeOne();
    EXPECT_EQ(request->setMask, 2);
    Receive("M019");
    session_.OnLinkResult(kResultDone, std::move(request));
    Receive("M015");
    Receive("M015");  // again, and malformed: neither counts
    Receive("M01");
    EXPECT_EQ(session_.received(), 1);
    for (int i = 0; i < 120; ++i) session_.OnTimer();
    EXPECT_EQ(std::tuple(session_.outcome(), +doc_.data().DirectSelect.OutMode[0]),
              std::tuple(TransferOutcome::TimedOut, 5));
    session_.StartDownload(0);
    session_.OnLinkResult(kResultNotDelivered, nullptr);
    EXPECT_EQ(std::tuple(session_.outcome(), running_),
              std::tuple(TransferOutcome::FailedReceive, false));
    EXPECT_EQ(prompt_.texts(),
              (std::vector<std::string>{"Communications time-out", "Failed to receive"}));
    session_.StartDownload(0);
    Take();
    session_.OnExchangeCancel();
    ExpectClose(kLinkAbandon, TransferOutcome::Cancelled);
}

}  // namespace
}  // namespace qn410::test
