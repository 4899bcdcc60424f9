#include "support/random_recordable.h"

#include <cstdio>
#include <sstream>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "setting/text_field.h"
#include "support/random_setting.h"
#include "transfer/record_codec.h"

namespace qn410::test {

namespace {

uint8_t U8(RandomText& r, int lo, int hi) {
    return static_cast<uint8_t>(r.Int(lo, hi));
}

void RandomNumber(RandomText& r, StationNumber& n, bool set) {
    if (!set) {
        n.Value = kNoNumber;
        SetText(n.Text, "-1");
        return;
    }
    const std::string digits = r.Digits(6);
    SetText(n.Text, digits);
    n.Value = std::stoi(digits);
}

// The first n entries used, the rest empty: the form in which a list comes back.
void RandomPackedList(RandomText& r, StationEntry* list, int capacity, int maxStation) {
    const int n = r.Int(0, capacity);
    for (int k = 0; k < capacity; ++k) {
        list[k].Index = static_cast<uint8_t>(k + 1);
        list[k].ExchangeNo = k < n ? U8(r, 1, kExchangeCount) : 0;
        list[k].StationNo = k < n ? U8(r, 1, maxStation) : 0;
    }
}

void RandomTime(RandomText& r, TimeOfDay& t) {
    const int hour = r.Coin() ? 0 : r.Int(0, 23), minute = r.Coin() ? 0 : r.Int(0, 59);
    t.Value = static_cast<uint16_t>(hour * 256 + minute);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
    SetText(t.Text, text);
}

std::string TelNo(RandomText& r) {
    std::string s = r.Coin() ? std::string() : r.Digits(20);
    for (char& ch : s)
        if (r.Int(0, 5) == 0) ch = '-';
    return s;
}

int32_t Mask(RandomText& r) {
    return r.Int(0, kZoneMaskBits);
}

}  // namespace

void FillRandomRecordable(SettingData& d, uint32_t seed) {
    RandomText r(seed);
    SetDefaults(d);

    SystemSetting& sys = d.System;
    sys.SwitchCnt = U8(r, 1, kExchangeCount);
    sys.NumberSize = U8(r, 2, 6);
    for (auto& t : sys.TieLine) t = U8(r, 0, 1);
    for (int i = 0; i < kExchangeCount; ++i) {
        const std::string digits = r.Digits(6);
        SetText(sys.SwNumber[i].Text, digits);
        sys.SwNumber[i].Value = std::stoi(digits);
        for (auto& mask : sys.OutInZone[i]) mask = Mask(r);
    }

    for (FunctionSetting& f : d.Function) {
        f.OutSend = U8(r, 0, 1);
        RandomTime(r, f.StartTime);
        RandomTime(r, f.EndTime);
        f.AutoOutSend = f.StartTime.Value == 0 && f.EndTime.Value == 0 ? 0 : 1;
        f.TalkSend = U8(r, 0, 1);
        f.CallCnt = U8(r, 0, 99);
        f.CallTime = U8(r, 0, 99);
        f.TalkTime = static_cast<uint16_t>(10 * r.Int(0, 99));
    }

    for (int e = 0; e < kExchangeCount; ++e) {
        ExchangeSetting& ex = d.Exchange[e];
        ex.LineCntLimit = U8(r, 0, 99);
        for (TrunkLineSetting& line : ex.Line) {
            SetText(line.Name, r.Name(8));
            line.TxNumberOnOff = U8(r, 0, 1);
            line.TxNumber = U8(r, 0, 9);
            line.RxDial = U8(r, 0, 1);
            line.RxLine = U8(r, 0, 1);
            for (int k = 0; k < kRxMasterCount; ++k) {
                // Receivers travel only while the direct-in line is on.
                line.RxMaster[k] = {static_cast<uint8_t>(k + 1),
                                    line.RxLine ? U8(r, 0, kExchangeCount) : uint8_t{0},
                                    line.RxLine ? U8(r, 0, kMasterCount) : uint8_t{0}};
            }
        }
        for (MasterSetting& m : ex.Master) {
            const bool set = r.Int(0, 3) != 0;
            RandomNumber(r, m.Number, set);
            SetText(m.Name, set ? r.Name(8) : "");
            m.LineTx = set ? U8(r, 0, 1) : 0;
            m.Paging = set ? U8(r, 0, 1) : 0;
            SetText(m.TelNo, set ? TelNo(r) : "");
            for (auto* field : {&m.AbsenceTelNo, &m.AutoAbsenceTelNo, &m.CnvTelNo, &m.NonRespTelNo})
                SetText(*field, r.Coin() ? std::string() : r.Digits(6));
            m.ScanTime = U8(r, 0, 99);
            m.ScanCnt = kScanCount;
            RandomPackedList(r, m.ScanSub, kScanCount, kSubCount);
            m.GroupCnt = kGroupCount;
            RandomPackedList(r, m.GroupMaster, kGroupCount, kMasterCount);
            m.MeetCnt = kMeetCount;
            RandomPackedList(r, m.MeetMaster, kMeetCount, kMasterCount);
        }
        for (SubSetting& s : ex.Sub) {
            const bool set = r.Int(0, 3) != 0;
            RandomNumber(r, s.Number, set);
            SetText(s.Name, set ? r.Name(8) : "");
            s.CallSwNo = set ? U8(r, 1, kExchangeCount) : static_cast<uint8_t>(e + 1);
            s.CallStNo = set ? U8(r, 1, kMasterCount) : 1;
            s.Level = set ? U8(r, 0, 1) : 0;
            // Zones of a substation that cannot be paged are never sent.
            s.Paging = set && s.Level == 0 ? Mask(r) : 0;
        }
        ex.ZoneSize = U8(r, 1, 2);
        ex.PagingTimeLimit = 10 * r.Int(0, 99);
        for (SpeakerSetting& sp : ex.Speaker) sp.Paging = Mask(r);
        d.DirectSelect.OutMode[e] = U8(r, 0, 9);
    }
    RebuildZoneTables(d);
}

namespace {

std::string At(const std::string& name, int k) {
    return name + "[" + std::to_string(k) + "]";
}

// Walks the carried fields of both data in a fixed order and keeps the name of the first that
// differs. Fields(name, "A B C", tuple a, tuple b) compares a group of fields at once.
class Diff {
  public:
    template <typename... T>
    void Fields(const std::string& where, std::string_view names, const std::tuple<T...>& a,
                const std::tuple<T...>& b) {
        if (first || a == b) return;
        std::size_t equal = 0;  // how many fields before the first that differs
        [&]<std::size_t... I>(std::index_sequence<I...>) {
            (void)((std::get<I>(a) == std::get<I>(b) && ++equal) && ...);
        }
        (std::index_sequence_for<T...>{});
        std::istringstream words{std::string(names)};
        std::string name;
        for (std::size_t k = 0; k <= equal; ++k) words >> name;
        first = where + "." + name;
    }
    void List(const StationEntry* a, const StationEntry* b, int n, const std::string& name) {
        for (int k = 0; k < n && !first; ++k)
            if (!(a[k] == b[k])) first = At(name, k);
    }
    std::optional<std::string> first;
};

auto SystemFields(const SettingData& d) {
    return std::tuple(d.System.SwitchCnt, d.System.NumberSize,
                      std::vector(d.System.TieLine, d.System.TieLine + kTieLineCount));
}
auto ExchangeFields(const SettingData& d, int e) {
    const ExchangeNumberEntry& n = d.System.SwNumber[e];
    const FunctionSetting& f = d.Function[e];
    const ExchangeSetting& x = d.Exchange[e];
    return std::tuple(
        n.ExchangeNo, n.Value, TextOf(n.Text),
        std::vector(d.System.OutInZone[e], d.System.OutInZone[e] + kExternalSourceCount), f.OutSend,
        f.AutoOutSend, f.StartTime.Value, TextOf(f.StartTime.Text), f.EndTime.Value,
        TextOf(f.EndTime.Text), f.TalkSend, f.CallCnt, f.CallTime, f.TalkTime, x.LineCntLimit,
        x.ZoneSize, x.PagingTimeLimit, d.DirectSelect.OutMode[e]);
}
constexpr std::string_view kExchangeNames =
    "SwNumber.ExchangeNo SwNumber.Value SwNumber.Text OutInZone Function.OutSend "
    "Function.AutoOutSend Function.StartTime.Value Function.StartTime.Text Function.EndTime.Value "
    "Function.EndTime.Text Function.TalkSend Function.CallCnt Function.CallTime Function.TalkTime "
    "LineCntLimit ZoneSize PagingTimeLimit DirectSelect.OutMode";
auto LineFields(const TrunkLineSetting& l) {
    return std::tuple(TextOf(l.Name), l.TxNumberOnOff, l.TxNumber, l.RxLine, l.RxDial);
}
auto MasterFields(const MasterSetting& m) {
    return std::tuple(m.ExchangeNo, m.StationNo, m.Number.Value, TextOf(m.Number.Text),
                      TextOf(m.Name), m.LineTx, m.Paging, TextOf(m.TelNo), TextOf(m.AbsenceTelNo),
                      TextOf(m.AutoAbsenceTelNo), TextOf(m.CnvTelNo), TextOf(m.NonRespTelNo),
                      m.ScanTime, m.ScanCnt, m.GroupCnt, m.MeetCnt);
}
constexpr std::string_view kMasterNames =
    "ExchangeNo StationNo Number.Value Number.Text Name LineTx Paging TelNo AbsenceTelNo "
    "AutoAbsenceTelNo CnvTelNo NonRespTelNo ScanTime ScanCnt GroupCnt MeetCnt";
auto SubFields(const SubSetting& s) {
    return std::tuple(s.ExchangeNo, s.StationNo, s.Number.Value, TextOf(s.Number.Text),
                      TextOf(s.Name), s.CallSwNo, s.CallStNo, s.Level, s.Paging);
}

}  // namespace

std::optional<std::string> FirstRecordDifference(const SettingData& a, const SettingData& b) {
    Diff diff;
    diff.Fields("System", "SwitchCnt NumberSize TieLine", SystemFields(a), SystemFields(b));
    const int count = a.System.SwitchCnt < kExchangeCount ? a.System.SwitchCnt : kExchangeCount;
    for (int e = 0; e < count && !diff.first; ++e) {
        const ExchangeSetting &xa = a.Exchange[e], &xb = b.Exchange[e];
        const std::string ex = At("Exchange", e);
        diff.Fields(ex, kExchangeNames, ExchangeFields(a, e), ExchangeFields(b, e));
        for (int l = 0; l < kTrunkLineCount; ++l) {
            const std::string line = At(ex + ".Line", l);
            diff.Fields(line, "Name TxNumberOnOff TxNumber RxLine RxDial", LineFields(xa.Line[l]),
                        LineFields(xb.Line[l]));
            diff.List(xa.Line[l].RxMaster, xb.Line[l].RxMaster, kRxMasterCount, line + ".RxMaster");
        }
        for (int m = 0; m < kMasterCount; ++m) {
            const MasterSetting &ma = xa.Master[m], &mb = xb.Master[m];
            const std::string master = At(ex + ".Master", m);
            diff.Fields(master, kMasterNames, MasterFields(ma), MasterFields(mb));
            diff.List(ma.ScanSub, mb.ScanSub, kScanCount, master + ".ScanSub");
            diff.List(ma.GroupMaster, mb.GroupMaster, kGroupCount, master + ".GroupMaster");
            diff.List(ma.MeetMaster, mb.MeetMaster, kMeetCount, master + ".MeetMaster");
        }
        for (int s = 0; s < kSubCount; ++s)
            diff.Fields(At(ex + ".Sub", s),
                        "ExchangeNo StationNo Number.Value Number.Text Name CallSwNo CallStNo "
                        "Level Paging",
                        SubFields(xa.Sub[s]), SubFields(xb.Sub[s]));
        for (int p = 0; p < kSpeakerCount; ++p)
            diff.Fields(At(ex + ".Speaker", p), "Paging", std::tuple(xa.Speaker[p].Paging),
                        std::tuple(xb.Speaker[p].Paging));
    }
    return diff.first;
}

}  // namespace qn410::test
