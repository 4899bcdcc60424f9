// Every editor's upload reaches qn410-sim through the real link (the view's broker, the transfer
// manager and the serial channel on a pseudo-terminal), one simulator for all of them: the
// records sent are the encoders' for the edited data, and the simulator's saved data shows each
// edit. On the way, Overwrite with nothing changed and Close with a change. A simulator that never
// answers ends with "Failed to transmit" once the (shortened) watchdog gives up.
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "fixture.h"

using namespace qn410;
using namespace qn410::test;

namespace {
struct Upload {
    Ed ed;
    QString exchange;  // shown before the edit; "" for none
    int page;
    char letter;  // a record that carries the edit
    RecordRequest at;
};
const std::vector<Upload> kUploads = {
    {Ed::System, "", 0, 'A', {.clock = &kClock}},
    {Ed::Stations, "1", 0, 'B', {.exchange = 1, .station = 1}},
    {Ed::Stations, "ALL", 1, 'C', {.exchange = 2, .substation = 5}},
    {Ed::Line, "2", 0, 'D', {.exchange = 2}},
    {Ed::Function, "2", 0, 'F', {.exchange = 2}},
    {Ed::Select, "2", 0, 'M', {.exchange = 2}},
    {Ed::Scan, "2", 0, kScanMonitorList.letter, {.exchange = 2, .station = 2}},
    {Ed::Group, "2", 0, kGroupCallList.letter, {.exchange = 2, .station = 2}},
    {Ed::Meeting, "2", 0, kConferenceList.letter, {.exchange = 2, .station = 2}},
    {Ed::Paging, "1", 0, 'H', {.exchange = 1, .zone = 1}},
    {Ed::Paging, "ALL", 1, 'I', {.exchange = 2, .zone = 19}},
    {Ed::Paging, "2", 2, 'J', {.exchange = 2, .sourceZone = 19}},
};

// An edit the record above carries.
void Edit(Editor& e, int page) {
    const auto members = [&](const char* equipment) {
        ChooseFromList(e.as<CDlgMemberList>()->masterList(), "2");
        TypeIntoCell(e.as<CDlgMemberList>()->grid(), 0, 1, "1");
        TypeIntoCell(e.as<CDlgMemberList>()->grid(), 0, 2, equipment);
    };
    CSheetStation* stations = e.as<CSheetStation>();
    CSheetPaging* paging = e.as<CSheetPaging>();
    switch (e.ed) {
        case Ed::System:
            TypeIntoCell(e.as<CDlgSystem>()->grid(), 1, 1, "199");
            return QTest::mouseClick(e.as<CDlgSystem>()->tieLineBox(1), Qt::LeftButton);
        case Ed::Stations:
            if (page) return TypeIntoCell(stations->subPage()->grid(), 64 + 4, 3, "265");
            TypeIntoCell(stations->masterPage()->grid(), 0, 4, "DESK");
            return ClickCell(stations->masterPage()->grid(), 0, 6);  // emergency paging
        case Ed::Line:
            return TypeInto(e.as<CDlgLine>()->line(1).name, "TRUNK");
        case Ed::Function:
            return e.as<CDlgFunction>()->busyBox()->click();
        case Ed::Select:
            return e.as<CDlgDirectSelect>()->callButton()->click();
        case Ed::Scan:
            return members("12");
        case Ed::Group:
            return members("3");
        case Ed::Meeting:
            return members("4");
        default:  // Paging: substation 1-1, the second speaker of 2 and source 2-2 in zone 19
            GridCtrl* grid = static_cast<ZonePage*>(paging->tabs()->currentWidget())->grid();
            ClickCell(grid, page ? 17 - 16 * (page - 1) : 0,
                      page ? 3 + 18 : paging->pagingPage()->firstZoneColumn());
    }
}

std::string Record(const Upload& u, const SettingData& data) {
    RecordRequest r = u.at;
    r.data = &data;
    return Encode(u.letter, r).value_or("none");
}
}  // namespace

class EditorUploadSimTest : public QObject {
    Q_OBJECT
  private slots:
    void everyEditorReachesTheExchanges() {
        SimLink link;
        ThreeExchanges(link.host.document.data());
        const SettingData original = link.host.document.data();
        link.Start();
        for (const Upload& u : kUploads) {
            link.host.document.modified = false;
            link.host.messages.shown.clear();
            Editor e(u.ed, nullptr, &link.host);
            if (!u.exchange.isEmpty()) e.Choose(u.exchange);
            if (u.page) static_cast<EditorSheet*>(e.dlg.get())->tabs()->setCurrentIndex(u.page);
            e.dlg->OverwriteButton()->click();  // nothing changed: the flag stays
            QVERIFY(!link.host.document.modified);
            Edit(e, u.page);
            e.dlg->CloseButton()->click();  // No keeps it open
            QCOMPARE(link.host.messages.texts(), std::vector<std::string>{"Text changed. Exit?"});
            QVERIFY(e.dlg->isVisible());
            const std::size_t sent = link.host.bodies.size();
            e.dlg->UploadButton()->click();
            QTRY_VERIFY_WITH_TIMEOUT(!e.dlg->UploadActive(), 20000);
            QCOMPARE(link.host.messages.shown.size(), std::size_t(1));  // no failure
            QVERIFY(link.host.document.modified);
            const std::string record = Record(u, link.host.document.data());
            QVERIFY2(record != Record(u, original), &u.letter);
            QCOMPARE(std::count(link.host.bodies.begin() + sent, link.host.bodies.end(), record),
                     1);
        }
        SettingDocument held;
        link.StopAndRead(held);
        for (const Upload& u : kUploads)
            QVERIFY2(Record(u, held.data()) == Record(u, link.host.document.data()), &u.letter);
    }

    void silentExchangeEndsWithFailedToTransmit() {
        SimLink link;
        ThreeExchanges(link.host.document.data());
        link.Start({"--silent"});
        Editor e(Ed::System, nullptr, &link.host);
        e.dlg->SetWatchdog(3, 100);  // three ticks of 100 ms instead of 120 s
        e.dlg->UploadButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(link.host.messages.texts(),
                                  std::vector<std::string>{"Failed to transmit"}, 5000);
        QCOMPARE(link.host.messages.shown[0].icon, PromptIcon::Exclamation);
        QVERIFY(!e.dlg->UploadActive());
        QCOMPARE(link.host.progress.back().message, UM_PROGRESS_CLOSE);
        QCOMPARE(link.host.abandons, (std::vector<bool>{false, true}));  // the link told to give up
    }
};

QTEST_MAIN(EditorUploadSimTest)
#include "editor_upload_sim_test.moc"
