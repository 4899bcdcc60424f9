#include "app/password_dialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "setting/password.h"
#include "setting/setting_file.h"
#include "ui/ansi_text.h"
#include "ui/title_width.h"

namespace qn410 {

namespace {

QLineEdit* MaskedField(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(static_cast<int>(kPasswordMaxLength));
    return edit;
}

QPushButton* Button(QWidget* parent, const char* text, const char* name) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

void ClearAndSelect(QLineEdit* edit) {
    edit->clear();
    edit->setFocus();
    edit->selectAll();
}

}  // namespace

EnterToDefaultFilter::EnterToDefaultFilter(QPushButton* target, QObject* parent)
    : QObject(parent), target_(target) {}

bool EnterToDefaultFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            target_->setFocus();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

CDlgPassword::CDlgPassword(std::string settingFile, std::string& password, Prompt& prompt,
                           QWidget* parent)
    : QDialog(parent),
      settingFile_(std::move(settingFile)),
      password_(password),
      prompt_(prompt),
      edit_(MaskedField(this, "password")) {
    setWindowTitle(QStringLiteral("Password Input"));
    setMinimumWidth(320);
    auto* change = Button(this, "New Password", "newPassword");
    auto* ok = Button(this, "OK", "ok");
    auto* cancel = Button(this, "Cancel", "cancel");
    ok->setDefault(true);
    change->setAutoDefault(false);
    cancel->setAutoDefault(false);
    edit_->installEventFilter(new EnterToDefaultFilter(ok, this));
    connect(ok, &QPushButton::clicked, this, &CDlgPassword::accept);
    connect(cancel, &QPushButton::clicked, this, &CDlgPassword::reject);
    connect(change, &QPushButton::clicked, this, &CDlgPassword::ChangePassword);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(change);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Enter the password."), this));
    layout->addWidget(edit_);
    layout->addLayout(buttons);
}

int CDlgPassword::exec() {
    ReadPassword(settingFile_, password_, prompt_);
    edit_->setFocus();
    return QDialog::exec();
}

void CDlgPassword::accept() {
    if (QStringToAnsi(edit_->text()) == password_) {
        QDialog::accept();
        return;
    }
    prompt_.Show("Incorrect password", PromptIcon::Question, PromptButtons::Ok);
    ClearAndSelect(edit_);
}

void CDlgPassword::ChangePassword() {
    CDlgNewPassword dialog(settingFile_, password_, prompt_, this);
    dialog.exec();
    edit_->setFocus();
    edit_->selectAll();
}

CDlgNewPassword::CDlgNewPassword(std::string settingFile, std::string& password, Prompt& prompt,
                                 QWidget* parent)
    : QDialog(parent),
      settingFile_(std::move(settingFile)),
      password_(password),
      prompt_(prompt),
      old_(MaskedField(this, "oldPassword")),
      new_(MaskedField(this, "newPassword")),
      confirm_(MaskedField(this, "confirmPassword")) {
    setWindowTitle(QStringLiteral("New Password"));
    auto* ok = Button(this, "OK", "ok");
    auto* cancel = Button(this, "Cancel", "cancel");
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    auto* filter = new EnterToDefaultFilter(ok, this);
    for (QLineEdit* edit : {old_, new_, confirm_}) edit->installEventFilter(filter);
    connect(ok, &QPushButton::clicked, this, &CDlgNewPassword::accept);
    connect(cancel, &QPushButton::clicked, this, &CDlgNewPassword::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Old password"), this), 0, 0);
    grid->addWidget(old_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("New password"), this), 1, 0);
    grid->addWidget(new_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("New password\n  (Confirmation)"), this), 2, 0);
    grid->addWidget(confirm_, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 3, 0, 1, 2);
    WidenForTitle(*this);
    old_->setFocus();
}

void CDlgNewPassword::accept() {
    if (QStringToAnsi(old_->text()) != password_) {
        prompt_.Show("Old password not correct.", PromptIcon::Question, PromptButtons::Ok);
        ClearAndSelect(old_);
        return;
    }
    // A character the password line cannot hold would lock the installer out at the next
    // start: refused like a mistyped confirmation.
    if (new_->text() != confirm_->text() || !IsStorablePassword(QStringToAnsi(new_->text()))) {
        prompt_.Show("New password not correct.", PromptIcon::Question, PromptButtons::Ok);
        confirm_->clear();
        ClearAndSelect(new_);
        return;
    }
    const std::string previous = password_;
    password_ = QStringToAnsi(new_->text());
    if (!WritePassword(settingFile_, password_)) {
        // The file keeps the old password, so the program must too.
        password_ = previous;
        prompt_.Show(kWriteErrorMessage, PromptIcon::Exclamation, PromptButtons::Ok);
        return;
    }
    QDialog::accept();
}

}  // namespace qn410
