#include "traffic.h"

#include <algorithm>
#include <cstdio>

#include "setting/text_field.h"
#include "transfer/record_format.h"

namespace qn410::sim {
namespace {

// Every status code the tool names, then some it shows as "statusNN".
constexpr int kStatusCodes[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                                15, 16, 17, 19, 20, 21, 22, 23, 30, 31, 32, 33, 34, 35, 36,
                                37, 38, 39, 40, 41, 42, 43, 44, 18, 24, 29, 45, 99};

std::string Padded(std::string_view text, std::size_t width) {
    std::string out(text.substr(0, width));
    out.resize(width, ' ');
    return out;
}

}  // namespace

std::optional<std::array<bool, kExchangeCount>> RequestSelection(std::string_view body) {
    namespace op = wire::op;
    if (body.size() < op::kData + op::kDataWidth) return std::nullopt;
    std::array<bool, kExchangeCount> selected{};
    for (int e = 0; e < kExchangeCount; ++e) selected[e] = body[op::kData + e] == '1';
    return selected;
}

Traffic::Traffic(const SettingData& data, const Clock& clock, double recordsPerSecond,
                 uint32_t seed)
    : data_(data),
      clock_(clock),
      period_(recordsPerSecond > 0 ? static_cast<Millis>(1000.0 / recordsPerSecond) : 0),
      rng_(seed) {
    if (recordsPerSecond > 0 && period_ < 1) period_ = 1;
}

void Traffic::Select(Stream& stream, const std::array<bool, kExchangeCount>& exchanges,
                     Millis now) {
    stream.selected = exchanges;
    bool any = false;
    for (const bool s : exchanges) any = any || s;
    if (!any || period_ == 0)
        stream.due.reset();
    else if (!stream.due)
        stream.due = now + period_;
}

void Traffic::SelectLog(const std::array<bool, kExchangeCount>& exchanges, Millis now) {
    Select(log_, exchanges, now);
}

void Traffic::SelectMonitor(const std::array<bool, kExchangeCount>& exchanges, Millis now) {
    Select(monitor_, exchanges, now);
}

int Traffic::NextExchange(Stream& stream) {
    for (int i = 0; i < kExchangeCount; ++i) {
        const int e = (stream.next + i) % kExchangeCount;
        if (stream.selected[e]) {
            stream.next = (e + 1) % kExchangeCount;
            return e + 1;
        }
    }
    return 0;
}

std::vector<std::string> Traffic::Due(Millis now) {
    std::vector<std::string> out;
    // A simulator that fell far behind (a stopped process) does not flood the line afterwards.
    for (Stream* s : {&log_, &monitor_})
        if (s->due && now - *s->due > std::max<Millis>(10 * period_, 2000)) s->due = now;
    while (true) {
        Stream* s = nullptr;
        for (Stream* c : {&log_, &monitor_})
            if (c->due && *c->due <= now && (!s || *c->due < *s->due)) s = c;
        if (!s) break;
        const int e = NextExchange(*s);
        out.push_back(s == &log_ ? LogRecord(e) : MonitorRecord(e));
        *s->due += period_;
    }
    return out;
}

std::optional<Millis> Traffic::NextDue() const {
    if (log_.due && monitor_.due) return std::min(*log_.due, *monitor_.due);
    return log_.due ? log_.due : monitor_.due;
}

std::string Traffic::LineText(int exchange) {
    // A station of the exchange (its number as the exchange shows it), a trunk, or nothing.
    const ExchangeSetting& x = data_.Exchange[exchange - 1];
    switch (std::uniform_int_distribution<int>(0, 3)(rng_)) {
        case 0: {
            const MasterSetting& m = x.Master[std::uniform_int_distribution<int>(0, 3)(rng_)];
            return Padded(m.Number.Value < 0 ? "" : TextOf(m.Number.Text), 6);
        }
        case 1: {
            const SubSetting& s = x.Sub[std::uniform_int_distribution<int>(0, 63)(rng_)];
            return Padded(s.Number.Value < 0 ? "" : TextOf(s.Number.Text), 6);
        }
        case 2:
            return std::uniform_int_distribution<int>(0, 1)(rng_) ? "CO1   " : "CO2   ";
        default:
            return "      ";
    }
}

std::string Traffic::LogRecord(int exchange) {
    const LocalTime t = clock_.Now();
    char head[16];
    std::snprintf(head, sizeof head, "o%02d%02d%02d%02d", exchange % 100, t.hour, t.minute,
                  t.second);
    std::string body = head;
    for (int line = 0; line < 4; ++line) body += LineText(exchange);
    // Walk through the codes in order so that a short run already meets many of them.
    const int code = kStatusCodes[logCount_++ % std::size(kStatusCodes)];
    char status[4];
    std::snprintf(status, sizeof status, "%02d", code);
    return body + status;
}

std::string Traffic::MonitorRecord(int exchange) {
    const int count = monitorCount_++;
    int n = std::uniform_int_distribution<int>(1, 80)(rng_);
    if (count % 7 == 3) n = kMaxMonitorData;
    if (count % 11 == 5) n = 0;
    // Now and then a record too long for the tool, which must drop it.
    if (count % 250 == 249) n = kMaxMonitorData + 1;
    char head[16];
    std::snprintf(head, sizeof head, "p%02d%03d", exchange % 100, n);
    std::string data;
    char piece[16];
    std::snprintf(piece, sizeof piece, "#%05d ", count);
    data = piece;
    static constexpr char kHex[] = "0123456789ABCDEF";
    while (static_cast<int>(data.size()) < n) {
        const int b = std::uniform_int_distribution<int>(0, 255)(rng_);
        data += kHex[b >> 4];
        data += kHex[b & 15];
        data += ' ';
    }
    data.resize(n);
    return head + data;
}

}  // namespace qn410::sim
