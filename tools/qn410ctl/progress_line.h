// The progress display of a transfer as one line on a terminal: the transfer session's progress
// messages (see send_record.h) keep a category name, a count and a total, and each change
// redraws the line in place, for example "\rTransmitting data: Substations [37%]".
#pragma once

#include <ostream>
#include <string>

#include "link/link_messages.h"

namespace qn410::ctl {

class ProgressLine {
  public:
    // out: the terminal; nullptr keeps the count without printing (not a terminal).
    explicit ProgressLine(std::ostream* out) : out_(out) {}

    void OnProgress(AppMessage message, int kind, const std::string& name, int count);
    // Ends the drawn line so that a message can follow on a line of its own; the next change
    // draws the line again below it.
    void Break();
    // The line as last drawn ("" before the first message or after the close).
    const std::string& line() const { return line_; }

  private:
    void Draw();

    std::ostream* out_;
    int kind_ = 0;
    std::string name_;
    int total_ = 0;
    int done_ = 0;
    std::string line_;
    std::size_t drawnWidth_ = 0;
};

}  // namespace qn410::ctl
