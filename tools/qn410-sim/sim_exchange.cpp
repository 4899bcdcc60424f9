#include "sim_exchange.h"

#include <cstdio>

#include "download_records.h"
#include "transfer/record_codec.h"
#include "transfer/record_format.h"

namespace qn410::sim {
namespace {

// The two-digit exchange field of a body, or -1 when it is not two digits.
int ExchangeField(std::string_view body) {
    if (body.size() < 3) return -1;
    const char a = body[1], b = body[2];
    if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
    return (a - '0') * 10 + (b - '0');
}

std::string Count(const char* what, std::size_t n) {
    char text[96];
    std::snprintf(text, sizeof text, "%s: %zu record(s) queued", what, n);
    return text;
}

}  // namespace

SimExchange::SimExchange(SettingData& data, const Clock& clock, SimTrace& trace,
                         double recordsPerSecond, uint32_t seed,
                         std::optional<StatusFault> statusFault)
    : data_(data),
      clock_(clock),
      trace_(trace),
      traffic_(data, clock, recordsPerSecond, seed),
      statusFault_(statusFault) {}

std::vector<std::string> SimExchange::OnRecord(std::string_view body, Millis now) {
    std::vector<std::string> out;
    const char letter = body.empty() ? '\0' : body[0];
    const int exchange = ExchangeField(body);
    if (IsDecodable(letter)) {
        if (Decode(body, data_))
            Stored(out, now);
        else
            trace_.Note(now, "record not stored: malformed or out of range");
        return out;
    }
    switch (letter) {
        case 'K':
            if (StoreDialBlock(body, data_))
                Stored(out, now);
            else
                trace_.Note(now, "dialing block not stored: malformed or out of range");
            break;
        case 'Q':
            if (exchange < 0 || exchange > data_.System.SwitchCnt) {
                trace_.Note(now, "download request for an exchange not in use: no answer");
                break;
            }
            out = DownloadRecords(data_, exchange, clock_);
            trace_.Note(now, Count("download", out.size()));
            break;
        case 'T': {
            const int master = body.size() > wire::t::kMaster ? body[wire::t::kMaster] - '0' : 0;
            out = DialBlocks(data_, exchange, master);
            trace_.Note(now, Count("dialing assignment", out.size()));
            break;
        }
        case 'O':
        case 'P':
            if (const auto selection = RequestSelection(body)) {
                if (letter == 'O')
                    traffic_.SelectLog(*selection, now);
                else
                    traffic_.SelectMonitor(*selection, now);
                trace_.Note(now, letter == 'O' ? "log selection set" : "monitor selection set");
            }
            break;
        case 'N':
            trace_.Note(now, "remote dialing request");
            break;
        default:
            trace_.Note(now, "record ignored");
            break;
    }
    return out;
}

void SimExchange::Stored(std::vector<std::string>& out, Millis now) {
    ++stored_;
    if (statusFault_ && stored_ == statusFault_->afterRecords) {
        char body[8];
        std::snprintf(body, sizeof body, "z%02d%c", statusFault_->exchange % 100,
                      statusFault_->status);
        out.emplace_back(body);
        trace_.Note(now, "exchange status report queued (fault)");
    }
}

}  // namespace qn410::sim
