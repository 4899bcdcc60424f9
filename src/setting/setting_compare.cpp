// Walks both data category by category, in the printout's order, and records each field whose
// setting-file form differs. The walk visits the same fields in the same order whatever the
// data hold, so a difference can never shift the rest of the comparison.
#include "setting/setting_compare.h"

#include <cstdio>
#include <string_view>

#include "setting/text_field.h"

namespace qn410 {

const char* CategoryTitle(SettingCategory category) {
    switch (category) {
        case SettingCategory::GlobalSetting:
            return "Global Setting";
        case SettingCategory::CallForwarding:
            return "Call Forwarding/Time-Out";
        case SettingCategory::MasterStations:
            return "Master Stations (Telephones)";
        case SettingCategory::Substations:
            return "Substations";
        case SettingCategory::CoTrunks:
            return "C/O Trunks";
        case SettingCategory::ScanMonitor:
            return "Scan Monitor";
        case SettingCategory::GroupCall:
            return "Group Call";
        case SettingCategory::EmergencyConference:
            return "Emergency Conference";
        case SettingCategory::Paging:
            return "Paging";
        case SettingCategory::PcPort:
            return "PC Port";
        case SettingCategory::RemoteDialing:
            return "Remote Dialing";
        case SettingCategory::PublicAddress:
            return "Public Address Systems";
        case SettingCategory::ExternalSource:
            return "External Source Distribution";
        case SettingCategory::DirectSelect:
            return "Direct Select";
        case SettingCategory::DialingAssignment:
            return "Dialing Assignment";
    }
    return "";
}

namespace {

std::string Numbered(const char* what, int n) {
    return std::string(what) + ' ' + std::to_string(n);
}

std::string Key(const char* key, int n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%02d", key, n);
    return buf;
}

std::string Pair(int high, int low, char separator) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%c%02d", high, separator, low);
    return buf;
}

std::string NumberText(const StationNumber& n) {
    return n.Value == kNoNumber ? std::string("-1") : std::string(TextOf(n.Text));
}

std::string TimeText(const TimeOfDay& t) {
    return Pair(t.Value >> 8, t.Value & 0xFF, ':');
}

class Comparer {
  public:
    explicit Comparer(std::vector<FieldDifference>& out) : out_(out) {}

    void At(SettingCategory category, int exchange, std::string place = {}) {
        category_ = category;
        exchange_ = exchange;
        place_ = std::move(place);
    }
    void Text(std::string_view field, std::string_view a, std::string_view b) {
        if (a != b)
            out_.push_back(
                {category_, exchange_, place_, std::string(field), std::string(a), std::string(b)});
    }
    void Number(std::string_view field, long long a, long long b) {
        if (a != b) Text(field, std::to_string(a), std::to_string(b));
    }
    void List(const char* key, const StationEntry* a, const StationEntry* b, int count) {
        for (int k = 0; k < count; ++k)
            Text(Key(key, k + 1), Pair(a[k].ExchangeNo, a[k].StationNo, '-'),
                 Pair(b[k].ExchangeNo, b[k].StationNo, '-'));
    }

  private:
    std::vector<FieldDifference>& out_;
    SettingCategory category_ = SettingCategory::GlobalSetting;
    int exchange_ = 0;
    std::string place_;
};

using C = SettingCategory;

void GlobalSetting(Comparer& c, const SettingData& a, const SettingData& b) {
    c.At(C::GlobalSetting, 0);
    c.Number("SwitchCnt", a.System.SwitchCnt, b.System.SwitchCnt);
    c.Number("NumberSize", a.System.NumberSize, b.System.NumberSize);
    for (int n = 0; n < kTieLineCount; ++n)
        c.Number(Key("TieLine", n + 1), a.System.TieLine[n], b.System.TieLine[n]);
    for (int e = 0; e < kExchangeCount; ++e) {
        const auto& x = a.System.SwNumber[e];
        const auto& y = b.System.SwNumber[e];
        c.At(C::GlobalSetting, e + 1);
        c.Text("SwNumber", x.Value == kNoNumber ? "-1" : TextOf(x.Text),
               y.Value == kNoNumber ? "-1" : TextOf(y.Text));
    }
}

void CallForwarding(Comparer& c, const SettingData& a, const SettingData& b) {
    for (int e = 0; e < kExchangeCount; ++e) {
        const FunctionSetting& x = a.Function[e];
        const FunctionSetting& y = b.Function[e];
        c.At(C::CallForwarding, e + 1);
        c.Number("OutSend", x.OutSend, y.OutSend);
        c.Number("AutoOutSend", x.AutoOutSend, y.AutoOutSend);
        c.Text("StartTime", TimeText(x.StartTime), TimeText(y.StartTime));
        c.Text("EndTime", TimeText(x.EndTime), TimeText(y.EndTime));
        c.Number("TalkSend", x.TalkSend, y.TalkSend);
        c.Number("CallCnt", x.CallCnt, y.CallCnt);
        c.Number("CallTime", x.CallTime, y.CallTime);
        c.Number("TalkTime", x.TalkTime, y.TalkTime);
    }
}

void MasterStations(Comparer& c, const SettingData& a, const SettingData& b) {
    for (int e = 0; e < kExchangeCount; ++e)
        for (int m = 0; m < kMasterCount; ++m) {
            const MasterSetting& x = a.Exchange[e].Master[m];
            const MasterSetting& y = b.Exchange[e].Master[m];
            c.At(C::MasterStations, e + 1, Numbered("Master", m + 1));
            c.Text("Number", NumberText(x.Number), NumberText(y.Number));
            c.Text("Name", TextOf(x.Name), TextOf(y.Name));
            c.Number("LineTx", x.LineTx, y.LineTx);
            c.Number("Paging", x.Paging, y.Paging);
            c.Text("TelNo", TextOf(x.TelNo), TextOf(y.TelNo));
            c.Text("AbsenceTelNo", TextOf(x.AbsenceTelNo), TextOf(y.AbsenceTelNo));
            c.Text("AutoAbsenceTelNo", TextOf(x.AutoAbsenceTelNo), TextOf(y.AutoAbsenceTelNo));
            c.Text("CnvTelNo", TextOf(x.CnvTelNo), TextOf(y.CnvTelNo));
            c.Text("NonRespTelNo", TextOf(x.NonRespTelNo), TextOf(y.NonRespTelNo));
        }
}

void Substations(Comparer& c, const SettingData& a, const SettingData& b) {
    for (int e = 0; e < kExchangeCount; ++e)
        for (int s = 0; s < kSubCount; ++s) {
            const SubSetting& x = a.Exchange[e].Sub[s];
            const SubSetting& y = b.Exchange[e].Sub[s];
            c.At(C::Substations, e + 1, Numbered("Substation", s + 1));
            c.Text("Number", NumberText(x.Number), NumberText(y.Number));
            c.Text("Name", TextOf(x.Name), TextOf(y.Name));
            c.Number("CallSwNo", x.CallSwNo, y.CallSwNo);
            c.Number("CallStNo", x.CallStNo, y.CallStNo);
            c.Number("Level", x.Level, y.Level);
        }
}

void CoTrunks(Comparer& c, const SettingData& a, const SettingData& b) {
    for (int e = 0; e < kExchangeCount; ++e) {
        c.At(C::CoTrunks, e + 1);
        c.Number("LineCntLimit", a.Exchange[e].LineCntLimit, b.Exchange[e].LineCntLimit);
        for (int l = 0; l < kTrunkLineCount; ++l) {
            const TrunkLineSetting& x = a.Exchange[e].Line[l];
            const TrunkLineSetting& y = b.Exchange[e].Line[l];
            c.At(C::CoTrunks, e + 1, Numbered("Line", l + 1));
            c.Text("Name", TextOf(x.Name), TextOf(y.Name));
            c.Number("TxNumberON/OFF", x.TxNumberOnOff, y.TxNumberOnOff);
            c.Number("TxNumber", x.TxNumber, y.TxNumber);
            c.Number("RxLine", x.RxLine, y.RxLine);
            c.Number("RxDial", x.RxDial, y.RxDial);
            c.List("RxMaster", x.RxMaster, y.RxMaster, kRxMasterCount);
        }
    }
}

// The three member lists of a master: scan, group call and emergency conference.
template <typename Visit>
void MasterLists(Comparer& c, SettingCategory category, const SettingData& a, const SettingData& b,
                 Visit visit) {
    for (int e = 0; e < kExchangeCount; ++e)
        for (int m = 0; m < kMasterCount; ++m) {
            c.At(category, e + 1, Numbered("Master", m + 1));
            visit(a.Exchange[e].Master[m], b.Exchange[e].Master[m]);
        }
}

void Paging(Comparer& c, const SettingData& a, const SettingData& b) {
    for (int e = 0; e < kExchangeCount; ++e) {
        c.At(C::Paging, e + 1);
        c.Number("ZoneSize", a.Exchange[e].ZoneSize, b.Exchange[e].ZoneSize);
        c.Number("PagingTimeLimit", a.Exchange[e].PagingTimeLimit, b.Exchange[e].PagingTimeLimit);
        for (int s = 0; s < kSubCount; ++s) {
            c.At(C::Paging, e + 1, Numbered("Substation", s + 1));
            c.Number("Paging", a.Exchange[e].Sub[s].Paging, b.Exchange[e].Sub[s].Paging);
        }
    }
}

void PcPort(Comparer& c, const SettingData& a, const SettingData& b) {
    c.At(C::PcPort, 0);
    c.Number("PcConnect", a.Maintenance.PcConnect, b.Maintenance.PcConnect);
    c.Number("CommPort", a.Maintenance.CommPort, b.Maintenance.CommPort);
    c.Text("TelNo", TextOf(a.Maintenance.TelNo), TextOf(b.Maintenance.TelNo));
}

void RemoteDialing(Comparer& c, const SettingData& a, const SettingData& b) {
    c.At(C::RemoteDialing, 0);
    c.Number("TelCnt", a.RemoteDial.TelCnt, b.RemoteDial.TelCnt);
    for (int n = 0; n < kRemoteTelCount; ++n) {
        c.At(C::RemoteDialing, 0, Numbered("Number", n + 1));
        c.Text("TelNo", TextOf(a.RemoteDial.TelNo[n]), TextOf(b.RemoteDial.TelNo[n]));
    }
}

void PublicAddress(Comparer& c, const SettingData& a, const SettingData& b) {
    for (int e = 0; e < kExchangeCount; ++e)
        for (int z = 0; z < kSpeakerCount; ++z) {
            c.At(C::PublicAddress, e + 1, Key("Speaker PA", z + 1));
            c.Number("Paging", a.Exchange[e].Speaker[z].Paging, b.Exchange[e].Speaker[z].Paging);
        }
}

void ExternalSource(Comparer& c, const SettingData& a, const SettingData& b) {
    for (int e = 0; e < kExchangeCount; ++e)
        for (int k = 0; k < kExternalSourceCount; ++k) {
            c.At(C::ExternalSource, e + 1, Numbered("Source", k + 1));
            c.Number("OutInZone", a.System.OutInZone[e][k], b.System.OutInZone[e][k]);
        }
}

void DirectSelect(Comparer& c, const SettingData& a, const SettingData& b) {
    for (int e = 0; e < kExchangeCount; ++e) {
        c.At(C::DirectSelect, e + 1);
        c.Number("OutMode", a.DirectSelect.OutMode[e], b.DirectSelect.OutMode[e]);
    }
}

void DialingAssignment(Comparer& c, const SettingData& a, const SettingData& b) {
    for (int e = 0; e < kExchangeCount; ++e)
        for (int m = 0; m < kMasterCount; ++m) {
            const std::string master = Numbered("Master", m + 1);
            c.At(C::DialingAssignment, e + 1, master);
            c.Number("ShotT", a.ShotT[e][m], b.ShotT[e][m]);
            const DialTable& x = a.Dial[e][m];
            const DialTable& y = b.Dial[e][m];
            for (int k = 0; k < kDialCount; ++k) {
                if (TextOf(x[k].Dial) == TextOf(y[k].Dial) &&
                    TextOf(x[k].Shot) == TextOf(y[k].Shot))
                    continue;
                c.At(C::DialingAssignment, e + 1, master + ", " + Numbered("Entry", k + 1));
                c.Text("Dial", TextOf(x[k].Dial), TextOf(y[k].Dial));
                c.Text("Shot", TextOf(x[k].Shot), TextOf(y[k].Shot));
            }
        }
}

}  // namespace

std::vector<FieldDifference> CompareSettings(const SettingData& before, const SettingData& after) {
    std::vector<FieldDifference> out;
    Comparer c(out);
    const SettingData& a = before;
    const SettingData& b = after;
    GlobalSetting(c, a, b);
    CallForwarding(c, a, b);
    MasterStations(c, a, b);
    Substations(c, a, b);
    CoTrunks(c, a, b);
    MasterLists(c, C::ScanMonitor, a, b, [&](const MasterSetting& x, const MasterSetting& y) {
        c.Number("ScanTime", x.ScanTime, y.ScanTime);
        c.Number("ScanCnt", x.ScanCnt, y.ScanCnt);
        c.List("ScanSub", x.ScanSub, y.ScanSub, kScanCount);
    });
    MasterLists(c, C::GroupCall, a, b, [&](const MasterSetting& x, const MasterSetting& y) {
        c.Number("GroupCnt", x.GroupCnt, y.GroupCnt);
        c.List("GroupMaster", x.GroupMaster, y.GroupMaster, kGroupCount);
    });
    MasterLists(c, C::EmergencyConference, a, b,
                [&](const MasterSetting& x, const MasterSetting& y) {
                    c.Number("MeetCnt", x.MeetCnt, y.MeetCnt);
                    c.List("MeetMaster", x.MeetMaster, y.MeetMaster, kMeetCount);
                });
    Paging(c, a, b);
    PcPort(c, a, b);
    RemoteDialing(c, a, b);
    PublicAddress(c, a, b);
    ExternalSource(c, a, b);
    DirectSelect(c, a, b);
    DialingAssignment(c, a, b);
    return out;
}

std::string FormatDifference(const FieldDifference& d) {
    std::string line = CategoryTitle(d.category);
    if (d.exchange != 0) {
        char buf[24];
        std::snprintf(buf, sizeof buf, ", Exchange %02d", d.exchange);
        line += buf;
    }
    if (!d.place.empty()) line += ", " + d.place;
    line += ", " + d.field + ": \"" + d.before + "\" -> \"" + d.after + '"';
    return line;
}

std::string FormatDifferences(const std::vector<FieldDifference>& differences) {
    std::string out;
    for (const auto& d : differences) out += FormatDifference(d) + '\n';
    return out;
}

}  // namespace qn410
