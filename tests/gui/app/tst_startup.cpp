// Start-up of the program: the password of "qn410.txt", one copy at a time, the base directory
// and the work file.
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include "app/app_paths.h"
#include "app/main_frame.h"
#include "app/password_dialogs.h"
#include "app/qn410_view.h"
#include "setting/password.h"
#include "setting/setting_file.h"
#include "shell_fixture.h"
#include "support/temp_dir.h"

using namespace qn410;
using namespace qn410::test;

namespace {

void Type(QWidget* dialog, const char* field, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(field);
    edit->clear();
    QTest::keyClicks(edit, text);
}

void Click(QWidget* dialog, const char* button) {
    dialog->findChild<QPushButton*>(button)->click();
}

// Fills in the New Password dialog and presses OK.
void Change(CDlgNewPassword* d, const QString& old, const QString& fresh, const QString& again) {
    for (const auto& [field, text] :
         {std::pair{"oldPassword", old}, {"newPassword", fresh}, {"confirmPassword", again}})
        d->findChild<QLineEdit*>(field)->setText(text);
    Click(d, "ok");
}

// What the user does at the password dialog.
void WrongThenRight(CDlgPassword* d) {
    auto* edit = d->findChild<QLineEdit*>("password");
    QCOMPARE(edit->echoMode(), QLineEdit::Password);
    Type(d, "password", "abcdefghijklmnopqrstu");
    QCOMPARE(edit->text().size(), 20);
    QTest::keyClick(edit, Qt::Key_Return);  // Enter moves on, it does not press OK
    QCOMPARE(d->focusWidget(), d->findChild<QPushButton*>("ok"));
    Type(d, "password", "secret7");  // case matters
    Click(d, "ok");
    QVERIFY(d->isVisible() && edit->text().isEmpty());
    Type(d, "password", "Secret7");
    Click(d, "ok");
}
void Cancel(CDlgPassword* d) {
    Click(d, "cancel");
}
void ChangeToX1(CDlgPassword* input) {
    WhenModal<CDlgNewPassword>([](CDlgNewPassword* d) {
        Change(d, "abd", "x1", "x1");
        QVERIFY(d->findChild<QLineEdit*>("oldPassword")->text().isEmpty());
        Change(d, "abc", "x1", "x2");
        QVERIFY(d->findChild<QLineEdit*>("newPassword")->text().isEmpty());
        const QString unstorable = QString("ab") + QChar(0xFA);
        Change(d, "abc", unstorable, unstorable);
        Change(d, "abc", "x1", "x1");
    });
    Click(input, "newPassword");
    Type(input, "password", "x1");
    Click(input, "ok");
}
// One start on a "qn410.txt" protected by a password (or holding raw text).
struct StartCase {
    const char* name;
    const char* password;
    const char* raw;  // the file's whole text instead of a setting file
    void (*user)(CDlgPassword*);
    bool starts;
    const char* texts;   // the messages shown, in order, each ended by '|'
    PromptIcon icon;     // of the first message
    const char* stored;  // the password in the file afterwards
};

const std::vector<StartCase> kStartCases{
    {"wrong then right", "Secret7", nullptr, WrongThenRight, true, "Incorrect password|",
     PromptIcon::Question, "Secret7"},
    {"cancelled", "abc", nullptr, Cancel, false, ""},
    {"changed", "abc", nullptr, ChangeToX1, true,
     "Old password not correct.|New password not correct.|New password not correct.|",
     PromptIcon::Question, "x1"},
    {"malformed field", "", "Password=03abc\n[Maintenance]\n", nullptr, false,
     "Incorrect setting file.\n Password Error|", PromptIcon::None},
    {"missing field", "", "[Maintenance]\n", nullptr, false,
     "Incorrect setting file. Key information\n Password= not found.|", PromptIcon::None},
};

std::string Joined(const RecordingPrompt& prompt) {
    std::string all;
    for (const std::string& text : prompt.texts()) all += text + '|';
    return all;
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
    std::unique_ptr<RecordingShell> shell_;

  private slots:
    void init() { shell_ = std::make_unique<RecordingShell>(); }
    void cleanup() { shell_.reset(); }

    void startsAsThePasswordAllows_data() {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < kStartCases.size(); ++i)
            QTest::newRow(kStartCases[i].name) << int(i);
    }
    void startsAsThePasswordAllows() {
        QFETCH(int, row);
        const StartCase& c = kStartCases[row];
        SilentPrompt silent;
        SettingDocument doc;
        if (c.raw)
            WriteAll("qn410.txt", c.raw);
        else
            QVERIFY(WriteSettingFile("qn410.txt", doc, c.password, silent));
        if (c.user) WhenModal<CDlgPassword>(c.user);
        QCOMPARE(shell_->app->Start(), c.starts);
        QCOMPARE(Joined(shell_->prompt), std::string(c.texts));
        if (*c.texts) QCOMPARE(shell_->prompt.shown[0].icon, c.icon);
        if (!c.starts) {
            QVERIFY(!shell_->app->frame());
            return;
        }
        QCOMPARE(shell_->app->frame()->view().password(), std::string(c.stored));
        std::string stored;
        ReadPassword("qn410.txt", stored, silent);
        QCOMPARE(stored, std::string(c.stored));
        // The rest of the file is untouched.
        QCOMPARE(ReadSettingFile("qn410.txt", doc, stored, silent), ReadOutcome::Ok);
    }

    // No setting file and a lock left by a crashed copy: the program starts at once, writes the
    // default file and its work file in the base directory (the parent of "bin"). A second copy
    // then ends with status 0, no window and no message, and brings this one to the front.
    void firstStartAndSecondCopy() {
        const QString run = shell_->folder.file("run"), lock = run + "/QN410.lock";
        QDir().mkpath(run);
        QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        std::string content;
        {
            QLockFile model(lock);
            QVERIFY(model.tryLock(0));
            content = ReadAll(lock.toStdString());
        }
        // The same lock, naming a process that cannot exist.
        WriteAll(lock.toStdString(), "2147480000" + content.substr(content.find('\n')));
        shell_->app = shell_->MakeApp(shell_->folder.file("bin"));
        QVERIFY(shell_->app->Start());
        QVERIFY(QFile::exists("qn410.txt"));
        CMainFrame& frame = *shell_->app->frame();
        QCOMPARE(frame.windowTitle(), "qn410.txt[*] - QN410");
        QVERIFY(!frame.isWindowModified() && frame.view().password().empty());

        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());
        QDir().mkpath("second");
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", run);
        second.setProcessEnvironment(env);
        second.setWorkingDirectory(shell_->folder.file("second"));
        second.start(QN410_PROGRAM, {});
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(!QFile::exists("second/qn410.txt"));
        QTRY_VERIFY(frame.isActiveWindow());
        QVERIFY(shell_->prompt.shown.empty());

        // The work file is left read-only between runs.
        const QString work = shell_->folder.file("qn410work.txt");
        frame.view().workFile().history = "HS261206-01.txt";
        shell_->app.reset();
        QCOMPARE(QFile::permissions(work) & QFileDevice::WriteOwner, QFileDevice::Permissions());
        SilentPrompt silent;
        QCOMPARE(ReadWorkFile(work.toStdString(), silent).history, std::string("HS261206-01.txt"));
        // An installed program keeps its work file per user, even when root could write there.
        qputenv("XDG_DATA_HOME", shell_->folder.path().toLocal8Bit());
        const QString perUser =
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/qn410work.txt";
        for (const char* base : {"/usr", "/usr/local", "/no/such/folder"})
            QCOMPARE(WorkFilePath(base), perUser);
        QVERIFY(QFileInfo(perUser).dir().exists());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
