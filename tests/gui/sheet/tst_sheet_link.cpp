// The real program against qn410-sim over pseudo-terminals: the Upload/Download sheet's round
// trips, refusals and failures; PC Port and Remote Dialing moving the link to COM2 and a modem.
#include "app/dlg_pc_port.h"
#include "app/link_dialogs.h"
#include "monitor/dlg_remote_dial.h"
#include "setting/text_field.h"
#include "sim_program.h"
#include "support/temp_dir.h"
#include "transfer/record_codec.h"
#include "transfer/station_check.h"
#include "transfer/upload_plan.h"
#include "ui/confirm_dialogs.h"
#include "ui/progress_dialog.h"

using namespace qn410;
using namespace qn410::test;
using O = TransferOutcome;

namespace {

// The progress display's Cancel, pressed at a link event.
bool PressCancel(CSheetComm&, LinkEvent&) {
    auto* progress = qobject_cast<CDlgProgress*>(QApplication::activeModalWidget());
    progress->findChild<QPushButton*>()->click();
    return false;
}

// Before the start that goes through: the number by arrows and keys within 1..SwitchCnt; a bad
// number, a declined confirmation and Escape leave the line alone and the sheet open.
void RefusedStarts(CSheetComm& sheet) {
    CPageComm& page = *sheet.uploadPage();
    page.singleButton()->click();
    page.spin()->upButton()->click();
    for (int i = 0; i < 3; ++i) QTest::keyClick(page.numberEdit(), Qt::Key_Up);
    QCOMPARE(page.numberEdit()->text(), QStringLiteral("3"));
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
    sheet.SetConfirmations([](QWidget*) { return false; }, nullptr);
    Program::Start(sheet, 0, 0);
    QTest::keyClick(&sheet, Qt::Key_Escape);
    QVERIFY(sheet.isVisible());
    sheet.SetConfirmations([](QWidget*) { return true; }, [](QWidget*) { return true; });
}

}  // namespace

class TestSheetLink : public QObject {
    Q_OBJECT

  private slots:
    // One session of the program: uploads on COM1; 16 exchanges up and down over a modem call; a
    // New document downloading from COM2 after PC Port moved the link there; the close.
    void roundTripsOverCom1Com2AndTheModem() {
        QTemporaryDir dir;
        const QString saved = dir.filePath("saved"), trace = dir.filePath("1"),
                      t2 = dir.filePath("2"), tm = dir.filePath("m");
        auto sim = std::make_unique<SimProcess>(
            QStringList{"--save", saved, "--trace", trace, "--idle-exit", "60"});
        Program program(sim->port());
        QVERIFY(program.started);
        InstallLinkDialogs(*program.app->frame());
        CQN410View& view = program.view();
        auto pcPort = [&](std::function<void(CDlgPcPort*)> act) {
            WhenModal<CDlgPcPort>([act](CDlgPcPort* d) {
                act(d);
                d->closeButton()->click();
            });
            view.panel().button(Category::PcPort)->click();
        };
        auto dial = [&](const QString& trace) {  // true when the 'N' record reached trace
            const auto traced = [&](auto text) {
                return ReadAll(trace.toStdString()).find(text) != std::string::npos;
            };
            WhenModal<CDlgRemoteDial>([&](CDlgRemoteDial* d) {
                d->numberList()->setEditText(QStringLiteral("0*12#"));
                WhenModal<CDlgConfirm>([](CDlgConfirm* c) { c->accept(); });
                d->dialButton()->click();
                (void)QTest::qWaitFor(  // sent and answered
                    [&] { return traced("dialing request") && !view.progress().dialog(); });
                d->cancelButton()->click();
            });
            view.panel().button(Category::RemoteDialing)->click();
            return traced("remote dialing request");
        };

        Recordable(program.data(), 410, 3);
        const auto original = std::make_unique<SettingData>(program.data());
        RebuildZoneTables(*original);
        program.data().Zones.Sub[0][0].Cell[0] ^= 1;  // stale: opening the sheet rebuilds them
        QCOMPARE(program.Transfer(0, 0,
                                  [&](CSheetComm& sheet) {
                                      QVERIFY(program.data().Zones == original->Zones);
                                      RefusedStarts(sheet);
                                  }),
                 O::Uploaded);
        QCOMPARE(program.Transfer(0, 2), O::Uploaded);
        QCOMPARE(view.link().UseMask(), uint8_t{0});
        QVERIFY(sim->Stop());  // saves what the exchanges hold: the download below brings it back
        // Each closing message is a release of the link: nothing of it goes on the wire.
        QCOMPARE(QString::fromStdString(ReadAll(trace.toStdString())).count(" RX frame "),
                 UploadStepCount(3, 0) - 1 + UploadStepCount(3, 2) - 1);

        // Over a modem call, after PC Port's Overwrite did nothing when nothing changed.
        SimProcess modem({"--modem", "--ring-time", "100", "--trace", tm, "--idle-exit", "120"});
        qputenv("QN410_MODEM", modem.port().toLocal8Bit());
        pcPort([](CDlgPcPort* d) { d->overwriteButton()->click(); });
        QVERIFY(!view.document().modified);
        pcPort([](CDlgPcPort* d) {
            d->methodButton(1)->click();
            d->telephoneEdit()->setText(QStringLiteral("0 12"));
            d->overwriteButton()->click();  // refused: the dialog stays as it was
            d->closeButton()->click();      // asks; No keeps it open
            d->telephoneEdit()->setText(QStringLiteral("0-12"));
            d->overwriteButton()->click();
        });
        QVERIFY(dial(tm));
        Recordable(program.data(), 18, 16);
        const auto sixteen = std::make_unique<SettingData>(program.data());
        QCOMPARE(program.Transfer(0, 0), O::Uploaded);
        FillRandomRecordable(program.data(), 19);
        QCOMPARE(program.Transfer(1, 0), O::Downloaded);
        QCOMPARE(Diff(*sixteen, program.data()), QString());

        // A New document (on COM1 again), and PC Port moving the link to COM2.
        SimProcess com2({"--config", saved, "--trace", t2, "--idle-exit", "120"});
        qputenv("QN410_COM2", com2.port().toLocal8Bit());
        view.document().modified = false;
        program.app->frame()->doc().New();
        QCOMPARE(program.data().System.SwitchCnt, uint8_t{1});
        pcPort([](CDlgPcPort* d) {
            d->portButton(1)->click();
            d->overwriteButton()->click();
        });
        QVERIFY(view.document().modified);
        QVERIFY(dial(t2));
        view.document().modified = false;

        // The exchange goes on sending what a cancelled "All" download had queued while a
        // "Single" one runs: that one takes only its own records. Then everything downloaded
        // again equals the uploaded data.
        std::unique_ptr<SettingData> base;
        int stored = 0;  // records stored by the cancelled download
        program.Transfer(1, 0, [&](CSheetComm& sheet) {
            new AtEvent(sheet, 10, PressCancel);
            program.then = [&](CSheetComm& s) {
                base = std::make_unique<SettingData>(program.data());
                stored = s.session().received();
                CPageComm& page = *s.downloadPage();
                page.singleButton()->click();
                page.numberEdit()->setText(QStringLiteral("2"));
                // to 3: the "Single" field follows the SwitchCnt the download brought
                QTest::keyClick(page.numberEdit(), Qt::Key_Up);
                s.startButton()->click();
            };
        });
        QCOMPARE(program.outcomes, (std::vector{O::Cancelled, O::Downloaded}));
        QVERIFY(stored > 0 && stored < ExpectedDownloadCount(*original, 0));
        UploadPlan plan(*original, 3);  // what a clean single download changes
        for (int s = 1; s < plan.size(); ++s) QVERIFY(Decode(*plan.Record(s), *base));
        QCOMPARE(Diff(*base, program.data()), QString());
        QCOMPARE(program.Transfer(1, 0), O::Downloaded);
        QVERIFY(view.document().modified);
        QCOMPARE(Diff(*original, program.data()), QString());

        // A failed station check closes the sheet and opens the Stations.
        int stations = 0;
        view.SetCategoryHandler(Category::Stations, [&] { ++stations; });
        for (int s : {0, 1}) SetNumber(program.data().Exchange[0].Sub[s].Number, 100100);
        QCOMPARE(program.Transfer(0, 0), O::Running);
        QCOMPARE(stations, 1);
        const char* number = "Incorrect exchange No.";
        QCOMPARE(program.prompt.texts(),
                 (std::vector<std::string>{number, number, number, "Incorrect telephone No.",
                                           "Text changed. Exit?"}));
        view.document().modified = false;
        QVERIFY(!program.app->frame()->close());  // first the port is closed for good ...
        QCOMPARE(view.link().UseMask(), kUseClosing);
        QTRY_VERIFY(!program.app->frame()->isVisible());  // ... then the window closes itself
    }

    void failuresTheUserSees() {
        std::optional<SimProcess> sim;
        const AtEvent::Act loseDevice = [&sim](CSheetComm&, LinkEvent&) {
            sim->Stop();
            return false;
        };
        const char* busy = "Exchange No.  1\nNow receiving data so you can't send";
        const struct {
            QStringList sim;  // empty: no device
            int page, at;     // at the at-th link event, act
            AtEvent::Act act;
            O outcome;
            const char* text;
        } cases[] = {
            {{"--silent"}, 0, 0, {}, O::FailedTransmit, "Failed to transmit"},
            {{}, 0, 0, {}, O::FailedOpen, "Failed to open the device"},
            {{"--z-after", "10:1:0"}, 0, 0, {}, O::Cancelled, busy},  // in a quiet moment
            // Lost acknowledgements keep the download under way: it ends at once all the same.
            {{"--drop-rx-every", "61"}, 1, 10, loseDevice, O::FailedReceive, "Failed to receive"},
        };
        for (const auto& c : cases) {
            if (!c.sim.isEmpty()) sim.emplace(c.sim + QStringList{"--idle-exit", "60"});
            Program program(c.sim.isEmpty() ? "/nonexistent/qn410-tty" : sim->port());
            const auto start = std::chrono::steady_clock::now();
            const auto during = [&](CSheetComm& s) {
                new AtEvent(s, c.at, c.act);  // at 0: never; the silent one ends by its time-out
                s.SetTimeout(c.sim.contains("--silent") ? 5 : 100, 100);
            };
            QCOMPARE(program.Transfer(c.page, 0, during), c.outcome);
            QCOMPARE(program.prompt.texts(),
                     c.text ? std::vector<std::string>{c.text} : std::vector<std::string>{});
            QVERIFY(std::chrono::steady_clock::now() - start < std::chrono::seconds(10));
        }
    }

    void remoteDialNumberRules() {
        for (const char* good : {"0-12-345", "12345678901234567890"}) QVERIFY(IsModemNumber(good));
        for (const char* bad : {"12 3", "", "123456789012345678901"}) QVERIFY(!IsModemNumber(bad));
        for (const char* good : {"*#0123456789", "ABCD", "QWERTYUIX-OPabcdqwertyuixop"})
            QVERIFY(IsRemoteDialNumber(good));
        for (const char* bad : {"F", "Z", "1 2", "", "123456789012345678901234567890123"})
            QVERIFY(!IsRemoteDialNumber(bad));
        RemoteDialSetting list{};
        for (const char* n : {"1", "2", "3", "4", "5", "3", "6"}) RememberNumber(list, n);
        std::string order;  // "3" moved to the top, not added; the oldest dropped
        for (const auto& n : list.TelNo) order += TextOf(n);
        QCOMPARE(order + char('0' + list.TelCnt), std::string("635425"));
    }
};

QTEST_MAIN(TestSheetLink)
#include "tst_sheet_link.moc"
