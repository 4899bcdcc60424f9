#include "sim_trace.h"

#include <cstdio>
#include <string>

#include "sim_wire.h"

namespace qn410::sim {

void SimTrace::Line(Millis now, const char* direction, std::string_view what) {
    if (!out_) return;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%10.3f %s ", static_cast<double>(now) / 1000.0, direction);
    *out_ << stamp << what << '\n';
    out_->flush();  // a trace is read while the simulator runs, and must survive a kill
}

void SimTrace::Frame(Millis now, const char* direction, std::string_view body, uint8_t bcc,
                     bool good, std::string_view remark) {
    if (!out_) return;
    char tail[48];
    std::snprintf(tail, sizeof tail, "\" BCC 0x%02X %s", bcc, good ? "good" : "bad");
    std::string text = "frame \"" + EscapedText(body) + tail;
    if (!remark.empty()) {
        text += " (";
        text += remark;
        text += ')';
    }
    Line(now, direction, text);
}

}  // namespace qn410::sim
