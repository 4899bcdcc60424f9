// Master Stations (Telephones) and Substations: one record per station of each exchange.
#include "print/layout_common.h"

namespace qn410 {

using namespace layout;

namespace {
QString YesNo(int flag) {
    return flag ? QStringLiteral("Yes") : QStringLiteral("No");
}
// Exchange, Line, Station and Name lead every station table.
std::vector<Column> StationColumns(int first) {
    return {{first, QStringLiteral("Exchange")},
            {first + 9, QStringLiteral("Line")},
            {first + 15, QStringLiteral("Station")},
            {first + 23, QStringLiteral("Name")}};
}
}  // namespace

void PrintMasters(PageWriter& page, const PrintRequest& request) {
    page.Text(1, page.Take(2), QStringLiteral("Stations"));
    std::vector<Column> first = StationColumns(1);
    first.push_back({36, QStringLiteral("C/O Line Access")});
    first.push_back({54, QStringLiteral("Emergency Paging")});
    // The forwarding targets go on two more lines under the station, indented.
    Table table(page,
                {first,
                 {{10, QStringLiteral("C/O Call Forwarding")},
                  {36, QStringLiteral("Call Forwarding")},
                  {54, QStringLiteral("Time-Based Call Fwd")}},
                 {{36, QStringLiteral("Busy Call Forwarding")},
                  {54, QStringLiteral("No-Answer Call Fwd")}}},
                page.columns() - 1);
    table.Start();
    for (int e : Exchanges(request)) {
        for (int m = 1; m <= kMasterCount; ++m) {
            const MasterSetting& master = request.data->Exchange[e - 1].Master[m - 1];
            const StationTexts s = MasterTexts(*request.data, e, m);
            table.Record(
                {{s.exchange, s.line, s.station, s.name, YesNo(master.LineTx),
                  YesNo(master.Paging)},
                 {Field(master.TelNo), Field(master.AbsenceTelNo), Field(master.AutoAbsenceTelNo)},
                 {Field(master.CnvTelNo), Field(master.NonRespTelNo)}});
        }
    }
}

void PrintSubstations(PageWriter& page, const PrintRequest& request) {
    page.Text(1, page.Take(2), QStringLiteral("Stations"));
    std::vector<Column> columns = StationColumns(1);
    for (const Column& c : StationColumns(35)) columns.push_back(c);
    columns.push_back({69, QStringLiteral("    Call Priority")});
    Table table(page, {{{35, QStringLiteral("Called Station")}}, columns}, page.columns() - 1,
                /*recordLine=*/1);
    table.Start();
    for (int e : Exchanges(request)) {
        for (int n = 1; n <= kSubCount; ++n) {
            const SubSetting& sub = request.data->Exchange[e - 1].Sub[n - 1];
            const StationTexts s = SubTexts(*request.data, e, n);
            const StationTexts called = MasterTexts(*request.data, sub.CallSwNo, sub.CallStNo);
            table.Record({{s.exchange, s.line, s.station, s.name, called.exchange, called.line,
                           called.station, called.name,
                           sub.Level == 1 ? QStringLiteral("    Emergency")
                                          : QStringLiteral("    Normal")}});
        }
    }
}

}  // namespace qn410
