// The message boxes of the program: the Prompt seam on QMessageBox. Questions carry Yes and No
// with No preselected; every box has the application's title unless a caller gives another.
#pragma once

#include <QString>

#include "setting/prompt.h"

class QWidget;

namespace qn410 {

inline constexpr char kApplicationTitle[] = "QN410";

class QtPrompt : public Prompt {
  public:
    explicit QtPrompt(QString title = QString::fromLatin1(kApplicationTitle));
    PromptAnswer Show(const std::string& text, PromptIcon icon, PromptButtons buttons) override;

  private:
    QString title_;
};

}  // namespace qn410
