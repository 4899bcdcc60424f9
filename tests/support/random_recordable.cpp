#include "support/random_recordable.h"

#include <cstdio>
#include <string_view>

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

// Walks the carried fields of both data in a fixed order and keeps the first difference.
class Diff {
  public:
    template <typename T>
    void Eq(const T& a, const T& b, const std::string& name) {
        if (!first && !(a == b)) first = name;
    }
    template <std::size_t N>
    void Text(const char (&a)[N], const char (&b)[N], const std::string& name) {
        Eq(TextOf(a), TextOf(b), name);
    }
    void Number(const StationNumber& a, const StationNumber& b, const std::string& name) {
        Eq(a.Value, b.Value, name + ".Value");
        Text(a.Text, b.Text, name + ".Text");
    }
    void Time(const TimeOfDay& a, const TimeOfDay& b, const std::string& name) {
        Eq(a.Value, b.Value, name + ".Value");
        Text(a.Text, b.Text, name + ".Text");
    }
    void List(const StationEntry* a, const StationEntry* b, int n, const std::string& name) {
        for (int k = 0; k < n; ++k) Eq(a[k], b[k], name + "[" + std::to_string(k) + "]");
    }
    std::optional<std::string> first;
};

std::string At(const std::string& name, int k) {
    return name + "[" + std::to_string(k) + "]";
}

}  // namespace

std::optional<std::string> FirstRecordDifference(const SettingData& a, const SettingData& b) {
    Diff diff;
    diff.Eq(a.System.SwitchCnt, b.System.SwitchCnt, "System.SwitchCnt");
    diff.Eq(a.System.NumberSize, b.System.NumberSize, "System.NumberSize");
    for (int t = 0; t < kTieLineCount; ++t)
        diff.Eq(a.System.TieLine[t], b.System.TieLine[t], At("System.TieLine", t));
    const int count = a.System.SwitchCnt < kExchangeCount ? a.System.SwitchCnt : kExchangeCount;
    for (int e = 0; e < count; ++e) {
        const std::string sw = At("System.SwNumber", e);
        diff.Eq(a.System.SwNumber[e].ExchangeNo, b.System.SwNumber[e].ExchangeNo,
                sw + ".ExchangeNo");
        diff.Eq(a.System.SwNumber[e].Value, b.System.SwNumber[e].Value, sw + ".Value");
        diff.Text(a.System.SwNumber[e].Text, b.System.SwNumber[e].Text, sw + ".Text");
    }
    for (int e = 0; e < count; ++e) {
        for (int k = 0; k < kExternalSourceCount; ++k)
            diff.Eq(a.System.OutInZone[e][k], b.System.OutInZone[e][k],
                    At(At("System.OutInZone", e), k));

        const FunctionSetting &fa = a.Function[e], &fb = b.Function[e];
        const std::string fn = At("Function", e);
        diff.Eq(fa.OutSend, fb.OutSend, fn + ".OutSend");
        diff.Eq(fa.AutoOutSend, fb.AutoOutSend, fn + ".AutoOutSend");
        diff.Time(fa.StartTime, fb.StartTime, fn + ".StartTime");
        diff.Time(fa.EndTime, fb.EndTime, fn + ".EndTime");
        diff.Eq(fa.TalkSend, fb.TalkSend, fn + ".TalkSend");
        diff.Eq(fa.CallCnt, fb.CallCnt, fn + ".CallCnt");
        diff.Eq(fa.CallTime, fb.CallTime, fn + ".CallTime");
        diff.Eq(fa.TalkTime, fb.TalkTime, fn + ".TalkTime");

        const ExchangeSetting &xa = a.Exchange[e], &xb = b.Exchange[e];
        const std::string ex = At("Exchange", e);
        diff.Eq(xa.LineCntLimit, xb.LineCntLimit, ex + ".LineCntLimit");
        for (int l = 0; l < kTrunkLineCount; ++l) {
            const TrunkLineSetting &la = xa.Line[l], &lb = xb.Line[l];
            const std::string line = At(ex + ".Line", l);
            diff.Text(la.Name, lb.Name, line + ".Name");
            diff.Eq(la.TxNumberOnOff, lb.TxNumberOnOff, line + ".TxNumberOnOff");
            diff.Eq(la.TxNumber, lb.TxNumber, line + ".TxNumber");
            diff.Eq(la.RxLine, lb.RxLine, line + ".RxLine");
            diff.Eq(la.RxDial, lb.RxDial, line + ".RxDial");
            diff.List(la.RxMaster, lb.RxMaster, kRxMasterCount, line + ".RxMaster");
        }
        for (int m = 0; m < kMasterCount; ++m) {
            const MasterSetting &ma = xa.Master[m], &mb = xb.Master[m];
            const std::string master = At(ex + ".Master", m);
            diff.Eq(ma.ExchangeNo, mb.ExchangeNo, master + ".ExchangeNo");
            diff.Eq(ma.StationNo, mb.StationNo, master + ".StationNo");
            diff.Number(ma.Number, mb.Number, master + ".Number");
            diff.Text(ma.Name, mb.Name, master + ".Name");
            diff.Eq(ma.LineTx, mb.LineTx, master + ".LineTx");
            diff.Eq(ma.Paging, mb.Paging, master + ".Paging");
            diff.Text(ma.TelNo, mb.TelNo, master + ".TelNo");
            diff.Text(ma.AbsenceTelNo, mb.AbsenceTelNo, master + ".AbsenceTelNo");
            diff.Text(ma.AutoAbsenceTelNo, mb.AutoAbsenceTelNo, master + ".AutoAbsenceTelNo");
            diff.Text(ma.CnvTelNo, mb.CnvTelNo, master + ".CnvTelNo");
            diff.Text(ma.NonRespTelNo, mb.NonRespTelNo, master + ".NonRespTelNo");
            diff.Eq(ma.ScanTime, mb.ScanTime, master + ".ScanTime");
            diff.Eq(ma.ScanCnt, mb.ScanCnt, master + ".ScanCnt");
            diff.List(ma.ScanSub, mb.ScanSub, kScanCount, master + ".ScanSub");
            diff.Eq(ma.GroupCnt, mb.GroupCnt, master + ".GroupCnt");
            diff.List(ma.GroupMaster, mb.GroupMaster, kGroupCount, master + ".GroupMaster");
            diff.Eq(ma.MeetCnt, mb.MeetCnt, master + ".MeetCnt");
            diff.List(ma.MeetMaster, mb.MeetMaster, kMeetCount, master + ".MeetMaster");
        }
        for (int s = 0; s < kSubCount; ++s) {
            const SubSetting &sa = xa.Sub[s], &sb = xb.Sub[s];
            const std::string sub = At(ex + ".Sub", s);
            diff.Eq(sa.ExchangeNo, sb.ExchangeNo, sub + ".ExchangeNo");
            diff.Eq(sa.StationNo, sb.StationNo, sub + ".StationNo");
            diff.Number(sa.Number, sb.Number, sub + ".Number");
            diff.Text(sa.Name, sb.Name, sub + ".Name");
            diff.Eq(sa.CallSwNo, sb.CallSwNo, sub + ".CallSwNo");
            diff.Eq(sa.CallStNo, sb.CallStNo, sub + ".CallStNo");
            diff.Eq(sa.Level, sb.Level, sub + ".Level");
            diff.Eq(sa.Paging, sb.Paging, sub + ".Paging");
        }
        diff.Eq(xa.ZoneSize, xb.ZoneSize, ex + ".ZoneSize");
        diff.Eq(xa.PagingTimeLimit, xb.PagingTimeLimit, ex + ".PagingTimeLimit");
        for (int p = 0; p < kSpeakerCount; ++p)
            diff.Eq(xa.Speaker[p].Paging, xb.Speaker[p].Paging, At(ex + ".Speaker", p) + ".Paging");
        diff.Eq(a.DirectSelect.OutMode[e], b.DirectSelect.OutMode[e],
                At("DirectSelect.OutMode", e));
        if (diff.first) break;
    }
    return diff.first;
}

}  // namespace qn410::test
