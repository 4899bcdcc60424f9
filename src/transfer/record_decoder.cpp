// Decode: stores a received record into the setting data. Each decoder first checks that the
// record holds every field it reads and that its indexes are in range, then writes.
#include <cstdio>

#include "setting/text_field.h"
#include "transfer/record_codec.h"
#include "transfer/record_fields.h"

namespace qn410 {

using namespace wire;

namespace {

bool InRange(int value, int lo, int hi) {
    return value >= lo && value <= hi;
}

void StoreNumber(StationNumber& number, std::string_view text) {
    SetText(number.Text, text);
    number.Value = NumberValue(TextOf(number.Text));
}

void ClearNumber(StationNumber& number) {
    number.Value = kNoNumber;
    SetText(number.Text, "-1");
}

uint8_t Digit(std::string_view body, std::size_t pos) {
    return static_cast<uint8_t>(ReadDigits(body, pos, 1));
}
uint8_t TwoDigits(std::string_view body, std::size_t pos) {
    return static_cast<uint8_t>(ReadDigits(body, pos, 2));
}

// Writes one membership digit into bit zone-1 of a mask kept to zones 1..19. Only '1' makes
// a member: '2' (not selectable) and any other digit read as 0, so a stray digit can never
// reach the bit of another zone.
void StoreZoneBit(int32_t& mask, char digit, int zone) {
    const int32_t bit = int32_t{1} << (zone - 1);
    mask = (mask & kZoneMaskBits & ~bit) | (digit == '1' ? bit : 0);
}

bool DecodeA(std::string_view body, SettingData& data) {
    if (body.size() < a::Size(0)) return false;
    const int count = ReadDigits(body, a::kSwitchCnt, 2);
    if (!InRange(count, 1, kExchangeCount) || body.size() < a::Size(count)) return false;
    SystemSetting& sys = data.System;
    sys.SwitchCnt = static_cast<uint8_t>(count);
    sys.NumberSize = Digit(body, a::kNumberSize);
    for (int t = 0; t < kTieLineCount; ++t) sys.TieLine[t] = Digit(body, a::kTieLine + t);
    for (int i = 0; i < count; ++i) {
        ExchangeNumberEntry& entry = sys.SwNumber[i];
        entry.ExchangeNo = static_cast<uint8_t>(i + 1);
        SetText(entry.Text, ReadText(body, a::kSwNumber + 6 * i, 6));
        entry.Value = NumberValue(TextOf(entry.Text));
    }
    return true;
}

bool DecodeB(std::string_view body, int e, SettingData& data) {
    const int m = body.size() < b::kSize ? 0 : Digit(body, b::kMaster);
    if (!InRange(m, 1, kMasterCount)) return false;
    MasterSetting& master = data.Exchange[e - 1].Master[m - 1];
    master.ExchangeNo = static_cast<uint8_t>(e);
    master.StationNo = static_cast<uint8_t>(m);
    if (IsBlank(body, b::kNumber, 6)) {
        ClearNumber(master.Number);
        SetText(master.Name, "");
        master.LineTx = 0;
        master.Paging = 0;
        SetText(master.TelNo, "");
        return true;
    }
    StoreNumber(master.Number, ReadText(body, b::kNumber, 6));
    SetText(master.Name, ReadText(body, b::kName, 8));
    master.LineTx = Digit(body, b::kLineTx);
    master.Paging = Digit(body, b::kPaging);
    SetText(master.TelNo, ReadText(body, b::kTelNo, 20));
    return true;
}

bool DecodeC(std::string_view body, int e, SettingData& data) {
    if (body.size() < c::kSize) return false;
    const int s = ReadDigits(body, c::kSub, 2);
    if (!InRange(s, 1, kSubCount)) return false;
    SubSetting& sub = data.Exchange[e - 1].Sub[s - 1];
    sub.ExchangeNo = static_cast<uint8_t>(e);
    sub.StationNo = static_cast<uint8_t>(s);
    if (IsBlank(body, c::kNumber, 6)) {
        ClearNumber(sub.Number);
        SetText(sub.Name, "");
        sub.CallSwNo = static_cast<uint8_t>(e);
        sub.CallStNo = 1;
        sub.Level = 0;
        return true;
    }
    StoreNumber(sub.Number, ReadText(body, c::kNumber, 6));
    SetText(sub.Name, ReadText(body, c::kName, 8));
    sub.CallSwNo = TwoDigits(body, c::kCallSwNo);
    sub.CallStNo = Digit(body, c::kCallStNo);
    sub.Level = Digit(body, c::kLevel);
    return true;
}

bool DecodeD(std::string_view body, int e, SettingData& data) {
    if (body.size() < d::kSize) return false;
    ExchangeSetting& ex = data.Exchange[e - 1];
    ex.LineCntLimit = TwoDigits(body, d::kLineCntLimit);
    for (int l = 0; l < kTrunkLineCount; ++l) {
        TrunkLineSetting& line = ex.Line[l];
        const std::size_t base = l == 0 ? d::kLine1 : d::kLine2;
        SetText(line.Name, ReadText(body, base + d::kName, 8));
        line.TxNumberOnOff = Digit(body, base + d::kTxOnOff);
        line.TxNumber = Digit(body, base + d::kTxNumber);
        line.RxDial = Digit(body, base + d::kRxDial);
        line.RxLine = Digit(body, base + d::kRxCount) != 0 ? 1 : 0;
        // The entries are stored whatever the count says.
        for (int k = 0; k < kRxMasterCount; ++k) {
            line.RxMaster[k].Index = static_cast<uint8_t>(k + 1);
            line.RxMaster[k].ExchangeNo = TwoDigits(body, base + d::kRxMaster + 3 * k);
            line.RxMaster[k].StationNo = Digit(body, base + d::kRxMaster + 3 * k + 2);
        }
    }
    return true;
}

// E and L: the whole list is reset, then the first n entries are filled.
bool DecodeList(std::string_view body, int e, SettingData& data, bool group) {
    if (body.size() < list::Size(0)) return false;
    const int m = Digit(body, list::kMaster);
    const int n = ReadDigits(body, list::kCount, 2);
    const int capacity = group ? kGroupCount : kMeetCount;
    if (!InRange(m, 1, kMasterCount) || n > capacity || body.size() < list::Size(n)) return false;
    MasterSetting& master = data.Exchange[e - 1].Master[m - 1];
    StationEntry* entries = group ? master.GroupMaster : master.MeetMaster;
    (group ? master.GroupCnt : master.MeetCnt) = static_cast<uint8_t>(capacity);
    for (int k = 0; k < capacity; ++k) entries[k] = StationEntry{static_cast<uint8_t>(k + 1), 0, 0};
    for (int k = 0; k < n; ++k) {
        entries[k].ExchangeNo = TwoDigits(body, list::kEntries + 3 * k);
        entries[k].StationNo = Digit(body, list::kEntries + 3 * k + 2);
    }
    return true;
}

void StoreTime(TimeOfDay& time, int hour, int minute) {
    time.Value = static_cast<uint16_t>(hour * 256 + minute);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
    SetText(time.Text, text);
}

bool DecodeF(std::string_view body, int e, SettingData& data) {
    if (body.size() < f::kSize) return false;
    FunctionSetting& fn = data.Function[e - 1];
    fn.OutSend = Digit(body, f::kOutSend);
    StoreTime(fn.StartTime, ReadDigits(body, f::kStartHour, 2),
              ReadDigits(body, f::kStartMinute, 2));
    StoreTime(fn.EndTime, ReadDigits(body, f::kEndHour, 2), ReadDigits(body, f::kEndMinute, 2));
    fn.TalkSend = Digit(body, f::kTalkSend);
    fn.CallCnt = TwoDigits(body, f::kCallCnt);
    fn.CallTime = TwoDigits(body, f::kCallTime);
    fn.TalkTime = static_cast<uint16_t>(ReadDigits(body, f::kTalkTime, 2) * 10);
    // Time-based forwarding is not carried: it is on whenever a time window is set.
    fn.AutoOutSend = fn.StartTime.Value == 0 && fn.EndTime.Value == 0 ? 0 : 1;
    return true;
}

bool DecodeG(std::string_view body, int e, SettingData& data) {
    if (body.size() < g::Size(0)) return false;
    const int m = Digit(body, g::kMaster);
    const int n = ReadDigits(body, g::kCount, 2);
    if (!InRange(m, 1, kMasterCount) || n > kScanCount || body.size() < g::Size(n)) return false;
    MasterSetting& master = data.Exchange[e - 1].Master[m - 1];
    master.ScanTime = TwoDigits(body, g::kScanTime);
    master.ScanCnt = kScanCount;
    for (int k = 0; k < kScanCount; ++k)
        master.ScanSub[k] = StationEntry{static_cast<uint8_t>(k + 1), 0, 0};
    for (int k = 0; k < n; ++k) {
        master.ScanSub[k].ExchangeNo = TwoDigits(body, g::kEntries + 4 * k);
        master.ScanSub[k].StationNo = TwoDigits(body, g::kEntries + 4 * k + 2);
    }
    return true;
}

bool DecodeH(std::string_view body, int e, SettingData& data) {
    if (body.size() < h::kSize) return false;
    const int zone = ReadDigits(body, h::kZone, 2);
    if (!InRange(zone, 1, kZoneCount)) return false;
    ExchangeSetting& ex = data.Exchange[e - 1];
    ex.ZoneSize = Digit(body, h::kZoneSize);
    ex.PagingTimeLimit = ReadDigits(body, h::kTimeLimit, 2) * 10;
    for (int s = 0; s < kSubCount; ++s) StoreZoneBit(ex.Sub[s].Paging, body[h::kCells + s], zone);
    return true;
}

bool DecodeI(std::string_view body, int e, SettingData& data) {
    if (body.size() < i::kSize) return false;
    const int zone = ReadDigits(body, i::kZone, 2);
    if (!InRange(zone, 1, kZoneCount)) return false;
    for (int p = 0; p < kSpeakerCount; ++p)
        StoreZoneBit(data.Exchange[e - 1].Speaker[p].Paging, body[i::kCells + p], zone);
    return true;
}

bool DecodeJ(std::string_view body, int e, SettingData& data) {
    if (body.size() < j::kSize) return false;
    const int zone = ReadDigits(body, j::kZone, 2);
    if (!InRange(zone, 1, kZoneCount)) return false;
    for (int k = 0; k < kExternalSourceCount; ++k)
        StoreZoneBit(data.System.OutInZone[e - 1][k], body[j::kCells + k], zone);
    return true;
}

bool DecodeU(std::string_view body, int e, SettingData& data) {
    const int m = body.size() < u::kSize ? 0 : Digit(body, u::kMaster);
    if (!InRange(m, 1, kMasterCount)) return false;
    MasterSetting& master = data.Exchange[e - 1].Master[m - 1];
    master.ExchangeNo = static_cast<uint8_t>(e);
    master.StationNo = static_cast<uint8_t>(m);
    char(*fields[])[7] = {&master.AbsenceTelNo, &master.AutoAbsenceTelNo, &master.CnvTelNo,
                          &master.NonRespTelNo};
    for (int g = 0; g < 4; ++g)
        SetText(*fields[g], ReadText(body, u::kGroups + u::kGroupWidth * g + u::kNumber, 6));
    return true;
}

}  // namespace

bool IsDecodable(char letter) {
    return (letter >= 'A' && letter <= 'J') || letter == 'L' || letter == 'M' || letter == 'U';
}

bool Decode(std::string_view body, SettingData& data) {
    if (body.size() < kFields) return false;
    const char letter = body[kLetter];
    if (letter == 'A') return DecodeA(body, data);
    const int e = ReadDigits(body, kExchange, 2);
    if (!IsDecodable(letter) || !InRange(e, 1, kExchangeCount)) return false;
    bool stored = false;
    switch (letter) {
        case 'B':
            return DecodeB(body, e, data);
        case 'C':
            stored = DecodeC(body, e, data);
            break;
        case 'D':
            return DecodeD(body, e, data);
        case 'E':
            return DecodeList(body, e, data, true);
        case 'F':
            return DecodeF(body, e, data);
        case 'G':
            return DecodeG(body, e, data);
        case 'H':
            stored = DecodeH(body, e, data);
            break;
        case 'I':
            stored = DecodeI(body, e, data);
            break;
        case 'J':
            stored = DecodeJ(body, e, data);
            break;
        case 'L':
            return DecodeList(body, e, data, false);
        case 'M':
            if (body.size() < m::kSize) return false;
            data.DirectSelect.OutMode[e - 1] = Digit(body, m::kOutMode);
            return true;
        case 'U':
            return DecodeU(body, e, data);
        default:
            return false;
    }
    // Substations and zone masks changed: the zone tables that the paging editor and the
    // encoders read follow at once, so a later edit cannot write stale cells back.
    if (stored) RebuildZoneRows(data, e);
    return stored;
}

}  // namespace qn410
