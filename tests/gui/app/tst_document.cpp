// The main window at work: the document commands with their questions, the recent-file list,
// closing (also while a reading runs), and the view's wiring to the editors, link and progress.
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "app/category_panel.h"
#include "app/main_frame.h"
#include "app/qn410_view.h"
#include "link/link_messages.h"
#include "setting/setting_file.h"
#include "shell_fixture.h"
#include "ui/message_event.h"
#include "ui/progress_dialog.h"

using namespace qn410;
using namespace qn410::test;

class TestDocument : public QObject {
    Q_OBJECT
    std::unique_ptr<RecordingShell> shell_;
    RecordingPrompt& prompt() { return shell_->prompt; }
    LinkLog& link() { return shell_->link; }
    CMainFrame& frame() { return *shell_->app->frame(); }
    CQN410View& view() { return frame().view(); }
    SettingDocument& doc() { return view().document(); }
    QString File(const QString& name) { return shell_->folder.file(name); }

    uint8_t PortIn(const QString& path) {
        SettingDocument read;
        std::string password;
        SilentPrompt silent;
        ReadSettingFile(path.toStdString(), read, password, silent);
        return read.data().Maintenance.CommPort;
    }
    void Post(std::unique_ptr<TransferRequest>& request, uint32_t result) {
        PostLinkEvent(&frame(),
                      std::make_unique<LinkEvent>(UM_LINK_RESULT, result, std::move(request)));
        QCoreApplication::processEvents();
    }

  private slots:
    void init() {
        shell_ = std::make_unique<RecordingShell>();
        QVERIFY(shell_->app->Start());
        QCOMPARE(link().starts, 1);
        SettingDocument other;  // a file that differs from the defaults in the port number
        other.data().Maintenance.CommPort = 3;
        SilentPrompt silent;
        WriteSettingFile(File("site.txt").toStdString(), other, "", silent);
    }
    void cleanup() { shell_.reset(); }

    // Each command on data an editor changed (port 2, unsaved), with the question answered Yes
    // or No and the file dialog given a name or cancelled.
    void commandsAskAndObey() {
        struct Row {
            const char* command;
            bool yes;
            const char* chosen;  // "": the file dialog is cancelled
            const char* texts;   // the messages shown, each ended by '|'
            int dialogs;         // file dialogs shown
            const char* name;    // the document's name afterwards
            bool modified;
            int port, restarts;  // of the link
        };
        const char* unsavedNew = "Set file not saved.\nDefault Data setting. OK?|";
        const char* unsavedOpen = "Set file not saved.\nData setting. OK?|";
        const char* exit = "Set file not saved. Exit?|";
        for (const Row& r : std::initializer_list<Row>{
                 {"New", false, "", unsavedNew, 0, "qn410.txt", true, 2, 0},
                 {"New", true, "", unsavedNew, 0, "", false, 0, 1},
                 {"Open", false, "site.txt", unsavedOpen, 0, "qn410.txt", true, 2, 0},
                 {"Open", true, "site.txt", unsavedOpen, 1, "site.txt", false, 3, 1},
                 {"Open", true, "", unsavedOpen, 1, "qn410.txt", true, 2, 0},
                 {"Save", false, "", "", 0, "qn410.txt", false, 2, 0},
                 {"Save untitled", false, "", "", 1, "", true, 2, 1},
                 {"Save untitled", false, "named.txt", "", 1, "named.txt", false, 2, 1},
                 {"Save As", false, "no/x.txt", "Set file Write Error|", 1, "qn410.txt", true, 2,
                  0},
                 {"Close", false, "", exit, 0, "qn410.txt", true, 2, 0},
                 {"Close", true, "", exit, 0, "qn410.txt", true, 2, 0}}) {
            cleanup();
            init();
            const QString command = r.command, chosen = r.chosen;
            QString name = r.name;
            if (!name.isEmpty() && name != "qn410.txt") name = File(name);
            if (command == "Save untitled") frame().doc().New();
            view().SetCategoryHandler(Category::GlobalSetting, [this] {
                doc().data().Maintenance.CommPort = 2;  // an editor changes the data
                doc().modified = true;
            });
            view().panel().button(Category::GlobalSetting)->click();
            QVERIFY(frame().isWindowModified());  // the title shows it
            if (r.yes) prompt().ScriptAnswers({PromptAnswer::Yes});
            if (!chosen.isEmpty())
                shell_->files.openAnswers = shell_->files.saveAnswers = {File(chosen)};
            if (command == "New") frame().doc().New();
            if (command == "Open") frame().doc().Open();
            if (command.startsWith("Save") && command != "Save As") frame().doc().Save();
            if (command == "Save As") frame().doc().SaveAs();
            if (command == "Close") frame().close();

            std::string shown;
            for (const std::string& text : prompt().texts()) shown += text + '|';
            QCOMPARE(shown, std::string(r.texts));
            QCOMPARE(shell_->files.opens + shell_->files.saves, r.dialogs);
            QCOMPARE(QString::fromStdString(doc().fileName), name);
            QCOMPARE(doc().modified, r.modified);
            QCOMPARE(int(doc().data().Maintenance.CommPort), r.port);
            QCOMPARE(link().stops, r.restarts);
            QCOMPARE(frame().isVisible(), command != "Close" || !r.yes);
            QCOMPARE(link().closeChecks, int(!frame().isVisible()));
            if (!frame().isVisible()) continue;
            const QString title = name.isEmpty() ? "Untitled" : QFileInfo(name).fileName();
            QCOMPARE(frame().windowTitle(), title + "[*] - QN410");
            QCOMPARE(frame().isWindowModified(), r.modified);
            if (r.modified || name.isEmpty()) continue;
            QCOMPARE(int(PortIn(name)), r.port);  // the file holds what the document holds
            if (name != "qn410.txt") QCOMPARE(frame().recentFiles().files().value(0), name);
        }
    }

    // The File menu lists the recent files; one that has gone is reported, dropped from the
    // list, and not made anew.
    void recentFiles() {
        const QString gone = File("stick/site.txt");
        frame().recentFiles().Add(File("site.txt"));
        frame().recentFiles().Add(gone);
        frame().doc().OpenRecent(File("site.txt"));
        QCOMPARE(doc().data().Maintenance.CommPort, uint8_t(3));
        QCOMPARE(RecentFiles().files(), QStringList({File("site.txt"), gone}));  // kept
        QStringList listed;
        for (QAction* a : frame().menuBar()->actions().at(0)->menu()->actions())
            listed << a->text();
        QVERIFY(listed.contains("&1 " + File("site.txt")) && listed.contains("&2 " + gone));
        frame().doc().OpenRecent(gone);
        QCOMPARE(prompt().texts(),
                 std::vector<std::string>{gone.toStdString() + "\nThe file cannot be found."});
        QCOMPARE(prompt().shown[0].icon, PromptIcon::Exclamation);
        QVERIFY(!QFile::exists(gone));
        QCOMPARE(frame().recentFiles().files(), QStringList({File("site.txt")}));
    }

    // With both readings running, New, Open and the other reading are refused; closing stops
    // each reading in turn, and the window closes once the link lets go.
    void closingStopsTheReadingsFirst() {
        view().SetReadingLog(true);
        view().SetReadingMonitor(true);
        frame().doc().New();
        frame().doc().Open();
        view().panel().button(Category::CommunicationMonitor)->click();
        const std::string logBusy = "Reading log data. Please stop reading and try it again.";
        QCOMPARE(prompt().texts(), std::vector<std::string>(3, logBusy));
        view().panel().button(Category::LogData)->click();
        QCOMPARE(prompt().texts().back(),
                 std::string("Reading communication data. Please stop reading and try it again."));
        QCOMPARE(prompt().shown[0].icon, PromptIcon::Exclamation);
        QCOMPARE(shell_->files.opens, 0);
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
        // both readings, but the link is already closing for good: only CloseNow ends it.
        prompt().ScriptAnswers({PromptAnswer::Yes, PromptAnswer::Yes});
        frame().close();
        QTRY_COMPARE(link().submitted.size(), std::size_t(3));
        Post(link().submitted[2], kResultDone);
        QVERIFY(!view().readingLog());
        QTRY_VERIFY(!view().progress().IsTransferProgressOpen());
        QTRY_COMPARE_WITH_TIMEOUT(link().submitted.size(), std::size_t(4), 5000);
        QCOMPARE(link().submitted[3]->letter(), 'P');
        link().closing = true;
        Post(link().submitted[3], kResultNotDelivered);
        QVERIFY(view().readingMonitor());  // cleared only when timer 5 fires
        QTRY_COMPARE_WITH_TIMEOUT(link().closeChecks, 1, 5000);
        QVERIFY(!view().readingMonitor() && frame().isVisible());
        frame().CloseNow();
        QVERIFY(!frame().isVisible());
        QCOMPARE(prompt().texts(),
                 (std::vector<std::string>{
                     "Reading log data. Will stop reading.", "Reading log data. Will stop reading.",
                     "Reading log data. Will stop reading.",
                     "Reading communication data. Will stop reading.", "Failed to transmit"}));
    }

    // The editors reach the data, Save, the link and the progress display through the host;
    // the progress title shows each step's percentage.
    void editorsReachDataLinkAndProgressThroughTheHost() {
        ViewEditorHost& host = frame().editorHost();
        host.Document().data().Maintenance.CommPort = 3;
        host.Document().modified = true;
        host.SaveDocument();
        QVERIFY(!doc().modified);
        QCOMPARE(PortIn("qn410.txt"), uint8_t(3));

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
        QCOMPARE(link().releases, 1);  // a transmitting display lets the link go when it ends
    }
};

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
