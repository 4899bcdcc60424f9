// "Paging": the time-out check with the page, exchange and focus it leads to; zone cells, zone
// digits, the time controls, commit into the masks, and the upload of each page to qn410-sim.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "editors/page_paging.h"
#include "editors/sheet_paging.h"
#include "editors/step_edit.h"
#include "sim_link_fixture.h"
#include "station_fixture.h"
#include "transfer/record_codec.h"

using namespace qn410;
using namespace qn410::test;

namespace {
struct Paging : EditorHostOrSim {
    std::unique_ptr<CSheetPaging> sheet;
    explicit Paging(bool sim = false) : EditorHostOrSim(sim) {
        ThreeExchanges(host.document.data());
        S(host.document.data(), 1, 3).Level = 1;  // emergency: cannot be paged
        S(host.document.data(), 1, 1).Paging = 1 << 11;
        if (sim) link->Start();
        sheet = std::make_unique<CSheetPaging>(host);
        sheet->show();
        QApplication::setActiveWindow(sheet.get());
    }
    CPagePaging* page() const { return sheet->pagingPage(); }
    QLineEdit* timeText() const { return page()->timeBox()->findChild<QLineEdit*>(); }
};
}  // namespace

class PagingTest : public QObject {
    Q_OBJECT
  private slots:
    void timeOutCheck_data() {
        QTest::addColumn<QStringList>("exchangeAndTime");
        QTest::newRow("above 990") << QStringList{"2", "995"};
        QTest::newRow("not a multiple of 10") << QStringList{"3", "25"};
        QTest::newRow("under ALL") << QStringList{"ALL", "abc"};
    }
    void timeOutCheck() {
        QFETCH(QStringList, exchangeAndTime);
        const QString exchange = exchangeAndTime[0];
        Paging p;
        ChooseFromList(p.sheet->exchangeList(), exchange);
        QTest::mouseClick(p.page()->timeOutBox(), Qt::LeftButton);
        p.page()->timeBox()->setFocus();
        p.timeText()->selectAll();
        QTest::keyClicks(p.timeText(), exchangeAndTime[1]);
        p.sheet->tabs()->setCurrentIndex(2);  // the box stores its text on losing the focus
        QTest::mouseClick(p.sheet->OverwriteButton(), Qt::LeftButton);
        QCOMPARE(p.host.messages.texts(), std::vector<std::string>{"Incorrect paging time-out"});
        QCOMPARE(p.sheet->tabs()->currentIndex(), 0);
        QCOMPARE(p.sheet->exchangeList()->currentText(), exchange);
        QVERIFY(p.page()->timeBox()->hasFocus() && !p.timeText()->selectedText().isEmpty());
        QVERIFY(!p.host.document.modified);
    }

    void zonesTimeCommitAndUpload() {
        Paging p(/*sim=*/true);
        GridCtrl* grid = p.page()->grid();
        const int zone1 = p.page()->firstZoneColumn();
        ClickCell(grid, 2, zone1);  // "x" stays
        ClickCell(grid, 0, zone1);
        ChooseFromList(p.page()->zoneDigitsList(), "1");
        QCOMPARE(grid->ColumnCount(), zone1 + 9);
        ChooseFromList(p.page()->zoneDigitsList(), "2");  // zone 12 was hidden, and kept
        QCOMPARE(
            grid->ItemText(2, zone1) + grid->ItemText(0, zone1) + grid->ItemText(0, zone1 + 11),
            std::string("xvv"));
        QCOMPARE(PagingTimeStep("25", 1) + PagingTimeStep("25", -1), QString("3010"));
        QTest::mouseClick(p.page()->timeOutBox(), Qt::LeftButton);
        p.page()->timeBox()->stepBy(3);
        QTest::mouseClick(p.sheet->UploadButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!p.sheet->UploadActive(), 20000);

        for (int page = 1; page <= 2; ++page) {  // public address, then external sources
            p.sheet->tabs()->setCurrentIndex(page);
            ChooseFromList(p.sheet->exchangeList(), "ALL");
            ClickCell(static_cast<ZonePage*>(p.sheet->tabs()->currentWidget())->grid(),
                      page == 1 ? 17 : 5, 3 + 18);  // exchange 2, second unit, zone 19
            QTest::mouseClick(p.sheet->UploadButton(), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!p.sheet->UploadActive(), 20000);
        }
        QVERIFY(p.host.messages.shown.empty());
        const std::vector<char> l = p.host.letters();
        QCOMPARE(QByteArray(l.data(), int(l.size())),
                 QByteArray(19, 'H') + '-' + QByteArray(57, 'I') + '-' + QByteArray(57, 'J') + '-');
        QCOMPARE(p.host.bodies[20 + 56],
                 *Encode('I', {.exchange = 3, .zone = 19, .data = &p.host.document.data()}));
        p.sheet->PrintButton()->click();
        QCOMPARE(p.host.prints.back().category, kPrintExternalSources);
        SettingDocument held;  // what the exchanges hold now
        p.link->StopAndRead(held);
        const SettingData& h = held.data();
        QVERIFY(h.Exchange[0].Sub[0].Paging == 0x801 && h.Exchange[0].PagingTimeLimit == 40);
        QVERIFY(h.Exchange[1].Speaker[1].Paging == 1 << 18 && h.System.OutInZone[1][1] == 1 << 18);
    }
};

QTEST_MAIN(PagingTest)
#include "paging_test.moc"
