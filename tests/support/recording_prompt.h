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
};

// Answers Ok to a message, and to a question the next scripted answer (No when none is left).
class RecordingPrompt : public Prompt {
  public:
    PromptAnswer Show(const std::string& text, PromptIcon icon, PromptButtons buttons) override {
        shown.push_back({text, icon});
        if (buttons == PromptButtons::Ok) return PromptAnswer::Ok;
        const PromptAnswer a = answers.empty() ? PromptAnswer::No : answers.front();
        if (!answers.empty()) answers.pop_front();
        return a;
    }
    void ScriptAnswers(std::initializer_list<PromptAnswer> list) {
        answers.insert(answers.end(), list.begin(), list.end());
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& m : shown) out.push_back(m.text);
        return out;
    }

    std::vector<ShownMessage> shown;
    std::deque<PromptAnswer> answers;
};

}  // namespace qn410::test
