// The main window at work: the category panel and menu, the document commands with their
// questions, the recent-file list, and closing (also while a reading runs).
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

#include "app/category_panel.h"
#include "app/color_button.h"
#include "app/main_frame.h"
#include "app/qn410_app.h"
#include "app/qn410_view.h"
#include "app/view_editor_host.h"
#include "link/link_messages.h"
#include "setting/setting_file.h"
#include "shell_fixture.h"
#include "support/recording_prompt.h"
#include "ui/message_event.h"
#include "ui/progress_dialog.h"

using namespace qn410;
using namespace qn410::test;

namespace {
const std::string kUnsavedNew = "Set file not saved.\nDefault Data setting. OK?";
const std::string kUnsavedOpen = "Set file not saved.\nData setting. OK?";
}  // namespace

class TestDocument : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<RecordingShell> shell_;

    CMainFrame& frame() { return *shell_->app->frame(); }
    CQN410View& view() { return shell_->app->frame()->view(); }
    SettingDocument& doc() { return view().document(); }

    // Saves a file whose data differ from the defaults in the port number.
    QString SaveOtherFile(const QString& name, uint8_t port) {
        SettingDocument other;
        other.data().Maintenance.CommPort = port;
        SilentPrompt silent;
        const QString path = shell_->folder.file(name);
        WriteSettingFile(path.toStdString(), other, "", silent);
        return path;
    }

  private slots:
    void init() {
        shell_ = std::make_unique<RecordingShell>();
        QVERIFY(shell_->app->Start());
        QCOMPARE(shell_->link.starts, 1);
    }
    void cleanup() { shell_.reset(); }

    void newAsksAboutUnsavedDataAndObeysTheAnswer() {
        doc().data().Maintenance.CommPort = 2;
        doc().modified = true;
        frame().doc().New();  // no scripted answer: No
        QCOMPARE(shell_->prompt.texts(), std::vector<std::string>{kUnsavedNew});
        QCOMPARE(shell_->prompt.shown[0].icon, PromptIcon::Question);
        QCOMPARE(shell_->prompt.shown[0].buttons, PromptButtons::YesNo);
        QCOMPARE(doc().data().Maintenance.CommPort, uint8_t(2));
        QCOMPARE(doc().fileName, std::string("qn410.txt"));
        QVERIFY(doc().modified);
        QCOMPARE(shell_->link.stops, 0);

        shell_->prompt.ScriptAnswers({PromptAnswer::Yes});
        frame().doc().New();
        QCOMPARE(doc().data().Maintenance.CommPort, uint8_t(0));
        QVERIFY(doc().fileName.empty());
        QVERIFY(!doc().modified);
        QCOMPARE(shell_->link.stops, 1);
        QCOMPARE(shell_->link.starts, 2);
        QCOMPARE(frame().windowTitle(), QStringLiteral("Untitled[*] - QN410"));
    }

    void newAndOpenAreRefusedWhileAReadingRuns() {
        view().SetReadingLog(true);
        frame().doc().New();
        frame().doc().Open();
        QCOMPARE(
            shell_->prompt.texts(),
            std::vector<std::string>(2, "Reading log data. Please stop reading and try it again."));
        QCOMPARE(shell_->prompt.shown[0].icon, PromptIcon::Exclamation);
        QCOMPARE(shell_->files.opens, 0);
        view().SetReadingLog(false);
        view().SetReadingMonitor(true);
        frame().doc().New();
        QCOMPARE(shell_->prompt.texts().back(),
                 std::string("Reading communication data. Please stop reading and try it again."));
        QCOMPARE(doc().fileName, std::string("qn410.txt"));
    }

    void openAsksThenReadsTheChosenFile() {
        const QString other = SaveOtherFile(QStringLiteral("site.txt"), 3);
        doc().modified = true;
        shell_->files.openAnswers = {other};
        frame().doc().Open();  // No
        QCOMPARE(shell_->prompt.texts(), std::vector<std::string>{kUnsavedOpen});
        QCOMPARE(shell_->files.opens, 0);

        shell_->prompt.ScriptAnswers({PromptAnswer::Yes});
        frame().doc().Open();
        QCOMPARE(doc().data().Maintenance.CommPort, uint8_t(3));
        QCOMPARE(QString::fromStdString(doc().fileName), other);
        QVERIFY(!doc().modified);
        QCOMPARE(shell_->link.stops, 1);
        QCOMPARE(frame().windowTitle(), QStringLiteral("site.txt[*] - QN410"));
        QCOMPARE(frame().recentFiles().files().value(0), other);

        frame().doc().Open();  // unmodified: no question; the dialog is cancelled
        QCOMPARE(shell_->files.opens, 2);
        QCOMPARE(QString::fromStdString(doc().fileName), other);
        QCOMPARE(shell_->link.stops, 1);
    }

    void saveWithoutANameAsksForOneAndCancelWritesNothing() {
        frame().doc().New();
        const auto before = QDir(shell_->folder.path()).entryList(QDir::Files);
        frame().doc().Save();
        QCOMPARE(shell_->files.saves, 1);
        QCOMPARE(QDir(shell_->folder.path()).entryList(QDir::Files), before);

        const QString target = shell_->folder.file(QStringLiteral("named.txt"));
        shell_->files.saveAnswers = {target};
        doc().data().Maintenance.CommPort = 1;
        doc().modified = true;
        frame().doc().Save();
        QCOMPARE(QString::fromStdString(doc().fileName), target);
        QVERIFY(!doc().modified);
        SettingDocument back;
        std::string password;
        SilentPrompt silent;
        QCOMPARE(ReadSettingFile(target.toStdString(), back, password, silent), ReadOutcome::Ok);
        QCOMPARE(back.data().Maintenance.CommPort, uint8_t(1));
    }

    void saveAsThatCannotWriteKeepsNameAndModifiedFlag() {
        doc().modified = true;
        shell_->files.saveAnswers = {shell_->folder.file(QStringLiteral("no/such/folder/x.txt"))};
        frame().doc().SaveAs();
        QCOMPARE(shell_->prompt.texts(), std::vector<std::string>{"Set file Write Error"});
        QCOMPARE(doc().fileName, std::string("qn410.txt"));
        QVERIFY(doc().modified);
    }

    void recentFilesKeepTheFourLatest() {
        QStringList saved;
        for (int i = 0; i < 5; ++i) {
            saved.prepend(shell_->folder.file(QStringLiteral("f%1.txt").arg(i)));
            shell_->files.saveAnswers = {saved.first()};
            frame().doc().SaveAs();
        }
        shell_->files.saveAnswers = {saved.at(2)};  // an entry already listed moves to the top
        frame().doc().SaveAs();
        saved.move(2, 0);
        QCOMPARE(frame().recentFiles().files(), saved.mid(0, 4));
        QCOMPARE(RecentFiles().files(), saved.mid(0, 4));  // kept in the settings store
        QStringList listed;                                // the File menu lists them, numbered
        for (QAction* a : frame().menuBar()->actions().at(0)->menu()->actions())
            if (a->text().startsWith(QLatin1Char('&')) && a->text().at(1).isDigit())
                listed << a->text();
        QCOMPARE(listed.size(), 4);
        QCOMPARE(listed.at(0), QStringLiteral("&1 ") + saved.at(0));

        const QString other = SaveOtherFile(QStringLiteral("g.txt"), 2);
        frame().recentFiles().Add(other);
        frame().doc().OpenRecent(other);
        QCOMPARE(doc().data().Maintenance.CommPort, uint8_t(2));
    }

    void closeAsksAboutUnsavedData() {
        doc().modified = true;
        frame().close();  // No
        QVERIFY(frame().isVisible());
        QCOMPARE(shell_->prompt.texts(), std::vector<std::string>{"Set file not saved. Exit?"});
        shell_->prompt.ScriptAnswers({PromptAnswer::Yes});
        frame().close();
        QVERIFY(!frame().isVisible());
        QCOMPARE(shell_->link.closeChecks, 1);
    }

    void closeIsIgnoredWhileTheLinkIsClosingForGood() {
        shell_->link.closing = true;
        doc().modified = true;
        shell_->prompt.ScriptAnswers({PromptAnswer::Yes});
        frame().close();
        QVERIFY(frame().isVisible());
        frame().CloseNow();  // the link has been closed: no second question
        QVERIFY(!frame().isVisible());
        QCOMPARE(shell_->prompt.shown.size(), std::size_t(1));
    }

    void closingWhileLogDataAreReadStopsTheReadingFirst() {
        view().SetReadingLog(true);
        frame().close();  // No: keeps running, sends nothing
        QCoreApplication::processEvents();
        QVERIFY(shell_->link.submitted.empty());
        QCOMPARE(shell_->prompt.texts(),
                 std::vector<std::string>{"Reading log data. Will stop reading."});

        shell_->prompt.ScriptAnswers({PromptAnswer::Yes});
        frame().close();
        QCoreApplication::processEvents();
        QVERIFY(frame().isVisible());
        QCOMPARE(shell_->link.submitted.size(), std::size_t(1));
        const TransferRequest& stop = *shell_->link.submitted[0];
        QCOMPARE(stop.body, std::string("O00") + std::string(16, '0'));
        QCOMPARE(stop.setMask, kUseLog);
        QVERIFY(view().progress().IsTransferProgressOpen());

        // The exchange acknowledged the stop: the progress closes and after timer 5 the window.
        PostLinkEvent(&frame(), std::make_unique<LinkEvent>(UM_LINK_RESULT, kResultDone,
                                                            std::move(shell_->link.submitted[0])));
        QTRY_VERIFY(!view().progress().IsTransferProgressOpen());
        QVERIFY(!view().readingLog());
        QVERIFY(frame().isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!frame().isVisible(), 5000);
        QCOMPARE(shell_->prompt.shown.size(), std::size_t(2));  // nothing asked after the stop
    }

    void cancellingTheStopAbandonsItAndKeepsTheProgram() {
        view().SetReadingLog(true);
        shell_->prompt.ScriptAnswers({PromptAnswer::Yes});
        frame().close();
        QTRY_VERIFY(view().progress().dialog());
        view().progress().dialog()->reject();  // the user pressed Cancel
        // The watchdog sees the flag on its next tick and abandons the stop.
        QTRY_COMPARE_WITH_TIMEOUT(shell_->link.submitted.size(), std::size_t(2), 5000);
        QVERIFY(shell_->link.abandoned[1]);
        QCOMPARE(shell_->link.submitted[1]->clearMask, uint8_t(kUseSingle | kUseMulti));
        QTRY_VERIFY(!view().progress().dialog());
        PostLinkEvent(&frame(), std::make_unique<LinkEvent>(UM_LINK_RESULT, kResultReset,
                                                            std::move(shell_->link.submitted[1])));
        QCoreApplication::processEvents();
        QVERIFY(frame().isVisible());
        QVERIFY(view().readingLog());
    }

    void failedStopStillLetsTheProgramEnd() {
        view().SetReadingMonitor(true);
        shell_->prompt.ScriptAnswers({PromptAnswer::Yes});
        frame().close();
        QCoreApplication::processEvents();
        QCOMPARE(shell_->link.submitted.at(0)->letter(), 'P');
        PostLinkEvent(&frame(), std::make_unique<LinkEvent>(UM_LINK_RESULT, kResultNotDelivered,
                                                            std::move(shell_->link.submitted[0])));
        QCoreApplication::processEvents();
        QCOMPARE(shell_->prompt.texts().back(), std::string("Failed to transmit"));
        QVERIFY(view().readingMonitor());  // cleared only when timer 5 fires
        QTRY_VERIFY_WITH_TIMEOUT(!frame().isVisible(), 5000);
        QVERIFY(!view().readingMonitor());
    }

    void readingMessagesColourTheirButtons() {
        const QColor normal = view().panel().logDataButton()->face();
        PostMessageTo(&view(), UM_LOG_READING, 1);
        PostMessageTo(&view(), UM_MONITOR_READING, 1);
        QCoreApplication::processEvents();
        QVERIFY(view().readingLog() && view().readingMonitor());
        QCOMPARE(view().panel().logDataButton()->face(), QColor(Qt::red));
        QCOMPARE(view().panel().monitorButton()->face(), QColor(Qt::red));
        PostMessageTo(&view(), UM_LOG_READING, 0);
        QCoreApplication::processEvents();
        QVERIFY(!view().readingLog());
        QCOMPARE(view().panel().logDataButton()->face(), normal);
    }

    void categoryButtonsOpenTheirHandlers() {
        int global = 0, stations = 0, monitor = 0;
        view().SetCategoryHandler(Category::GlobalSetting, [&] { ++global; });
        view().SetCategoryHandler(Category::Stations, [&] { ++stations; });
        view().SetCategoryHandler(Category::CommunicationMonitor, [&] { ++monitor; });
        bool problem = false;
        view().SetStationCheck([&](const SettingData&) { return problem; });

        QPushButton* button = view().panel().button(Category::GlobalSetting);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);  // Enter opens it
        QCOMPARE(global, 1);
        QCOMPARE(stations, 0);
        problem = true;  // the station check found a problem: Stations opens at once
        button->click();
        QCOMPARE(stations, 1);

        view().SetReadingLog(true);
        view().panel().button(Category::CommunicationMonitor)->click();
        QCOMPARE(monitor, 0);
        QCOMPARE(shell_->prompt.texts().back(),
                 std::string("Reading log data. Please stop reading and try it again."));

        view().SetReadingLog(false);
        view().panel().button(Category::Exit)->click();
        QVERIFY(!frame().isVisible());
    }

    void linkRequestsReachTheLinkAndPrintHandsOff() {
        auto request = std::make_unique<TransferRequest>();
        request->body = "A01";
        PostLinkRequest(&view(), &frame(), std::move(request), /*abandon=*/true);
        QCoreApplication::processEvents();
        QCOMPARE(shell_->link.submitted.size(), std::size_t(1));
        QCOMPARE(shell_->link.submitted[0]->body, std::string("A01"));
        QVERIFY(shell_->link.abandoned[0]);
        PostMessageTo(&view(), UM_LINK_SENT);  // link notifications go to the link
        PostMessageTo(&view(), UM_TAPI_EVENT, 7);
        QCoreApplication::processEvents();
        QCOMPARE(shell_->link.notifications, (std::vector<int>{UM_LINK_SENT, UM_TAPI_EVENT}));

        int printed = 0;
        frame().doc().SetPrintHandler([&] { ++printed; });
        frame().doc().Print();
        QCOMPARE(printed, 1);
    }

    void editorsReachDataLinkAndProgressThroughTheHost() {
        ViewEditorHost& host = frame().editorHost();
        QCOMPARE(&host.Document(), &doc());
        host.Document().data().Maintenance.CommPort = 3;
        host.Document().modified = true;
        host.SaveDocument();
        QVERIFY(!doc().modified);

        host.PostProgress(UM_PROGRESS_START, kProgressTransmitting, "Global Setting", 2);
        auto request = std::make_unique<TransferRequest>();
        request->requester = &frame();
        request->body = "A01";
        host.PostLinkRequest(kLinkSubmit, std::move(request));
        host.AdvanceProgress();
        QTRY_COMPARE(shell_->link.submitted.size(), std::size_t(1));
        QCOMPARE(shell_->link.submitted[0]->requester, static_cast<void*>(&frame()));
        QVERIFY(!shell_->link.abandoned[0]);
        QTRY_COMPARE(view().progress().dialog()->windowTitle(),
                     QStringLiteral("Transmitting data [50%]"));
        view().progress().dialog()->reject();
        QVERIFY(host.ProgressCancelled());
        host.CloseProgress();
        QTRY_VERIFY(!view().progress().dialog());
        QVERIFY(!host.ProgressCancelled());
        QCOMPARE(shell_->link.releases, 1);
    }
};

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
