// Storers of the station records: masters (B), substations (C), C/O trunks (D), the member
// lists (E, G, L) and the call-transfer numbers (U).
#include "setting/text_field.h"
#include "transfer/record_builders.h"
#include "transfer/record_fields.h"

namespace qn410::wire {

namespace {

void StoreNumber(StationNumber& number, std::string_view text) {
    SetText(number.Text, text);
    number.Value = NumberValue(TextOf(number.Text));
}

void ClearNumber(StationNumber& number) {
    number.Value = kNoNumber;
    SetText(number.Text, "-1");
}

}  // namespace

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

}  // namespace qn410::wire
