#include "progress_line.h"

#include <algorithm>

#include "transfer/send_record.h"

namespace qn410::ctl {

void ProgressLine::OnProgress(AppMessage message, int kind, const std::string& name, int count) {
    switch (message) {
        case UM_PROGRESS_RESTART:
        case UM_PROGRESS_START:
            // A restart during a download brings a new total (the Global Setting changed the
            // number of exchanges); the records already counted stay counted.
            if (message == UM_PROGRESS_START || kind != kind_) done_ = 0;
            kind_ = kind;
            if (!name.empty()) name_ = name;
            total_ = count;
            break;
        case UM_PROGRESS_STEP:
            kind_ = kind;
            name_ = name;
            break;
        case UM_PROGRESS_ADVANCE:
            ++done_;
            break;
        case UM_PROGRESS_CLOSE:
            Break();
            return;
        default:
            return;
    }
    Draw();
}

void ProgressLine::Break() {
    if (out_ && drawnWidth_ > 0) *out_ << '\n' << std::flush;
    drawnWidth_ = 0;
    line_.clear();
}

void ProgressLine::Draw() {
    const int percent = total_ > 0 ? std::clamp(done_ * 100 / total_, 0, 100) : 0;
    std::string text = kind_ == kDisplayReceiving ? "Receiving data" : "Transmitting data";
    if (!name_.empty()) text += ": " + name_;
    text += " [" + std::to_string(percent) + "%]";
    if (text == line_) return;
    line_ = text;
    if (!out_) return;
    // Blanks wipe what is left of a longer line drawn before.
    const std::size_t pad = drawnWidth_ > text.size() ? drawnWidth_ - text.size() : 0;
    *out_ << '\r' << text << std::string(pad, ' ') << std::flush;
    drawnWidth_ = text.size();
}

}  // namespace qn410::ctl
