// The program's prompt with one addition: "Failed to open the device" gets a second line with
// the reason the channel found, when it is one the installer can fix (the device's permissions,
// see link/device_access.h).
#pragma once

#include "link/device_access.h"
#include "setting/prompt.h"

namespace qn410 {

class OpenProblemPrompt : public Prompt {
  public:
    explicit OpenProblemPrompt(Prompt& inner) : inner_(inner) {}
    PromptAnswer Show(const std::string& text, PromptIcon icon, PromptButtons buttons) override {
        const std::string problem =
            text == "Failed to open the device" ? LastOpenProblem() : std::string();
        return inner_.Show(problem.empty() ? text : text + "\n" + problem, icon, buttons);
    }

  private:
    Prompt& inner_;
};

}  // namespace qn410
