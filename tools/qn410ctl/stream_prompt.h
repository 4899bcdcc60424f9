// A prompt for command-line tools: every message is printed on a stream, one line per message
// line; questions are answered No.
#pragma once

#include <ostream>

#include "setting/prompt.h"

namespace qn410::ctl {

class StreamPrompt : public Prompt {
  public:
    explicit StreamPrompt(std::ostream& err) : err_(err) {}
    PromptAnswer Show(const std::string& text, PromptIcon, PromptButtons buttons) override {
        err_ << "qn410ctl: " << text << '\n';
        ++count;
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::No;
    }
    int count = 0;

  private:
    std::ostream& err_;
};

}  // namespace qn410::ctl
