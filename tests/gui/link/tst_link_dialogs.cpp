// PC Port and Remote Dialing in the program against qn410-sim over pseudo-terminals: the link
// moves from COM1 to COM2 and onto a modem call, the 'N' record reaches the exchange each time,
// and the Upload/Download sheet runs 16 exchanges up and down over the call.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "app/broker_link.h"
#include "app/dlg_pc_port.h"
#include "app/link_dialogs.h"
#include "app/main_frame.h"
#include "app/qn410_view.h"
#include "app/upload_download.h"
#include "monitor/dlg_remote_dial.h"
#include "setting/text_field.h"
#include "shell_fixture.h"
#include "support/passing_numbers.h"
#include "support/random_recordable.h"
#include "support/sim_process.h"
#include "transfer/sheet_comm.h"
#include "ui/confirm_dialogs.h"

using namespace qn410;
using namespace qn410::test;

namespace {
bool Traced(const QString& trace, const char* text) {
    QFile file(trace);
    return file.open(QIODevice::ReadOnly) && file.readAll().contains(text);
}
}  // namespace

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
        for (const char* n : {"1", "2", "3", "4", "5"}) QVERIFY(RememberNumber(list, n));
        QVERIFY(!RememberNumber(list, "3"));  // moved to the top, not added
        QVERIFY(RememberNumber(list, "6"));
        std::string order;
        for (const auto& n : list.TelNo) order += TextOf(n);
        QCOMPARE(order + char('0' + list.TelCnt), std::string("635425"));
    }

    void pcPortMovesTheLinkAndTheModemCarriesEveryTransfer() {
        QTemporaryDir dir;
        const QString t2 = dir.filePath("2"), tm = dir.filePath("m");
        SimProcess com2({"--trace", t2, "--idle-exit", "120"});
        SimProcess modem({"--modem", "--ring-time", "100", "--trace", tm, "--idle-exit", "120"});
        qputenv("QN410_COM1", "/nonexistent");
        qputenv("QN410_COM2", com2.port().toLocal8Bit());
        qputenv("QN410_MODEM", modem.port().toLocal8Bit());
        ShellFolder folder;
        RecordingPrompt prompt;
        QN410App app({&prompt, nullptr, [&prompt] { return std::make_unique<BrokerLink>(prompt); },
                      folder.file(QStringLiteral("lock")), folder.path()});
        QVERIFY(app.Start());
        CQN410View& view = app.frame()->view();
        InstallLinkDialogs(*app.frame());
        TransferOutcome outcome{};
        int page = 0;
        InstallUploadDownload(*app.frame(), [&](CSheetComm& s) {
            s.SetConfirmations([](QWidget*) { return true; }, [](QWidget*) { return true; });
            connect(&s, &CSheetComm::transferFinished, &s, [&](TransferOutcome o) {
                outcome = o;
                QTimer::singleShot(0, &s, [&s] { s.exitButton()->click(); });
            });
            QTimer::singleShot(0, &s, [&] {
                s.tabs()->setCurrentIndex(page);
                s.startButton()->click();
            });
        });
        auto pcPort = [&](std::function<void(CDlgPcPort*)> act) {
            WhenModal<CDlgPcPort>([act](CDlgPcPort* d) {
                act(d);
                d->closeButton()->click();
            });
            view.panel().button(Category::PcPort)->click();
        };
        auto dial = [&](const QString& trace) {
            WhenModal<CDlgRemoteDial>([&](CDlgRemoteDial* d) {
                d->numberList()->setEditText(QStringLiteral("0*12#"));
                WhenModal<CDlgConfirm>([](CDlgConfirm* c) {
                    c->findChild<QPushButton*>(QStringLiteral("ok"))->click();
                });
                d->dialButton()->click();
                QTest::qWaitFor(  // sent and answered
                    [&] { return Traced(trace, "dialing request") && !view.progress().dialog(); });
                d->cancelButton()->click();
            });
            view.panel().button(Category::RemoteDialing)->click();
            return Traced(trace, "remote dialing request");
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
        QCOMPARE(prompt.texts(),
                 (std::vector<std::string>{"Incorrect telephone No.", "Text changed. Exit?"}));
        QVERIFY(dial(tm));

        FillRandomRecordable(view.document().data(), 18);
        view.document().data().System.SwitchCnt = 16;
        MakeStationNumbersPass(view.document().data());
        const auto original = std::make_unique<SettingData>(view.document().data());
        view.panel().button(Category::UploadDownload)->click();
        QCOMPARE(outcome, TransferOutcome::Uploaded);
        FillRandomRecordable(view.document().data(), 19);
        page = 1;
        view.panel().button(Category::UploadDownload)->click();
        QCOMPARE(outcome, TransferOutcome::Downloaded);
        const auto back = FirstRecordDifference(*original, view.document().data());
        QVERIFY2(!back, back ? back->c_str() : "");
        QCOMPARE(prompt.texts().size(), std::size_t{2});
    }
};

QTEST_MAIN(TestLinkDialogs)
#include "tst_link_dialogs.moc"
