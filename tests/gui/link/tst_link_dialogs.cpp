// PC Port and Remote Dialing in the program against qn410-sim over pseudo-terminals: the link
// moves from COM1 to COM2 and onto a modem call, the 'N' record reaches the exchange each time,
// and the Upload/Download sheet runs 16 exchanges up and down over the call.
#include <QComboBox>

#include "app/dlg_pc_port.h"
#include "app/link_dialogs.h"
#include "monitor/dlg_remote_dial.h"
#include "setting/text_field.h"
#include "sim_program.h"
#include "support/temp_dir.h"
#include "ui/confirm_dialogs.h"

using namespace qn410;
using namespace qn410::test;

class TestLinkDialogs : public QObject {
    Q_OBJECT
  private slots:
    void numberRules() {
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

    void pcPortMovesTheLinkAndTheModemCarriesEveryTransfer() {
        QTemporaryDir dir;
        const QString t2 = dir.filePath("2"), tm = dir.filePath("m");
        SimProcess com2({"--trace", t2, "--idle-exit", "120"});
        SimProcess modem({"--modem", "--ring-time", "100", "--trace", tm, "--idle-exit", "120"});
        qputenv("QN410_COM2", com2.port().toLocal8Bit());
        qputenv("QN410_MODEM", modem.port().toLocal8Bit());
        Program program("/nonexistent");
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

        pcPort([](CDlgPcPort* d) { d->overwriteButton()->click(); });  // nothing changed
        QVERIFY(!view.document().modified);
        pcPort([](CDlgPcPort* d) {
            d->portButton(1)->click();
            d->overwriteButton()->click();
        });
        QVERIFY(view.document().modified);
        QVERIFY(dial(t2));
        pcPort([](CDlgPcPort* d) {
            d->methodButton(1)->click();
            d->telephoneEdit()->setText(QStringLiteral("0 12"));
            d->overwriteButton()->click();  // refused: the dialog stays as it was
            d->closeButton()->click();      // asks; No keeps it open
            d->telephoneEdit()->setText(QStringLiteral("0-12"));
            d->overwriteButton()->click();
        });
        QCOMPARE(program.prompt.texts(),
                 (std::vector<std::string>{"Incorrect telephone No.", "Text changed. Exit?"}));
        QVERIFY(dial(tm));

        Recordable(program.data(), 18, 16);
        const auto original = std::make_unique<SettingData>(program.data());
        QCOMPARE(program.Transfer(0, 0), TransferOutcome::Uploaded);
        FillRandomRecordable(program.data(), 19);
        QCOMPARE(program.Transfer(1, 0), TransferOutcome::Downloaded);
        QCOMPARE(Diff(*original, program.data()), QString());
        QCOMPARE(program.prompt.texts().size(), std::size_t{2});
    }
};

QTEST_MAIN(TestLinkDialogs)
#include "tst_link_dialogs.moc"
