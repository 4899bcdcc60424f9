#include "editors/station_validation.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include "setting/text_field.h"
#include "transfer/station_check.h"

namespace qn410 {

namespace {

class Validator {
  public:
    Validator(const StationCopy& copy, const SettingData& data)
        : copy_(copy),
          data_(data),
          exchanges_(std::clamp<int>(data.System.SwitchCnt, 0, kExchangeCount)),
          digits_(data.System.NumberSize) {
        long long limit = 1;
        for (int k = 0; k < digits_ && limit <= 1'000'000'000; ++k) limit *= 10;
        maxValue_ = limit - 1;
    }

    std::optional<StationFailure> Run() {
        using Kind = StationKind;
        using Code = StationCheckCode;
        // 1: master station numbers.
        if (auto f = EachNumbered(Kind::Master, [&](int, int, const StationNumber& n) {
                return WellFormed(n) ? Code::Ok : Code::BadDigits;
            }))
            return f;
        if (auto f = EachNumbered(Kind::Master, [&](int e, int i, const StationNumber& n) {
                return MasterUnique(e, i, n);
            }))
            return f;
        if (auto f = EachNumbered(Kind::Master, [&](int e, int, const StationNumber& n) {
                return ClearOfTrunks(e, n) ? Code::Ok : Code::TrunkDigit;
            }))
            return f;
        // 2 and 3: the masters' forwarding fields.
        if (auto f = CheckCoForwarding()) return f;
        if (auto f = CheckTargets()) return f;
        // 4: substation numbers.
        if (auto f = EachNumbered(Kind::Sub, [&](int, int, const StationNumber& n) {
                return WellFormed(n) ? Code::Ok : Code::BadDigits;
            }))
            return f;
        if (auto f = EachNumbered(Kind::Sub, [&](int e, int, const StationNumber& n) {
                return InBlock(e, n) ? Code::Ok : Code::OutsideBlock;
            }))
            return f;
        if (auto f = EachNumbered(Kind::Sub, [&](int e, int i, const StationNumber& n) {
                return SubUnique(e, i, n);
            }))
            return f;
        if (auto f = EachNumbered(Kind::Sub, [&](int e, int, const StationNumber& n) {
                return ClearOfTrunks(e, n) ? Code::Ok : Code::TrunkDigit;
            }))
            return f;
        // 5: call targets.
        return CheckCallTargets();
    }

  private:
    using Step = std::function<StationCheckCode(int, int, const StationNumber&)>;

    // Runs step over every numbered master (or substation); the first failure with its text.
    std::optional<StationFailure> EachNumbered(StationKind kind, const Step& step) {
        const bool master = kind == StationKind::Master;
        for (int e = 1; e <= exchanges_; ++e)
            for (int i = 1; i <= (master ? kMasterCount : kSubCount); ++i) {
                const StationNumber& n = master ? Master(e, i).Number : Sub(e, i).Number;
                if (n.Value == kNoNumber) continue;
                result_.code = step(e, i, n);
                if (result_.code == StationCheckCode::Ok) continue;
                result_.kind = kind;
                result_.exchange = static_cast<uint8_t>(e);
                result_.index = static_cast<uint8_t>(i);
                result_.numberValue = n.Value;
                result_.numberText = std::string(TextOf(n.Text));
                return StationFailure{StationCheckMessage(result_),
                                      master ? StationPageKind::Master : StationPageKind::Sub, e, i,
                                      master_col::kStation};
            }
        return std::nullopt;
    }

    const MasterSetting& Master(int e, int i) const { return copy_.Master[e - 1][i - 1]; }
    const SubSetting& Sub(int e, int i) const { return copy_.Sub[e - 1][i - 1]; }

    bool WellFormed(const StationNumber& n) const {
        return TextOf(n.Text).size() == static_cast<std::size_t>(digits_) && n.Value <= maxValue_;
    }

    StationCheckCode Duplicate(StationKind kind, int e, int i) {
        result_.otherKind = kind;
        result_.otherExchange = static_cast<uint8_t>(e);
        result_.otherIndex = static_cast<uint8_t>(i);
        return StationCheckCode::Duplicate;
    }

    StationCheckCode MasterUnique(int e0, int i0, const StationNumber& n) {
        for (int e = 1; e <= exchanges_; ++e)
            for (int i = 1; i <= kMasterCount; ++i)
                if ((e != e0 || i != i0) && Master(e, i).Number.Value == n.Value)
                    return Duplicate(StationKind::Master, e, i);
        for (int e = 1; e <= exchanges_; ++e)
            for (int i = 1; i <= kSubCount; ++i)
                if (Sub(e, i).Number.Value == n.Value) return Duplicate(StationKind::Sub, e, i);
        return StationCheckCode::Ok;
    }

    StationCheckCode SubUnique(int e, int i0, const StationNumber& n) {
        for (int i = 1; i <= kSubCount; ++i)
            if (i != i0 && Sub(e, i).Number.Value == n.Value)
                return Duplicate(StationKind::Sub, e, i);
        return StationCheckCode::Ok;
    }

    // The access digit of an active C/O line of exchange e equals c.
    bool IsAccessDigit(int e, char c) const {
        for (const TrunkLineSetting& line : data_.Exchange[e - 1].Line)
            if (line.TxNumberOnOff != 0 && c == '0' + line.TxNumber) return true;
        return false;
    }

    bool ClearOfTrunks(int e, const StationNumber& n) const {
        const std::string_view text = TextOf(n.Text);
        return text.empty() || !IsAccessDigit(e, text[0]);
    }

    bool InBlock(int e, const StationNumber& n) const {
        const ExchangeNumberEntry* first = data_.System.SwNumber;
        if (n.Value < first[e - 1].Value) return false;
        return e == exchanges_ || n.Value < first[e].Value;
    }

    std::optional<StationFailure> CheckCoForwarding() const {
        for (int e = 1; e <= exchanges_; ++e)
            for (int i = 1; i <= kMasterCount; ++i) {
                const std::string_view tel = TextOf(Master(e, i).TelNo);
                const bool ok = std::all_of(tel.begin(), tel.end(), [](char c) {
                    return (c >= '0' && c <= '9') || c == '-';
                });
                if (!tel.empty() && (tel.size() > 20 || !ok))
                    return StationFailure{"Incorrect Auto C/O Xfer sta", StationPageKind::Master, e,
                                          i, master_col::kCoForwarding};
            }
        return std::nullopt;
    }

    bool ValidTarget(int e, std::string_view target) const {
        if (!AllDigits(target)) return false;
        if (target.size() == 1) return IsAccessDigit(e, target[0]);
        return MasterNumbered(copy_, target, digits_, exchanges_) != nullptr;
    }

    std::optional<StationFailure> CheckTargets() const {
        const struct {
            std::string_view (*text)(const MasterSetting&);
            const char* message;
            int column;
        } fields[] = {
            {[](const MasterSetting& m) { return TextOf(m.AbsenceTelNo); },
             "Incorrect absence transfer", master_col::kForwarding},
            {[](const MasterSetting& m) { return TextOf(m.AutoAbsenceTelNo); },
             "Incorrect Auto absence transfer at preset times", master_col::kTimeForwarding},
            {[](const MasterSetting& m) { return TextOf(m.CnvTelNo); },
             "Incorrect Call Transfer during Conversation", master_col::kBusyForwarding},
            {[](const MasterSetting& m) { return TextOf(m.NonRespTelNo); },
             "Incorrect Nonresponse Transfer", master_col::kNoAnswerForwarding},
        };
        for (const auto& field : fields)
            for (int e = 1; e <= exchanges_; ++e)
                for (int i = 1; i <= kMasterCount; ++i) {
                    const std::string_view target = field.text(Master(e, i));
                    if (!target.empty() && !ValidTarget(e, target))
                        return StationFailure{field.message, StationPageKind::Master, e, i,
                                              field.column};
                }
        return std::nullopt;
    }

    std::optional<StationFailure> CheckCallTargets() const {
        for (int e = 1; e <= exchanges_; ++e)
            for (int i = 1; i <= kSubCount; ++i) {
                const SubSetting& sub = Sub(e, i);
                if (sub.Number.Value == kNoNumber) continue;
                const bool ok = sub.CallSwNo >= 1 && sub.CallSwNo <= exchanges_ &&
                                sub.CallStNo >= 1 && sub.CallStNo <= kMasterCount &&
                                Master(sub.CallSwNo, sub.CallStNo).Number.Value != kNoNumber;
                if (ok) continue;
                char text[96];
                std::snprintf(text, sizeof text,
                              "Substations\nDialing incorrect exchange-equipment No.(%d-%d)", e, i);
                return StationFailure{text, StationPageKind::Sub, e, i, sub_col::kCalledExchange};
            }
        return std::nullopt;
    }

    const StationCopy& copy_;
    const SettingData& data_;
    int exchanges_;
    int digits_;
    long long maxValue_ = 0;
    StationCheckResult result_;
};

}  // namespace

std::optional<StationFailure> ValidateStations(const StationCopy& copy, const SettingData& data) {
    return Validator(copy, data).Run();
}

}  // namespace qn410
