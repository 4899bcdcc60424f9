// The program's windows against qn410-sim over a pseudo-terminal: the view with the real link
// broker, transfer manager and serial channel, the Upload/Download sheet driven through its
// widgets from the category button, and the simulator's saved data compared field by field.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>
#include <fstream>

#include "app/broker_link.h"
#include "app/category_panel.h"
#include "app/main_frame.h"
#include "app/qn410_app.h"
#include "app/qn410_view.h"
#include "app/upload_download.h"
#include "link/link_event.h"
#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "shell_fixture.h"
#include "support/child_process.h"
#include "support/passing_numbers.h"
#include "support/random_recordable.h"
#include "support/recording_prompt.h"
#include "transfer/page_comm.h"
#include "transfer/record_codec.h"
#include "transfer/sheet_comm.h"
#include "transfer/station_check.h"
#include "transfer/upload_plan.h"
#include "ui/confirm_dialogs.h"
#include "ui/progress_dialog.h"
#include "ui/transfer_progress.h"

using namespace qn410;
using namespace qn410::test;
using Sim = qn410::ctl::test::Simulator;

namespace {

using Args = std::vector<std::string>;

// Random data in the form the records carry, three exchanges, station numbers that pass the
// check.
void Recordable(SettingData& d, uint32_t seed) {
    FillRandomRecordable(d, seed);
    d.System.SwitchCnt = 3;
    MakeStationNumbersPass(d);
}

// The program as main() builds it, in a folder of its own, with the link on QN410_COM1.
struct Program {
    explicit Program(const std::string& port) {
        qputenv("QN410_COM1", port.c_str());
        ShellServices services;
        services.prompt = &prompt;
        services.files = &files;
        services.makeLink = [this] { return std::make_unique<BrokerLink>(prompt); };
        services.lockDir = folder.file(QStringLiteral("lock"));
        services.appDir = folder.path();
        app = std::make_unique<QN410App>(std::move(services));
        started = app->Start();
        if (started) InstallUploadDownload(*app->frame(), [this](CSheetComm& s) { Prepare(s); });
    }
    ~Program() { qunsetenv("QN410_COM1"); }

    CQN410View& view() { return app->frame()->view(); }
    SettingData& data() { return view().document().data(); }

    // Opens the sheet from its button, starts a transfer on page (exchange 0: all) and closes the
    // sheet once it has finished. Returns the outcome.
    TransferOutcome Transfer(int page, int exchange, std::function<void(CSheetComm&)> during = {}) {
        outcome = TransferOutcome::Running;
        run = [=, this](CSheetComm& sheet) {
            sheet.tabs()->setCurrentIndex(page);
            CPageComm& p =
                page == 0 ? static_cast<CPageComm&>(*sheet.uploadPage()) : *sheet.downloadPage();
            if (exchange != 0) {
                p.singleButton()->click();
                p.numberEdit()->setText(QString::number(exchange));
            }
            if (during) during(sheet);
            sheet.startButton()->click();
        };
        view().panel().button(Category::UploadDownload)->click();  // returns when it closes
        // The display closes with the last message of the transfer.
        QTest::qWaitFor([this] { return !view().progress().dialog(); }, 3000);
        return outcome;
    }

    void Prepare(CSheetComm& sheet) {
        sheet.SetTimeout(120, 1000);  // the time-outs are the transfer session's tests
        sheet.SetConfirmations([](QWidget*) { return true; }, [](QWidget*) { return true; });
        QObject::connect(
            &sheet, &CSheetComm::transferFinished, &sheet, [this, &sheet](TransferOutcome o) {
                outcome = o;
                QTimer::singleShot(0, &sheet, [&sheet] { sheet.exitButton()->click(); });
            });
        // Never wait for ever: a transfer that does not end closes the sheet.
        QTimer::singleShot(20000, &sheet, [&sheet] { sheet.exitButton()->click(); });
        QTimer::singleShot(0, &sheet, [this, &sheet] { run(sheet); });
    }

    ShellFolder folder;
    RecordingPrompt prompt;
    ScriptedFileChooser files;
    std::unique_ptr<QN410App> app;
    bool started = false;
    TransferOutcome outcome = TransferOutcome::Running;
    std::function<void(CSheetComm&)> run;
};

std::unique_ptr<SettingDocument> ReadSaved(const QString& path) {
    auto doc = std::make_unique<SettingDocument>();
    std::string password;
    SilentPrompt silent;
    ReadSettingFile(path.toStdString(), *doc, password, silent);
    return doc;
}

int CountRecordsReceived(const QString& trace) {
    std::ifstream in(trace.toStdString());
    int frames = 0;
    for (std::string line; std::getline(in, line);)
        if (line.find(" RX frame ") != std::string::npos) ++frames;
    return frames;
}

// Holds the link result of the n-th record for a while before the sheet sees it.
class PauseOnce : public QObject {
  public:
    PauseOnce(int n, int ms) : n_(n), ms_(ms) {}
    void Watch(QObject* sheet) {
        sheet_ = sheet;
        sheet->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override {
        auto* result = dynamic_cast<LinkEvent*>(e);
        if (!result || result->message() != UM_LINK_RESULT || ++seen_ != n_) return false;
        auto held = std::make_shared<TransferRequestPtr>(std::move(result->request));
        const uint32_t code = result->wParam;
        QTimer::singleShot(ms_, sheet_, [this, held, code] {
            QCoreApplication::postEvent(sheet_,
                                        new LinkEvent(UM_LINK_RESULT, code, std::move(*held)));
        });
        return true;
    }

  private:
    int n_, ms_, seen_ = 0;
    QObject* sheet_ = nullptr;
};

}  // namespace

class TestSheetLink : public QObject {
    Q_OBJECT

  private slots:
    void init() { g_transferCancelled = 0; }

    void uploadAllThenDownloadIntoANewDocument() {
        QTemporaryDir store;
        const QString saved = store.filePath(QStringLiteral("received.txt"));
        auto sim = std::make_unique<Sim>(Args{"--save", saved.toStdString(), "--idle-exit", "60"});
        QVERIFY(!sim->port().empty());
        Program program(sim->port());
        QVERIFY(program.started);
        Recordable(program.data(), 410);
        QVERIFY(CheckStationNumbers(program.data()).ok());
        auto original = std::make_unique<SettingData>(program.data());

        QCOMPARE(program.Transfer(0, 0), TransferOutcome::Uploaded);
        QVERIFY(program.prompt.shown.empty());
        QCOMPARE(program.view().link().UseMask(), uint8_t{0});

        QCOMPARE(sim->Stop(), 0);  // saves what the exchanges hold
        auto received = ReadSaved(saved);
        const auto uploaded = FirstRecordDifference(*original, received->data());
        QVERIFY2(!uploaded, uploaded ? uploaded->c_str() : "");

        // A simulator that holds the uploaded data, and a New document to download into.
        sim = std::make_unique<Sim>(Args{"--config", saved.toStdString(), "--idle-exit", "60"});
        qputenv("QN410_COM1", sim->port().c_str());
        program.view().document().modified = false;
        program.app->frame()->doc().New();  // restarts the link on the new port
        QCOMPARE(program.data().System.SwitchCnt, uint8_t{1});
        QCOMPARE(program.Transfer(1, 0), TransferOutcome::Downloaded);
        QVERIFY(program.prompt.shown.empty());
        QVERIFY(program.view().document().modified);
        const auto downloaded = FirstRecordDifference(*original, program.data());
        QVERIFY2(!downloaded, downloaded ? downloaded->c_str() : "");
    }

    void uploadOfOneExchangeSendsItsRecordsAndAsksForConfirmation() {
        QTemporaryDir store;
        const QString trace = store.filePath(QStringLiteral("trace.txt"));
        Sim sim({"--trace", trace.toStdString(), "--idle-exit", "60"});
        Program program(sim.port());
        Recordable(program.data(), 7);
        // The real confirmation dialog this time.
        bool confirmed = false;
        const TransferOutcome outcome = program.Transfer(0, 2, [&](CSheetComm& sheet) {
            sheet.SetConfirmations(
                [&](QWidget* parent) {
                    WhenModal<CDlgConfirm>([&](CDlgConfirm* d) {
                        confirmed = d->windowTitle() == QStringLiteral("Transmission verification");
                        d->findChild<QPushButton*>(QStringLiteral("ok"))->click();
                    });
                    return ConfirmTransmit(parent);
                },
                [](QWidget*) { return false; });
        });
        QCOMPARE(outcome, TransferOutcome::Uploaded);
        QVERIFY(confirmed);
        QCOMPARE(sim.Stop(), 0);
        // The closing message is a release of the link: nothing of it goes on the wire.
        QCOMPARE(CountRecordsReceived(trace), UploadStepCount(3, 2) - 1);
    }

    void exitClosesThePortBeforeTheWindowCloses() {
        Sim sim({"--idle-exit", "60"});
        Program program(sim.port());
        CMainFrame* frame = program.app->frame();
        QTRY_COMPARE(program.view().link().UseMask(), uint8_t{0});  // the port opened at start
        QVERIFY(!frame->close());  // first the port is closed for good ...
        QCOMPARE(program.view().link().UseMask(), kUseClosing);
        QTRY_VERIFY(!frame->isVisible());  // ... then the window closes by itself
        QVERIFY(program.prompt.shown.empty());
    }

    void wrongStationNumberClosesTheSheetAndOpensTheStations() {
        Program program("/nonexistent/qn410-no-such-tty");
        ExchangeSetting& ex = program.data().Exchange[0];
        ex.Sub[1].Number = ex.Sub[0].Number;  // two substations with one number
        int stations = 0;
        program.view().SetCategoryHandler(Category::Stations, [&] { ++stations; });
        QCOMPARE(program.Transfer(0, 0), TransferOutcome::Running);  // nothing was sent
        QCOMPARE(stations, 1);
        QVERIFY(program.prompt.shown.empty());
    }

    // Opening rebuilds the zone tables; a bad exchange number (Enter in its field starts
    // nothing), a declined confirmation and Escape leave the line alone and the sheet open.
    void refusedStartsSendNothing() {
        Program program("/nonexistent/qn410-no-such-tty");
        SettingData& d = program.data();
        d.System.SwitchCnt = 3;
        MakeStationNumbersPass(d);
        d.Zones.Sub[0][0].Cell[0] = 7;  // stale
        auto expected = std::make_unique<SettingData>(d);
        RebuildZoneTables(*expected);
        program.run = [&](CSheetComm& sheet) {
            QVERIFY(d.Zones == expected->Zones);
            CPageComm& page = *sheet.uploadPage();
            QVERIFY(page.allButton()->isChecked() && !page.numberEdit()->isEnabled());
            page.singleButton()->click();
            page.spin()->upButton()->click();
            QCOMPARE(page.numberEdit()->text(), QStringLiteral("1"));
            for (int i = 0; i < 4; ++i) page.spin()->upButton()->click();
            QCOMPARE(page.numberEdit()->text(), QStringLiteral("3"));  // within 1..SwitchCnt
            page.spin()->downButton()->click();
            QCOMPARE(page.numberEdit()->text(), QStringLiteral("2"));
            for (const char* typed : {"0", "4", ""}) {
                page.numberEdit()->setText(QString::fromLatin1(typed));
                QTest::keyClick(page.numberEdit(), Qt::Key_Return);
                sheet.startButton()->click();
                QCOMPARE(sheet.focusWidget(), page.numberEdit());
                QCOMPARE(page.numberEdit()->selectedText(), QString::fromLatin1(typed));
            }
            page.allButton()->click();
            sheet.SetConfirmations([](QWidget*) { return false; }, nullptr);
            sheet.startButton()->click();
            QTest::keyClick(&sheet, Qt::Key_Escape);
            QVERIFY(sheet.isVisible());
            sheet.exitButton()->click();
        };
        program.view().panel().button(Category::UploadDownload)->click();
        QCOMPARE(program.outcome, TransferOutcome::Running);
        QCOMPARE(program.prompt.texts(), std::vector<std::string>(3, "Incorrect exchange No."));
    }

    void cancelInTheProgressDialogAbandonsTheUpload() {
        Sim sim({"--delay", "5", "--idle-exit", "60"});
        Program program(sim.port());
        Recordable(program.data(), 3);
        auto clickCancel = std::make_shared<QTimer>();
        clickCancel->setInterval(20);
        QObject::connect(clickCancel.get(), &QTimer::timeout, [&] {
            CDlgProgress* d = program.view().progress().dialog();
            if (!d || d->position() < 10) return;
            clickCancel->stop();
            d->findChild<QPushButton*>()->click();
        });
        clickCancel->start();
        QCOMPARE(program.Transfer(0, 0), TransferOutcome::Cancelled);
        QVERIFY(program.prompt.shown.empty());
        QCOMPARE(g_transferCancelled.load(), 0);  // cleared when the display closed
    }

    void exchangeBusyInterruptsTheUpload() {
        Sim sim({"--z-after", "10:1:0", "--idle-exit", "60"});
        Program program(sim.port());
        Recordable(program.data(), 5);
        // The tool keeps the line busy while it uploads; a PC that pauses between two records
        // (as a loaded one does) lets the exchange bid and report that it is busy.
        PauseOnce pause(30, 200);
        QCOMPARE(program.Transfer(0, 0, [&](CSheetComm& sheet) { pause.Watch(&sheet); }),
                 TransferOutcome::Cancelled);
        QCOMPARE(program.prompt.texts(),
                 std::vector<std::string>{"Exchange No.  1\nNow receiving data so you can't send"});
        QCOMPARE(program.prompt.shown[0].icon, PromptIcon::Exclamation);
    }
};

QTEST_MAIN(TestSheetLink)
#include "tst_sheet_link.moc"
