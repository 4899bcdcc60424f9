// Uploads of the member lists and of each Paging page reach qn410-sim over a pseudo-terminal:
// the first body is the record encoder's, and the simulator's saved data shows the change.
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "editors/dlg_member_list.h"
#include "editors/sheet_paging.h"
#include "editors/zone_page.h"
#include "sim_link_fixture.h"
#include "transfer/record_codec.h"

using namespace qn410;
using namespace qn410::test;

namespace {
using Open = std::function<std::unique_ptr<EditorFrame>(EditorHost&)>;
struct SimCase {
    char letter;
    Open open;
    std::function<bool(const SettingData&)> held;
};

Open List(const MemberListKind& kind, const char* line) {
    return [&kind, line](EditorHost& host) {
        auto dlg = std::make_unique<CDlgMemberList>(kind, host);
        dlg->show();
        QApplication::setActiveWindow(dlg.get());
        TypeIntoCell(dlg->grid(), 0, 1, "1");
        TypeIntoCell(dlg->grid(), 0, 2, line);
        return dlg;
    };
}
// Clicks zone `zone` of row `row` on page `page` of "Paging".
Open Zone(int page, int row, int zone) {
    return [=](EditorHost& host) {
        auto sheet = std::make_unique<CSheetPaging>(host);
        sheet->show();
        QApplication::setActiveWindow(sheet.get());
        sheet->tabs()->setCurrentIndex(page);
        auto* shown = static_cast<ZonePage*>(sheet->tabs()->currentWidget());
        ClickCell(shown->grid(), row, shown->firstZoneColumn() + zone - 1);
        return sheet;
    };
}

const SimCase kCases[] = {
    {'G', List(kScanMonitorList, "5"),
     [](const SettingData& d) { return d.Exchange[0].Master[0].ScanSub[0].StationNo == 5; }},
    {'E', List(kGroupCallList, "2"),
     [](const SettingData& d) { return d.Exchange[0].Master[0].GroupMaster[0].StationNo == 2; }},
    {'H', Zone(0, 4, 3), [](const SettingData& d) { return d.Exchange[0].Sub[4].Paging == 4; }},
    {'I', Zone(1, 2, 19),
     [](const SettingData& d) { return d.Exchange[0].Speaker[2].Paging == 1 << 18; }},
    {'J', Zone(2, 1, 5), [](const SettingData& d) { return d.System.OutInZone[0][1] == 16; }},
};
}  // namespace

class ListsPagingSimTest : public QObject {
    Q_OBJECT
  private slots:
    void uploadReachesTheExchange_data() {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < std::size(kCases); ++i)
            QTest::newRow(std::string(1, kCases[i].letter).c_str()) << int(i);
    }
    void uploadReachesTheExchange() {
        QFETCH(int, index);
        const SimCase& c = kCases[index];
        SimLink link;
        SetDefaults(link.host->document.data());
        link.Start();
        std::unique_ptr<EditorFrame> editor = c.open(*link.host);
        editor->UploadButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!editor->UploadActive(), 20000);
        QCOMPARE(link.host->messages.texts(), std::vector<std::string>{});
        RecordRequest first{.exchange = 1,
                            .station = 1,
                            .zone = 1,
                            .sourceZone = 1,
                            .data = &link.host->document.data()};
        QCOMPARE(link.host->bodies.front(), *Encode(c.letter, first));
        SettingDocument held;
        link.StopAndRead(held);
        QVERIFY(c.held(held.data()));
    }
};

QTEST_MAIN(ListsPagingSimTest)
#include "lists_paging_sim_test.moc"
