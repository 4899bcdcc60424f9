// Scan Monitor, Group Call and Emergency Conference: each master station's member list.
#include "print/layout_common.h"

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
            // The master's line, the member heading and at least one member stay together.
            page.Reserve(3);
            const int top = page.Take(1);
            page.Text(1, top, QStringLiteral("Exchange"));
            page.Text(11, top, Number(e, 2));
            page.Text(16, top, masterLabel);
            page.Text(masterLabel.size() + 19, top, StationNo(master.Number));
            if (kind == Members::Scan) {
                page.Text(54, top, QStringLiteral("Monitor Time"));
                page.Text(68, top, Number(master.ScanTime) + QStringLiteral(" s"));
            }
            layout::Table table(page,
                                {{{6, QString()},
                                  {10, QStringLiteral("Exchange")},
                                  {20, QStringLiteral("Line")},
                                  {26, QStringLiteral("Station")},
                                  {35, QStringLiteral("Name")}}},
                                48);
            table.Start();
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
