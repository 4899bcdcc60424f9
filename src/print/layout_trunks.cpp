// C/O Trunks: per exchange the C/O time-out and both lines with their receiving stations.
#include "print/layout_common.h"

namespace qn410 {

using namespace layout;

void PrintTrunks(PageWriter& page, const PrintRequest& request) {
    constexpr int kLine = 4, kField = 17, kRcv = {30};
    constexpr int kPerLine = 3 + kRxMasterCount;
    for (int e : Exchanges(request)) {
        const ExchangeSetting& exchange = request.data->Exchange[e - 1];
        int row = page.Take(2 + kTrunkLineCount * kPerLine);
        page.Text(1, row, QStringLiteral("Exchange"));
        page.Text(11, row, Number(e, 2));
        page.Text(kField, row, QStringLiteral("C/O Time-Out:"));
        page.Text(kField + 16, row++, Number(exchange.LineCntLimit) + QStringLiteral(" min"));
        for (int l = 0; l < kTrunkLineCount; ++l) {
            const TrunkLineSetting& line = exchange.Line[l];
            page.Text(kLine, row, QStringLiteral("C/O Line %1").arg(l + 1));
            page.Text(kField, row, QStringLiteral("Name"));
            page.Text(kField + 6, row, Field(line.Name));
            page.Text(kField + 20, row, QStringLiteral("Access No."));
            page.Text(kField + 32, row++, line.TxNumberOnOff ? Number(line.TxNumber) : OnOff(0));
            page.Text(kField, row, QStringLiteral("Direct-In Dial"));
            page.Text(kField + 16, row, OnOff(line.RxDial));
            page.Text(kField + 26, row, QStringLiteral("Direct-In Line"));
            page.Text(kField + 42, row++, OnOff(line.RxLine));
            const int columns[] = {kField, kRcv, kRcv + 10, kRcv + 16, kRcv + 25};
            const char* labels[] = {"Rcv Station", "Exchange", "Line", "Station", "Name"};
            for (int c = 0; c < 5; ++c) page.Text(columns[c], row, QLatin1String(labels[c]));
            ++row;
            for (int k = 0; k < kRxMasterCount; ++k, ++row) {
                const StationEntry& rx = line.RxMaster[k];
                const StationTexts s = MasterTexts(*request.data, rx.ExchangeNo, rx.StationNo);
                const QString cells[] = {Number(k + 1, 6), s.exchange, s.line, s.station, s.name};
                for (int c = 0; c < 5; ++c) page.Text(columns[c], row, cells[c]);
            }
        }
    }
}

}  // namespace qn410
