// Installation-wide categories: Global Setting, Direct Select and PC Port.
#include "print/layout_common.h"

namespace qn410 {

using namespace layout;

void PrintGlobalSetting(PageWriter& page, const PrintRequest& request) {
    const SystemSetting& system = request.data->System;
    constexpr int kLabel = 1, kValue = 25, kState = 33;
    page.Text(kLabel, page.Take(2), QStringLiteral("No. of Exchanges:"));
    page.Text(kValue, kFirstBodyRow, Number(system.SwitchCnt));
    const int digits = page.Take(2);
    page.Text(kLabel, digits, QStringLiteral("Station Digits:"));
    page.Text(kValue, digits, Number(system.NumberSize));
    const int lines = page.Take(kTieLineCount + 1);
    page.Text(kLabel, lines, QStringLiteral("Tie-Line Connections:"));
    for (int i = 0; i < kTieLineCount; ++i) {
        page.Text(kValue, lines + i, QStringLiteral("Line %1").arg(i + 1));
        page.Text(kState, lines + i,
                  system.TieLine[i] ? QStringLiteral("Connection") : QStringLiteral("Unconnected"));
    }
    page.Text(kLabel, page.Take(1), QStringLiteral("Exchange Station No. Assignment"));
    Table table(page,
                {{{kLabel + 2, QStringLiteral("Exchange")},
                  {kLabel + 14, QStringLiteral("First Station No.")}}},
                kLabel + 32);
    table.Start();
    for (int e = 1; e <= system.SwitchCnt && e <= kExchangeCount; ++e) {
        const ExchangeNumberEntry& entry = system.SwNumber[e - 1];
        table.Record({{Number(e, 2), entry.Value == kNoNumber ? QString() : Field(entry.Text)}});
    }
}

void PrintDirectSelect(PageWriter& page, const PrintRequest& request) {
    Table table(page, {{{1, QStringLiteral("Exchange")}, {12, QStringLiteral("Control Outputs:")}}},
                40);
    table.Start();
    for (int e : Exchanges(request))
        table.Record({{Number(e, 2), request.data->DirectSelect.OutMode[e - 1]
                                         ? QStringLiteral("Call-Activated")
                                         : QStringLiteral("Response-Activated")}});
}

void PrintPcPort(PageWriter& page, const PrintRequest& request) {
    const MaintenanceSetting& port = request.data->Maintenance;
    constexpr int kLabel = 1, kIndent = 4, kValue = 25;
    page.Text(kLabel, page.Take(2), QStringLiteral("PC/Exchange Connection Setting"));
    const int method = page.Take(2);
    page.Text(kLabel, method, QStringLiteral("Method"));
    page.Text(kValue, method,
              port.PcConnect == 1 ? QStringLiteral("Modem") : QStringLiteral("RS-232C"));
    page.Text(kLabel, page.Take(1), QStringLiteral("RS-232C"));
    const int com = page.Take(1);
    page.Text(kIndent, com, QStringLiteral("COM port"));
    page.Text(kValue, com, QStringLiteral("COM%1").arg(port.CommPort % 4 + 1));
    page.Text(kIndent, page.Take(2),
              QStringLiteral("Baud Rate: 19200; Parity: Even; Data: 8 bits; Stop Bit: 1"));
    page.Text(kLabel, page.Take(1), QStringLiteral("Modem"));
    const int tel = page.Take(1);
    page.Text(kIndent, tel, QStringLiteral("Telephone No."));
    page.Text(kValue, tel, Field(port.TelNo));
}

}  // namespace qn410
