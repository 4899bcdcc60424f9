// Writes the setting file. Every line is formatted completely and appended to one buffer; the
// buffer is complete before the file is touched, then replaces it (see ReplaceFile).
#include <charconv>
#include <cstdio>
#include <cstring>

#include "setting/file_io.h"
#include "setting/setting_file.h"
#include "setting/setting_file_format.h"
#include "setting/text_field.h"

namespace qn410 {

namespace {

class LineWriter {
  public:
    explicit LineWriter(std::string& out) : out_(out) {}

    void Line(std::string_view text) {
        out_ += text;
        out_ += '\n';
    }
    void Key(std::string_view key, std::string_view value) {
        out_ += key;
        out_ += value;
        out_ += '\n';
    }
    void Key(std::string_view key, long long value) {
        out_ += key;
        AppendNumber(value);
        out_ += '\n';
    }
    // key with a running number in it, as "Dial%d=" or "TieLine%02d=".
    void NumberedKey(std::string_view prefix, int n, int width, std::string_view suffix) {
        out_ += prefix;
        AppendPadded(n, width);
        out_ += suffix;
    }
    void AppendNumber(long long value) {
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, value);
        out_.append(buf, r.ptr);
    }
    void AppendPadded(int value, int width) {
        if (width == 2 && value >= 0 && value < 100) {
            out_ += static_cast<char>('0' + value / 10);
            out_ += static_cast<char>('0' + value % 10);
        } else {
            AppendNumber(value);
        }
    }
    void Pair(int high, int low, char separator) {
        AppendPadded(high, 2);
        out_ += separator;
        AppendPadded(low, 2);
        out_ += '\n';
    }
    std::string& out_;
};

std::string SwitchHeader(int e) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "[Switch%02d]", e);
    return buf;
}

std::string NumberText(int32_t value, std::string_view text) {
    return value == kNoNumber ? std::string("-1") : std::string(text);
}

void WriteList(LineWriter& w, const char* key, const StationEntry* list, int count) {
    for (int k = 0; k < count; ++k) {
        w.NumberedKey(key, k + 1, 2, "=");
        w.Pair(list[k].ExchangeNo, list[k].StationNo, '-');
    }
}

void WriteTime(LineWriter& w, std::string_view key, const TimeOfDay& t) {
    w.out_ += key;
    w.Pair(t.Value >> 8, t.Value & 0xFF, ':');
}

}  // namespace

std::string FormatSettingFile(const SettingData& d, std::string_view password) {
    std::string out;
    out.reserve(2 * 1024 * 1024);
    LineWriter w(out);

    w.Key(setting_keys::kPassword, EncodePasswordField(password));

    w.Line(setting_keys::kMaintenance);
    w.Key("PcConnect=", d.Maintenance.PcConnect);
    w.Key("CommPort=", d.Maintenance.CommPort);
    w.Key("TelNo=", TextOf(d.Maintenance.TelNo));

    w.Line(setting_keys::kRemoteDial);
    w.Key("TelCnt=", d.RemoteDial.TelCnt);
    for (const auto& tel : d.RemoteDial.TelNo) w.Key("TelNo=", TextOf(tel));

    const SystemSetting& sys = d.System;
    w.Line(setting_keys::kSystem);
    w.Key("SwitchCnt=", sys.SwitchCnt);
    w.Key("NumberSize=", sys.NumberSize);
    for (int n = 0; n < kTieLineCount; ++n) {
        w.NumberedKey("TieLine", n + 1, 2, "=");
        w.AppendNumber(sys.TieLine[n]);
        out += '\n';
    }
    for (int e = 0; e < kExchangeCount; ++e) {
        w.NumberedKey("SwNumber", e + 1, 2, "=");
        w.Line(NumberText(sys.SwNumber[e].Value, TextOf(sys.SwNumber[e].Text)));
    }
    for (int e = 0; e < kExchangeCount; ++e)
        for (int k = 0; k < kExternalSourceCount; ++k) {
            w.NumberedKey("OutInZone[", e + 1, 2, "-");
            w.AppendNumber(k + 1);
            out += "]=";
            w.AppendNumber(sys.OutInZone[e][k]);
            out += '\n';
        }

    for (int e = 0; e < kExchangeCount; ++e) {
        const FunctionSetting& f = d.Function[e];
        w.NumberedKey("[Function", e + 1, 1, "]\n");
        w.Key("OutSend=", f.OutSend);
        w.Key("AutoOutSend=", f.AutoOutSend);
        WriteTime(w, "StartTime=", f.StartTime);
        WriteTime(w, "EndTime=", f.EndTime);
        w.Key("TalkSend=", f.TalkSend);
        w.Key("CallCnt=", f.CallCnt);
        w.Key("CallTime=", f.CallTime);
        w.Key("TalkTime=", f.TalkTime);
    }

    for (int e = 0; e < kExchangeCount; ++e) {
        const ExchangeSetting& ex = d.Exchange[e];
        const std::string sw = SwitchHeader(e + 1);
        w.Line(sw);
        w.Key("ZoneSize=", ex.ZoneSize);
        w.Key("PagingTimeLimit=", ex.PagingTimeLimit);
        w.Key("LineCntLimit=", ex.LineCntLimit);
        for (int l = 0; l < kTrunkLineCount; ++l) {
            const TrunkLineSetting& line = ex.Line[l];
            out += sw;
            w.NumberedKey("[Line", l + 1, 2, "]\n");
            w.Key("Name=", TextOf(line.Name));
            w.Key("TxNumberON/OFF=", line.TxNumberOnOff);
            w.Key("TxNumber=", line.TxNumber);
            w.Key("RxLine=", line.RxLine);
            w.Key("RxDial=", line.RxDial);
            WriteList(w, "RxMaster", line.RxMaster, kRxMasterCount);
        }
        for (int m = 0; m < kMasterCount; ++m) {
            const MasterSetting& ms = ex.Master[m];
            out += sw;
            w.NumberedKey("[Master", m + 1, 2, "]\n");
            w.Key("Number=", NumberText(ms.Number.Value, TextOf(ms.Number.Text)));
            w.Key("Name=", TextOf(ms.Name));
            w.Key("LineTx=", ms.LineTx);
            w.Key("Paging=", ms.Paging);
            w.Key("TelNo=", TextOf(ms.TelNo));
            w.Key("AbsenceTelNo=", TextOf(ms.AbsenceTelNo));
            w.Key("AutoAbsenceTelNo=", TextOf(ms.AutoAbsenceTelNo));
            w.Key("CnvTelNo=", TextOf(ms.CnvTelNo));
            w.Key("NonRespTelNo=", TextOf(ms.NonRespTelNo));
            w.Key("ScanTime=", ms.ScanTime);
            w.Key("ScanCnt=", ms.ScanCnt);
            WriteList(w, "ScanSub", ms.ScanSub, kScanCount);
            w.Key("GroupCnt=", ms.GroupCnt);
            WriteList(w, "GroupMaster", ms.GroupMaster, kGroupCount);
            w.Key("MeetCnt=", ms.MeetCnt);
            WriteList(w, "MeetMaster", ms.MeetMaster, kMeetCount);
        }
        for (int s = 0; s < kSubCount; ++s) {
            const SubSetting& sub = ex.Sub[s];
            out += sw;
            w.NumberedKey("[Sub", s + 1, 2, "]\n");
            w.Key("Number=", NumberText(sub.Number.Value, TextOf(sub.Number.Text)));
            w.Key("Name=", TextOf(sub.Name));
            w.Key("CallSwNo=", sub.CallSwNo);
            w.Key("CallStNo=", sub.CallStNo);
            w.Key("Level=", sub.Level);
            w.Key("Paging=", sub.Paging);
        }
        for (int z = 0; z < kSpeakerCount; ++z) {
            w.NumberedKey("[Speaker PA", z + 1, 2, "]\n");
            w.Key("Paging=", ex.Speaker[z].Paging);
        }
    }

    w.Line(setting_keys::kDirectSelect);
    for (int e = 0; e < kExchangeCount; ++e) {
        const std::string sw = SwitchHeader(e + 1);
        w.Line(sw);
        w.Key("OutMode=", d.DirectSelect.OutMode[e]);
        for (int m = 0; m < kMasterCount; ++m) {
            out += sw;
            w.NumberedKey("[Master", m + 1, 2, "]\n");
            const DialTable& table = d.Dial[e][m];
            for (int k = 0; k < kDialCount; ++k) {
                w.NumberedKey("Dial", k + 1, 1, "=");
                w.Line(TextOf(table[k].Dial));
            }
        }
    }

    w.Line(setting_keys::kOneShotMake);
    for (int e = 0; e < kExchangeCount; ++e) {
        const std::string sw = SwitchHeader(e + 1);
        w.Line(sw);
        for (int m = 0; m < kMasterCount; ++m) {
            out += sw;
            w.NumberedKey("[Master", m + 1, 2, "]\n");
            w.NumberedKey("ShotT", m + 1, 1, "=");
            w.AppendNumber(d.ShotT[e][m]);
            out += '\n';
            const DialTable& table = d.Dial[e][m];
            for (int k = 0; k < kDialCount; ++k) {
                w.NumberedKey("Shot", k + 1, 1, "=");
                w.Line(TextOf(table[k].Shot));
            }
        }
    }
    return out;
}

namespace {

void MarkUnsetNumbers(SettingData& d) {
    for (auto& entry : d.System.SwNumber)
        if (entry.Value == kNoNumber) SetText(entry.Text, "-1");
    for (auto& ex : d.Exchange) {
        for (auto& m : ex.Master)
            if (m.Number.Value == kNoNumber) SetText(m.Number.Text, "-1");
        for (auto& s : ex.Sub)
            if (s.Number.Value == kNoNumber) SetText(s.Number.Text, "-1");
    }
}

}  // namespace

bool WriteSettingFile(const std::string& path, SettingDocument& doc, std::string_view password,
                      Prompt& prompt) {
    if (!ReplaceFile(path, FormatSettingFile(doc.data(), password))) {
        prompt.Tell(kWriteErrorMessage, PromptIcon::Exclamation);
        return false;
    }
    MarkUnsetNumbers(doc.data());
    doc.modified = false;
    return true;
}

}  // namespace qn410
