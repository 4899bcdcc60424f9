// The password asked for at start ("Password Input") and its change ("New Password"). The
// password lives in the first line of the default setting file "qn410.txt"; both dialogs work on
// the process's current password and write only that file.
#pragma once

#include <QDialog>
#include <string>

#include "setting/prompt.h"

class QLineEdit;
class QPushButton;

namespace qn410 {

// Enter in an edit field moves the focus to the dialog's default button instead of pressing it.
class EnterToDefaultFilter : public QObject {
  public:
    EnterToDefaultFilter(QPushButton* target, QObject* parent);
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPushButton* target_;
};

class CDlgPassword : public QDialog {
    Q_OBJECT
  public:
    // settingFile is the default setting file; password is the current password, re-read when
    // the dialog opens and changed by "New Password".
    CDlgPassword(std::string settingFile, std::string& password, Prompt& prompt,
                 QWidget* parent = nullptr);

    int exec() override;
    void accept() override;

  private:
    void ChangePassword();

    std::string settingFile_;
    std::string& password_;
    Prompt& prompt_;
    QLineEdit* edit_;
};

class CDlgNewPassword : public QDialog {
    Q_OBJECT
  public:
    CDlgNewPassword(std::string settingFile, std::string& password, Prompt& prompt,
                    QWidget* parent = nullptr);
    void accept() override;

  private:
    std::string settingFile_;
    std::string& password_;
    Prompt& prompt_;
    QLineEdit* old_;
    QLineEdit* new_;
    QLineEdit* confirm_;
};

}  // namespace qn410
