// The program as a new installer meets it: the title marks unsaved changes, a recent file that
// has gone is not made anew, a second start brings the running window forward, small dialogs
// show their whole titles, the password dialog refuses what the password line cannot hold.
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/about_dialog.h"
#include "app/category_panel.h"
#include "app/main_frame.h"
#include "app/password_dialogs.h"
#include "app/qn410_view.h"
#include "setting/setting_file.h"
#include "shell_fixture.h"
#include "ui/confirm_dialogs.h"
#include "ui/title_width.h"

using namespace qn410;
using namespace qn410::test;

class TestInstaller : public QObject {
    Q_OBJECT
    std::unique_ptr<RecordingShell> shell_;
    CMainFrame& frame() { return *shell_->app->frame(); }
    CQN410View& view() { return frame().view(); }

  private slots:
    void init() {
        shell_ = std::make_unique<RecordingShell>();
        QVERIFY(shell_->app->Start());
    }
    void cleanup() { shell_.reset(); }

    void titleMarksUnsavedChanges() {
        QVERIFY(!frame().isWindowModified());
        view().SetCategoryHandler(Category::GlobalSetting,
                                  [this] { view().document().modified = true; });
        view().panel().button(Category::GlobalSetting)->click();
        QVERIFY(frame().isWindowModified());
        frame().doc().Save();
        QVERIFY(!frame().isWindowModified());
    }

    void recentFileThatHasGoneIsNotMadeAnew() {
        const QString gone = shell_->folder.file(QStringLiteral("stick/site.txt"));
        frame().recentFiles().Add(gone);
        frame().doc().OpenRecent(gone);
        QCOMPARE(shell_->prompt.texts(),
                 std::vector<std::string>{gone.toStdString() + "\nThe file cannot be found."});
        QCOMPARE(shell_->prompt.shown[0].icon, PromptIcon::Exclamation);
        QVERIFY(!QFile::exists(gone));
        QVERIFY(!frame().recentFiles().files().contains(gone));
        QCOMPARE(view().document().fileName, std::string(kDefaultSettingFile));
    }

    void secondStartBringsTheRunningWindowForward() {
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());
        ShellServices services;
        services.prompt = &shell_->prompt;
        services.files = &shell_->files;
        services.lockDir = shell_->folder.file(QStringLiteral("run"));
        services.appDir = shell_->folder.path();
        QVERIFY(!QN410App(std::move(services)).Start());
        QTRY_VERIFY(frame().isActiveWindow());
        QVERIFY(shell_->prompt.shown.empty());
    }

    void smallDialogsShowTheirWholeTitle() {
        CDlgConfirm confirm(CDlgConfirm::Direction::Transmit, nullptr);
        CAboutDlg about;
        for (QDialog* dialog : {static_cast<QDialog*>(&confirm), static_cast<QDialog*>(&about)}) {
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            QVERIFY2(dialog->width() >= TitleWidth(*dialog), qPrintable(dialog->windowTitle()));
        }
    }

    void newPasswordRefusesCharactersTheFileCannotHold() {
        std::string password;
        CDlgNewPassword change(kDefaultSettingFile, password, shell_->prompt);
        for (const char* name : {"newPassword", "confirmPassword"})
            change.findChild<QLineEdit*>(QString::fromLatin1(name))
                ->setText(QStringLiteral("ab") + QChar(0xFA));
        change.findChild<QPushButton*>(QStringLiteral("ok"))->click();
        QCOMPARE(shell_->prompt.texts(), std::vector<std::string>{"New password not correct."});
        QVERIFY(change.findChild<QLineEdit*>(QStringLiteral("newPassword"))->text().isEmpty());
        QVERIFY(password.empty());  // nothing taken, nothing written
    }
};

QTEST_MAIN(TestInstaller)
#include "tst_installer.moc"
