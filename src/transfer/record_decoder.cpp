// Decode: stores a received record into the setting data. Each decoder first checks that the
// record holds every field it reads and that its indexes are in range, then writes.
#include <algorithm>
#include <cstdio>

#include "setting/text_field.h"
#include "transfer/record_builders.h"
#include "transfer/record_codec.h"
#include "transfer/record_fields.h"

namespace qn410::wire {

namespace {

// Writes one membership digit into bit zone-1 of a mask kept to zones 1..19. Only '1' makes
// a member: '2' (not selectable) and any other digit read as 0, so a stray digit can never
// reach the bit of another zone.
void StoreZoneBit(int32_t& mask, char digit, int zone) {
    const int32_t bit = int32_t{1} << (zone - 1);
    mask = (mask & kZoneMaskBits & ~bit) | (digit == '1' ? bit : 0);
}

void StoreTime(TimeOfDay& time, int hour, int minute) {
    time.Value = static_cast<uint16_t>(hour * 256 + minute);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
    SetText(time.Text, text);
}

// A text field holding a control byte (below 0x20, or DEL) would carry it into the setting
// data and from there into a setting file that no longer reads: such a record is malformed.
bool TextClean(std::string_view body, std::size_t pos, std::size_t width) {
    const std::string_view field = body.substr(std::min(pos, body.size()), width);
    return std::none_of(field.begin(), field.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

// The text fields (names, numbers) of every letter the decoders store.
bool TextFieldsClean(std::string_view body) {
    switch (body[kLetter]) {
        case 'A':  // the SwNumber fields fill the rest of the record
            return TextClean(body, a::kSwNumber, body.size());
        case 'B':
            return TextClean(body, b::kNumber, 6) && TextClean(body, b::kName, 8) &&
                   TextClean(body, b::kTelNo, 20);
        case 'C':
            return TextClean(body, c::kNumber, 6) && TextClean(body, c::kName, 8);
        case 'D':
            return TextClean(body, d::kLine1 + d::kName, 8) &&
                   TextClean(body, d::kLine2 + d::kName, 8);
        case 'U':
            for (std::size_t g = 0; g < 4; ++g) {
                const std::size_t group = u::kGroups + u::kGroupWidth * g;
                if (!TextClean(body, group + u::kNumber, 6) ||
                    !TextClean(body, group + u::kDestName, 8))
                    return false;
            }
            return true;
        default:
            return true;
    }
}

}  // namespace

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

}  // namespace qn410::wire

namespace qn410 {

using namespace wire;

bool IsDecodable(char letter) {
    return (letter >= 'A' && letter <= 'J') || letter == 'L' || letter == 'M' || letter == 'U';
}

bool Decode(std::string_view body, SettingData& data) {
    if (body.size() < kFields || !TextFieldsClean(body)) return false;
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
