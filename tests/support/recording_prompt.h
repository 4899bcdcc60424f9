// A prompt that records every message and answers questions from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "setting/prompt.h"

namespace qn410::test {

struct ShownMessage {
    std::string text;
    PromptIcon icon;
    PromptButtons buttons;
};

class RecordingPrompt : public Prompt {
public:
    PromptAnswer Show(const std::string& text, PromptIcon icon, PromptButtons buttons) override;

    // Answers for the next Yes/No questions, in order; when none is left the answer is No.
    void ScriptAnswers(std::initializer_list<PromptAnswer> answers);

    std::vector<ShownMessage> shown;
    std::deque<PromptAnswer> answers;

    // The texts alone, in order.
    std::vector<std::string> texts() const;
};

}  // namespace qn410::test
