// Paging (substations), Public Address Systems and External Source Distribution: the zone
// membership of every unit, one table per exchange, "v" member, "-" not, "x" not selectable.
#include "print/layout_common.h"

namespace qn410 {

using namespace layout;

namespace {
enum class Units { Sub, Speaker, Source };
constexpr int kZoneStep = 3;

void PrintZones(PageWriter& page, const PrintRequest& request, Units units) {
    const SettingData& data = *request.data;
    page.Text(1, page.Take(2),
              units == Units::Sub ? QStringLiteral("Substations") : QStringLiteral("Paging"));
    for (int e : Exchanges(request)) {
        const ExchangeSetting& exchange = data.Exchange[e - 1];
        // The exchange's line above the zone heading, on every page its table runs onto.
        auto exchangeLine = [&, e] {
            const int top = page.Take(1);
            page.Text(1, top, QStringLiteral("Exchange"));
            page.Text(11, top, Number(e, 2));
            if (units != Units::Sub) return;
            page.Text(16, top, QStringLiteral("Zone Digits"));
            page.Text(29, top, Number(exchange.ZoneSize));
            page.Text(34, top, QStringLiteral("Paging Time-Out"));
            page.Text(51, top,
                      exchange.PagingTimeLimit == 0
                          ? OnOff(0)
                          : Number(exchange.PagingTimeLimit) + QStringLiteral(" s"));
        };
        page.Reserve(4);
        // Substations show the zones their exchange's zone digits allow, the others all 19.
        const int zones = units == Units::Sub && exchange.ZoneSize != 2 ? 9 : kZoneCount;
        std::vector<Column> columns;
        int firstZone = 0;
        if (units == Units::Sub) {
            columns = {{1, QStringLiteral("Line")},
                       {6, QStringLiteral("Station")},
                       {14, QStringLiteral("Name")}};
            firstZone = 25;
        } else {
            columns = {
                {1, QStringLiteral("Exchange")},
                {11, units == Units::Speaker ? QStringLiteral("Line") : QStringLiteral("Ctrl IN")}};
            firstZone = 20;
        }
        for (int z = 1; z <= zones; ++z)
            columns.push_back({firstZone + (z - 1) * kZoneStep,
                               QStringLiteral("%1").arg(z, 2, 10, QLatin1Char('0'))});
        Table table(page, {{{firstZone, QStringLiteral("Z  o  n  e")}}, columns},
                    firstZone + zones * kZoneStep, /*recordLine=*/1);
        table.Start(exchangeLine);
        const int count = units == Units::Sub       ? kSubCount
                          : units == Units::Speaker ? kSpeakerCount
                                                    : kExternalSourceCount;
        for (int n = 1; n <= count; ++n) {
            std::vector<QString> cells;
            int32_t mask = 0;
            bool selectable = true;
            if (units == Units::Sub) {
                const SubSetting& sub = exchange.Sub[n - 1];
                const StationTexts s = SubTexts(data, e, n);
                cells = {s.line, s.station, s.name};
                mask = sub.Paging;
                selectable = sub.Number.Value != kNoNumber && sub.Level != 1;
            } else if (units == Units::Speaker) {
                cells = {Number(e, 2), QStringLiteral("PA%1").arg(n, 2, 10, QLatin1Char('0'))};
                mask = exchange.Speaker[n - 1].Paging;
            } else {
                cells = {Number(e, 2), QStringLiteral("ch%1").arg(n)};
                mask = data.System.OutInZone[e - 1][n - 1];
            }
            for (int z = 0; z < zones; ++z) {
                const bool member = (mask >> z) & 1;
                cells.push_back(member       ? QStringLiteral("v")
                                : selectable ? QStringLiteral("-")
                                             : QStringLiteral("x"));
            }
            table.Record({cells});
        }
        page.SetContinuation(nullptr);
        page.Skip(1);
    }
}
}  // namespace

void PrintPaging(PageWriter& page, const PrintRequest& request) {
    PrintZones(page, request, Units::Sub);
}
void PrintPublicAddress(PageWriter& page, const PrintRequest& request) {
    PrintZones(page, request, Units::Speaker);
}
void PrintExternalSources(PageWriter& page, const PrintRequest& request) {
    PrintZones(page, request, Units::Source);
}

}  // namespace qn410
