#include "support/random_setting.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

#include "setting/setting_compare.h"
#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "transfer/record_codec.h"

namespace qn410::test {

namespace {

struct RandomText {
    explicit RandomText(uint32_t seed) : rng(seed) {}
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool Coin() { return Int(0, 1) == 1; }
    template <typename T>
    void Set(T& field, int lo, int hi) {
        field = static_cast<T>(Int(lo, hi));
    }
    // Often exactly maxLen long: ASCII letters and digits mixed with half-width katakana.
    std::string Name(int maxLen) {
        static constexpr int kRanges[3][2] = {{'A', 'Z'}, {'0', '9'}, {0xA1, 0xDF}};
        std::string s(Coin() ? maxLen : Int(0, maxLen), ' ');
        for (char& c : s) {
            const auto& range = kRanges[Int(0, 2)];
            c = static_cast<char>(Int(range[0], range[1]));
        }
        return s;
    }
    std::string Digits(int maxLen) {
        std::string s(Int(1, maxLen), '0');
        for (char& c : s) c = static_cast<char>(Int('0', '9'));
        return s;
    }
    // Up to 6 digits, or "not set" (-1).
    void Number(auto& n, bool set) {
        const std::string digits = set ? Digits(6) : "-1";
        n.Value = std::stoi(digits);
        SetText(n.Text, digits);
    }
    // "HH:MM", each part 0 half of the time.
    void Time(TimeOfDay& t) {
        const int hour = Coin() ? 0 : Int(0, 23);
        const int minute = Coin() ? 0 : Int(0, 59);
        t.Value = static_cast<uint16_t>(hour * 256 + minute);
        char text[8];
        std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
        SetText(t.Text, text);
    }
    std::mt19937 rng;
};

// Each entry empty one time in four; packed: the first entries used, the rest empty (the form
// in which a list comes back from an exchange).
void RandomList(RandomText& r, StationEntry* list, int count, int maxStation, bool packed) {
    const int used = packed ? r.Int(0, count) : count;
    for (int k = 0; k < count; ++k) {
        const bool set = packed ? k < used : r.Int(0, 3) != 0;
        list[k] = {static_cast<uint8_t>(k + 1),
                   static_cast<uint8_t>(set ? r.Int(1, kExchangeCount) : 0),
                   static_cast<uint8_t>(set ? r.Int(1, maxStation) : 0)};
    }
}

// Blank or digits, with some digits turned into '-'.
std::string TelNo(RandomText& r) {
    std::string s = r.Coin() ? std::string() : r.Digits(20);
    for (char& ch : s)
        if (r.Int(0, 5) == 0) ch = '-';
    return s;
}

// What the records carry, in their form; the zone tables as SetDefaults left them.
void Recordable(RandomText& r, SettingData& d) {
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
        r.Time(f.StartTime);
        r.Time(f.EndTime);
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
            RandomList(r, m.ScanSub, kScanCount, kSubCount, true);
            m.GroupCnt = kGroupCount;
            RandomList(r, m.GroupMaster, kGroupCount, kMasterCount, true);
            m.MeetCnt = kMeetCount;
            RandomList(r, m.MeetMaster, kMeetCount, kMasterCount, true);
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
}

}  // namespace

void FillRandomFileData(SettingData& d, uint32_t seed) {
    RandomText r(seed);
    Recordable(r, d);
    r.Set(d.Maintenance.PcConnect, 0, 1);
    r.Set(d.Maintenance.CommPort, 0, 3);
    SetText(d.Maintenance.TelNo, r.Digits(20));
    r.Set(d.RemoteDial.TelCnt, 0, kRemoteTelCount);
    for (auto& tel : d.RemoteDial.TelNo) SetText(tel, r.Digits(32));
    r.Number(d.System.SwNumber[r.Int(0, kExchangeCount - 1)], false);
    for (FunctionSetting& f : d.Function) {
        r.Set(f.AutoOutSend, 0, 1);
        r.Set(f.CallCnt, 0, 255);
        r.Set(f.CallTime, 0, 255);
        r.Set(f.TalkTime, 0, 65535);
    }
    for (ExchangeSetting& ex : d.Exchange) {
        r.Set(ex.PagingTimeLimit, 0, 990);
        for (TrunkLineSetting& line : ex.Line)
            RandomList(r, line.RxMaster, kRxMasterCount, kMasterCount, false);
        for (MasterSetting& m : ex.Master) {
            r.Set(m.ScanCnt, 0, kScanCount);
            RandomList(r, m.ScanSub, kScanCount, kSubCount, false);
            r.Set(m.GroupCnt, 0, kGroupCount);
            RandomList(r, m.GroupMaster, kGroupCount, kMasterCount, false);
            r.Set(m.MeetCnt, 0, kMeetCount);
            RandomList(r, m.MeetMaster, kMeetCount, kMasterCount, false);
        }
    }
    for (auto& byExchange : d.Dial)
        for (DialTable& table : byExchange)
            for (DialEntry& entry : table) {
                if (r.Int(0, 2) == 0) continue;
                SetText(entry.Dial, r.Digits(16));
                if (r.Coin()) SetText(entry.Shot, r.Digits(4));
            }
    for (auto& row : d.ShotT)
        for (auto& t : row) r.Set(t, 0, 10);
    RefreshTrunkDisplayCopies(d);
}

void FillRandomRecordable(SettingData& d, uint32_t seed) {
    RandomText r(seed);
    Recordable(r, d);
    RebuildZoneTables(d);
}

namespace {

// The fields the records carry for the first count exchanges, everything else zero; texts are
// cleared after their end, display copies are not carried.
std::unique_ptr<SettingData> Carried(const SettingData& d, int count) {
    auto c = std::make_unique<SettingData>();
    const auto clean = [](auto&... texts) {
        (std::memset(texts + TextOf(texts).size(), 0, sizeof texts - TextOf(texts).size()), ...);
    };
    SystemSetting& s = c->System;
    s.SwitchCnt = d.System.SwitchCnt;
    s.NumberSize = d.System.NumberSize;
    std::copy_n(d.System.TieLine, kTieLineCount, s.TieLine);
    for (int e = 0; e < count; ++e) {
        s.SwNumber[e] = d.System.SwNumber[e];
        std::copy_n(d.System.OutInZone[e], kExternalSourceCount, s.OutInZone[e]);
        FunctionSetting& f = c->Function[e] = d.Function[e];
        clean(s.SwNumber[e].Text, f.StartTime.Text, f.EndTime.Text);
        c->DirectSelect.OutMode[e] = d.DirectSelect.OutMode[e];
        ExchangeSetting& x = c->Exchange[e] = d.Exchange[e];
        for (TrunkLineSetting& l : x.Line) {
            clean(l.Name);
            std::memset(l.RxText, 0, sizeof l.RxText);
            std::fill_n(l.RxNumberValue, kRxMasterCount, 0);
            std::memset(l.RxNumberText, 0, sizeof l.RxNumberText);
            std::memset(l.RxName, 0, sizeof l.RxName);
        }
        for (MasterSetting& m : x.Master)
            clean(m.Number.Text, m.Name, m.TelNo, m.AbsenceTelNo, m.AutoAbsenceTelNo, m.CnvTelNo,
                  m.NonRespTelNo);
        for (SubSetting& sub : x.Sub) {
            clean(sub.Number.Text, sub.Name);
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
