#include "transfer/station_check.h"

#include <algorithm>
#include <cstdio>

#include "setting/text_field.h"

namespace qn410 {

namespace {

struct Station {
    StationKind kind;
    int exchange;  // 1-based
    int index;     // 1-based
    const StationNumber& number;
};

class Checker {
  public:
    explicit Checker(const SettingData& data)
        : data_(data), count_(std::clamp<int>(data.System.SwitchCnt, 0, kExchangeCount)) {
        long long limit = 1;
        for (int k = 0; k < data.System.NumberSize && limit <= 1'000'000'000; ++k) limit *= 10;
        maxValue_ = limit - 1;
    }

    StationCheckResult Run() {
        using enum StationCheckCode;
        if (EachMaster([&](const Station& s) { return WellFormed(s) ? Ok : BadDigits; })) return r_;
        if (EachMaster([&](const Station& s) { return MasterUnique(s); })) return r_;
        if (EachMaster([&](const Station& s) { return ClearOfTrunks(s) ? Ok : TrunkDigit; }))
            return r_;
        if (EachSub([&](const Station& s) { return WellFormed(s) ? Ok : BadDigits; })) return r_;
        if (EachSub([&](const Station& s) { return InBlock(s) ? Ok : OutsideBlock; })) return r_;
        if (EachSub([&](const Station& s) { return SubUnique(s); })) return r_;
        if (EachSub([&](const Station& s) { return ClearOfTrunks(s) ? Ok : TrunkDigit; }))
            return r_;
        return StationCheckResult{};
    }

  private:
    // Runs step over every numbered master (or substation) in order; true when one failed,
    // with the result filled in.
    template <typename Step>
    bool EachMaster(Step step) {
        for (int e = 1; e <= count_; ++e)
            for (int m = 1; m <= kMasterCount; ++m)
                if (Fails({StationKind::Master, e, m, Master(e, m).Number}, step)) return true;
        return false;
    }
    template <typename Step>
    bool EachSub(Step step) {
        for (int e = 1; e <= count_; ++e)
            for (int s = 1; s <= kSubCount; ++s)
                if (Fails({StationKind::Sub, e, s, Sub(e, s).Number}, step)) return true;
        return false;
    }
    template <typename Step>
    bool Fails(const Station& s, Step step) {
        if (s.number.Value == kNoNumber) return false;
        const StationCheckCode code = step(s);
        if (code == StationCheckCode::Ok) return false;
        r_.code = code;
        r_.kind = s.kind;
        r_.exchange = static_cast<uint8_t>(s.exchange);
        r_.index = static_cast<uint8_t>(s.index);
        r_.numberValue = s.number.Value;
        r_.numberText = std::string(TextOf(s.number.Text));
        return true;
    }

    const MasterSetting& Master(int e, int m) const { return data_.Exchange[e - 1].Master[m - 1]; }
    const SubSetting& Sub(int e, int s) const { return data_.Exchange[e - 1].Sub[s - 1]; }

    bool WellFormed(const Station& s) const {
        return TextOf(s.number.Text).size() == data_.System.NumberSize &&
               s.number.Value <= maxValue_;
    }

    StationCheckCode Duplicate(StationKind kind, int e, int index) {
        r_.otherKind = kind;
        r_.otherExchange = static_cast<uint8_t>(e);
        r_.otherIndex = static_cast<uint8_t>(index);
        return StationCheckCode::Duplicate;
    }

    StationCheckCode MasterUnique(const Station& s) {
        for (int e = 1; e <= count_; ++e)
            for (int m = 1; m <= kMasterCount; ++m) {
                if (e == s.exchange && m == s.index) continue;
                if (Master(e, m).Number.Value == s.number.Value)
                    return Duplicate(StationKind::Master, e, m);
            }
        for (int e = 1; e <= count_; ++e)
            for (int k = 1; k <= kSubCount; ++k)
                if (Sub(e, k).Number.Value == s.number.Value)
                    return Duplicate(StationKind::Sub, e, k);
        return StationCheckCode::Ok;
    }

    StationCheckCode SubUnique(const Station& s) {
        for (int k = s.index + 1; k <= kSubCount; ++k)
            if (Sub(s.exchange, k).Number.Value == s.number.Value)
                return Duplicate(StationKind::Sub, s.exchange, k);
        return StationCheckCode::Ok;
    }

    bool ClearOfTrunks(const Station& s) const {
        const std::string_view text = TextOf(s.number.Text);
        if (text.empty()) return true;
        for (const TrunkLineSetting& line : data_.Exchange[s.exchange - 1].Line)
            if (line.TxNumberOnOff != 0 && text[0] == '0' + line.TxNumber) return false;
        return true;
    }

    bool InBlock(const Station& s) const {
        const ExchangeNumberEntry* first = data_.System.SwNumber;
        if (s.number.Value < first[s.exchange - 1].Value) return false;
        return s.exchange == count_ || s.number.Value < first[s.exchange].Value;
    }

    const SettingData& data_;
    int count_;
    long long maxValue_;
    StationCheckResult r_;
};

std::string Format(const char* pattern, const std::string& text, int a, int b = 0, int c = 0) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, pattern, text.c_str(), a, b, c);
    return buffer;
}

}  // namespace

StationCheckResult CheckStationNumbers(const SettingData& data) {
    return Checker(data).Run();
}

std::string StationCheckMessage(const StationCheckResult& r) {
    const bool master = r.kind == StationKind::Master;
    const std::string page = master ? "Master Stations (Telephones)\n" : "Substations\n";
    switch (r.code) {
        case StationCheckCode::Ok:
            return {};
        case StationCheckCode::BadDigits:
            return page + Format("Incorrect station No.digit length(%s)for Exchange %d",
                                 r.numberText, r.exchange);
        case StationCheckCode::Duplicate:
            return page + Format(r.otherKind == StationKind::Master
                                     ? "Duplicated station No.(%s) for Exchange %d\n"
                                       "( Master Stations (Telephones) : %d-%d )"
                                     : "Duplicated station No.(%s) for Exchange %d\n"
                                       "( Substations : %d-%d )",
                                 r.numberText, r.exchange, r.otherExchange, r.otherIndex);
        case StationCheckCode::OutsideBlock:
            return page + Format("Station No.(%s)for Exchange %d exceeds station No.limits.",
                                 r.numberText, r.exchange);
        case StationCheckCode::TrunkDigit:
            return page + "Specific No. for making a call is used";
    }
    return {};
}

}  // namespace qn410
