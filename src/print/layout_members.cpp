// Scan Monitor, Group Call and Emergency Conference: each master station's member list.
#include "print/layout_common.h"
#include "setting/text_field.h"

namespace qn410 {

using namespace layout;

namespace {
enum class Members { Scan, Group, Meet };

void PrintMembers(PageWriter& page, const PrintRequest& request, Members kind) {
    const SettingData& data = *request.data;
    const QString masterLabel = kind == Members::Scan
                                    ? QStringLiteral("Master Station No.")
                                    : QStringLiteral("Master Station (Telephone) No.");
    for (int e : Exchanges(request)) {
        for (int m = 1; m <= kMasterCount; ++m) {
            const MasterSetting& master = data.Exchange[e - 1].Master[m - 1];
            const StationEntry* entries = kind == Members::Scan    ? master.ScanSub
                                          : kind == Members::Group ? master.GroupMaster
                                                                   : master.MeetMaster;
            const int capacity = kind == Members::Scan    ? kScanCount
                                 : kind == Members::Group ? kGroupCount
                                                          : kMeetCount;
            const int count = std::min<int>(capacity, kind == Members::Scan    ? master.ScanCnt
                                                      : kind == Members::Group ? master.GroupCnt
                                                                               : master.MeetCnt);
            // The master's line above the member heading, on every page the list runs onto;
            // the master goes by its equipment number, as the editor selects it.
            auto masterLine = [&, e, m] {
                const int top = page.Take(1);
                page.Text(1, top, QStringLiteral("Exchange"));
                page.Text(11, top, Number(e, 2));
                page.Text(16, top, masterLabel);
                const int value = static_cast<int>(masterLabel.size()) + 19;
                page.Text(value, top, Number(m));
                page.Text(value + 3, top, StationNo(master.Number));
                page.Bytes(value + 11, top, TextOf(master.Name));
                if (kind == Members::Scan) {
                    page.Text(60, top, QStringLiteral("Monitor Time"));
                    page.Text(73, top, Number(master.ScanTime) + QStringLiteral(" s"));
                }
            };
            page.Reserve(3);
            layout::Table table(page,
                                {{{6, QString()},
                                  {10, QStringLiteral("Exchange")},
                                  {20, QStringLiteral("Line")},
                                  {26, QStringLiteral("Station")},
                                  {35, QStringLiteral("Name")}}},
                                page.columns() - 1);
            table.Start(masterLine);
            for (int i = 0; i < count; ++i) {
                const StationEntry& entry = entries[i];
                const StationTexts s = kind == Members::Scan
                                           ? SubTexts(data, entry.ExchangeNo, entry.StationNo)
                                           : MasterTexts(data, entry.ExchangeNo, entry.StationNo);
                table.Record({{Number(i + 1, 2), s.exchange, s.line, s.station, s.name}});
            }
            page.SetContinuation(nullptr);
            page.Skip(1);
        }
    }
}
}  // namespace

void PrintScanMonitor(PageWriter& page, const PrintRequest& request) {
    PrintMembers(page, request, Members::Scan);
}
void PrintGroupCall(PageWriter& page, const PrintRequest& request) {
    PrintMembers(page, request, Members::Group);
}
void PrintConference(PageWriter& page, const PrintRequest& request) {
    PrintMembers(page, request, Members::Meet);
}

}  // namespace qn410
