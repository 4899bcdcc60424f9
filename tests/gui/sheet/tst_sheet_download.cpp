// Downloads through the Upload/Download sheet on the program's real link (broker, transfer
// manager, serial channel) against qn410-sim over a pseudo-terminal holding 16 exchanges.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "link/link_broker.h"
#include "link/link_event.h"
#include "setting/setting_file.h"
#include "support/random_recordable.h"
#include "support/recording_prompt.h"
#include "support/sim_process.h"
#include "transfer/page_comm.h"
#include "transfer/record_codec.h"
#include "transfer/sheet_comm.h"
#include "transfer/upload_plan.h"

using namespace qn410;
using namespace qn410::test;

namespace {

struct Rig : LinkPoster {
    explicit Rig(const QStringList& simArgs) : sim(simArgs + QStringList{"--idle-exit", "60"}) {
        qputenv("QN410_COM1", sim.port().toLocal8Bit());
        broker.Start(MaintenanceSetting{});  // RS-232C on COM1
        sheet = std::make_unique<CSheetComm>(
            doc, *this, prompt, [this](QObject* s) { broker.dispatch().SetTransferSheet(s); },
            cancel);
        sheet->SetConfirmations([](QWidget*) { return true; }, [](QWidget*) { return true; });
        sheet->SetTimeout(1000, 20);  // 20 s, checked every 20 ms
        sheet->tabs()->setCurrentIndex(CSheetComm::kDownloadPage);
        QObject::connect(sheet.get(), &CSheetComm::transferFinished,
                         [this](TransferOutcome o) { outcomes.push_back(o); });
    }
    void PostProgress(AppMessage, int, std::string, int) override {}
    void PostLinkRequest(uint32_t wParam, TransferRequestPtr r) override {
        qn410::PostLinkRequest(&broker, sheet.get(), std::move(r), wParam == kLinkAbandon);
    }
    void Download(int exchange) {
        CPageComm& page = *sheet->downloadPage();
        (exchange ? page.singleButton() : page.allButton())->click();
        page.numberEdit()->setText(QString::number(exchange));
        sheet->startButton()->click();
    }

    SimProcess sim;
    LogHistory history;
    RecordingPrompt prompt;
    LinkBroker broker{history, SystemClock::Instance(), prompt};
    SettingDocument doc;
    std::atomic<int> cancel{0};
    std::unique_ptr<CSheetComm> sheet;
    std::vector<TransferOutcome> outcomes;
};

// Sixteen exchanges of random data in a setting file for the simulator, and that data as the
// simulator reads it.
QString SixteenExchanges(const QTemporaryDir& dir, SettingDocument& held) {
    FillRandomRecordable(held.data(), 1611);
    held.data().System.SwitchCnt = 16;
    const QString path = dir.filePath(QStringLiteral("exchanges.txt"));
    SilentPrompt silent;
    WriteSettingFile(path.toStdString(), held, "", silent);
    std::string password;
    ReadSettingFile(path.toStdString(), held, password, silent);
    RebuildZoneTables(held.data());
    return path;
}

}  // namespace

class TestSheetDownload : public QObject {
    Q_OBJECT

  private slots:
    // The exchange goes on sending what a cancelled "All" download had queued while a "Single"
    // download runs: the single one takes only its own records and ends with all of them.
    void singleDownloadAfterACancelledOneTakesOnlyItsOwnRecords() {
        QTemporaryDir dir;
        auto held = std::make_unique<SettingDocument>();
        Rig rig({"--config", SixteenExchanges(dir, *held)});
        std::unique_ptr<SettingData> base;
        QObject::connect(rig.sheet.get(), &CSheetComm::transferFinished, [&](TransferOutcome o) {
            if (o != TransferOutcome::Cancelled) return;
            base = std::make_unique<SettingData>(rig.doc.data());
            rig.cancel = 0;
            QTimer::singleShot(0, [&] { rig.Download(16); });
        });
        rig.Download(0);
        QTRY_VERIFY_WITH_TIMEOUT(rig.sheet->session().received() >= 10, 10000);
        rig.cancel = 1;  // the progress display's Cancel
        QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes.size(), size_t{2}, 20000);
        QCOMPARE(rig.outcomes[0], TransferOutcome::Cancelled);
        QCOMPARE(rig.outcomes[1], TransferOutcome::Downloaded);
        QVERIFY(rig.prompt.shown.empty());

        // What a clean single download changes, applied to the data as the cancel left it.
        UploadPlan plan(held->data(), 16);
        for (int s = 1; s < plan.size(); ++s) QVERIFY(Decode(*plan.Record(s), *base));
        const auto difference = FirstRecordDifference(*base, rig.doc.data());
        QVERIFY2(!difference, difference ? difference->c_str() : "");

        // The exchange number follows the downloaded SwitchCnt, stepped by the arrow keys.
        CPageComm& page = *rig.sheet->downloadPage();
        QCOMPARE(page.numberLabel()->text(), QStringLiteral("Exchange No. (1-16):"));
        page.numberEdit()->setText(QStringLiteral("14"));
        for (int i = 0; i < 3; ++i) QTest::keyClick(page.numberEdit(), Qt::Key_Up);
        QCOMPARE(page.numberEdit()->text(), QStringLiteral("16"));
        QTest::keyClick(page.numberEdit(), Qt::Key_Down);
        QCOMPARE(page.numberEdit()->text(), QStringLiteral("15"));
    }

    // The device vanishes during a download: the sheet says so at once, not after 120 s.
    void aVanishedDeviceEndsTheDownloadAtOnce() {
        QTemporaryDir dir;
        auto held = std::make_unique<SettingDocument>();
        Rig rig({"--config", SixteenExchanges(dir, *held)});
        rig.Download(0);
        QTRY_VERIFY_WITH_TIMEOUT(rig.sheet->session().received() >= 10, 10000);
        rig.sim.Stop();
        QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes.size(), size_t{1}, 5000);
        QCOMPARE(rig.outcomes[0], TransferOutcome::FailedReceive);
        QCOMPARE(rig.prompt.texts(), std::vector<std::string>{"Failed to receive"});
    }
};

QTEST_MAIN(TestSheetDownload)
#include "tst_sheet_download.moc"
