#include "support/recording_prompt.h"

namespace qn410::test {

PromptAnswer RecordingPrompt::Show(const std::string& text, PromptIcon icon,
                                   PromptButtons buttons) {
    shown.push_back({text, icon, buttons});
    if (buttons == PromptButtons::Ok) return PromptAnswer::Ok;
    if (answers.empty()) return PromptAnswer::No;
    const PromptAnswer a = answers.front();
    answers.pop_front();
    return a;
}

void RecordingPrompt::ScriptAnswers(std::initializer_list<PromptAnswer> list) {
    answers.insert(answers.end(), list.begin(), list.end());
}

std::vector<std::string> RecordingPrompt::texts() const {
    std::vector<std::string> out;
    for (const auto& m : shown) out.push_back(m.text);
    return out;
}

}  // namespace qn410::test
