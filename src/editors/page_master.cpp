#include "editors/page_master.h"

#include "editors/station_validation.h"
#include "setting/text_field.h"

namespace qn410 {

namespace {
constexpr char kOn[] = "v";
constexpr char kOff[] = "-";

struct GridColumn {
    const char* header;
    int width;
};
constexpr GridColumn kColumns[master_col::kCount] = {
    {"", 0},
    {"Exchange", 85},
    {"Line", 70},
    {"Station", 60},
    {"Name", 85},
    {"C/O Line Access", 130},
    {"Emergency Paging", 130},
    {"C/O Call Forwarding", 130},
    {"Call Forwarding", 130},
    {"Time-Based Call Fwd", 130},
    {"Busy Call Forwarding", 130},
    {"No-Answer Call Fwd", 130},
};
constexpr std::size_t kMaxCoForwarding = 20;

// A forwarding field takes any text that fits; empty text clears it. Its form is checked on
// Overwrite.
template <std::size_t N>
void EnterUpTo(char (&field)[N], std::string_view text, std::size_t limit) {
    if (text.size() <= limit) qn410::SetText(field, text);
}
}  // namespace

CPageMaster::CPageMaster(StationCopy& copy, const SettingData& data, QWidget* parent)
    : StationPage(copy, data, kMasterCount, parent) {
    using namespace master_col;
    SetUpGrid(kCount);
    for (int c = 0; c < kCount; ++c) {
        grid()->SetHeaderText(c, kColumns[c].header);
        grid()->SetColumnWidth(c, kColumns[c].width);
    }
    for (int c : {kLineAccess, kPaging}) {
        grid()->SetColumnAlignment(c, Qt::AlignCenter);
        grid()->SetToggleColumn(c, kOn, kOff);
    }
    grid()->SetColumnAlignment(kCoForwarding, Qt::AlignCenter);
}

void CPageMaster::DrawRow(int row, StationRef station) {
    using namespace master_col;
    const MasterSetting& m = copy_.Master[station.exchange - 1][station.index - 1];
    SetText(row, kExchange, std::to_string(station.exchange));
    SetText(row, kLine, std::to_string(station.index));
    SetText(row, kStation, NumberText(m.Number));
    SetText(row, kName, TextOf(m.Name));
    SetText(row, kLineAccess, m.LineTx ? kOn : kOff);
    SetText(row, kPaging, m.Paging ? kOn : kOff);
    SetText(row, kCoForwarding, TextOf(m.TelNo));
    SetText(row, kForwarding, TextOf(m.AbsenceTelNo));
    SetText(row, kTimeForwarding, TextOf(m.AutoAbsenceTelNo));
    SetText(row, kBusyForwarding, TextOf(m.CnvTelNo));
    SetText(row, kNoAnswerForwarding, TextOf(m.NonRespTelNo));
}

void CPageMaster::Enter(StationRef station, int column, std::string_view text) {
    using namespace master_col;
    MasterSetting& m = copy_.Master[station.exchange - 1][station.index - 1];
    text = CellEntry(text);
    const auto targetLimit = static_cast<std::size_t>(numberSize());
    switch (column) {
        case kStation:
            EnterStationNumber(m.Number, m.Name, text, numberSize());
            break;
        case kName:
            EnterName(m.Name, text);
            break;
        case kLineAccess:  // a click flips the flag; no editor opens
            m.LineTx = m.LineTx ? 0 : 1;
            break;
        case kPaging:
            m.Paging = m.Paging ? 0 : 1;
            break;
        case kCoForwarding:
            EnterUpTo(m.TelNo, text, kMaxCoForwarding);
            break;
        case kForwarding:
            EnterUpTo(m.AbsenceTelNo, text, targetLimit);
            break;
        case kTimeForwarding:
            EnterUpTo(m.AutoAbsenceTelNo, text, targetLimit);
            break;
        case kBusyForwarding:
            EnterUpTo(m.CnvTelNo, text, targetLimit);
            break;
        case kNoAnswerForwarding:
            EnterUpTo(m.NonRespTelNo, text, targetLimit);
            break;
        default:
            break;
    }
}

}  // namespace qn410
