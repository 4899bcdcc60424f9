#include "support/random_setting.h"

#include <cstdio>

#include "setting/setting_file.h"
#include "setting/text_field.h"

namespace qn410::test {

std::string RandomText::Name(int maxLen) {
    static constexpr int kRanges[3][2] = {{'A', 'Z'}, {'0', '9'}, {0xA1, 0xDF}};
    std::string s(Coin() ? maxLen : Int(0, maxLen), ' ');
    for (char& c : s) {
        const auto& range = kRanges[Int(0, 2)];
        c = static_cast<char>(Int(range[0], range[1]));
    }
    return s;
}

std::string RandomText::Digits(int maxLen) {
    std::string s(Int(1, maxLen), '0');
    for (char& c : s) c = static_cast<char>(Int('0', '9'));
    return s;
}

template <typename N>
void RandomText::Number(N& n, bool set) {
    const std::string digits = set ? Digits(6) : "-1";
    n.Value = std::stoi(digits);
    SetText(n.Text, digits);
}
template void RandomText::Number(StationNumber&, bool);
template void RandomText::Number(ExchangeNumberEntry&, bool);

void RandomText::Time(TimeOfDay& t, bool oftenZero) {
    const int hour = oftenZero && Coin() ? 0 : Int(0, 23);
    const int minute = oftenZero && Coin() ? 0 : Int(0, 59);
    t.Value = static_cast<uint16_t>(hour * 256 + minute);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
    SetText(t.Text, text);
}

namespace {

// Each entry empty one time in four.
void RandomList(RandomText& r, StationEntry* list, int count, int maxStation) {
    for (int k = 0; k < count; ++k) {
        const bool set = r.Int(0, 3) != 0;
        list[k] = {static_cast<uint8_t>(k + 1),
                   static_cast<uint8_t>(set ? r.Int(1, kExchangeCount) : 0),
                   static_cast<uint8_t>(set ? r.Int(1, maxStation) : 0)};
    }
}

}  // namespace

void FillRandomFileData(SettingData& d, uint32_t seed) {
    RandomText r(seed);
    SetDefaults(d);
    r.Set(d.Maintenance.PcConnect, 0, 1);
    r.Set(d.Maintenance.CommPort, 0, 3);
    SetText(d.Maintenance.TelNo, r.Digits(20));
    r.Set(d.RemoteDial.TelCnt, 0, kRemoteTelCount);
    for (auto& tel : d.RemoteDial.TelNo) SetText(tel, r.Digits(32));

    r.Set(d.System.SwitchCnt, 1, kExchangeCount);
    r.Set(d.System.NumberSize, 2, 6);
    for (auto& t : d.System.TieLine) r.Set(t, 0, 1);
    for (auto& entry : d.System.SwNumber) r.Number(entry, r.Int(0, 3) != 0);
    for (auto& row : d.System.OutInZone)
        for (auto& mask : row) r.Set(mask, 0, kZoneMaskBits);

    for (FunctionSetting& f : d.Function) {
        r.Set(f.OutSend, 0, 1);
        r.Set(f.AutoOutSend, 0, 1);
        r.Time(f.StartTime, false);
        r.Time(f.EndTime, false);
        r.Set(f.TalkSend, 0, 1);
        r.Set(f.CallCnt, 0, 255);
        r.Set(f.CallTime, 0, 255);
        r.Set(f.TalkTime, 0, 65535);
    }

    for (ExchangeSetting& ex : d.Exchange) {
        r.Set(ex.ZoneSize, 1, 2);
        r.Set(ex.PagingTimeLimit, 0, 990);
        r.Set(ex.LineCntLimit, 1, 99);
        for (TrunkLineSetting& line : ex.Line) {
            SetText(line.Name, r.Name(8));
            r.Set(line.TxNumberOnOff, 0, 1);
            r.Set(line.TxNumber, 0, 9);
            r.Set(line.RxLine, 0, 1);
            r.Set(line.RxDial, 0, 1);
            RandomList(r, line.RxMaster, kRxMasterCount, kMasterCount);
        }
        for (MasterSetting& m : ex.Master) {
            r.Number(m.Number, r.Int(0, 3) != 0);
            SetText(m.Name, r.Name(8));
            r.Set(m.LineTx, 0, 1);
            r.Set(m.Paging, 0, 1);
            SetText(m.TelNo, r.Digits(20));
            for (auto* tel : {&m.AbsenceTelNo, &m.AutoAbsenceTelNo, &m.CnvTelNo, &m.NonRespTelNo})
                SetText(*tel, r.Digits(6));
            r.Set(m.ScanTime, 1, 99);
            r.Set(m.ScanCnt, 0, kScanCount);
            RandomList(r, m.ScanSub, kScanCount, kSubCount);
            r.Set(m.GroupCnt, 0, kGroupCount);
            RandomList(r, m.GroupMaster, kGroupCount, kMasterCount);
            r.Set(m.MeetCnt, 0, kMeetCount);
            RandomList(r, m.MeetMaster, kMeetCount, kMasterCount);
        }
        for (SubSetting& s : ex.Sub) {
            r.Number(s.Number, r.Int(0, 3) != 0);
            SetText(s.Name, r.Name(8));
            r.Set(s.CallSwNo, 1, kExchangeCount);
            r.Set(s.CallStNo, 1, kMasterCount);
            r.Set(s.Level, 0, 1);
            r.Set(s.Paging, 0, kZoneMaskBits);
        }
        for (SpeakerSetting& sp : ex.Speaker) r.Set(sp.Paging, 0, kZoneMaskBits);
    }

    for (auto& mode : d.DirectSelect.OutMode) r.Set(mode, 0, 9);
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

}  // namespace qn410::test
