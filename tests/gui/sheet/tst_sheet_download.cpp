// Downloads through the Upload/Download sheet on the program's real link (broker, transfer
// manager, serial channel) against qn410-sim over a pseudo-terminal, holding 16 exchanges.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>
#include <functional>
#include <utility>

#include "link/link_broker.h"
#include "link/link_event.h"
#include "setting/setting_file.h"
#include "support/random_recordable.h"
#include "support/recording_prompt.h"
#include "support/sim_process.h"
#include "transfer/page_comm.h"
#include "transfer/record_codec.h"
#include "transfer/sheet_comm.h"

using namespace qn410;
using namespace qn410::test;

namespace {

struct Rig : LinkPoster {
    // held: the simulator's data, given to it in a setting file; simArgs: its faults
    explicit Rig(const QStringList& simArgs = {}) {
        FillRandomRecordable(held->data(), 1611);
        held->data().System.SwitchCnt = 16;
        const std::string file = dir.filePath(QStringLiteral("exchanges.txt")).toStdString();
        WriteSettingFile(file, *held, "", prompt);
        sim = std::make_unique<SimProcess>(
            QStringList{"--config", QString::fromStdString(file), "--idle-exit", "60"} + simArgs);
        qputenv("QN410_COM1", sim->port().toLocal8Bit());
        broker.Start(MaintenanceSetting{});  // RS-232C on COM1
        auto enrol = [this](QObject* s) { broker.dispatch().SetTransferSheet(s); };
        sheet = std::make_unique<CSheetComm>(doc, *this, prompt, enrol, cancel);
        sheet->SetConfirmations([](QWidget*) { return true; }, [](QWidget*) { return true; });
        sheet->tabs()->setCurrentIndex(CSheetComm::kDownloadPage);
        QObject::connect(sheet.get(), &CSheetComm::transferFinished,
                         [this](TransferOutcome o) { outcomes.push_back(o); });
    }
    // Runs atTenthRecord once, as the tenth record is stored: a download of 16 exchanges takes a
    // fraction of a second, so a test that acts later may find it already complete.
    void PostProgress(AppMessage, int, std::string, int) override {
        if (atTenthRecord && sheet->session().received() >= 10) std::exchange(atTenthRecord, {})();
    }
    void PostLinkRequest(uint32_t wParam, TransferRequestPtr r) override {
        qn410::PostLinkRequest(&broker, sheet.get(), std::move(r), wParam == kLinkAbandon);
    }
    void Download(int exchange) {
        CPageComm& page = *sheet->downloadPage();
        (exchange ? page.singleButton() : page.allButton())->click();
        page.numberEdit()->setText(QString::number(exchange));
        sheet->startButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(exchange || sheet->session().received() >= 10, 10000);
    }

    QTemporaryDir dir;
    std::unique_ptr<SettingDocument> held = std::make_unique<SettingDocument>();
    std::unique_ptr<SimProcess> sim;
    LogHistory history;
    RecordingPrompt prompt;
    LinkBroker broker{history, SystemClock::Instance(), prompt};
    SettingDocument doc;
    std::atomic<int> cancel{0};
    std::unique_ptr<CSheetComm> sheet;
    std::vector<TransferOutcome> outcomes;
    std::function<void()> atTenthRecord;
};

}  // namespace

class TestSheetDownload : public QObject {
    Q_OBJECT

  private slots:
    // The exchange goes on sending what a cancelled "All" download had queued while a "Single"
    // download runs: the single one takes only its own records and ends with all of them.
    void singleDownloadAfterACancelledOneTakesOnlyItsOwnRecords() {
        Rig rig;
        std::unique_ptr<SettingData> base;
        QObject::connect(rig.sheet.get(), &CSheetComm::transferFinished, [&](TransferOutcome o) {
            if (base) return;
            base = std::make_unique<SettingData>(rig.doc.data());
            rig.cancel = 0;
            QTimer::singleShot(0, [&] { rig.Download(16); });
        });
        rig.atTenthRecord = [&] { rig.cancel = 1; };  // the progress display's Cancel
        rig.Download(0);
        const std::vector outcomes{TransferOutcome::Cancelled, TransferOutcome::Downloaded};
        QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes, outcomes, 20000);
        // What a clean single download changes, applied to the data as the cancel left it.
        UploadPlan plan(rig.held->data(), 16);
        for (int s = 1; s < plan.size(); ++s) QVERIFY(Decode(*plan.Record(s), *base));
        QVERIFY(!FirstRecordDifference(*base, rig.doc.data()));

        CPageComm& page = *rig.sheet->downloadPage();
        page.numberEdit()->setText(QStringLiteral("15"));
        QTest::keyClick(page.numberEdit(), Qt::Key_Up);
        QCOMPARE(page.numberEdit()->text(), QStringLiteral("16"));
    }

    // The device vanishes during a download: the sheet says so at once, not after 120 s.
    void aVanishedDeviceEndsTheDownloadAtOnce() {
        // A lost acknowledgement now and then holds the exchange back for its time-out, so the
        // download is still under way when the device goes.
        Rig rig({"--drop-rx-every", "61"});
        rig.Download(0);
        rig.sim->Stop();
        QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes, std::vector{TransferOutcome::FailedReceive}, 5000);
        QCOMPARE(rig.prompt.texts(), std::vector<std::string>{"Failed to receive"});
    }
};

QTEST_MAIN(TestSheetDownload)
#include "tst_sheet_download.moc"
