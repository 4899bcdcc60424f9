#include "print/layout_common.h"

#include <cstring>

#include "ui/ansi_text.h"

namespace qn410::layout {

Table::Table(PageWriter& page, std::vector<std::vector<Column>> heading, int width, int recordLine)
    : page_(page),
      heading_(std::move(heading)),
      width_(width),
      recordLine_(static_cast<std::size_t>(recordLine)) {}

void Table::Start(std::function<void()> above) {
    above_ = std::move(above);
    DrawHeading();
    page_.SetContinuation([this] { DrawHeading(); });
}

void Table::DrawHeading() {
    if (above_) above_();
    const int lines = static_cast<int>(heading_.size());
    const int top = page_.Take(lines);
    page_.Rule(top, 0, width_);
    for (int i = 0; i < lines; ++i)
        for (const Column& column : heading_[i]) page_.Text(column.at, top + i, column.label);
    page_.Rule(top + lines, 0, width_);
}

void Table::Record(const std::vector<std::vector<QString>>& cells) {
    const int top = page_.Take(static_cast<int>(cells.size()));
    for (std::size_t i = 0; i < cells.size() && recordLine_ + i < heading_.size(); ++i) {
        const std::vector<Column>& columns = heading_[recordLine_ + i];
        for (std::size_t c = 0; c < cells[i].size() && c < columns.size(); ++c)
            page_.Text(columns[c].at, top + static_cast<int>(i), cells[i][c]);
    }
}

QString Ansi(std::string_view bytes) {
    return AnsiToQString(bytes);
}

QString Number(int value, int width) {
    return QStringLiteral("%1").arg(value, width);
}

QString OnOff(int flag) {
    return flag ? QStringLiteral("On") : QStringLiteral("Off");
}

QString StationNo(const StationNumber& number) {
    return number.Value == kNoNumber ? QString() : Field(number.Text);
}

std::vector<int> Exchanges(const PrintRequest& request) {
    if (request.exchange >= 1 && request.exchange <= kExchangeCount) return {request.exchange};
    const int count = request.data ? request.data->System.SwitchCnt : 0;
    std::vector<int> all;
    for (int e = 1; e <= count && e <= kExchangeCount; ++e) all.push_back(e);
    return all;
}

StationTexts MasterTexts(const SettingData& data, int exchange, int master) {
    const MasterSetting* m = FindMaster(data, exchange, master);
    if (!m) return {};
    return {Number(exchange), Number(master), StationNo(m->Number), Field(m->Name)};
}

StationTexts SubTexts(const SettingData& data, int exchange, int sub) {
    if (exchange < 1 || exchange > kExchangeCount || sub < 1 || sub > kSubCount) return {};
    const SubSetting& s = data.Exchange[exchange - 1].Sub[sub - 1];
    return {Number(exchange), Number(sub), StationNo(s.Number), Field(s.Name)};
}

}  // namespace qn410::layout
