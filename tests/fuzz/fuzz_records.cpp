// Fuzz target: arbitrary bodies for every decodable letter go through the decoders, and what
// they stored is encoded again. Nothing may crash or touch memory outside the setting data
// (the sanitizers watch), and the stored values keep the shapes the rest of the program
// relies on: 1..16 exchanges, zone masks within zones 1..19, terminated texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "setting/setting_data.h"
#include "transfer/record_codec.h"

namespace {

using namespace qn410;

constexpr char kLetters[] = "ABCDEFGHIJLMU";

void Require(bool ok) {
    if (!ok) std::abort();
}

template <std::size_t N>
void RequireTerminated(const char (&field)[N]) {
    Require(std::memchr(field, 0, N) != nullptr);
}

void CheckShapes(const SettingData& d) {
    Require(d.System.SwitchCnt >= 1 && d.System.SwitchCnt <= kExchangeCount);
    for (const auto& entry : d.System.SwNumber) RequireTerminated(entry.Text);
    for (const auto& row : d.System.OutInZone)
        for (const int32_t mask : row) Require((mask & ~kZoneMaskBits) == 0);
    for (const FunctionSetting& f : d.Function) {
        RequireTerminated(f.StartTime.Text);
        RequireTerminated(f.EndTime.Text);
    }
    for (const ExchangeSetting& x : d.Exchange) {
        for (const TrunkLineSetting& line : x.Line) RequireTerminated(line.Name);
        for (const MasterSetting& m : x.Master) {
            RequireTerminated(m.Number.Text);
            RequireTerminated(m.Name);
            RequireTerminated(m.TelNo);
            RequireTerminated(m.AbsenceTelNo);
            RequireTerminated(m.NonRespTelNo);
            Require(m.GroupCnt <= kGroupCount && m.MeetCnt <= kMeetCount &&
                    m.ScanCnt <= kScanCount);
        }
        for (const SubSetting& s : x.Sub) {
            RequireTerminated(s.Number.Text);
            RequireTerminated(s.Name);
            Require((s.Paging & ~kZoneMaskBits) == 0);
        }
        for (const SpeakerSetting& sp : x.Speaker) Require((sp.Paging & ~kZoneMaskBits) == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
    static const std::unique_ptr<SettingData> pristine = [] {
        auto d = std::make_unique<SettingData>();
        std::memset(static_cast<void*>(d.get()), 0, sizeof *d);
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
    if (!body.empty()) body[0] = kLetters[static_cast<uint8_t>(body[0]) % (sizeof kLetters - 1)];
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
