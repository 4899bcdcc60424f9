// The program's shell through its windows: start-up, one copy at a time, the document commands,
// recent files, closing while a reading runs, the editors' host, message boxes, small dialogs.
#include <QtTest>
#include <QtWidgets>

#include "app/about_dialog.h"
#include "app/app_paths.h"
#include "app/main_frame.h"
#include "app/password_dialogs.h"
#include "app/qn410_view.h"
#include "link/link_messages.h"
#include "setting/password.h"
#include "setting/setting_file.h"
#include "shell_fixture.h"
#include "support/temp_dir.h"
#include "ui/ansi_text.h"
#include "ui/confirm_dialogs.h"
#include "ui/message_event.h"
#include "ui/progress_dialog.h"
#include "ui/qt_prompt.h"

using namespace qn410;
using namespace qn410::test;

namespace {

void Click(QWidget* dialog, const char* button) {
    dialog->findChild<QPushButton*>(button)->click();
}

void Change(CDlgNewPassword* d, const QString& old, const QString& fresh, const QString& again) {
    for (const auto& [field, text] :
         {std::pair{"oldPassword", old}, {"newPassword", fresh}, {"confirmPassword", again}})
        d->findChild<QLineEdit*>(field)->setText(text);
    Click(d, "ok");
}

void WrongThenRight(CDlgPassword* d) {
    auto* edit = d->findChild<QLineEdit*>("password");
    QTest::keyClick(edit, Qt::Key_Return);  // Enter moves on, it does not press OK
    QCOMPARE(d->focusWidget(), d->findChild<QPushButton*>("ok"));
    QTest::keyClicks(edit, "secret7");  // case matters
    Click(d, "ok");
    QVERIFY(d->isVisible() && edit->text().isEmpty());
    QTest::keyClicks(edit, "Secret7");
    Click(d, "ok");
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
    QTest::keyClicks(input->findChild<QLineEdit*>("password"), "x1");
    Click(input, "ok");
}
// One start on a "qn410.txt" protected by a password (or holding raw text).
struct StartCase {
    const char *password, *raw;  // raw: the file's whole text instead of a setting file
    void (*user)(CDlgPassword*);
    bool starts;
    const char* texts;   // the messages shown, in order, each ended by '|'
    PromptIcon icon;     // of the first message
    const char* stored;  // the password in the file afterwards
};

const std::vector<StartCase> kStartCases{
    {"Secret7", nullptr, WrongThenRight, true, "Incorrect password|", PromptIcon::Question,
     "Secret7"},
    {"abc", nullptr, [](CDlgPassword* d) { Click(d, "cancel"); }, false, ""},
    {"abc", nullptr, ChangeToX1, true,
     "Old password not correct.|New password not correct.|New password not correct.|",
     PromptIcon::Question, "x1"},
    {"", "Password=03abc\n[Maintenance]\n", nullptr, false,
     "Incorrect setting file.\n Password Error|", PromptIcon::None},
    {"", "[Maintenance]\n", nullptr, false,
     "Incorrect setting file. Key information\n Password= not found.|", PromptIcon::None},
};

std::string Joined(const RecordingPrompt& prompt) {
    std::string all;
    for (const std::string& text : prompt.texts()) all += text + '|';
    return all;
}

}  // namespace

class TestShell : public QObject {
    Q_OBJECT
    std::unique_ptr<RecordingShell> shell_;
    RecordingPrompt& prompt() { return shell_->prompt; }
    LinkLog& link() { return shell_->link; }
    CMainFrame& frame() { return *shell_->app->frame(); }
    CQN410View& view() { return frame().view(); }
    SettingDocument& doc() { return view().document(); }
    QString File(const QString& name) { return shell_->folder.file(name); }

    void Post(std::unique_ptr<TransferRequest>& request, uint32_t result) {
        PostLinkEvent(&frame(),
                      std::make_unique<LinkEvent>(UM_LINK_RESULT, result, std::move(request)));
        QCoreApplication::processEvents();
    }

  private slots:
    void init() {
        shell_ = std::make_unique<RecordingShell>();
        SettingDocument other;  // a file that differs from the defaults in the port number
        other.data().Maintenance.CommPort = 3;
        SilentPrompt silent;
        WriteSettingFile(File("site.txt").toStdString(), other, "", silent);
    }
    void cleanup() { shell_.reset(); }

    void startsAsThePasswordAllows() {
        for (const StartCase& c : kStartCases) {
            cleanup();
            init();
            SilentPrompt silent;
            SettingDocument doc;
            if (c.raw)
                WriteAll("qn410.txt", c.raw);
            else
                QVERIFY(WriteSettingFile("qn410.txt", doc, c.password, silent));
            if (c.user) WhenModal<CDlgPassword>(c.user);
            QCOMPARE(shell_->app->Start(), c.starts);
            QCOMPARE(Joined(prompt()), std::string(c.texts));
            if (*c.texts) QCOMPARE(prompt().shown[0].icon, c.icon);
            if (!c.starts) continue;
            std::string stored;
            ReadPassword("qn410.txt", stored, silent);
            QCOMPARE(frame().view().password(), std::string(c.stored));
            QCOMPARE(stored, std::string(c.stored));
            QCOMPARE(ReadSettingFile("qn410.txt", doc, stored, silent), ReadOutcome::Ok);
        }
    }

    // No setting file: the program starts at once, writes the default file and its work file in
    // the parent of "bin". A second copy ends silently and brings this one to the front.
    void firstStartAndSecondCopy() {
        const QString run = shell_->folder.file("run");
        QDir().mkpath(run);
        QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        shell_->app = shell_->MakeApp(shell_->folder.file("bin"));
        QVERIFY(shell_->app->Start());
        QVERIFY(QFile::exists("qn410.txt"));
        CMainFrame& frame = *shell_->app->frame();
        QVERIFY(!frame.isWindowModified() && frame.view().password().empty());

        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(other.isActiveWindow());
        QDir().mkpath("second");
        QProcess second;
        qputenv("XDG_RUNTIME_DIR", run.toLocal8Bit());
        second.setWorkingDirectory(shell_->folder.file("second"));
        second.start(QN410_PROGRAM, {});
        QVERIFY(second.waitForFinished(30000));
        QVERIFY(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0);
        QVERIFY(!QFile::exists("second/qn410.txt"));
        QTRY_VERIFY(frame.isActiveWindow());
        QVERIFY(shell_->prompt.shown.empty());

        QVERIFY(QFile::exists(shell_->folder.file("qn410work.txt")));
        // An installed program keeps its work file per user, even when root could write there.
        qputenv("XDG_DATA_HOME", shell_->folder.path().toLocal8Bit());
        const QString perUser =
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/qn410work.txt";
        for (const char* base : {"/usr", "/usr/local", "/no/such/folder"})
            QCOMPARE(WorkFilePath(base), perUser);
    }

    // Each command on data an editor changed (port 2, unsaved); Save comes as an editor's Ctrl+S.
    // chosen "": the file dialog is cancelled; texts: the messages, each ended by '|'; yes: the
    // answer; name, modified, port: the document's afterwards; dialogs: file dialogs shown.
    void commandsAskAndObey() {
        struct Row {
            const char *command, *chosen, *texts, *name;
            bool yes, modified;
            int dialogs, port, linkRestarts;
        };
        const char* unsavedNew = "Set file not saved.\nDefault Data setting. OK?|";
        const char* unsavedOpen = "Set file not saved.\nData setting. OK?|";
        const char* exit = "Set file not saved. Exit?|";
        for (const Row& r : std::initializer_list<Row>{
                 {"New", "", unsavedNew, "qn410.txt", false, true, 0, 2, 0},
                 {"New", "", unsavedNew, "", true, false, 0, 0, 1},
                 {"Open", "site.txt", unsavedOpen, "qn410.txt", false, true, 0, 2, 0},
                 {"Open", "site.txt", unsavedOpen, "site.txt", true, false, 1, 3, 1},
                 {"Open", "", unsavedOpen, "qn410.txt", true, true, 1, 2, 0},
                 {"Save", "", "", "qn410.txt", false, false, 0, 2, 0},
                 {"Save untitled", "", "", "", false, true, 1, 2, 1},
                 {"Save untitled", "named.txt", "", "named.txt", false, false, 1, 2, 1},
                 {"Save As", "no/x.txt", "Set file Write Error|", "qn410.txt", false, true, 1, 2,
                  0},
                 {"Close", "", exit, "qn410.txt", false, true, 0, 2, 0},
                 {"Close", "", exit, "qn410.txt", true, true, 0, 2, 0}}) {
            cleanup();
            init();
            QVERIFY(shell_->app->Start());
            const QString command = r.command, chosen = r.chosen;
            QString name = r.name;
            if (!name.isEmpty() && name != "qn410.txt") name = File(name);
            if (command == "Save untitled") frame().doc().New();
            view().SetCategoryHandler(Category::GlobalSetting, [this] {
                doc().data().Maintenance.CommPort = 2;  // an editor changes the data
                doc().modified = true;
            });
            view().panel().button(Category::GlobalSetting)->click();
            if (r.yes) prompt().ScriptAnswers({PromptAnswer::Yes});
            if (!chosen.isEmpty()) shell_->files.answers = {File(chosen)};
            if (command == "New") frame().doc().New();
            if (command == "Open") frame().doc().Open();
            if (command.startsWith("Save") && command != "Save As")
                frame().editorHost().SaveDocument();
            if (command == "Save As") frame().doc().SaveAs();
            if (command == "Close") frame().close();

            QCOMPARE(Joined(prompt()), std::string(r.texts));
            QCOMPARE(shell_->files.asked, r.dialogs);
            QCOMPARE(QString::fromStdString(doc().fileName), name);
            QCOMPARE(doc().modified, r.modified);
            QCOMPARE(int(doc().data().Maintenance.CommPort), r.port);
            QCOMPARE(link().stops, r.linkRestarts);
            QCOMPARE(frame().isVisible(), command != "Close" || !r.yes);
            QCOMPARE(link().closeChecks, int(!frame().isVisible()));
            if (!frame().isVisible()) continue;
            const QString title = name.isEmpty() ? "Untitled" : QFileInfo(name).fileName();
            QCOMPARE(frame().windowTitle(), title + "[*] - QN410");
            QCOMPARE(frame().isWindowModified(), r.modified);
            if (r.modified || name.isEmpty()) continue;
            SettingDocument read;  // the file holds what the document holds
            std::string password;
            SilentPrompt silent;
            ReadSettingFile(name.toStdString(), read, password, silent);
            QCOMPARE(int(read.data().Maintenance.CommPort), r.port);
            if (name != "qn410.txt") QCOMPARE(frame().recentFiles().files().value(0), name);
        }
    }

    // A recent file that has gone is reported, dropped from the stored list, and not made anew.
    void recentFiles() {
        QVERIFY(shell_->app->Start());
        const QString gone = File("stick/site.txt");
        frame().recentFiles().Add(gone);
        frame().doc().OpenRecent(File("site.txt"));
        QCOMPARE(RecentFiles().files(), QStringList({File("site.txt"), gone}));
        frame().doc().OpenRecent(gone);
        QCOMPARE(prompt().texts(),
                 std::vector<std::string>{gone.toStdString() + "\nThe file cannot be found."});
        QCOMPARE(prompt().shown[0].icon, PromptIcon::Exclamation);
        QVERIFY(!QFile::exists(gone));
        QCOMPARE(frame().recentFiles().files(), QStringList({File("site.txt")}));
        link().closing = true;  // the link is being closed for good: Close waits for it
        frame().close();
        QVERIFY(frame().isVisible() && link().closeChecks == 1);
        frame().CloseNow();
        QVERIFY(!frame().isVisible());
    }

    // With both readings running, New and the other reading are refused; closing stops
    // each reading in turn, and the window closes once the link lets go.
    void closingStopsTheReadingsFirst() {
        QVERIFY(shell_->app->Start());
        PostMessageTo(&view(), UM_LOG_READING, 1);  // as the reading windows tell it
        PostMessageTo(&view(), UM_MONITOR_READING, 1);
        QCoreApplication::processEvents();
        frame().doc().New();  // Open asks through the same check
        view().panel().button(Category::CommunicationMonitor)->click();
        view().panel().button(Category::LogData)->click();
        const std::string busy = " data. Please stop reading and try it again.|";
        QCOMPARE(Joined(prompt()),
                 "Reading log" + busy + "Reading log" + busy + "Reading communication" + busy);
        QCOMPARE(prompt().shown[0].icon, PromptIcon::Exclamation);
        prompt().shown.clear();

        view().panel().button(Category::Exit)->click();  // No: keeps running, sends nothing
        QCoreApplication::processEvents();
        QVERIFY(link().submitted.empty());
        prompt().ScriptAnswers({PromptAnswer::Yes});
        frame().close();
        QCoreApplication::processEvents();
        QCOMPARE(link().submitted.size(), std::size_t(1));
        QCOMPARE(link().submitted[0]->body, std::string("O00") + std::string(16, '0'));
        QCOMPARE(link().submitted[0]->setMask, kUseLog);
        // Cancel in the progress: the watchdog abandons the stop; the reading goes on.
        QTRY_VERIFY(view().progress().dialog());
        view().progress().dialog()->reject();
        QTRY_COMPARE_WITH_TIMEOUT(link().submitted.size(), std::size_t(2), 5000);
        QVERIFY(link().abandoned[1]);
        QCOMPARE(link().submitted[1]->clearMask, uint8_t(kUseSingle | kUseMulti));
        QTRY_VERIFY(!view().progress().dialog());
        Post(link().submitted[1], kResultReset);
        QVERIFY(view().readingLog() && frame().isVisible());

        // Stopped: after timer 5 the monitor's stop is asked for; it fails, and timer 5 ends
        // both readings and the program.
        prompt().ScriptAnswers({PromptAnswer::Yes, PromptAnswer::Yes});
        frame().close();
        QTRY_COMPARE(link().submitted.size(), std::size_t(3));
        Post(link().submitted[2], kResultDone);
        QVERIFY(!view().readingLog());
        frame().doc().New();  // refused while the other reading runs
        QTRY_VERIFY(!view().progress().IsTransferProgressOpen());
        QTRY_COMPARE_WITH_TIMEOUT(link().submitted.size(), std::size_t(4), 5000);
        QCOMPARE(link().submitted[3]->letter(), 'P');
        Post(link().submitted[3], kResultNotDelivered);
        QVERIFY(view().readingMonitor());  // cleared only when timer 5 fires
        QTRY_VERIFY_WITH_TIMEOUT(!frame().isVisible(), 5000);
        QVERIFY(!view().readingMonitor() && link().closeChecks == 1);
        const std::string log = "Reading log data. Will stop reading.|";
        QCOMPARE(Joined(prompt()), log + log + log + "Reading communication" + busy +
                                       "Reading communication data. Will stop reading.|"
                                       "Failed to transmit|");
    }

    // Print, the link and the progress display as the editors reach them.
    void editorsReachDataLinkAndProgressThroughTheHost() {
        QVERIFY(shell_->app->Start());
        ViewEditorHost& host = frame().editorHost();
        int printed = 0;
        frame().doc().SetPrintHandler([&] { ++printed; });
        frame().doc().Print();
        PostMessageTo(&view(), UM_LINK_SENT);  // link notifications go to the link
        PostMessageTo(&view(), UM_TAPI_EVENT, 7);
        // Without a display only a start opens one; printing is no transfer.
        for (uint16_t m : {UM_PROGRESS_ADVANCE, UM_PROGRESS_CLOSE, UM_PROGRESS_RESTART,
                           UM_PROGRESS_STEP, UM_PROGRESS_START})
            PostProgress(&view(), m, kProgressReceiving, "x", 3);
        QCoreApplication::processEvents();
        QVERIFY(!view().progress().dialog() && printed == 1 && link().notifications == 2);
        PostProgress(&view(), UM_PROGRESS_START, kProgressPrinting, "Paging", 0);
        QTRY_VERIFY(view().progress().dialog());
        QCOMPARE(view().progress().dialog()->windowTitle(), QString("Printing [0%]"));
        QVERIFY(!view().progress().IsTransferProgressOpen());
        view().progress().CloseAsCancelled();
        QTRY_VERIFY(!view().progress().dialog());

        host.PostProgress(UM_PROGRESS_START, kProgressTransmitting, "Paging", 4);
        auto request = std::make_unique<TransferRequest>();
        request->requester = &frame();
        host.PostLinkRequest(kLinkSubmit, std::move(request));
        QTRY_VERIFY(view().progress().dialog());
        CDlgProgress* dialog = view().progress().dialog();
        QCOMPARE(dialog->windowTitle(), QString("Transmitting data [0%]"));
        QCOMPARE(dialog->message(), QString("Paging Transmitting data\n\nPlease wait."));
        QSignalSpy titles(dialog, &QWidget::windowTitleChanged);
        for (int i = 0; i < 5; ++i) host.AdvanceProgress();
        QTRY_COMPARE(titles.size(), 5);
        QStringList shown;
        for (const auto& args : titles) shown << args.at(0).toString().mid(18);
        QCOMPARE(shown, QStringList({"[25%]", "[50%]", "[75%]", "[100%]", "[125%]"}));
        QCOMPARE(link().submitted.size(), std::size_t(1));
        QVERIFY(!link().abandoned[0]);

        QTest::keyClick(dialog, Qt::Key_Escape);  // Cancel only raises the flag
        QVERIFY(host.ProgressCancelled() && dialog->isVisible());
        host.CloseProgress();
        QTRY_VERIFY(!view().progress().dialog());
        QVERIFY(!host.ProgressCancelled());
        QCOMPARE(link().releases, 1);  // only a transmitting display lets the link go
    }

    // The real message box; the program's byte mapping, where a character without a byte is '?'.
    void messageBoxesAndSmallDialogs() {
        QtPrompt prompt;
        WhenModal<QMessageBox>([](QMessageBox* box) {
            QCOMPARE(box->icon(), QMessageBox::Question);
            QTest::keyClick(box, Qt::Key_Return);
        });
        QCOMPARE(prompt.AskYesNo("Set file not saved. Exit?"), false);
        WhenModal<QMessageBox>([](QMessageBox* box) {
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            box->button(QMessageBox::Ok)->click();
        });
        prompt.Tell("Incorrect setting file.");
        std::string all;  // every byte survives the way to text and back
        for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
        QCOMPARE(QStringToAnsi(AnsiToQString(all)), all);
        QCOMPARE(AnsiToQString("\xB1"), QString(QChar(0xFF71)));
        QCOMPARE(QStringToAnsi(QString::fromUtf16(u"\u00C0\u03B1\uFF70~")), std::string("??\xB0~"));
        WhenModal<CDlgConfirm>([](CDlgConfirm* dialog) { dialog->reject(); });
        QVERIFY(!ConfirmReceive(nullptr));
        CDlgConfirm confirm(CDlgConfirm::Direction::Transmit, nullptr);
        CAboutDlg about;
        // A new password the file cannot take is not kept, and the dialog stays open.
        std::string password;
        CDlgNewPassword failing(QDir::tempPath().toStdString(), password, prompt);
        failing.show();
        WhenModal<QMessageBox>([](QMessageBox* box) {
            QCOMPARE(box->text(), "Set file Write Error");
            QCOMPARE(box->icon(), QMessageBox::Warning);
            box->button(QMessageBox::Ok)->click();
        });
        Change(&failing, "", "x1", "x1");
        QVERIFY(failing.isVisible() && password.empty());
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
