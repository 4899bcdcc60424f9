// Reads the setting file in one pass, in the writer's order. Every line read must hold the key
// it is expected to hold; the first one that does not ends the read with the defaults applied.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>

#include "setting/file_io.h"
#include "setting/setting_file.h"
#include "setting/setting_file_format.h"
#include "setting/text_field.h"

namespace qn410 {

std::optional<std::string_view> FindKeyValue(std::string_view line, std::string_view key) {
    const std::size_t at = line.find(key);
    if (at == std::string_view::npos) return std::nullopt;
    return line.substr(at + key.size());
}

std::string MissingKeyMessage(std::string_view key, bool withDefaultLine) {
    std::string text = "Incorrect setting file. Key information\n ";
    text += key;
    text += " not found.";
    if (withDefaultLine) text += "\nDefault Data setting";
    return text;
}

std::string EncodePasswordField(std::string_view password) {
    if (password.size() > kPasswordMaxLength) password = password.substr(0, kPasswordMaxLength);
    std::string field(22, '*');
    field[0] = static_cast<char>('0' + password.size() / 10);
    field[1] = static_cast<char>('0' + password.size() % 10);
    for (std::size_t i = 0; i < password.size(); ++i)
        field[2 + i] = static_cast<char>(static_cast<unsigned char>(password[i]) + 16);
    return field;
}

std::optional<std::string> DecodePasswordField(std::string_view field) {
    if (field.size() != 22) return std::nullopt;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (!isDigit(field[0]) || !isDigit(field[1])) return std::nullopt;
    const std::size_t n = static_cast<std::size_t>((field[0] - '0') * 10 + (field[1] - '0'));
    if (n > kPasswordMaxLength) return std::nullopt;
    std::string password(field.substr(2, n));
    for (char& c : password) c = static_cast<char>(static_cast<unsigned char>(c) - 16);
    return password;
}

void RefreshTrunkDisplayCopies(SettingData& d) {
    for (ExchangeSetting& ex : d.Exchange)
        for (TrunkLineSetting& line : ex.Line)
            for (int k = 0; k < kRxMasterCount; ++k) {
                const StationEntry& rx = line.RxMaster[k];
                const MasterSetting* m = FindMaster(d, rx.ExchangeNo, rx.StationNo);
                line.RxNumberValue[k] = m ? m->Number.Value : kNoNumber;
                SetText(line.RxNumberText[k], m ? TextOf(m->Number.Text) : "");
                SetText(line.RxName[k], m ? TextOf(m->Name) : "");
            }
}

namespace {

// A decimal integer as the C library's atoi reads it: leading blanks, an optional sign, digits
// up to the first other character, 0 without digits. Saturates instead of overflowing.
long long ParseDecimal(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    long long value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        if (value < std::numeric_limits<int32_t>::max() * 10LL) value = value * 10 + (s[i] - '0');
    }
    return negative ? -value : value;
}

template <typename T>
T Narrow(long long v) {
    return static_cast<T>(static_cast<unsigned long long>(v));  // keeps the low bits
}

class Reader {
  public:
    Reader(std::string_view bytes, SettingData& d) : rest_(bytes), d_(d) {}

    // The next line without its LF (and without a CR before it); empty past the end.
    std::string_view NextLine() {
        if (rest_.empty()) return {};
        std::size_t end = rest_.find('\n');
        std::string_view line = rest_.substr(0, end);
        rest_ = end == std::string_view::npos ? std::string_view{} : rest_.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    }

    // The value of the next line's key; on a missing key the read fails.
    bool Value(std::string_view key, std::string_view& value) {
        const std::string_view line = NextLine();
        if (auto v = FindKeyValue(line, key)) {
            value = *v;
            return true;
        }
        missingKey_ = std::string(key);
        return false;
    }
    bool Expect(std::string_view key) {
        std::string_view ignored;
        return Value(key, ignored);
    }
    template <typename T>
    bool Number(std::string_view key, T& field) {
        std::string_view v;
        if (!Value(key, v)) return false;
        field = Narrow<T>(ParseDecimal(v));
        return true;
    }
    template <std::size_t N>
    bool Text(std::string_view key, char (&field)[N], std::size_t maxLen = N - 1) {
        std::string_view v;
        if (!Value(key, v)) return false;
        SetText(field, v.substr(0, maxLen));
        return true;
    }
    template <std::size_t N>
    bool StationNo(std::string_view key, int32_t& value, char (&text)[N]) {
        std::string_view v;
        if (!Value(key, v)) return false;
        value = v == "-1" ? kNoNumber : Narrow<int32_t>(ParseDecimal(v));
        SetText(text, v.substr(0, 6));
        return true;
    }
    // "HH-LL" or "HH:LL": high part before the separator, low part after it. Without the
    // separator, or with it first, both parts are 0.
    bool Pair(std::string_view key, char separator, long long& high, long long& low,
              std::string_view* text = nullptr) {
        std::string_view v;
        if (!Value(key, v)) return false;
        const std::size_t at = v.find(separator);
        if (at == std::string_view::npos || at == 0) {
            high = low = 0;
        } else {
            high = ParseDecimal(v.substr(0, at));
            low = ParseDecimal(v.substr(at + 1));
        }
        if (text) *text = v;
        return true;
    }
    bool Entry(std::string_view key, int k, StationEntry& entry) {
        long long high, low;
        if (!Pair(key, '-', high, low)) return false;
        entry.Index = static_cast<uint8_t>(k);
        entry.ExchangeNo = Narrow<uint8_t>(high);
        entry.StationNo = Narrow<uint8_t>(low);
        return true;
    }
    bool Time(std::string_view key, TimeOfDay& t) {
        long long high, low;
        std::string_view text;
        if (!Pair(key, ':', high, low, &text)) return false;
        t.Value = Narrow<uint16_t>(high * 256 + low);
        SetText(t.Text, text);
        return true;
    }

    bool ReadAll();
    const std::string& missingKey() const { return missingKey_; }

  private:
    bool ReadPassword();
    bool ReadHead();
    bool ReadFunctions();
    bool ReadExchange(int e);
    bool ReadDialBlock();
    bool ReadShotBlock();

    std::string_view rest_;
    SettingData& d_;
    std::string missingKey_;

  public:
    std::optional<std::string> password;
    bool badPassword = false;
};

std::string Numbered(const char* format, int n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, format, n);
    return buf;
}

// "Dial17=" and the like, built without the formatting machinery: these keys are 131,072 of
// the file's lines.
std::string_view CountedKey(char (&buf)[16], std::string_view prefix, int n) {
    std::memcpy(buf, prefix.data(), prefix.size());
    char* end = std::to_chars(buf + prefix.size(), buf + sizeof buf - 1, n).ptr;
    *end++ = '=';
    return {buf, static_cast<std::size_t>(end - buf)};
}

std::string Numbered2(const char* format, int a, int b) {
    char buf[32];
    std::snprintf(buf, sizeof buf, format, a, b);
    return buf;
}

bool Reader::ReadHead() {
    SettingData& d = d_;
    if (!Expect(setting_keys::kMaintenance) || !Number("PcConnect=", d.Maintenance.PcConnect) ||
        !Number("CommPort=", d.Maintenance.CommPort) || !Text("TelNo=", d.Maintenance.TelNo))
        return false;
    if (!Expect(setting_keys::kRemoteDial) || !Number("TelCnt=", d.RemoteDial.TelCnt)) return false;
    for (auto& tel : d.RemoteDial.TelNo)
        if (!Text("TelNo=", tel)) return false;

    SystemSetting& sys = d.System;
    if (!Expect(setting_keys::kSystem) || !Number("SwitchCnt=", sys.SwitchCnt) ||
        !Number("NumberSize=", sys.NumberSize))
        return false;
    for (int n = 0; n < kTieLineCount; ++n)
        if (!Number(Numbered("TieLine%02d=", n + 1), sys.TieLine[n])) return false;
    for (int e = 0; e < kExchangeCount; ++e)
        if (!StationNo(Numbered("SwNumber%02d=", e + 1), sys.SwNumber[e].Value,
                       sys.SwNumber[e].Text))
            return false;
    for (int e = 0; e < kExchangeCount; ++e)
        for (int k = 0; k < kExternalSourceCount; ++k)
            if (!Number(Numbered2("OutInZone[%02d-%d]=", e + 1, k + 1), sys.OutInZone[e][k]))
                return false;
    return true;
}

bool Reader::ReadFunctions() {
    for (FunctionSetting& f : d_.Function) {
        NextLine();  // "[Function%d]" is not checked
        if (!Number("OutSend=", f.OutSend) || !Number("AutoOutSend=", f.AutoOutSend) ||
            !Time("StartTime=", f.StartTime) || !Time("EndTime=", f.EndTime) ||
            !Number("TalkSend=", f.TalkSend) || !Number("CallCnt=", f.CallCnt) ||
            !Number("CallTime=", f.CallTime) || !Number("TalkTime=", f.TalkTime))
            return false;
    }
    return true;
}

bool Reader::ReadExchange(int e) {
    ExchangeSetting& ex = d_.Exchange[e];
    if (!Expect(Numbered("[Switch%02d]", e + 1)) || !Number("ZoneSize=", ex.ZoneSize) ||
        !Number("PagingTimeLimit=", ex.PagingTimeLimit) ||
        !Number("LineCntLimit=", ex.LineCntLimit))
        return false;

    for (int l = 0; l < kTrunkLineCount; ++l) {
        TrunkLineSetting& line = ex.Line[l];
        if (!Expect(Numbered("[Line%02d]", l + 1)) || !Text("Name=", line.Name) ||
            !Number("TxNumberON/OFF=", line.TxNumberOnOff) || !Number("TxNumber=", line.TxNumber) ||
            !Number("RxLine=", line.RxLine) || !Number("RxDial=", line.RxDial))
            return false;
        for (int k = 0; k < kRxMasterCount; ++k) {
            if (!Entry(Numbered("RxMaster%02d=", k + 1), k + 1, line.RxMaster[k])) return false;
            SetText(line.RxText[k], "");
        }
    }

    for (int m = 0; m < kMasterCount; ++m) {
        MasterSetting& ms = ex.Master[m];
        if (!Expect(Numbered("[Master%02d]", m + 1)) ||
            !StationNo("Number=", ms.Number.Value, ms.Number.Text) || !Text("Name=", ms.Name) ||
            !Number("LineTx=", ms.LineTx) || !Number("Paging=", ms.Paging) ||
            !Text("TelNo=", ms.TelNo) || !Text("AbsenceTelNo=", ms.AbsenceTelNo) ||
            !Text("AutoAbsenceTelNo=", ms.AutoAbsenceTelNo) || !Text("CnvTelNo=", ms.CnvTelNo) ||
            !Text("NonRespTelNo=", ms.NonRespTelNo) || !Number("ScanTime=", ms.ScanTime) ||
            !Number("ScanCnt=", ms.ScanCnt))
            return false;
        for (int k = 0; k < kScanCount; ++k)
            if (!Entry(Numbered("ScanSub%02d=", k + 1), k + 1, ms.ScanSub[k])) return false;
        if (!Number("GroupCnt=", ms.GroupCnt)) return false;
        for (int k = 0; k < kGroupCount; ++k)
            if (!Entry(Numbered("GroupMaster%02d=", k + 1), k + 1, ms.GroupMaster[k])) return false;
        if (!Number("MeetCnt=", ms.MeetCnt)) return false;
        for (int k = 0; k < kMeetCount; ++k)
            if (!Entry(Numbered("MeetMaster%02d=", k + 1), k + 1, ms.MeetMaster[k])) return false;
    }

    for (int s = 0; s < kSubCount; ++s) {
        SubSetting& sub = ex.Sub[s];
        if (!Expect(Numbered("[Sub%02d]", s + 1)) ||
            !StationNo("Number=", sub.Number.Value, sub.Number.Text) || !Text("Name=", sub.Name) ||
            !Number("CallSwNo=", sub.CallSwNo) || !Number("CallStNo=", sub.CallStNo) ||
            !Number("Level=", sub.Level) || !Number("Paging=", sub.Paging))
            return false;
    }
    for (int z = 0; z < kSpeakerCount; ++z)
        if (!Expect(Numbered("[Speaker PA%02d]", z + 1)) ||
            !Number("Paging=", ex.Speaker[z].Paging))
            return false;
    return true;
}

bool Reader::ReadDialBlock() {
    if (!Expect(setting_keys::kDirectSelect)) return false;
    char key[16];
    for (int e = 0; e < kExchangeCount; ++e) {
        if (!Expect(Numbered("[Switch%02d]", e + 1)) ||
            !Number("OutMode=", d_.DirectSelect.OutMode[e]))
            return false;
        for (int m = 0; m < kMasterCount; ++m) {
            if (!Expect(Numbered("[Master%02d]", m + 1))) return false;
            DialTable& table = d_.Dial[e][m];
            for (int k = 0; k < kDialCount; ++k) {
                if (!Text(CountedKey(key, "Dial", k + 1), table[k].Dial)) return false;
            }
        }
    }
    return true;
}

bool Reader::ReadShotBlock() {
    char key[16];
    for (int e = 0; e < kExchangeCount; ++e) {
        if (!Expect(Numbered("[Switch%02d]", e + 1))) return false;
        for (int m = 0; m < kMasterCount; ++m) {
            // The door lock time runs 1..10; the whole value is read so that 10 stays 10.
            if (!Expect(Numbered("[Master%02d]", m + 1)) ||
                !Number(Numbered("ShotT%d=", m + 1), d_.ShotT[e][m]))
                return false;
            DialTable& table = d_.Dial[e][m];
            for (int k = 0; k < kDialCount; ++k) {
                if (!Text(CountedKey(key, "Shot", k + 1), table[k].Shot, 4)) return false;
            }
        }
    }
    return true;
}

bool Reader::ReadAll() {
    std::string_view field;
    if (!Value(setting_keys::kPassword, field)) return false;
    password = DecodePasswordField(field);
    if (!password) {
        badPassword = true;
        return false;
    }
    if (!ReadHead() || !ReadFunctions()) return false;
    for (int e = 0; e < kExchangeCount; ++e)
        if (!ReadExchange(e)) return false;

    for (auto& byExchange : d_.Dial)
        for (DialTable& table : byExchange) std::memset(table.data(), 0, sizeof table);
    if (!ReadDialBlock()) return false;

    if (NextLine() == setting_keys::kOneShotMake && !ReadShotBlock()) return false;
    // The display copies are refreshed once every master has been read, so that a trunk line
    // shows the receiving master as this file has it, not as the data held before.
    RefreshTrunkDisplayCopies(d_);
    return true;
}

}  // namespace

ReadOutcome ParseSettingFile(std::string_view bytes, SettingData& data, std::string& password,
                             std::string* missingKey) {
    Reader reader(bytes, data);
    const bool ok = reader.ReadAll();
    if (reader.password) password = *reader.password;
    if (ok) return ReadOutcome::Ok;
    if (reader.badPassword) return ReadOutcome::BadPassword;
    if (missingKey) *missingKey = reader.missingKey();
    return ReadOutcome::MissingKey;
}

ReadOutcome ReadSettingFile(const std::string& path, SettingDocument& doc, std::string& password,
                            Prompt& prompt) {
    const std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) {
        // A missing default setting file is created with the default data.
        SetDefaults(doc.data());
        if (!doc.fileName.empty()) WriteSettingFile(doc.fileName, doc, password, prompt);
        return ReadOutcome::OpenFailed;
    }
    std::string missingKey;
    const ReadOutcome outcome = ParseSettingFile(*bytes, doc.data(), password, &missingKey);
    if (outcome == ReadOutcome::MissingKey)
        prompt.Tell(MissingKeyMessage(missingKey, /*withDefaultLine=*/true));
    if (outcome != ReadOutcome::Ok) {
        SetDefaults(doc.data());
        doc.fileName.clear();
    }
    return outcome;
}

}  // namespace qn410
