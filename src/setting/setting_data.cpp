#include "setting/setting_data.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "setting/text_field.h"

namespace qn410 {

namespace {

void SetNumber(StationNumber& number, int value) {
    number.Value = value;
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    SetText(number.Text, text);
}

// A station without a number holds the value -1 and the text "-1", as the setting file has it.
constexpr StationNumber kNoStationNumber{kNoNumber, {'-', '1', 0, 0, 0, 0, 0}};

void ResetList(StationEntry* entries, int count) {
    for (int k = 0; k < count; ++k) entries[k] = StationEntry{static_cast<uint8_t>(k + 1), 0, 0};
}

}  // namespace

void SetDefaults(SettingData& d) {
    // The zone tables are editing aids rebuilt from the masks; defaults leave them alone.
    const ZoneTables zones = d.Zones;
    std::memset(static_cast<void*>(&d), 0, sizeof d);
    d.Zones = zones;

    d.Maintenance.PcConnect = 0;
    d.Maintenance.CommPort = 0;
    d.RemoteDial.TelCnt = 0;

    SystemSetting& sys = d.System;
    sys.SwitchCnt = 1;
    sys.NumberSize = 2;
    for (int i = 0; i < kExchangeCount; ++i) {
        ExchangeNumberEntry& entry = sys.SwNumber[i];
        entry.ExchangeNo = static_cast<uint8_t>(i + 1);
        if (i < sys.SwitchCnt) {
            entry.Value = (i + 1) * 10;
            std::snprintf(entry.Text, sizeof entry.Text, "%02d", entry.Value);
        } else {
            entry.Value = kNoNumber;
            SetText(entry.Text, "-1");
        }
    }

    for (FunctionSetting& f : d.Function) {
        SetText(f.StartTime.Text, "00:00");
        SetText(f.EndTime.Text, "00:00");
        f.CallCnt = 10;
    }

    for (int e = 0; e < kExchangeCount; ++e) {
        ExchangeSetting& ex = d.Exchange[e];
        ex.ZoneSize = 1;
        ex.PagingTimeLimit = 0;
        ex.LineCntLimit = 3;
        for (TrunkLineSetting& line : ex.Line) ResetList(line.RxMaster, kRxMasterCount);
        for (int j = 0; j < kMasterCount; ++j) {
            MasterSetting& m = ex.Master[j];
            m.ExchangeNo = static_cast<uint8_t>(e + 1);
            m.StationNo = static_cast<uint8_t>(j + 1);
            if (e == 0) {
                SetNumber(m.Number, 90 + j);
                SetText(m.Name, TextOf(m.Number.Text));
            } else {
                m.Number = kNoStationNumber;
            }
            m.ScanTime = 5;
            m.ScanCnt = kScanCount;
            ResetList(m.ScanSub, kScanCount);
            m.GroupCnt = kGroupCount;
            ResetList(m.GroupMaster, kGroupCount);
            m.MeetCnt = kMeetCount;
            ResetList(m.MeetMaster, kMeetCount);
        }
        for (int j = 0; j < kSubCount; ++j) {
            SubSetting& s = ex.Sub[j];
            s.ExchangeNo = static_cast<uint8_t>(e + 1);
            s.StationNo = static_cast<uint8_t>(j + 1);
            if (e == 0) {
                SetNumber(s.Number, 10 + j);
                SetText(s.Name, TextOf(s.Number.Text));
            } else {
                s.Number = kNoStationNumber;
            }
            s.CallSwNo = static_cast<uint8_t>(e + 1);
            s.CallStNo = 1;
        }
    }
    // Dialing tables, OutMode and ShotT are all zero from the clear above. The trunk lines'
    // display copies say "no station", as they do after reading a file.
    for (ExchangeSetting& ex : d.Exchange)
        for (TrunkLineSetting& line : ex.Line)
            for (int32_t& value : line.RxNumberValue) value = kNoNumber;
}

const MasterSetting* FindMaster(const SettingData& d, int exchangeNo, int stationNo) {
    if (exchangeNo < 1 || exchangeNo > kExchangeCount || stationNo < 1 || stationNo > kMasterCount)
        return nullptr;
    return &d.Exchange[exchangeNo - 1].Master[stationNo - 1];
}

SettingDocument::SettingDocument() : data_(std::make_unique<SettingData>()) {
    std::memset(static_cast<void*>(data_.get()), 0, sizeof(SettingData));
    SetDefaults(*data_);
}

int ExchangesInUse(const SettingData& data) {
    return std::clamp<int>(data.System.SwitchCnt, 1, kExchangeCount);
}

}  // namespace qn410
