#include "editors/page_sub.h"

#include "editors/station_validation.h"
#include "setting/text_field.h"

namespace qn410 {

namespace {
constexpr char kEmergency[] = "Emergency";
constexpr char kNormal[] = "Normal";

struct GridColumn {
    const char* header;
    int width;
};
constexpr GridColumn kColumns[sub_col::kCount] = {
    {"", 0},
    {"Exchange", 85},
    {"Line", 70},
    {"Station", 60},
    {"Name", 80},
    {"Called\n Exchange", 90},
    {"Called\n Line", 80},
    {"Called\n Station", 80},
    {"Called\n Name", 90},
    {"    Call Priority", 130},
};
}  // namespace

CPageSub::CPageSub(StationCopy& copy, const SettingData& data, QWidget* parent)
    : StationPage(copy, data, kSubCount, parent) {
    using namespace sub_col;
    SetUpGrid(kCount);
    for (int c = 0; c < kCount; ++c) {
        grid()->SetHeaderText(c, kColumns[c].header);
        grid()->SetColumnWidth(c, kColumns[c].width);
    }
    grid()->SetColumnAlignment(kCalledExchange, Qt::AlignCenter);
    grid()->SetColumnAlignment(kPriority, Qt::AlignCenter);
    grid()->SetColumnReadOnly(kCalledName, true);
    grid()->SetToggleColumn(kPriority, kEmergency, kNormal);
}

void CPageSub::BeforeShow() {
    // Master numbers and names may have changed on the other page since.
    copy_.RefreshCalledCopies();
}

void CPageSub::DrawRow(int row, StationRef station) {
    using namespace sub_col;
    const SubSetting& s = copy_.Sub[station.exchange - 1][station.index - 1];
    SetText(row, kExchange, std::to_string(station.exchange));
    SetText(row, kLine, std::to_string(station.index));
    SetText(row, kStation, NumberText(s.Number));
    SetText(row, kName, TextOf(s.Name));
    SetText(row, kCalledExchange, NumberOrBlank(s.CallSwNo));
    SetText(row, kCalledLine, NumberOrBlank(s.CallStNo));
    const bool called = s.CallSwNo != 0 && s.CallStNo != 0;
    SetText(row, kCalledStation, called ? TextOf(s.CallNumberText) : std::string_view());
    SetText(row, kCalledName, called ? TextOf(s.CallName) : std::string_view());
    SetText(row, kPriority, s.Level ? kEmergency : kNormal);
}

void CPageSub::Enter(StationRef station, int column, std::string_view text) {
    using namespace sub_col;
    SubSetting& s = copy_.Sub[station.exchange - 1][station.index - 1];
    text = CellEntry(text);
    int value = 0;
    switch (column) {
        case kStation:
            EnterStationNumber(s.Number, s.Name, text, numberSize());
            break;
        case kName:
            EnterName(s.Name, text);
            break;
        case kCalledExchange:
            if (ParseInRange(text, 1, exchanges(), value)) s.CallSwNo = static_cast<uint8_t>(value);
            break;
        case kCalledLine:
            if (ParseInRange(text, 1, kMasterCount, value))
                s.CallStNo = static_cast<uint8_t>(value);
            break;
        case kCalledStation:
            if (const MasterSetting* m = MasterNumbered(copy_, text, numberSize(), exchanges())) {
                const auto at = static_cast<int>(m - &copy_.Master[0][0]);
                s.CallSwNo = static_cast<uint8_t>(at / kMasterCount + 1);
                s.CallStNo = static_cast<uint8_t>(at % kMasterCount + 1);
            }
            break;
        case kPriority:  // a click flips it; no editor opens
            s.Level = s.Level ? 0 : 1;
            break;
        default:
            return;
    }
    // The called master's number and name are shown with the substation.
    copy_.RefreshCalledCopies();
}

}  // namespace qn410
