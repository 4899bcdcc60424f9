// Builders of the global setting (A), call forwarding (F), the zone memberships (H, I, J) and
// the dialing-assignment blocks (K).
#include <algorithm>
#include <string>

#include "setting/text_field.h"
#include "transfer/record_builders.h"
#include "transfer/record_fields.h"

namespace qn410::wire {

namespace {

// H, I, J: one digit per member, '1' for a member of the zone; a cell that is not selectable
// (2) goes out as '0'.
void PutCells(WireRecord& body, std::size_t pos, const ZoneRow* rows, int count, int zone) {
    for (int k = 0; k < count; ++k) body[pos + k] = rows[k].Cell[zone - 1] == 1 ? '1' : '0';
}

}  // namespace

WireRecord StartRecord(char letter, int exchange, std::size_t size) {
    WireRecord body(size, '0');
    body[kLetter] = letter;
    PutDigits(body, kExchange, 2, exchange);
    return body;
}

WireRecord EncodeA(const RecordRequest& r) {
    const SystemSetting& sys = r.data->System;
    const int count = sys.SwitchCnt < kExchangeCount ? sys.SwitchCnt : kExchangeCount;
    WireRecord body = StartRecord('A', r.exchange, a::Size(count));
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

WireRecord EncodeF(const RecordRequest& r) {
    const FunctionSetting& f = r.data->Function[r.exchange - 1];
    WireRecord body = StartRecord('F', r.exchange, f::kSize);
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

WireRecord EncodeH(const RecordRequest& r) {
    const ZoneRow* rows = r.data->Zones.Sub[r.exchange - 1];
    WireRecord body = StartRecord('H', r.exchange, h::kSize);
    PutDigits(body, h::kZoneSize, 1, rows[0].ZoneSize);
    // The exchange takes the limit in tens of seconds: the first two of its three digits.
    PutDigits(body, h::kTimeLimit, 2, rows[0].PagingTimeLimit / 10);
    PutDigits(body, h::kZone, 2, r.zone);
    PutCells(body, h::kCells, rows, kSubCount, r.zone);
    return body;
}

WireRecord EncodeMembers(char letter, const RecordRequest& r, const ZoneRow* rows, int count,
                         int zone) {
    WireRecord body = StartRecord(letter, r.exchange, i::kCells + count);
    PutDigits(body, i::kZone, 2, zone);
    PutCells(body, i::kCells, rows, count, zone);
    return body;
}

// Nothing when the block reaches past the send table.
std::optional<WireRecord> EncodeK(const RecordRequest& r) {
    const int first = r.firstEntry, last = r.lastEntry;
    const int c = std::clamp(last - first + 1, 0, static_cast<int>(k::kMaxEntries));
    if (c > 0 && (first < 1 || first - 1 + c > static_cast<int>(r.sendTable.size())))
        return std::nullopt;
    WireRecord body = StartRecord('K', r.exchange, k::Size(c));
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

}  // namespace qn410::wire
