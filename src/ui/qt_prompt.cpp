#include "ui/qt_prompt.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/ansi_text.h"

namespace qn410 {

QtPrompt::QtPrompt(QString title) : title_(std::move(title)) {}

PromptAnswer QtPrompt::Show(const std::string& text, PromptIcon icon, PromptButtons buttons) {
    // Parent to whatever window is in front, so the box stays above a modal editor.
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    QMessageBox box(parent);
    box.setWindowTitle(title_);
    box.setText(AnsiToQString(text));
    switch (icon) {
        case PromptIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case PromptIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case PromptIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
    }
    if (buttons == PromptButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? PromptAnswer::Yes : PromptAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return PromptAnswer::Ok;
}

}  // namespace qn410
