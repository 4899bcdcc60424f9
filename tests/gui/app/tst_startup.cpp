// Start-up of the program: one copy at a time, the password of "qn410.txt", the base directory
// and the work file.
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include "app/app_paths.h"
#include "app/main_frame.h"
#include "app/password_dialogs.h"
#include "app/qn410_app.h"
#include "app/qn410_view.h"
#include "setting/password.h"
#include "setting/setting_file.h"
#include "shell_fixture.h"
#include "support/recording_prompt.h"
#include "support/temp_dir.h"

using namespace qn410;
using namespace qn410::test;

namespace {

// A complete default setting file protected by password.
void WriteProtectedSettingFile(const QString& path, const std::string& password) {
    SettingDocument doc;
    SilentPrompt silent;
    QVERIFY(WriteSettingFile(path.toStdString(), doc, password, silent));
}

void Type(QDialog* dialog, const char* field, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(field));
    QVERIFY(edit);
    edit->clear();
    QTest::keyClicks(edit, text);
}

void Click(QDialog* dialog, const char* button) {
    auto* b = dialog->findChild<QPushButton*>(QString::fromLatin1(button));
    QVERIFY(b);
    b->click();
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ShellFolder> folder_;
    RecordingPrompt prompt_;
    ScriptedFileChooser files_;

    std::unique_ptr<QN410App> MakeApp() {
        ShellServices services;
        services.prompt = &prompt_;
        services.files = &files_;
        services.lockDir = folder_->file(QStringLiteral("run"));
        services.appDir = folder_->file(QStringLiteral("bin"));
        return std::make_unique<QN410App>(std::move(services));
    }

  private slots:
    void init() {
        folder_ = std::make_unique<ShellFolder>();
        prompt_ = RecordingPrompt();
    }
    void cleanup() { folder_.reset(); }

    void withoutSettingFileStartsWithDefaultsAndNoPassword() {
        auto app = MakeApp();
        QVERIFY(app->Start());
        QVERIFY(prompt_.shown.empty());
        QVERIFY(QFile::exists(folder_->file(QStringLiteral("qn410.txt"))));
        QVERIFY(app->frame()->isVisible());
        QCOMPARE(app->frame()->windowTitle(), QStringLiteral("qn410.txt[*] - QN410"));
        CQN410View& view = app->frame()->view();
        QCOMPARE(view.document().fileName, std::string("qn410.txt"));
        QVERIFY(!view.document().modified);
        QVERIFY(view.password().empty());

        // The work file sits in the base directory (the parent of "bin") and is left read-only.
        const QString work = folder_->file(QStringLiteral("qn410work.txt"));
        QVERIFY(QFile::exists(work));
        view.workFile().history = "HS261206-01.txt";
        app.reset();
        QCOMPARE(QFile::permissions(work) & QFileDevice::WriteOwner, QFileDevice::Permissions());
        SilentPrompt silent;
        QCOMPARE(ReadWorkFile(work.toStdString(), silent).history, std::string("HS261206-01.txt"));
    }

    void wrongPasswordIsRefusedThenRightOneAccepted() {
        WriteProtectedSettingFile(QStringLiteral("qn410.txt"), "Secret7");
        WhenModal<CDlgPassword>([this](CDlgPassword* dialog) {
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("password"));
            QCOMPARE(edit->echoMode(), QLineEdit::Password);
            QTest::keyClicks(edit, QStringLiteral("abcdefghijklmnopqrstu"));  // 21 characters
            QCOMPARE(edit->text().size(), 20);
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_Return);
            QVERIFY(dialog->isVisible());  // Enter moves on, it does not press OK
            QCOMPARE(dialog->focusWidget(), dialog->findChild<QPushButton*>(QStringLiteral("ok")));
            Type(dialog, "password", QStringLiteral("secret7"));  // case matters
            Click(dialog, "ok");
            QCOMPARE(prompt_.texts(), std::vector<std::string>{"Incorrect password"});
            QCOMPARE(prompt_.shown[0].icon, PromptIcon::Question);
            QVERIFY(dialog->findChild<QLineEdit*>(QStringLiteral("password"))->text().isEmpty());
            QVERIFY(dialog->isVisible());
            Type(dialog, "password", QStringLiteral("Secret7"));
            Click(dialog, "ok");
        });
        auto app = MakeApp();
        QVERIFY(app->Start());
        QCOMPARE(app->frame()->view().password(), std::string("Secret7"));
    }

    void cancellingThePasswordEndsTheProgram() {
        WriteProtectedSettingFile(QStringLiteral("qn410.txt"), "abc");
        WhenModal<CDlgPassword>([](CDlgPassword* dialog) { Click(dialog, "cancel"); });
        auto app = MakeApp();
        QVERIFY(!app->Start());
        QVERIFY(!app->frame());
    }

    void passwordChangeChecksOldAndConfirmationThenWritesFile() {
        WriteProtectedSettingFile(QStringLiteral("qn410.txt"), "abc");
        WhenModal<CDlgPassword>([this](CDlgPassword* input) {
            WhenModal<CDlgNewPassword>([this](CDlgNewPassword* change) {
                QCOMPARE(change->windowTitle(), QStringLiteral("New Password"));
                Type(change, "oldPassword", QStringLiteral("abd"));
                Type(change, "newPassword", QStringLiteral("x1"));
                Type(change, "confirmPassword", QStringLiteral("x1"));
                Click(change, "ok");
                QCOMPARE(prompt_.texts().back(), std::string("Old password not correct."));
                QVERIFY(
                    change->findChild<QLineEdit*>(QStringLiteral("oldPassword"))->text().isEmpty());
                Type(change, "oldPassword", QStringLiteral("abc"));
                Type(change, "confirmPassword", QStringLiteral("x2"));
                Click(change, "ok");
                QCOMPARE(prompt_.texts().back(), std::string("New password not correct."));
                QVERIFY(
                    change->findChild<QLineEdit*>(QStringLiteral("newPassword"))->text().isEmpty());
                QVERIFY(change->isVisible());
                Type(change, "newPassword", QStringLiteral("x1"));
                Type(change, "confirmPassword", QStringLiteral("x1"));
                Click(change, "ok");
            });
            Click(input, "newPassword");
            Type(input, "password", QStringLiteral("x1"));
            Click(input, "ok");
        });
        auto app = MakeApp();
        QVERIFY(app->Start());
        QCOMPARE(prompt_.shown.size(), std::size_t(2));
        std::string stored;
        SilentPrompt silent;
        ReadPassword("qn410.txt", stored, silent);
        QCOMPARE(stored, std::string("x1"));
        // The rest of the file is untouched: it still reads as a setting file.
        SettingDocument doc;
        QCOMPARE(ReadSettingFile("qn410.txt", doc, stored, silent), ReadOutcome::Ok);
    }

    void emptyNewPasswordRemovesTheQuestionAtNextStart() {
        WriteProtectedSettingFile(QStringLiteral("qn410.txt"), "abc");
        WhenModal<CDlgPassword>([](CDlgPassword* input) {
            WhenModal<CDlgNewPassword>([](CDlgNewPassword* change) {
                Type(change, "oldPassword", QStringLiteral("abc"));
                Click(change, "ok");
            });
            Click(input, "newPassword");
            Click(input, "ok");  // the empty field now matches
        });
        MakeApp()->Start();
        auto again = MakeApp();
        QVERIFY(again->Start());  // no dialog: nothing would answer it
        QVERIFY(prompt_.shown.empty());
    }

    void brokenPasswordFieldEndsTheProgram_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("malformed") << QByteArray("Password=03abc\n[Maintenance]\n")
                                   << "Incorrect setting file.\n Password Error";
        QTest::newRow("missing key")
            << QByteArray("[Maintenance]\n")
            << "Incorrect setting file. Key information\n Password= not found.";
    }
    void brokenPasswordFieldEndsTheProgram() {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        WriteAll(folder_->file(QStringLiteral("qn410.txt")).toStdString(), content.toStdString());
        auto app = MakeApp();
        QVERIFY(!app->Start());
        QCOMPARE(prompt_.texts(), std::vector<std::string>{message.toStdString()});
        QCOMPARE(prompt_.shown[0].icon, PromptIcon::None);
    }

    // A second program started while one runs ends with status 0, no window and no message (a
    // message box would never be answered here).
    void secondProgramEndsWithoutAWindow() {
        const QString run = folder_->file(QStringLiteral("run"));
        QDir().mkpath(run);
        QFile::setPermissions(
            run, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QLockFile first(run + QStringLiteral("/QN410.lock"));
        QVERIFY(first.tryLock(0));
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), run);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        second.setProcessEnvironment(env);
        second.setWorkingDirectory(folder_->path());
        second.start(QStringLiteral(QN410_PROGRAM), {});
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(!QFile::exists(folder_->file(QStringLiteral("qn410.txt"))));
    }

    void lockLeftByACrashedCopyIsTakenOver() {
        const QString run = folder_->file(QStringLiteral("run"));
        QDir().mkpath(run);
        const QString lockPath = run + QStringLiteral("/QN410.lock");
        // A lock file naming a process that has ended.
        QProcess gone;
        gone.start(QStringLiteral("true"), {});
        QVERIFY(gone.waitForStarted());
        const qint64 deadPid = gone.processId();
        QVERIFY(gone.waitForFinished());
        QByteArray content;
        {
            QLockFile model(lockPath);
            QVERIFY(model.tryLock(0));
            QFile f(lockPath);
            QVERIFY(f.open(QIODevice::ReadOnly));
            content = f.readAll();
        }
        content = QByteArray::number(deadPid) + content.mid(content.indexOf('\n'));
        WriteAll(lockPath.toStdString(), content.toStdString());
        auto app = MakeApp();
        QVERIFY(app->Start());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
