#include "support/random_setting.h"

#include <cstdio>

#include "setting/setting_file.h"
#include "setting/text_field.h"

namespace qn410::test {

std::string RandomText::Name(int maxLen) {
    const int len = Coin() ? maxLen : Int(0, maxLen);
    std::string s;
    for (int i = 0; i < len; ++i) {
        switch (Int(0, 2)) {
            case 0: s += static_cast<char>(Int('A', 'Z')); break;
            case 1: s += static_cast<char>(Int('0', '9')); break;
            default: s += static_cast<char>(Int(0xA1, 0xDF)); break;
        }
    }
    return s;
}

std::string RandomText::Digits(int maxLen) {
    const int len = Int(1, maxLen);
    std::string s;
    for (int i = 0; i < len; ++i) s += static_cast<char>(Int('0', '9'));
    return s;
}

namespace {

void RandomNumber(RandomText& r, StationNumber& n) {
    if (r.Int(0, 3) == 0) {
        n.Value = kNoNumber;
        SetText(n.Text, "-1");
        return;
    }
    const std::string digits = r.Digits(6);
    n.Value = std::stoi(digits);
    SetText(n.Text, digits);
}

void RandomTime(RandomText& r, TimeOfDay& t) {
    const int hour = r.Int(0, 23), minute = r.Int(0, 59);
    t.Value = static_cast<uint16_t>(hour * 256 + minute);
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
    SetText(t.Text, text);
}

void RandomList(RandomText& r, StationEntry* list, int count, int maxStation) {
    for (int k = 0; k < count; ++k) {
        list[k].Index = static_cast<uint8_t>(k + 1);
        const bool empty = r.Int(0, 3) == 0;
        list[k].ExchangeNo = empty ? 0 : static_cast<uint8_t>(r.Int(1, kExchangeCount));
        list[k].StationNo = empty ? 0 : static_cast<uint8_t>(r.Int(1, maxStation));
    }
}

uint8_t Flag(RandomText& r) { return static_cast<uint8_t>(r.Int(0, 1)); }

}  // namespace

void FillRandomFileData(SettingData& d, uint32_t seed) {
    RandomText r(seed);
    SetDefaults(d);

    d.Maintenance.PcConnect = Flag(r);
    d.Maintenance.CommPort = static_cast<uint8_t>(r.Int(0, 3));
    SetText(d.Maintenance.TelNo, r.Digits(20));
    d.RemoteDial.TelCnt = static_cast<uint8_t>(r.Int(0, kRemoteTelCount));
    for (auto& tel : d.RemoteDial.TelNo) SetText(tel, r.Digits(32));

    SystemSetting& sys = d.System;
    sys.SwitchCnt = static_cast<uint8_t>(r.Int(1, kExchangeCount));
    sys.NumberSize = static_cast<uint8_t>(r.Int(2, 6));
    for (auto& t : sys.TieLine) t = Flag(r);
    for (auto& entry : sys.SwNumber) {
        StationNumber n{};
        RandomNumber(r, n);
        entry.Value = n.Value;
        SetText(entry.Text, TextOf(n.Text));
    }
    for (auto& row : sys.OutInZone)
        for (auto& mask : row) mask = r.Int(0, kZoneMaskBits);

    for (FunctionSetting& f : d.Function) {
        f.OutSend = Flag(r);
        f.AutoOutSend = Flag(r);
        RandomTime(r, f.StartTime);
        RandomTime(r, f.EndTime);
        f.TalkSend = Flag(r);
        f.CallCnt = static_cast<uint8_t>(r.Int(0, 255));
        f.CallTime = static_cast<uint8_t>(r.Int(0, 255));
        f.TalkTime = static_cast<uint16_t>(r.Int(0, 65535));
    }

    for (ExchangeSetting& ex : d.Exchange) {
        ex.ZoneSize = static_cast<uint8_t>(r.Int(1, 2));
        ex.PagingTimeLimit = r.Int(0, 990);
        ex.LineCntLimit = static_cast<uint8_t>(r.Int(1, 99));
        for (TrunkLineSetting& line : ex.Line) {
            SetText(line.Name, r.Name(8));
            line.TxNumberOnOff = Flag(r);
            line.TxNumber = static_cast<uint8_t>(r.Int(0, 9));
            line.RxLine = Flag(r);
            line.RxDial = Flag(r);
            RandomList(r, line.RxMaster, kRxMasterCount, kMasterCount);
        }
        for (MasterSetting& m : ex.Master) {
            RandomNumber(r, m.Number);
            SetText(m.Name, r.Name(8));
            m.LineTx = Flag(r);
            m.Paging = Flag(r);
            SetText(m.TelNo, r.Digits(20));
            SetText(m.AbsenceTelNo, r.Digits(6));
            SetText(m.AutoAbsenceTelNo, r.Digits(6));
            SetText(m.CnvTelNo, r.Digits(6));
            SetText(m.NonRespTelNo, r.Digits(6));
            m.ScanTime = static_cast<uint8_t>(r.Int(1, 99));
            m.ScanCnt = static_cast<uint8_t>(r.Int(0, kScanCount));
            RandomList(r, m.ScanSub, kScanCount, kSubCount);
            m.GroupCnt = static_cast<uint8_t>(r.Int(0, kGroupCount));
            RandomList(r, m.GroupMaster, kGroupCount, kMasterCount);
            m.MeetCnt = static_cast<uint8_t>(r.Int(0, kMeetCount));
            RandomList(r, m.MeetMaster, kMeetCount, kMasterCount);
        }
        for (SubSetting& s : ex.Sub) {
            RandomNumber(r, s.Number);
            SetText(s.Name, r.Name(8));
            s.CallSwNo = static_cast<uint8_t>(r.Int(1, kExchangeCount));
            s.CallStNo = static_cast<uint8_t>(r.Int(1, kMasterCount));
            s.Level = Flag(r);
            s.Paging = r.Int(0, kZoneMaskBits);
        }
        for (SpeakerSetting& sp : ex.Speaker) sp.Paging = r.Int(0, kZoneMaskBits);
    }

    for (auto& mode : d.DirectSelect.OutMode) mode = static_cast<uint8_t>(r.Int(0, 9));
    for (auto& byExchange : d.Dial)
        for (DialTable& table : byExchange)
            for (DialEntry& entry : table) {
                if (r.Int(0, 2) == 0) continue;
                SetText(entry.Dial, r.Digits(16));
                if (r.Coin()) SetText(entry.Shot, r.Digits(4));
            }
    for (auto& row : d.ShotT)
        for (auto& t : row) t = static_cast<uint8_t>(r.Int(0, 10));

    RefreshTrunkDisplayCopies(d);
}

}  // namespace qn410::test
