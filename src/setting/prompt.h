// The one way the program shows a message box. Every window and the core go through it, so a
// test can record the exact text a user would see and answer questions as scripted.
#pragma once

#include <string>

namespace qn410 {

enum class PromptIcon { None, Question, Exclamation };
enum class PromptButtons { Ok, YesNo };  // Yes/No always has No preselected
enum class PromptAnswer { Ok, Yes, No };

class Prompt {
  public:
    virtual ~Prompt() = default;
    // text is single-byte text as the system holds it; "\n" breaks lines.
    virtual PromptAnswer Show(const std::string& text, PromptIcon icon, PromptButtons buttons) = 0;

    void Tell(const std::string& text, PromptIcon icon = PromptIcon::None) {
        Show(text, icon, PromptButtons::Ok);
    }
    bool AskYesNo(const std::string& text, PromptIcon icon = PromptIcon::Question) {
        return Show(text, icon, PromptButtons::YesNo) == PromptAnswer::Yes;
    }
};

// Shows nothing; answers No to every question. For tools without a user.
class SilentPrompt : public Prompt {
  public:
    PromptAnswer Show(const std::string&, PromptIcon, PromptButtons buttons) override {
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::No;
    }
};

}  // namespace qn410
