// "Paging": the time-out check with the page, exchange and focus it leads to; zone cells, zone
// digits, the time controls, commit into the masks, and the upload of each page.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "editors/page_paging.h"
#include "editors/sheet_paging.h"
#include "editors/step_edit.h"
#include "editors/zone_page.h"
#include "station_fixture.h"
#include "transfer/record_codec.h"

using namespace qn410;
using namespace qn410::test;

namespace {
struct Paging {
    EditorTestHost host;
    std::unique_ptr<CSheetPaging> sheet;
    Paging() {
        ThreeExchanges(host.document.data());
        S(host.document.data(), 1, 3).Level = 1;  // emergency: cannot be paged
        S(host.document.data(), 1, 1).Paging = 1 << 11;
        sheet = std::make_unique<CSheetPaging>(host);
        sheet->show();
        QApplication::setActiveWindow(sheet.get());
    }
    CPagePaging* page() const { return sheet->pagingPage(); }
    void TypeTime(const QString& text) {
        page()->timeBox()->setFocus();
        page()->timeBox()->findChild<QLineEdit*>()->selectAll();
        QTest::keyClicks(page()->timeBox()->findChild<QLineEdit*>(), text);
        sheet->OverwriteButton()->setFocus();  // the box stores on losing the focus
    }
};
}  // namespace

class PagingTest : public QObject {
    Q_OBJECT
  private slots:
    void timeOutCheck_data() {
        QTest::addColumn<QString>("exchange");
        QTest::addColumn<QString>("time");
        QTest::newRow("above 990") << "2"
                                   << "995";
        QTest::newRow("not a multiple of 10") << "3"
                                              << "25";
        QTest::newRow("under ALL") << "ALL"
                                   << "abc";
    }
    void timeOutCheck() {
        QFETCH(QString, exchange);
        QFETCH(QString, time);
        Paging p;
        ChooseFromList(p.sheet->exchangeList(), exchange);
        QTest::mouseClick(p.page()->timeOutBox(), Qt::LeftButton);
        p.TypeTime(time);
        p.sheet->tabs()->setCurrentIndex(2);
        QTest::mouseClick(p.sheet->OverwriteButton(), Qt::LeftButton);
        QCOMPARE(p.host.messages.texts(), std::vector<std::string>{"Incorrect paging time-out"});
        QCOMPARE(p.sheet->tabs()->currentIndex(), 0);
        QCOMPARE(p.sheet->exchangeList()->currentText(), exchange);
        QVERIFY(p.page()->timeBox()->hasFocus());
        QVERIFY(!p.page()->timeBox()->findChild<QLineEdit*>()->selectedText().isEmpty());
        QVERIFY(!p.host.document.modified);
    }

    void zonesTimeCommitAndUpload() {
        Paging p;
        GridCtrl* grid = p.page()->grid();
        const int zone1 = p.page()->firstZoneColumn();
        QCOMPARE(grid->ItemText(2, zone1), std::string("x"));
        ClickCell(grid, 2, zone1);  // stays
        ClickCell(grid, 0, zone1);
        ChooseFromList(p.page()->zoneDigitsList(), "2");
        QCOMPARE(grid->ItemText(0, zone1) + grid->ItemText(0, zone1 + 11), std::string("vv"));
        ChooseFromList(p.page()->zoneDigitsList(), "1");
        QCOMPARE(grid->ColumnCount(), zone1 + 9);
        ChooseFromList(p.page()->zoneDigitsList(), "2");
        QCOMPARE(grid->ItemText(0, zone1 + 11), std::string("v"));  // hidden, kept
        QCOMPARE(PagingTimeStep("25", 1) + PagingTimeStep("25", -1), QString("3010"));
        QTest::mouseClick(p.page()->timeOutBox(), Qt::LeftButton);
        p.page()->timeBox()->stepBy(3);
        QTest::mouseClick(p.sheet->UploadButton(), Qt::LeftButton);
        QTRY_VERIFY(!p.sheet->UploadActive());
        const ExchangeSetting& e1 = p.host.document.data().Exchange[0];
        QCOMPARE(e1.Sub[0].Paging, (1 << 11) | 1);
        QCOMPARE(e1.PagingTimeLimit, 40);

        for (int page = 1; page <= 2; ++page) {  // public address, then external sources
            p.sheet->tabs()->setCurrentIndex(page);
            ChooseFromList(p.sheet->exchangeList(), "ALL");
            ClickCell(static_cast<ZonePage*>(p.sheet->tabs()->currentWidget())->grid(),
                      page == 1 ? 17 : 5, 3 + 18);  // exchange 2, first unit, zone 19
            QTest::mouseClick(p.sheet->UploadButton(), Qt::LeftButton);
            QTRY_VERIFY(!p.sheet->UploadActive());
        }
        const SettingData& d = p.host.document.data();
        QCOMPARE(d.Exchange[1].Speaker[1].Paging, 1 << 18);
        QCOMPARE(d.System.OutInZone[1][1], 1 << 18);
        QCOMPARE(p.host.bodies.size(), std::size_t(20 + 2 * 58));
        const std::vector<char> l = p.host.letters();
        QCOMPARE(QByteArray(l.data(), int(l.size())),
                 QByteArray(19, 'H') + '-' + QByteArray(57, 'I') + '-' + QByteArray(57, 'J') + '-');
        RecordRequest r{.exchange = 3, .zone = 19, .data = &d};
        QCOMPARE(p.host.bodies[20 + 56], *Encode('I', r));
        p.sheet->PrintButton()->click();
        QCOMPARE(p.host.prints.back().category, kPrintExternalSources);
    }
};

QTEST_MAIN(PagingTest)
#include "paging_test.moc"
