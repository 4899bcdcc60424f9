#include "editors/trunk_copy.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "editors/station_copy.h"
#include "setting/text_field.h"

namespace qn410 {

namespace {
TrunkLineSetting WithoutDisplayCopies(TrunkLineSetting line) {
    std::memset(line.RxText, 0, sizeof line.RxText);
    std::memset(line.RxNumberValue, 0, sizeof line.RxNumberValue);
    std::memset(line.RxNumberText, 0, sizeof line.RxNumberText);
    std::memset(line.RxName, 0, sizeof line.RxName);
    return line;
}

bool IsSet(const StationEntry& e) {
    return e.ExchangeNo != 0 && e.StationNo != 0;
}

std::string Format(const char* format, int a, int b, int c = 0, int d = 0) {
    char text[128];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}
}  // namespace

TrunkCopy LoadTrunks(const SettingData& data) {
    TrunkCopy copy{};
    for (int e = 0; e < kExchangeCount; ++e) {
        copy[e].LineCntLimit = data.Exchange[e].LineCntLimit;
        std::copy(std::begin(data.Exchange[e].Line), std::end(data.Exchange[e].Line), copy[e].Line);
        // The shown numbers and names are always the masters' current ones.
        for (TrunkLineSetting& line : copy[e].Line)
            for (int k = 0; k < kRxMasterCount; ++k) RefreshReceiver(line, k, data);
    }
    return copy;
}

void StoreTrunks(const TrunkCopy& copy, SettingData& data) {
    for (int e = 0; e < kExchangeCount; ++e) {
        data.Exchange[e].LineCntLimit = copy[e].LineCntLimit;
        std::copy(std::begin(copy[e].Line), std::end(copy[e].Line), data.Exchange[e].Line);
    }
}

bool TrunksDiffer(const TrunkCopy& copy, const SettingData& data) {
    for (int e = 0; e < kExchangeCount; ++e) {
        if (copy[e].LineCntLimit != data.Exchange[e].LineCntLimit) return true;
        for (int l = 0; l < kTrunkLineCount; ++l)
            if (!(WithoutDisplayCopies(copy[e].Line[l]) ==
                  WithoutDisplayCopies(data.Exchange[e].Line[l])))
                return true;
    }
    return false;
}

void RefreshReceiver(TrunkLineSetting& line, int k, const SettingData& data) {
    const StationEntry& rx = line.RxMaster[k];
    const MasterSetting* m = FindMaster(data, rx.ExchangeNo, rx.StationNo);
    const bool numbered = m && m->Number.Value != kNoNumber;
    line.RxNumberValue[k] = numbered ? m->Number.Value : kNoNumber;
    SetText(line.RxNumberText[k], numbered ? TextOf(m->Number.Text) : "");
    SetText(line.RxName[k], m ? TextOf(m->Name) : "");
}

void ClearReceiver(TrunkLineSetting& line, int k) {
    line.RxMaster[k] = StationEntry{static_cast<uint8_t>(k + 1), 0, 0};
    line.RxNumberValue[k] = kNoNumber;
    SetText(line.RxNumberText[k], "");
    SetText(line.RxName[k], "");
}

namespace {

// An empty cell clears the receiver; a number in 1..max sets one half of it.
bool EnterReceiverPart(TrunkLineSetting& line, int k, std::string_view text,
                       const SettingData& data, uint8_t StationEntry::*part, int max) {
    text = CellEntry(text);
    if (text.empty()) {
        ClearReceiver(line, k);
        return true;
    }
    int value = 0;
    if (!ParseInRange(text, 1, max, value)) return false;
    line.RxMaster[k].*part = static_cast<uint8_t>(value);
    RefreshReceiver(line, k, data);
    return true;
}

}  // namespace

bool EnterReceiverExchange(TrunkLineSetting& line, int k, std::string_view text,
                           const SettingData& data) {
    return EnterReceiverPart(line, k, text, data, &StationEntry::ExchangeNo, ExchangesInUse(data));
}

bool EnterReceiverMaster(TrunkLineSetting& line, int k, std::string_view text,
                         const SettingData& data) {
    return EnterReceiverPart(line, k, text, data, &StationEntry::StationNo, kMasterCount);
}

bool EnterReceiverStation(TrunkLineSetting& line, int k, std::string_view text,
                          const SettingData& data) {
    text = CellEntry(text);
    if (text.empty() || text.size() > 6 || !AllDigits(text)) return false;
    for (int e = 0; e < ExchangesInUse(data); ++e)
        for (const MasterSetting& m : data.Exchange[e].Master)
            if (m.Number.Value != kNoNumber && TextOf(m.Number.Text) == text) {
                line.RxMaster[k].ExchangeNo = m.ExchangeNo;
                line.RxMaster[k].StationNo = m.StationNo;
                RefreshReceiver(line, k, data);
                return true;
            }
    return false;
}

bool ValidLineName(std::string_view name) {
    if (name.size() > 8) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b >= 0x20 && b <= 0x7D) || (b >= 0xA1 && b <= 0xDF);
    });
}

std::optional<TrunkFailure> ValidateTrunks(const TrunkCopy& copy, const NameOverflow& nameTooLong,
                                           const SettingData& data) {
    const int exchanges = ExchangesInUse(data);
    for (int e = 1; e <= exchanges; ++e) {
        const int limit = copy[e - 1].LineCntLimit;
        if (limit < 1 || limit > kMaxTimeOut)
            return TrunkFailure{"Incorrect C/O line Connection time-out", e};
    }
    for (int e = 1; e <= exchanges; ++e) {
        const TrunkBlock& block = copy[e - 1];
        for (int l = 0; l < kTrunkLineCount; ++l)
            if (nameTooLong[e - 1][l] || !ValidLineName(TextOf(block.Line[l].Name)))
                return TrunkFailure{"Incorrect name", e, l, TrunkField::Name};
        for (int l = 0; l < kTrunkLineCount; ++l)
            if (block.Line[l].TxNumber > 9)
                return TrunkFailure{"Specific No. for making a call is not correct.", e, l,
                                    TrunkField::Access};
    }
    for (int e = 1; e <= exchanges; ++e)
        for (int l = 0; l < kTrunkLineCount; ++l) {
            const TrunkLineSetting& line = copy[e - 1].Line[l];
            if (!line.RxLine) continue;
            for (int k = 0; k < kRxMasterCount; ++k) {
                const StationEntry& rx = line.RxMaster[k];
                if (rx.ExchangeNo == 0 && rx.StationNo == 0) continue;
                const MasterSetting* m = FindMaster(data, rx.ExchangeNo, rx.StationNo);
                if (!IsSet(rx) || rx.ExchangeNo != e || !m || m->Number.Value == kNoNumber)
                    return TrunkFailure{"Invalid master equipment No.is set.", e, l,
                                        TrunkField::Receivers, k};
            }
            if (!IsSet(line.RxMaster[0]))
                return TrunkFailure{
                    Format("Exchange%d\nC/O line%d\nCenter station is not set for the "
                           "direct-in group.",
                           e, l + 1),
                    e, l, TrunkField::Receivers, 0};
        }
    for (int e = 1; e <= exchanges; ++e)
        for (int l = 0; l < kTrunkLineCount; ++l) {
            const TrunkLineSetting& line = copy[e - 1].Line[l];
            if (!line.RxLine) continue;
            for (int k = 1; k < kRxMasterCount; ++k)
                for (int j = 0; j < k; ++j) {
                    const StationEntry& a = line.RxMaster[j];
                    const StationEntry& b = line.RxMaster[k];
                    if (IsSet(b) && a.ExchangeNo == b.ExchangeNo && a.StationNo == b.StationNo)
                        return TrunkFailure{
                            Format("Exchange%d\nC/O line%d\nRedundant receiving stations (%d-%d)",
                                   e, l + 1, b.ExchangeNo, b.StationNo),
                            e, l, TrunkField::Receivers, k};
                }
        }
    return std::nullopt;
}

}  // namespace qn410
