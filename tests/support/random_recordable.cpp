#include "support/random_recordable.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "setting/setting_compare.h"
#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/random_setting.h"
#include "transfer/record_codec.h"

namespace qn410::test {

namespace {

// The first n entries used, the rest empty: the form in which a list comes back.
void RandomPackedList(RandomText& r, StationEntry* list, int capacity, int maxStation) {
    const int n = r.Int(0, capacity);
    for (int k = 0; k < capacity; ++k)
        list[k] = {static_cast<uint8_t>(k + 1),
                   static_cast<uint8_t>(k < n ? r.Int(1, kExchangeCount) : 0),
                   static_cast<uint8_t>(k < n ? r.Int(1, maxStation) : 0)};
}

// Blank or digits, with some digits turned into '-'.
std::string TelNo(RandomText& r) {
    std::string s = r.Coin() ? std::string() : r.Digits(20);
    for (char& ch : s)
        if (r.Int(0, 5) == 0) ch = '-';
    return s;
}

}  // namespace

void FillRandomRecordable(SettingData& d, uint32_t seed) {
    RandomText r(seed);
    SetDefaults(d);
    r.Set(d.System.SwitchCnt, 1, kExchangeCount);
    r.Set(d.System.NumberSize, 2, 6);
    for (auto& t : d.System.TieLine) r.Set(t, 0, 1);
    for (int i = 0; i < kExchangeCount; ++i) {
        r.Number(d.System.SwNumber[i], true);
        for (auto& mask : d.System.OutInZone[i]) r.Set(mask, 0, kZoneMaskBits);
    }

    for (FunctionSetting& f : d.Function) {
        r.Set(f.OutSend, 0, 1);
        r.Time(f.StartTime, true);
        r.Time(f.EndTime, true);
        f.AutoOutSend = f.StartTime.Value == 0 && f.EndTime.Value == 0 ? 0 : 1;
        r.Set(f.TalkSend, 0, 1);
        r.Set(f.CallCnt, 0, 99);
        r.Set(f.CallTime, 0, 99);
        f.TalkTime = static_cast<uint16_t>(10 * r.Int(0, 99));
    }

    for (int e = 0; e < kExchangeCount; ++e) {
        ExchangeSetting& ex = d.Exchange[e];
        r.Set(ex.LineCntLimit, 0, 99);
        for (TrunkLineSetting& line : ex.Line) {
            SetText(line.Name, r.Name(8));
            r.Set(line.TxNumberOnOff, 0, 1);
            r.Set(line.TxNumber, 0, 9);
            r.Set(line.RxDial, 0, 1);
            r.Set(line.RxLine, 0, 1);
            // Receivers travel only while the direct-in line is on.
            for (int k = 0; k < kRxMasterCount; ++k)
                line.RxMaster[k] = {
                    static_cast<uint8_t>(k + 1),
                    static_cast<uint8_t>(line.RxLine ? r.Int(0, kExchangeCount) : 0),
                    static_cast<uint8_t>(line.RxLine ? r.Int(0, kMasterCount) : 0)};
        }
        for (MasterSetting& m : ex.Master) {
            const bool set = r.Int(0, 3) != 0;
            r.Number(m.Number, set);
            SetText(m.Name, set ? r.Name(8) : "");
            m.LineTx = set ? static_cast<uint8_t>(r.Int(0, 1)) : 0;
            m.Paging = set ? static_cast<uint8_t>(r.Int(0, 1)) : 0;
            SetText(m.TelNo, set ? TelNo(r) : "");
            for (auto* field : {&m.AbsenceTelNo, &m.AutoAbsenceTelNo, &m.CnvTelNo, &m.NonRespTelNo})
                SetText(*field, r.Coin() ? std::string() : r.Digits(6));
            r.Set(m.ScanTime, 0, 99);
            m.ScanCnt = kScanCount;
            RandomPackedList(r, m.ScanSub, kScanCount, kSubCount);
            m.GroupCnt = kGroupCount;
            RandomPackedList(r, m.GroupMaster, kGroupCount, kMasterCount);
            m.MeetCnt = kMeetCount;
            RandomPackedList(r, m.MeetMaster, kMeetCount, kMasterCount);
        }
        for (SubSetting& s : ex.Sub) {
            const bool set = r.Int(0, 3) != 0;
            r.Number(s.Number, set);
            SetText(s.Name, set ? r.Name(8) : "");
            s.CallSwNo = static_cast<uint8_t>(set ? r.Int(1, kExchangeCount) : e + 1);
            s.CallStNo = static_cast<uint8_t>(set ? r.Int(1, kMasterCount) : 1);
            s.Level = set ? static_cast<uint8_t>(r.Int(0, 1)) : 0;
            // Zones of a substation that cannot be paged are never sent.
            s.Paging = set && s.Level == 0 ? r.Int(0, kZoneMaskBits) : 0;
        }
        r.Set(ex.ZoneSize, 1, 2);
        ex.PagingTimeLimit = 10 * r.Int(0, 99);
        for (SpeakerSetting& sp : ex.Speaker) r.Set(sp.Paging, 0, kZoneMaskBits);
        r.Set(d.DirectSelect.OutMode[e], 0, 9);
    }
    RebuildZoneTables(d);
}

namespace {

template <std::size_t N>
void ClearAfterEnd(char (&text)[N]) {
    if (auto* end = static_cast<char*>(std::memchr(text, 0, N)))
        std::memset(end, 0, N - (end - text));
}
void ClearAfterEnd(auto&... texts) {
    (ClearAfterEnd(texts), ...);
}

// The fields the records carry for the first count exchanges, everything else zero.
std::unique_ptr<SettingData> Carried(const SettingData& d, int count) {
    auto c = std::make_unique<SettingData>();
    SystemSetting& s = c->System;
    s.SwitchCnt = d.System.SwitchCnt;
    s.NumberSize = d.System.NumberSize;
    std::copy_n(d.System.TieLine, kTieLineCount, s.TieLine);
    for (int e = 0; e < count; ++e) {
        s.SwNumber[e] = d.System.SwNumber[e];
        std::copy_n(d.System.OutInZone[e], kExternalSourceCount, s.OutInZone[e]);
        FunctionSetting& f = c->Function[e] = d.Function[e];
        ClearAfterEnd(s.SwNumber[e].Text, f.StartTime.Text, f.EndTime.Text);
        c->DirectSelect.OutMode[e] = d.DirectSelect.OutMode[e];
        ExchangeSetting& x = c->Exchange[e] = d.Exchange[e];
        for (TrunkLineSetting& l : x.Line) {  // the display copies are not carried
            ClearAfterEnd(l.Name);
            std::memset(l.RxText, 0, sizeof l.RxText);
            std::fill_n(l.RxNumberValue, kRxMasterCount, 0);
            std::memset(l.RxNumberText, 0, sizeof l.RxNumberText);
            std::memset(l.RxName, 0, sizeof l.RxName);
        }
        for (MasterSetting& m : x.Master)
            ClearAfterEnd(m.Number.Text, m.Name, m.TelNo, m.AbsenceTelNo, m.AutoAbsenceTelNo,
                          m.CnvTelNo, m.NonRespTelNo);
        for (SubSetting& sub : x.Sub) {
            ClearAfterEnd(sub.Number.Text, sub.Name);
            sub.CallNumberValue = 0;
            SetText(sub.CallNumberText, "");
            SetText(sub.CallName, "");
        }
    }
    return c;
}

}  // namespace

std::optional<std::string> FirstRecordDifference(const SettingData& a, const SettingData& b) {
    const int count = std::min<int>(a.System.SwitchCnt, kExchangeCount);
    const auto ca = Carried(a, count), cb = Carried(b, count);
    if (*ca == *cb) return std::nullopt;
    const auto differences = CompareSettings(*ca, *cb);
    if (differences.empty()) return "a field the setting file does not show";
    return FormatDifference(differences.front());
}

}  // namespace qn410::test
