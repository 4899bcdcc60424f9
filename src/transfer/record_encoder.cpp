// Encode: one builder per command letter. Every record starts as a buffer of '0' holding the
// letter and the exchange; each builder writes its fields over it.
#include <algorithm>
#include <string>

#include "setting/text_field.h"
#include "transfer/record_codec.h"
#include "transfer/record_fields.h"

namespace qn410 {

using namespace wire;

namespace {

bool InRange(int value, int lo, int hi) {
    return value >= lo && value <= hi;
}

WireRecord Start(char letter, int exchange, std::size_t size) {
    WireRecord body(size, '0');
    body[kLetter] = letter;
    PutDigits(body, kExchange, 2, exchange);
    return body;
}

const ExchangeSetting& Ex(const RecordRequest& r) {
    return r.data->Exchange[r.exchange - 1];
}
const MasterSetting& Master(const RecordRequest& r) {
    return Ex(r).Master[r.station - 1];
}

// Six spaces for a station without a number, else its text.
void PutStationNumber(WireRecord& body, std::size_t pos, const StationNumber& number) {
    PutText(body, pos, 6, number.Value == kNoNumber ? std::string_view{} : TextOf(number.Text));
}

WireRecord EncodeA(const RecordRequest& r) {
    const SystemSetting& sys = r.data->System;
    const int count = sys.SwitchCnt < kExchangeCount ? sys.SwitchCnt : kExchangeCount;
    WireRecord body = Start('A', r.exchange, a::Size(count));
    const LocalTime now = (r.clock ? *r.clock : SystemClock::Instance()).Now();
    PutDigits(body, a::kYear, 4, now.year);
    PutDigits(body, a::kMonth, 2, now.month);
    PutDigits(body, a::kDay, 2, now.day);
    PutDigits(body, a::kHour, 2, now.hour);
    PutDigits(body, a::kMinute, 2, now.minute);
    PutDigits(body, a::kSecond, 2, now.second);
    PutDigits(body, a::kWeekday, 1, now.dayOfWeek + 1);  // the exchange counts Sunday as 1
    PutDigits(body, a::kSwitchCnt, 2, sys.SwitchCnt);
    PutDigits(body, a::kNumberSize, 1, sys.NumberSize);
    for (int t = 0; t < kTieLineCount; ++t) PutDigits(body, a::kTieLine + t, 1, sys.TieLine[t]);
    for (int i = 0; i < count; ++i)
        PutText(body, a::kSwNumber + 6 * i, 6, TextOf(sys.SwNumber[i].Text));
    return body;
}

WireRecord EncodeB(const RecordRequest& r) {
    const MasterSetting& m = Master(r);
    WireRecord body = Start('B', r.exchange, b::kSize);
    PutDigits(body, b::kMaster, 1, r.station);
    PutStationNumber(body, b::kNumber, m.Number);
    PutText(body, b::kName, 8, TextOf(m.Name));
    PutDigits(body, b::kLineTx, 1, m.LineTx);
    PutDigits(body, b::kPaging, 1, m.Paging);
    PutText(body, b::kTelNo, 20, TextOf(m.TelNo));
    return body;
}

WireRecord EncodeC(const RecordRequest& r) {
    const SubSetting& s = Ex(r).Sub[r.substation - 1];
    WireRecord body = Start('C', r.exchange, c::kSize);
    PutDigits(body, c::kSub, 2, r.substation);
    PutStationNumber(body, c::kNumber, s.Number);
    PutText(body, c::kName, 8, TextOf(s.Name));
    PutDigits(body, c::kCallSwNo, 2, s.CallSwNo);
    PutDigits(body, c::kCallStNo, 1, s.CallStNo);
    PutDigits(body, c::kLevel, 1, s.Level);
    return body;
}

WireRecord EncodeD(const RecordRequest& r) {
    const ExchangeSetting& ex = Ex(r);
    WireRecord body = Start('D', r.exchange, d::kSize);
    PutDigits(body, d::kLineCntLimit, 2, ex.LineCntLimit);
    for (int l = 0; l < kTrunkLineCount; ++l) {
        const TrunkLineSetting& line = ex.Line[l];
        const std::size_t base = l == 0 ? d::kLine1 : d::kLine2;
        PutText(body, base + d::kName, 8, TextOf(line.Name));
        PutDigits(body, base + d::kTxOnOff, 1, line.TxNumberOnOff);
        PutDigits(body, base + d::kTxNumber, 1, line.TxNumber);
        PutDigits(body, base + d::kRxDial, 1, line.RxDial);
        PutDigits(body, base + d::kRxCount, 1, line.RxLine ? kRxMasterCount : 0);
        if (!line.RxLine) continue;  // the entries stay '0'
        for (int k = 0; k < kRxMasterCount; ++k) {
            PutDigits(body, base + d::kRxMaster + 3 * k, 2, line.RxMaster[k].ExchangeNo);
            PutDigits(body, base + d::kRxMaster + 3 * k + 2, 1, line.RxMaster[k].StationNo);
        }
    }
    return body;
}

// E and L: the list's used entries (exchange and station both set), packed without gaps.
WireRecord EncodeList(char letter, const RecordRequest& r, const StationEntry* entries,
                      int capacity) {
    WireRecord body = Start(letter, r.exchange, list::Size(capacity));
    PutDigits(body, list::kMaster, 1, r.station);
    int n = 0;
    for (int k = 0; k < capacity; ++k) {
        if (entries[k].ExchangeNo == 0 || entries[k].StationNo == 0) continue;
        PutDigits(body, list::kEntries + 3 * n, 2, entries[k].ExchangeNo);
        PutDigits(body, list::kEntries + 3 * n + 2, 1, entries[k].StationNo);
        ++n;
    }
    PutDigits(body, list::kCount, 2, n);
    body.resize(list::Size(n));
    return body;
}

WireRecord EncodeF(const RecordRequest& r) {
    const FunctionSetting& f = r.data->Function[r.exchange - 1];
    WireRecord body = Start('F', r.exchange, f::kSize);
    PutDigits(body, f::kOutSend, 1, f.OutSend);
    PutDigits(body, f::kStartHour, 2, f.StartTime.Value >> 8);
    PutDigits(body, f::kStartMinute, 2, f.StartTime.Value & 0xFF);
    PutDigits(body, f::kEndHour, 2, f.EndTime.Value >> 8);
    PutDigits(body, f::kEndMinute, 2, f.EndTime.Value & 0xFF);
    PutDigits(body, f::kTalkSend, 1, f.TalkSend);
    PutDigits(body, f::kCallCnt, 2, f.CallCnt);
    PutDigits(body, f::kCallTime, 2, f.CallTime);
    PutDigits(body, f::kTalkTime, 2, f.TalkTime / 10);
    return body;
}

WireRecord EncodeG(const RecordRequest& r) {
    const MasterSetting& m = Master(r);
    WireRecord body = Start('G', r.exchange, g::Size(kScanCount));
    PutDigits(body, g::kMaster, 1, r.station);
    PutDigits(body, g::kScanTime, 2, m.ScanTime);
    int n = 0;
    for (const StationEntry& e : m.ScanSub) {
        if (e.ExchangeNo == 0 || e.StationNo == 0) continue;
        PutDigits(body, g::kEntries + 4 * n, 2, e.ExchangeNo);
        PutDigits(body, g::kEntries + 4 * n + 2, 2, e.StationNo);
        ++n;
    }
    PutDigits(body, g::kCount, 2, n);
    body.resize(g::Size(n));
    return body;
}

// H, I, J: one digit per member, '1' for a member of the zone; a cell that is not selectable
// (2) goes out as '0'.
void PutCells(WireRecord& body, std::size_t pos, const ZoneRow* rows, int count, int zone) {
    for (int k = 0; k < count; ++k) body[pos + k] = rows[k].Cell[zone - 1] == 1 ? '1' : '0';
}

WireRecord EncodeH(const RecordRequest& r) {
    const ZoneRow* rows = r.data->Zones.Sub[r.exchange - 1];
    WireRecord body = Start('H', r.exchange, h::kSize);
    PutDigits(body, h::kZoneSize, 1, rows[0].ZoneSize);
    // The exchange takes the limit in tens of seconds: the first two of its three digits.
    PutDigits(body, h::kTimeLimit, 2, rows[0].PagingTimeLimit / 10);
    PutDigits(body, h::kZone, 2, r.zone);
    PutCells(body, h::kCells, rows, kSubCount, r.zone);
    return body;
}

WireRecord EncodeMembers(char letter, const RecordRequest& r, const ZoneRow* rows, int count,
                         int zone) {
    WireRecord body = Start(letter, r.exchange, i::kCells + count);
    PutDigits(body, i::kZone, 2, zone);
    PutCells(body, i::kCells, rows, count, zone);
    return body;
}

WireRecord EncodeK(const RecordRequest& r) {
    const int first = r.firstEntry, last = r.lastEntry;
    int c = last - first + 1;
    if (c > static_cast<int>(k::kMaxEntries)) c = k::kMaxEntries;
    if (c < 0 || first < 1) c = 0;
    if (first - 1 + c > static_cast<int>(r.sendTable.size())) c = 0;
    WireRecord body = Start('K', r.exchange, k::Size(c));
    PutDigits(body, k::kMaster, 1, r.station);
    // One character holds the door lock time: the first digit of its decimal form.
    body[k::kDoorLock] = std::to_string(r.doorLockTime)[0];
    PutDigits(body, k::kTotal, 4, last);
    PutDigits(body, k::kPosition, 1, r.blockPosition);
    PutDigits(body, k::kCount, 2, c);
    for (int j = 0; j < c; ++j) {
        const DialEntry& entry = r.sendTable[first - 1 + j];
        const std::size_t pos = k::kEntries + k::kEntryWidth * j;
        PutDigits(body, pos + k::kSwitch, 4, entry.SwitchNo);
        PutText(body, pos + k::kDial, 16, TextOf(entry.Dial));
        PutTextRight(body, pos + k::kShot, 4, TextOf(entry.Shot));
    }
    return body;
}

// U: the destination of a call-transfer number, resolved from the masters (a full station
// number) or from the exchange's C/O lines (a one-digit access number); else eleven spaces.
void PutTransferGroup(WireRecord& body, std::size_t pos, const RecordRequest& r,
                      std::string_view number) {
    const SettingData& data = *r.data;
    PutText(body, pos + u::kNumber, 6, number);
    PutText(body, pos + u::kDestExchange, 11, {});
    const bool digits =
        !number.empty() && number.find_first_not_of("0123456789") == std::string_view::npos;
    if (number.size() != 1 && digits && number.size() == data.System.NumberSize) {
        const int value = NumberValue(number);
        const int count =
            data.System.SwitchCnt < kExchangeCount ? data.System.SwitchCnt : kExchangeCount;
        for (int e = 0; e < count; ++e)
            for (int s = 0; s < kMasterCount; ++s) {
                const MasterSetting& m = data.Exchange[e].Master[s];
                if (m.Number.Value != value) continue;
                PutDigits(body, pos + u::kDestExchange, 2, e + 1);
                PutDigits(body, pos + u::kDestStation, 1, s + 1);
                PutText(body, pos + u::kDestName, 8, TextOf(m.Name));
                return;
            }
    } else if (number.size() == 1) {
        const ExchangeSetting& ex = Ex(r);
        for (int l = 0; l < kTrunkLineCount; ++l) {
            const TrunkLineSetting& line = ex.Line[l];
            if (line.TxNumberOnOff != 1 || line.TxNumber != number[0] - '0') continue;
            PutDigits(body, pos + u::kDestExchange, 2, r.exchange);
            PutDigits(body, pos + u::kDestStation, 1, l + 1);
            PutText(body, pos + u::kDestName, 8, TextOf(line.Name));
            return;
        }
    }
}

WireRecord EncodeU(const RecordRequest& r) {
    const MasterSetting& m = Master(r);
    WireRecord body = Start('U', r.exchange, u::kSize);
    PutDigits(body, u::kMaster, 1, r.station);
    const std::string_view numbers[] = {TextOf(m.AbsenceTelNo), TextOf(m.AutoAbsenceTelNo),
                                        TextOf(m.CnvTelNo), TextOf(m.NonRespTelNo)};
    for (int g = 0; g < 4; ++g)
        PutTransferGroup(body, u::kGroups + u::kGroupWidth * g, r, numbers[g]);
    return body;
}

// Which request fields a letter needs, so that no builder indexes outside the data.
bool Fits(char letter, const RecordRequest& r) {
    const bool exchange = InRange(r.exchange, 1, kExchangeCount);
    const bool master = exchange && InRange(r.station, 1, kMasterCount);
    switch (letter) {
        case 'A':
            return r.data && InRange(r.exchange, 0, kExchangeCount);
        case 'B':
        case 'E':
        case 'G':
        case 'L':
        case 'U':
            return r.data && master;
        case 'C':
            return r.data && exchange && InRange(r.substation, 1, kSubCount);
        case 'D':
        case 'F':
        case 'M':
            return r.data && exchange;
        case 'H':
        case 'I':
            return r.data && exchange && InRange(r.zone, 1, kZoneCount);
        case 'J':
            return r.data && exchange && InRange(r.sourceZone, 1, kZoneCount);
        case 'K':
        case 'T':
            return master;
        case 'N':
            return exchange;
        case 'O':
        case 'P':
            return InRange(r.exchange, 0, kExchangeCount);
        case 'Q':
            return InRange(r.exchange, 0, kExchangeCount);
        default:
            return false;
    }
}

}  // namespace

std::optional<WireRecord> Encode(char letter, const RecordRequest& r) {
    if (!Fits(letter, r)) return std::nullopt;
    switch (letter) {
        case 'A':
            return EncodeA(r);
        case 'B':
            return EncodeB(r);
        case 'C':
            return EncodeC(r);
        case 'D':
            return EncodeD(r);
        case 'E':
            return EncodeList('E', r, Master(r).GroupMaster, kGroupCount);
        case 'F':
            return EncodeF(r);
        case 'G':
            return EncodeG(r);
        case 'H':
            return EncodeH(r);
        case 'I':
            return EncodeMembers('I', r, r.data->Zones.Speaker[r.exchange - 1], kSpeakerCount,
                                 r.zone);
        case 'J':
            return EncodeMembers('J', r, r.data->Zones.Source[r.exchange - 1], kExternalSourceCount,
                                 r.sourceZone);
        case 'K':
            return EncodeK(r);
        case 'L':
            return EncodeList('L', r, Master(r).MeetMaster, kMeetCount);
        case 'M': {
            WireRecord body = Start('M', r.exchange, m::kSize);
            PutDigits(body, m::kOutMode, 1, r.data->DirectSelect.OutMode[r.exchange - 1]);
            return body;
        }
        case 'N': {
            WireRecord body = Start('N', r.exchange, n::kSize);
            PutDigits(body, n::kMaster, 1, r.station);
            PutText(body, n::kTelNo, n::kTelNoWidth, r.text);
            return body;
        }
        case 'O':
        case 'P': {
            WireRecord body = Start(letter, r.exchange, op::kSize);
            body.replace(op::kData, std::min(r.text.size(), op::kDataWidth),
                         r.text.substr(0, op::kDataWidth));
            return body;
        }
        case 'Q':
            return Start('Q', r.exchange, q::kSize);
        case 'U':
            return EncodeU(r);
        case 'T': {
            WireRecord body = Start('T', r.exchange, t::kSize);
            PutDigits(body, t::kMaster, 1, r.station);
            return body;
        }
        default:
            return std::nullopt;
    }
}

std::string_view RecordName(char letter) {
    switch (letter) {
        case 'A':
            return "Global Setting";
        case 'B':
            return "Master Stations (Telephones)";
        case 'C':
            return "Substations";
        case 'D':
            return "C/O Trunks";
        case 'E':
            return "Group Call";
        case 'F':
            return "Call Forwarding/Time-Out";
        case 'G':
            return "Scan Monitor";
        case 'H':
            return "Paging";
        case 'I':
            return "Public Address Systems";
        case 'J':
            return "External Source Distribution";
        case 'K':
            return "Dialing Assignment";
        case 'L':
            return "Emergency Conference";
        case 'M':
            return "Direct Select";
        case 'N':
            return "Remote Dialing";
        case 'O':
            return "Log Data Request";
        case 'P':
            return "Communication Monitoring Request";
        case 'Q':
            return "Start Dwnload";
        case 'T':
            return "Direct Select Dial Request";
        case 'U':
            return "Transfer Setting";
        default:
            return {};
    }
}

}  // namespace qn410
