// Call Forwarding/Time-Out: one block of switches and limits per exchange.
#include "print/layout_common.h"

namespace qn410 {

using namespace layout;

namespace {
QString Limit(int value, const char* unit) {
    return value == 0 ? OnOff(0) : QString::number(value) + QLatin1String(unit);
}
}  // namespace

void PrintForwarding(PageWriter& page, const PrintRequest& request) {
    constexpr int kExchange = 1, kLabel = 4, kValue = 34;
    for (int e : Exchanges(request)) {
        const FunctionSetting& f = request.data->Function[e - 1];
        const std::pair<const char*, QString> lines[] = {
            {"Call Forwarding", OnOff(f.OutSend)},
            {"Time-Based Call Forwarding", OnOff(f.AutoOutSend)},
            {"    Start Time", Field(f.StartTime.Text)},
            {"    End Time", Field(f.EndTime.Text)},
            {"Busy Call Forwarding", OnOff(f.TalkSend)},
            {"No-Answer Call Fwd", Limit(f.CallCnt, " s")},
            {"Call Time-Out", Limit(f.CallTime, " min")},
            {"Conversation Time-Out", Limit(f.TalkTime, " s")},
        };
        const int top = page.Take(static_cast<int>(std::size(lines)) + 2);
        page.Text(kExchange, top, QStringLiteral("Exchange"));
        page.Text(kExchange + 10, top, Number(e, 2));
        int row = top + 1;
        for (const auto& [label, value] : lines) {
            page.Text(kLabel, row, QLatin1String(label));
            page.Text(kValue, row++, value);
        }
    }
}

}  // namespace qn410
