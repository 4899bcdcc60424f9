// Log Data and Communication Monitor (the rows of the list as the window shows them) and the
// Dialing Assignment of one master station.
#include "print/layout_common.h"
#include "setting/text_field.h"
#include "transfer/dial_table.h"

namespace qn410 {

using namespace layout;

void PrintLogData(PageWriter& page, const PrintRequest& request) {
    const char* labels[] = {
        "      Download Time", "Exchange", "Line1", "Line2", "Line3", "Line4", "Status"};
    // The log time sits between the exchange and the lines.
    std::vector<Column> columns = {{1, QLatin1String(labels[0])},
                                   {22, QLatin1String(labels[1])},
                                   {32, QStringLiteral("Log Time")}};
    for (int i = 2; i < 7; ++i) columns.push_back({48 + (i - 2) * 7, QLatin1String(labels[i])});
    Table table(page, {columns}, page.columns() - 1);
    table.Start();
    for (const auto& row : request.list.rows) {
        std::vector<QString> cells;
        for (const std::string& text : row) cells.push_back(Ansi(text));
        table.Record({cells});
    }
}

void PrintMonitor(PageWriter& page, const PrintRequest& request) {
    constexpr int kData = 32;
    Table table(page,
                {{{1, QStringLiteral("      Download Time")},
                  {22, QStringLiteral("Exchange")},
                  {kData, QStringLiteral("Monitor data")}}},
                page.columns() - 1);
    table.Start();
    // The monitor data run on over as many lines as they need, each kept on the grid.
    const auto width = static_cast<std::size_t>(std::max(8, page.columns() - kData - 2));
    for (const auto& row : request.list.rows) {
        const std::string data = row.size() > 2 ? row[2] : std::string();
        const std::size_t lines = std::max<std::size_t>(1, (data.size() + width - 1) / width);
        const int top = page.Take(static_cast<int>(lines));
        if (!row.empty()) page.Bytes(1, top, row[0]);
        if (row.size() > 1) page.Bytes(22, top, row[1]);
        for (std::size_t i = 0; i < lines && i * width < data.size(); ++i)
            page.Bytes(kData, top + static_cast<int>(i),
                       std::string_view(data).substr(i * width, width));
    }
}

void PrintDialingAssignment(PageWriter& page, const PrintRequest& request) {
    const int e =
        request.exchange >= 1 && request.exchange <= kExchangeCount ? request.exchange : 1;
    const int m = request.master >= 1 && request.master <= kMasterCount ? request.master : 1;
    const SettingData& data = *request.data;
    const int top = page.Take(2);
    page.Text(1, top, QStringLiteral("Exchange"));
    page.Text(11, top, Number(e, 2));
    page.Text(16, top, QStringLiteral("Master Station No."));
    page.Text(36, top, StationNo(data.Exchange[e - 1].Master[m - 1].Number));
    page.Text(46, top, QStringLiteral("Door Lock Time."));
    page.Text(62, top, Number(data.ShotT[e - 1][m - 1]));
    Table table(page,
                {{{1, QStringLiteral("Switch No.")},
                  {13, QStringLiteral("Dial")},
                  {33, QStringLiteral("Name")},
                  {45, QStringLiteral("Door Lock(Switch No)")}}},
                66);
    table.Start();
    const DialTable& dial = data.Dial[e - 1][m - 1];
    // The name is the station the dial text reaches, looked up as the editor shows it.
    for (int d = 0; d < kDialCount; ++d)
        table.Record(
            {{QStringLiteral("%1").arg(d + 1, 4, 10, QLatin1Char('0')), Field(dial[d].Dial),
              Ansi(LookUpStationName(data, TextOf(dial[d].Dial))), Field(dial[d].Shot)}});
}

}  // namespace qn410
