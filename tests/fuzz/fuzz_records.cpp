// Fuzz target: arbitrary bodies for every decodable letter go through the decoders, and what
// they stored is encoded again. Nothing may crash or touch memory outside the setting data
// (the sanitizers watch), and the stored values keep the shapes the rest of the program
// relies on: 1..16 exchanges, zone masks within zones 1..19, terminated texts.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "setting/setting_data.h"
#include "transfer/record_codec.h"

namespace {

using namespace qn410;

void Require(bool ok) {
    if (!ok) std::abort();
}
void Terminated(const auto&... texts) {
    (Require(std::memchr(texts, 0, sizeof texts) != nullptr), ...);
}
void InZones(int32_t mask) {
    Require((mask & ~kZoneMaskBits) == 0);
}

void CheckShapes(const SettingData& d) {
    Require(d.System.SwitchCnt >= 1 && d.System.SwitchCnt <= kExchangeCount);
    for (int e = 0; e < kExchangeCount; ++e) {
        const ExchangeSetting& x = d.Exchange[e];
        Terminated(d.System.SwNumber[e].Text, d.Function[e].StartTime.Text,
                   d.Function[e].EndTime.Text, x.Line[0].Name, x.Line[1].Name);
        for (const int32_t mask : d.System.OutInZone[e]) InZones(mask);
        for (const MasterSetting& m : x.Master) {
            Terminated(m.Number.Text, m.Name, m.TelNo, m.AbsenceTelNo, m.NonRespTelNo);
            Require(m.GroupCnt <= kGroupCount && m.MeetCnt <= kMeetCount &&
                    m.ScanCnt <= kScanCount);
        }
        for (const SubSetting& s : x.Sub) {
            Terminated(s.Number.Text, s.Name);
            InZones(s.Paging);
        }
        for (const SpeakerSetting& sp : x.Speaker) InZones(sp.Paging);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
    static const std::unique_ptr<SettingData> pristine = [] {
        auto d = std::make_unique<SettingData>();
        SetDefaults(*d);
        RebuildZoneTables(*d);
        return d;
    }();
    static const std::unique_ptr<SettingData> data = std::make_unique<SettingData>();
    *data = *pristine;

    // The first byte picks the letter, so every decoder sees every kind of body; the raw
    // input is decoded too, letter and all.
    const std::string raw(reinterpret_cast<const char*>(bytes), size);
    std::string body = raw;
    if (!body.empty()) body[0] = "ABCDEFGHIJLMU"[static_cast<uint8_t>(body[0]) % 13];
    Decode(raw, *data);
    if (Decode(body, *data)) {
        // Encode what was stored, with the indexes the record named.
        RecordRequest r;
        r.data = data.get();
        r.exchange = static_cast<uint8_t>(std::atoi(body.substr(1, 2).c_str()));
        r.station = r.exchange ? 1 : 0;
        r.substation = r.zone = r.sourceZone = 1;
        const auto record = Encode(body[0], r);
        Require(body[0] == 'A' || record.has_value());
        if (record) Require(Decode(*record, *data));
    }
    CheckShapes(*data);
    return 0;
}
