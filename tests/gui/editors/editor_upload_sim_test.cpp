// Uploads from the editors reach the exchange simulator (qn410-sim) through the real link: the
// view's broker, the transfer manager and the serial channel on a pseudo-terminal. The
// simulator saves what its exchanges stored; the test reads that file back.
#include <QCheckBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "editor_test_host.h"
#include "editors/dlg_system.h"
#include "editors/page_master.h"
#include "editors/page_sub.h"
#include "editors/sheet_station.h"
#include "link/link_broker.h"
#include "monitor/log_history.h"
#include "setting/setting_file.h"
#include "setting/text_field.h"
#include "support/child_process.h"

using namespace qn410;
using namespace qn410::test;

namespace {

// Hands every request to the broker, as the view does, and keeps a copy of each header.
class BrokerHost : public EditorTestHost {
  public:
    explicit BrokerHost(LinkBroker& broker) : broker_(broker) { answer = false; }
    void SubmitRequest(TransferRequestPtr request, bool abandon) override {
        bodies.push_back(request->body);
        abandons.push_back(abandon);
        auto* requester = static_cast<QObject*>(request->requester);
        PostLinkRequest(&broker_, requester, std::move(request), abandon);
    }

  private:
    LinkBroker& broker_;
};

// Two exchanges of two-digit numbers: 10.. and 80..; master 2-1 numbered 95 so that the
// substations of exchange 2 call a numbered master.
void TwoExchanges(SettingData& d) {
    SetDefaults(d);
    d.System.SwitchCnt = 2;
    d.System.SwNumber[1].Value = 80;
    SetText(d.System.SwNumber[1].Text, "80");
    MasterSetting& m = d.Exchange[1].Master[0];
    m.Number.Value = 95;
    SetText(m.Number.Text, "95");
    SetText(m.Name, "95");
}

}  // namespace

class EditorUploadSimTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::unique_ptr<ctl::test::Simulator> sim_;
    LogHistory history_;
    FixedClock clock_{LocalTime{2026, 12, 6, 9, 30, 0, 0}};
    RecordingPrompt linkPrompt_;
    std::unique_ptr<LinkBroker> broker_;
    std::unique_ptr<BrokerHost> host_;

    QString Saved() const { return dir_.filePath("saved.txt"); }

    // The simulator started from the host's data, and the link open on its pseudo-terminal.
    void Start() {
        const QString config = dir_.filePath("config.txt");
        SilentPrompt silent;
        QVERIFY(WriteSettingFile(config.toStdString(), host_->document, "", silent));
        host_->document.modified = false;
        sim_ = std::make_unique<ctl::test::Simulator>(
            std::vector<std::string>{"--config", config.toStdString(), "--save",
                                     Saved().toStdString(), "--rate", "0", "--idle-exit", "60"});
        QVERIFY2(sim_->port().starts_with("/dev/"), sim_->port().c_str());
        qputenv("QN410_COM1", sim_->port().c_str());
        broker_->Start(MaintenanceSetting{});
    }
    // What the simulated exchanges hold, once the simulator has saved it on its way out.
    void StopAndRead(SettingDocument& held) {
        QCOMPARE(sim_->Stop(), 0);
        std::string password;
        SilentPrompt silent;
        QCOMPARE(ReadSettingFile(Saved().toStdString(), held, password, silent), ReadOutcome::Ok);
    }

  private slots:
    void init() {
        QVERIFY(dir_.isValid());
        broker_ = std::make_unique<LinkBroker>(history_, clock_, linkPrompt_);
        host_ = std::make_unique<BrokerHost>(*broker_);
        TwoExchanges(host_->document.data());
    }
    void cleanup() {
        broker_->Shutdown();
        sim_.reset();
        host_.reset();
        broker_.reset();
        qunsetenv("QN410_COM1");
    }

    void globalSettingReachesTheExchanges() {
        Start();
        CDlgSystem dialog(*host_, clock_);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        TypeIntoCell(dialog.grid(), 1, 1, "60");
        QTest::mouseClick(dialog.tieLineBox(1), Qt::LeftButton);
        dialog.UploadButton()->click();
        QVERIFY(dialog.UploadActive());
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.UploadActive(), 15000);
        QCOMPARE(host_->messages.texts(), std::vector<std::string>{});
        QCOMPARE(host_->advanced, 1);

        SettingDocument held;
        StopAndRead(held);
        QCOMPARE(held.data().System.SwNumber[1].Value, 60);
        QCOMPARE(int(held.data().System.TieLine[1]), 1);
        QCOMPARE(int(held.data().System.SwitchCnt), 2);
    }

    void stationsReachTheExchanges() {
        Start();
        CSheetStation sheet(*host_);
        sheet.show();
        QApplication::setActiveWindow(&sheet);
        // Masters of exchange 1: 'B' and 'U' for each, then the release.
        TypeIntoCell(sheet.masterPage()->grid(), 0, 4, "DESK");
        ClickCell(sheet.masterPage()->grid(), 1, 6);  // emergency paging of master 1-2
        sheet.UploadButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!sheet.UploadActive(), 15000);
        QCOMPARE(host_->messages.texts(), std::vector<std::string>{});
        QCOMPARE(host_->bodies.size(), std::size_t(9));
        // Substations of all exchanges: 'C' for each of 128, then the release.
        QTest::mouseClick(sheet.tabs()->tabBar(), Qt::LeftButton, {},
                          sheet.tabs()->tabBar()->tabRect(1).center());
        ChooseFromList(sheet.exchangeList(), "ALL");
        TypeIntoCell(sheet.subPage()->grid(), 64 + 4, 3, "85");  // substation 2-5
        ClickCell(sheet.subPage()->grid(), 2, 9);                // priority of 1-3
        sheet.UploadButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!sheet.UploadActive(), 20000);
        QCOMPARE(host_->bodies.size(), std::size_t(9 + 129));
        QCOMPARE(host_->messages.texts(), std::vector<std::string>{});

        SettingDocument held;
        StopAndRead(held);
        const ExchangeSetting& e1 = held.data().Exchange[0];
        QCOMPARE(std::string(TextOf(e1.Master[0].Name)), std::string("DESK"));
        QCOMPARE(int(e1.Master[1].Paging), 1);
        QCOMPARE(int(e1.Sub[2].Level), 1);
        const SubSetting& sub = held.data().Exchange[1].Sub[4];
        QCOMPARE(sub.Number.Value, 85);
        QCOMPARE(std::string(TextOf(sub.Name)), std::string("85"));
    }
};

QTEST_MAIN(EditorUploadSimTest)
#include "editor_upload_sim_test.moc"
