// Uploads from the editors reach the exchange simulator (qn410-sim) through the real link: the
// view's broker, the transfer manager and the serial channel on a pseudo-terminal. The
// simulator saves what its exchanges stored; the test reads that file back. A simulator that
// never answers makes the (shortened) upload watchdog give up with "Failed to transmit".
#include <QCheckBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>
#include <memory>

#include "editors/dlg_system.h"
#include "editors/page_master.h"
#include "editors/page_sub.h"
#include "editors/sheet_station.h"
#include "setting/text_field.h"
#include "sim_link_fixture.h"

using namespace qn410;
using namespace qn410::test;

namespace {

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
    std::unique_ptr<SimLink> link_;
    BrokerHost* host_ = nullptr;

  private slots:
    void init() {
        link_ = std::make_unique<SimLink>();
        host_ = link_->host.get();
        TwoExchanges(host_->document.data());
    }
    void cleanup() { link_.reset(); }

    void globalSettingReachesTheExchanges() {
        link_->Start();
        CDlgSystem dialog(*host_, link_->clock);
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
        link_->StopAndRead(held);
        QCOMPARE(held.data().System.SwNumber[1].Value, 60);
        QCOMPARE(int(held.data().System.TieLine[1]), 1);
        QCOMPARE(int(held.data().System.SwitchCnt), 2);
    }

    void stationsReachTheExchanges() {
        link_->Start();
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
        link_->StopAndRead(held);
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
