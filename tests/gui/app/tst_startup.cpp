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
    auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(field));
    QVERIFY(edit);
    edit->clear();
    QTest::keyClicks(edit, text);
}

void Click(QWidget* dialog, const char* button) {
    dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click();
}

// Fills in the New Password dialog and presses OK.
void Change(CDlgNewPassword* d, const QString& old, const QString& fresh, const QString& again) {
    for (const auto& [field, text] :
         {std::pair{"oldPassword", old}, {"newPassword", fresh}, {"confirmPassword", again}})
        d->findChild<QLineEdit*>(QString::fromLatin1(field))->setText(text);
    Click(d, "ok");
}

// What the user does at the password dialog.
void WrongThenRight(CDlgPassword* d) {
    auto* edit = d->findChild<QLineEdit*>(QString("password"));
    QCOMPARE(edit->echoMode(), QLineEdit::Password);
    Type(d, "password", QString("abcdefghijklmnopqrstu"));
    QCOMPARE(edit->text().size(), 20);
    QTest::keyClick(edit, Qt::Key_Return);  // Enter moves on, it does not press OK
    QCOMPARE(d->focusWidget(), d->findChild<QPushButton*>(QString("ok")));
    Type(d, "password", QString("secret7"));  // case matters
    Click(d, "ok");
    QVERIFY(d->isVisible() && edit->text().isEmpty());
    Type(d, "password", QString("Secret7"));
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
    Type(input, "password", QString("x1"));
    Click(input, "ok");
}
void ChangeToNone(CDlgPassword* input) {
    WhenModal<CDlgNewPassword>([](CDlgNewPassword* d) { Change(d, "abc", "", ""); });
    Click(input, "newPassword");
    Click(input, "ok");  // the empty field now matches
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
    {"emptied", "abc", nullptr, ChangeToNone, true, "", PromptIcon::None, ""},
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
        if (*c.stored) return;
        shell_->app = shell_->MakeApp(shell_->folder.path());  // no dialog: nothing would answer
        QVERIFY(shell_->app->Start());
    }

    // No setting file and a lock left by a crashed copy: the program starts at once, writes the
    // default file, and keeps its work file in the base directory (the parent of "bin").
    void firstStartMakesItsFiles() {
        const QString lock = shell_->folder.file(QString("run/QN410.lock"));
        QDir().mkpath(shell_->folder.file(QString("run")));
        std::string content;
        {
            QLockFile model(lock);
            QVERIFY(model.tryLock(0));
            content = ReadAll(lock.toStdString());
        }
        // The same lock, naming a process that cannot exist.
        WriteAll(lock.toStdString(), "2147480000" + content.substr(content.find('\n')));
        shell_->app = shell_->MakeApp(shell_->folder.file(QString("bin")));
        QVERIFY(shell_->app->Start());
        QVERIFY(shell_->prompt.shown.empty());
        QVERIFY(QFile::exists(QString("qn410.txt")));
        CMainFrame& frame = *shell_->app->frame();
        QVERIFY(frame.isVisible());
        QCOMPARE(frame.windowTitle(), QString("qn410.txt[*] - QN410"));
        QVERIFY(!frame.isWindowModified() && frame.view().password().empty());

        const QString work = shell_->folder.file(QString("qn410work.txt"));
        QVERIFY(QFile::exists(work));
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
            QCOMPARE(WorkFilePath(QString::fromLatin1(base)), perUser);
        QVERIFY(QFileInfo(perUser).dir().exists());
    }

    // A second copy ends with status 0, no window and no message (a message box would never be
    // answered here), and brings the running copy's window to the front.
    void secondCopyEndsSilentlyAndBringsTheFirstForward() {
        QVERIFY(shell_->app->Start());
        const QString run = shell_->folder.file("run");
        QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());
        QDir().mkpath(shell_->folder.file(QString("second")));
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", run);
        second.setProcessEnvironment(env);
        second.setWorkingDirectory(shell_->folder.file(QString("second")));
        second.start(QString(QN410_PROGRAM), {});
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(!QFile::exists(shell_->folder.file(QString("second/qn410.txt"))));
        QTRY_VERIFY(shell_->app->frame()->isActiveWindow());
        QVERIFY(shell_->prompt.shown.empty());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
