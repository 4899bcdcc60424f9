// The Upload/Download sheet of the real program against qn410-sim over a pseudo-terminal: a round
// trip of every exchange, one exchange, a cancelled download followed at once by another, the
// failures a user meets, and the starts the sheet refuses.
#include <QToolButton>

#include "setting/setting_file.h"
#include "sim_program.h"
#include "support/temp_dir.h"
#include "transfer/record_codec.h"
#include "transfer/station_check.h"
#include "transfer/upload_plan.h"
#include "ui/progress_dialog.h"
#include "ui/transfer_progress.h"

using namespace qn410;
using namespace qn410::test;

namespace {

std::unique_ptr<SettingData> ReadSaved(const QString& path) {
    SettingDocument doc;
    std::string password;
    SilentPrompt silent;
    ReadSettingFile(path.toStdString(), doc, password, silent);
    return std::make_unique<SettingData>(doc.data());
}

}  // namespace

class TestSheetLink : public QObject {
    Q_OBJECT

  private slots:
    void init() { g_transferCancelled = 0; }

    void roundTripOfEveryExchange() {
        QTemporaryDir store;
        const QString saved = store.filePath("saved.txt"), trace = store.filePath("trace.txt");
        auto sim = std::make_unique<SimProcess>(
            QStringList{"--save", saved, "--trace", trace, "--idle-exit", "60"});
        Program program(sim->port());
        QVERIFY(program.started);
        Recordable(program.data(), 410, 3);
        const auto original = std::make_unique<SettingData>(program.data());
        QCOMPARE(program.Transfer(0, 0), TransferOutcome::Uploaded);
        QCOMPARE(program.Transfer(0, 2), TransferOutcome::Uploaded);
        QCOMPARE(program.view().link().UseMask(), uint8_t{0});
        QVERIFY(sim->Stop());  // saves what the exchanges hold
        QCOMPARE(Diff(*original, *ReadSaved(saved)), QString());
        // Each closing message is a release of the link: nothing of it goes on the wire.
        QCOMPARE(QString::fromStdString(ReadAll(trace.toStdString())).count(" RX frame "),
                 UploadStepCount(3, 0) - 1 + UploadStepCount(3, 2) - 1);

        // A simulator holding the uploaded data, and a New document to download into.
        sim = std::make_unique<SimProcess>(QStringList{"--config", saved, "--idle-exit", "60"});
        qputenv("QN410_COM1", sim->port().toLocal8Bit());
        program.view().document().modified = false;
        program.app->frame()->doc().New();  // restarts the link on the new port
        QCOMPARE(program.data().System.SwitchCnt, uint8_t{1});
        QString spun;  // the "Single" field follows the SwitchCnt the download brought
        program.then = [&](CSheetComm& sheet) {
            CPageComm& page = *sheet.downloadPage();
            page.singleButton()->click();
            page.numberEdit()->setText(QStringLiteral("2"));
            QTest::keyClick(page.numberEdit(), Qt::Key_Up);
            spun = page.numberEdit()->text();
            sheet.exitButton()->click();
        };
        QCOMPARE(program.Transfer(1, 0), TransferOutcome::Downloaded);
        QCOMPARE(spun, QStringLiteral("3"));
        QVERIFY(program.view().document().modified);
        QCOMPARE(Diff(*original, program.data()), QString());

        // The exchange goes on sending what a cancelled "All" download had queued while a
        // "Single" one runs: that one takes only its own records and ends with all of them.
        Recordable(program.data(), 411, 3);
        std::unique_ptr<SettingData> base;
        int stored = 0;  // by the cancelled download
        program.Transfer(1, 0, [&](CSheetComm& sheet) {
            new AtEvent(sheet, 10, [](CSheetComm&, LinkEvent&) {
                g_transferCancelled = 1;  // the progress display's Cancel
                return false;
            });
            program.then = [&](CSheetComm& s) {
                base = std::make_unique<SettingData>(program.data());
                stored = s.session().received();
                Program::Start(s, 1, 3);
            };
        });
        QCOMPARE(program.outcomes,
                 (std::vector{TransferOutcome::Cancelled, TransferOutcome::Downloaded}));
        QVERIFY(stored > 0 && stored < ExpectedDownloadCount(*original, 0));
        UploadPlan plan(*original, 3);  // what a clean single download changes
        for (int s = 1; s < plan.size(); ++s) QVERIFY(Decode(*plan.Record(s), *base));
        QCOMPARE(Diff(*base, program.data()), QString());
        QVERIFY(program.prompt.shown.empty());

        program.view().document().modified = false;
        QVERIFY(!program.app->frame()->close());  // first the port is closed for good ...
        QCOMPARE(program.view().link().UseMask(), kUseClosing);
        QTRY_VERIFY(!program.app->frame()->isVisible());  // ... then the window closes itself
    }

    void failuresTheUserSees() {
        using Act = std::function<bool(CSheetComm&, LinkEvent&)>;
        int cancelledAt = 0;  // the progress display's position when Cancel was pressed
        const Act cancel = [&](CSheetComm&, LinkEvent&) {
            auto* progress = qobject_cast<CDlgProgress*>(QApplication::activeModalWidget());
            cancelledAt = progress->position();
            progress->findChild<QPushButton*>()->click();
            return false;
        };
        // A PC that pauses between two records (as a loaded one does) lets the exchange bid.
        const Act pause = [](CSheetComm& sheet, LinkEvent& e) {
            auto held = std::make_shared<TransferRequestPtr>(std::move(e.request));
            QTimer::singleShot(200, &sheet, [&sheet, held, m = e.message(), code = e.wParam] {
                QCoreApplication::postEvent(&sheet, new LinkEvent(m, code, std::move(*held)));
            });
            return true;
        };
        std::optional<SimProcess> sim;
        const Act loseDevice = [&sim](CSheetComm&, LinkEvent&) {
            sim->Stop();
            return false;
        };
        using O = TransferOutcome;
        const char* busy = "Exchange No.  1\nNow receiving data so you can't send";
        const struct {
            QStringList sim;  // empty: no device
            int page, at;     // at the at-th link event, act
            Act act;
            O outcome;
            const char* text;
        } cases[] = {
            {{"--silent"}, 0, 0, {}, O::FailedTransmit, "Failed to transmit"},
            {{}, 0, 0, {}, O::FailedOpen, "Failed to open the device"},
            {{"--delay", "5"}, 0, 10, cancel, O::Cancelled, nullptr},
            {{"--z-after", "10:1:0"}, 0, 30, pause, O::Cancelled, busy},
            // Lost acknowledgements keep the download under way: it ends at once all the same.
            {{"--drop-rx-every", "61"}, 1, 10, loseDevice, O::FailedReceive, "Failed to receive"},
        };
        for (const auto& c : cases) {
            if (!c.sim.isEmpty()) sim.emplace(c.sim + QStringList{"--idle-exit", "60"});
            Program program(c.sim.isEmpty() ? "/nonexistent/qn410-tty" : sim->port());
            Recordable(program.data(), 5, 3);
            const auto during = [&](CSheetComm& s) {
                if (c.act)
                    new AtEvent(s, c.at, c.act);
                else
                    s.SetTimeout(5, 100);  // the silent one ends by its time-out
            };
            QElapsedTimer took;
            took.start();
            QCOMPARE(program.Transfer(c.page, 0, during), c.outcome);
            QCOMPARE(program.prompt.texts(),
                     c.text ? std::vector<std::string>{c.text} : std::vector<std::string>{});
            QVERIFY(took.elapsed() < 10000);
        }
        QVERIFY(cancelledAt > 0);
    }

    // Opening rebuilds the zone tables; a bad exchange number (Enter in its field starts
    // nothing), a declined confirmation and Escape leave the line alone and the sheet open; a
    // failed station check closes the sheet and opens the Stations.
    void refusedStarts() {
        Program program("/nonexistent/qn410-tty");
        SettingData& d = program.data();
        Recordable(d, 1, 3);
        d.Zones.Sub[0][0].Cell[0] = 7;  // stale
        auto expected = std::make_unique<SettingData>(d);
        RebuildZoneTables(*expected);
        int stations = 0;
        program.view().SetCategoryHandler(Category::Stations, [&] { ++stations; });
        program.run = [&](CSheetComm& sheet) {
            QVERIFY(d.Zones == expected->Zones);
            CPageComm& page = *sheet.uploadPage();
            page.singleButton()->click();
            page.spin()->upButton()->click();
            for (int i = 0; i < 3; ++i) QTest::keyClick(page.numberEdit(), Qt::Key_Up);
            QCOMPARE(page.numberEdit()->text(), QStringLiteral("3"));  // within 1..SwitchCnt
            QTest::keyClick(page.numberEdit(), Qt::Key_Down);
            page.spin()->downButton()->click();
            QCOMPARE(page.numberEdit()->text(), QStringLiteral("1"));
            for (const char* typed : {"0", "4", ""}) {
                page.numberEdit()->setText(typed);
                QTest::keyClick(page.numberEdit(), Qt::Key_Return);
                sheet.startButton()->click();
                QCOMPARE(sheet.focusWidget(), page.numberEdit());
                QCOMPARE(page.numberEdit()->selectedText(), QString(typed));
            }
            page.allButton()->click();
            sheet.SetConfirmations([](QWidget*) { return false; }, nullptr);
            sheet.startButton()->click();
            QTest::keyClick(&sheet, Qt::Key_Escape);
            QVERIFY(sheet.isVisible());
            sheet.SetConfirmations([](QWidget*) { return true; }, nullptr);
            d.Exchange[0].Sub[1].Number = d.Exchange[0].Sub[0].Number;  // one number twice
            sheet.startButton()->click();
        };
        program.view().panel().button(Category::UploadDownload)->click();
        QCOMPARE(stations, 1);
        QVERIFY(program.outcomes.empty());
        QCOMPARE(program.prompt.texts(), std::vector<std::string>(3, "Incorrect exchange No."));
    }
};

QTEST_MAIN(TestSheetLink)
#include "tst_sheet_link.moc"
