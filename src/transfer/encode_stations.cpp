// Builders of the station records: masters (B), substations (C), C/O trunks (D), the member
// lists (E, G, L) and the call-transfer numbers (U).
#include <string>

#include "setting/text_field.h"
#include "transfer/record_builders.h"
#include "transfer/record_fields.h"

namespace qn410::wire {

namespace {

// Six spaces for a station without a number, else its text.
void PutStationNumber(WireRecord& body, std::size_t pos, const StationNumber& number) {
    PutText(body, pos, 6, number.Value == kNoNumber ? std::string_view{} : TextOf(number.Text));
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

}  // namespace

WireRecord EncodeB(const RecordRequest& r) {
    const MasterSetting& m = Master(r);
    WireRecord body = StartRecord('B', r.exchange, b::kSize);
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
    WireRecord body = StartRecord('C', r.exchange, c::kSize);
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
    WireRecord body = StartRecord('D', r.exchange, d::kSize);
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
    WireRecord body = StartRecord(letter, r.exchange, list::Size(capacity));
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

WireRecord EncodeG(const RecordRequest& r) {
    const MasterSetting& m = Master(r);
    WireRecord body = StartRecord('G', r.exchange, g::Size(kScanCount));
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

WireRecord EncodeU(const RecordRequest& r) {
    const MasterSetting& m = Master(r);
    WireRecord body = StartRecord('U', r.exchange, u::kSize);
    PutDigits(body, u::kMaster, 1, r.station);
    const std::string_view numbers[] = {TextOf(m.AbsenceTelNo), TextOf(m.AutoAbsenceTelNo),
                                        TextOf(m.CnvTelNo), TextOf(m.NonRespTelNo)};
    for (int g = 0; g < 4; ++g)
        PutTransferGroup(body, u::kGroups + u::kGroupWidth * g, r, numbers[g]);
    return body;
}

}  // namespace qn410::wire
