// Every editor as a window and as the main window opens it: the first input has the focus, the
// grid takes the room of a larger window, whose size is remembered; Close asks only when
// something differs; Print hands over a known form; the station check opens "Stations" on the
// failing cell. And what single editors do beyond their checks: Dialing Assignment's download,
// trunk names following Stations, time texts, zone digits.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QWindow>

#include "app/category_panel.h"
#include "app/editor_registry.h"
#include "app/main_frame.h"
#include "app/qn410_view.h"
#include "editors/edit_spin.h"
#include "fixture.h"
#include "print/print_request.h"
#include "shell_fixture.h"
#include "transfer/station_check.h"

using namespace qn410;
using namespace qn410::test;

class EditorWindowTest : public QObject {
    Q_OBJECT
    QTemporaryDir settings_;

  private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
    }

    void everyEditorAsAWindow() {
        const PrintCategory categories[] = {
            kPrintGlobalSetting,     kPrintMasters,          kPrintTrunks,    kPrintForwarding,
            kPrintDirectSelect,      kPrintScanMonitor,      kPrintGroupCall, kPrintConference,
            kPrintPagingSubstations, kPrintDialingAssignment};
        for (int i = 0; i <= int(Ed::Dial); ++i) {
            QSize chosen;
            {
                Editor e{Ed(i)};
                QVERIFY(QTest::qWaitForWindowExposed(e.dlg.get()));
                QWidget* first =
                    e.selector() ? e.selector() : e.as<CDlgSystem>()->exchangeCountList();
                if (Ed(i) >= Ed::Scan && Ed(i) <= Ed::Meeting)
                    QEXPECT_FAIL("", "the member lists open on the master list", Continue);
                QCOMPARE(QApplication::focusWidget(), first);
                GridCtrl* grid = e.dlg->findChild<GridCtrl*>();
                const int height = grid ? grid->height() : 0;
                chosen = e.dlg->size() + QSize(60, 120);
                e.dlg->windowHandle()->resize(chosen);  // as the window manager does for the user
                QTRY_COMPARE(e.dlg->size(), chosen);
                if (grid && grid->isVisible() && grid->maximumHeight() > grid->minimumHeight())
                    QVERIFY(grid->height() >= height + 100);  // not the trunks' 4-row grids
                e.dlg->OverwriteButton()->click();            // nothing changed
                QVERIFY(!e.host.document.modified);
                e.dlg->PrintButton()->click();
                QCOMPARE(e.host.prints.at(0).category, categories[i]);
                QVERIFY(PrintJobDataKnown(e.host.prints[0]));
                e.dlg->CloseButton()->click();
                QVERIFY(e.host.messages.shown.empty());
            }
            Editor again{Ed(i)};
            QCOMPARE(again.dlg->size(), chosen);
        }
    }

    void globalSettingTabsInReadingOrder() {
        Editor e(Ed::System);
        CDlgSystem& d = *e.as<CDlgSystem>();
        QCOMPARE(d.clockField()->text(), QString("09:30:05"));  // the clock it will send
        for (QWidget* next :
             std::vector<QWidget*>{d.digitsList(), d.tieLineBox(0), d.tieLineBox(1),
                                   d.tieLineBox(2), d.tieLineBox(3), d.grid(), d.PrintButton()}) {
            if (next == d.PrintButton()) d.grid()->SetCurrentCell(2, 1);  // the last cell
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    // Close compares with the saved data, not with what was touched.
    void closeAsksOnlyWhenSomethingDiffers() {
        Editor select(Ed::Select);
        select.Choose("2");
        select.as<CDlgDirectSelect>()->callButton()->click();
        select.as<CDlgDirectSelect>()->responseButton()->click();
        select.dlg->CloseButton()->click();
        QVERIFY(select.host.messages.shown.empty() && !select.dlg->isVisible());
        // Fewer exchanges differ, though only numbers beyond the new count changed.
        Editor global(Ed::System);
        ChooseFromList(global.as<CDlgSystem>()->exchangeCountList(), "1");
        ChooseFromList(global.as<CDlgSystem>()->exchangeCountList(), "3");
        QCOMPARE(global.as<CDlgSystem>()->grid()->ItemText(1, 1), std::string());
        global.host.messages.ScriptAnswers({PromptAnswer::Yes});
        global.dlg->CloseButton()->click();
        QCOMPARE(global.host.messages.texts(), std::vector<std::string>{"Text changed. Exit?"});
        QVERIFY(!global.dlg->isVisible());
        QCOMPARE(global.host.document.data().System.SwNumber[1].Value, 200);  // not committed
        // Print takes the copy with its unsaved edits, and the page shown.
        global.Open();
        TypeIntoCell(global.as<CDlgSystem>()->grid(), 0, 1, "110");
        global.dlg->PrintButton()->click();
        QCOMPARE(std::any_cast<SystemSetting>(global.host.prints.at(0).data).SwNumber[0].Value,
                 110);
        Editor stations(Ed::Stations);
        stations.as<CSheetStation>()->tabs()->setCurrentIndex(1);
        stations.dlg->PrintButton()->click();
        QCOMPARE(stations.host.prints.at(0).category, kPrintSubstations);
    }

    // A click that only makes a flag cell current leaves it; the fixed columns follow a jump.
    void gridsAsTheInstallerMeetsThem() {
        Editor e(Ed::Stations,
                 [](SettingData& d) { Number(S(d, 1, 50).Number, S(d, 1, 50).Name, 250); });
        GridCtrl* grid = e.as<CSheetStation>()->masterPage()->grid();
        grid->SetCurrentCell(0, master_col::kName);
        const QPoint at =
            grid->visualRect(grid->Model().index(1, master_col::kLineAccess)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(grid->ItemText(1, master_col::kLineAccess), std::string("-"));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(grid->ItemText(1, master_col::kLineAccess), std::string("v"));
        e.dlg->OverwriteButton()->click();  // from the masters page to substation 50
        GridCtrl* subs = e.as<CSheetStation>()->subPage()->grid();
        QCOMPARE(subs->CurrentCell().row, 49);
        QTRY_VERIFY(subs->verticalScrollBar()->value() > 0);
        const QRect cell = subs->FixedView().visualRect(subs->Model().index(49, 1));
        QVERIFY(subs->FixedView().viewport()->rect().contains(cell.center()));
    }

    void stationCheckOpensStationsOnTheCell() {
        RecordingShell shell;
        QVERIFY(shell.app->Start());
        RegisterEditors(*shell.app->frame());
        CQN410View& view = shell.app->frame()->view();
        WhenModal<CDlgSystem>([](CDlgSystem* d) {  // three digits: the stations no longer fit
            ChooseFromList(d->digitsList(), "3");
            TypeIntoCell(d->grid(), 0, 1, "100");
            d->OverwriteButton()->click();
            d->CloseButton()->click();
        });
        bool onTheCell = false;
        WhenModal<CSheetStation>([&onTheCell](CSheetStation* s) {
            QCoreApplication::processEvents();
            onTheCell = s->masterPage()->grid()->CurrentCell() ==
                        GridCell{s->masterPage()->RowOf(1, 1), master_col::kStation};
            s->CloseButton()->click();
        });
        view.panel().button(Category::GlobalSetting)->click();
        QCOMPARE(shell.prompt.texts(), std::vector<std::string>{StationCheckMessage(
                                           CheckStationNumbers(view.document().data()))});
        QVERIFY(onTheCell);
    }

    // 'T' goes out; the exchange's blocks replace the table, door lock time included.
    void dialingAssignmentDownloads() {
        Editor e(Ed::Dial, [](SettingData& d) { SetText(d.Dial[0][0][2].Dial, "300"); });
        CDlgDirectDial& dial = *e.as<CDlgDirectDial>();
        dial.downloadButton()->click();
        QCOMPARE(e.host.letters(), std::vector<char>{'T'});
        QCOMPARE(e.host.dialWindow, e.dlg.get());
        DialTable sent{};  // 26 entries: 3 blocks
        for (int i = 0; i < 25; ++i) SetText(sent[i * 2].Dial, std::to_string(201 + i));
        SetText(sent[0].Shot, "2");
        SetText(sent[1].Dial, "x");
        SetText(sent[1].Shot, "x");
        const std::vector<DialEntry> table = BuildSendTable(sent);
        QTRY_COMPARE(dial.transfer().expected(), 103);
        for (int b = 1; b <= 3; ++b) {
            auto item = std::make_unique<TransferRequest>();
            item->body = *EncodeDialBlock(1, 1, 6, table, b);
            QCoreApplication::postEvent(
                &dial, new LinkEvent(UM_LINK_RESULT, kResultReceived, std::move(item)));
        }
        QTRY_COMPARE(dial.transfer().outcome(), TransferOutcome::Downloaded);
        QCOMPARE(e.host.letters(), (std::vector<char>{'T', '-'}));
        QCOMPARE(e.host.dialWindow, nullptr);
        QCOMPARE(dial.grid()->ItemText(2, 1) + dial.grid()->ItemText(1, 3), std::string("202x"));
        QCOMPARE(dial.doorLockList()->currentText(), QString("6"));
        QVERIFY(e.host.document.modified);
    }

    void trunkNamesFollowStations() {
        Editor e(Ed::Line);
        e.as<CDlgLine>()->line(0).directInLine->click();
        TypeIntoCell(e.as<CDlgLine>()->line(0).grid, 0, CDlgLine::kStation, "192");
        e.dlg->OverwriteButton()->click();
        Editor stations(Ed::Stations, nullptr, &e.host);
        TypeIntoCell(stations.as<CSheetStation>()->masterPage()->grid(), 1, 4, "DESK");
        stations.dlg->OverwriteButton()->click();
        QCOMPARE(std::string(e.host.document.data().Exchange[0].Line[0].RxName[0]), "DESK");
    }

    void timesAreStoredAsHoursAndMinutes() {
        Editor e(Ed::Function, [](SettingData& d) { d.Function[0].TalkTime = 25; });
        CDlgFunction& f = *e.as<CDlgFunction>();
        f.limit(CDlgFunction::kCallTimeOut).box->click();             // on from 0 stores 1
        TypeInto(f.limit(CDlgFunction::kNoAnswer).value, "0");        // out of range: reverts to 10
        TypeInto(f.limit(CDlgFunction::kConversation).value, "995");  // reverts to 25
        f.limit(CDlgFunction::kConversation).value->stepBy(1);        // rounded down to 20, then up
        f.forwardingBox()->click();
        f.timeBasedBox()->click();
        TypeInto(f.startBox(), " 0007 : 0005");
        e.dlg->OverwriteButton()->click();
        const FunctionSetting& s = e.host.document.data().Function[0];
        QCOMPARE(std::string(s.StartTime.Text), "07:05");
        QCOMPARE((std::vector<int>{s.StartTime.Value, s.CallTime, s.CallCnt, s.TalkTime}),
                 (std::vector<int>{7 * 256 + 5, 1, 10, 30}));
    }

    void pagingZoneDigitsHideZonesAndKeepThem() {
        Editor e(Ed::Paging, [](SettingData& d) {
            S(d, 1, 3).Level = 1;  // emergency: cannot be paged
            S(d, 1, 1).Paging = 1 << 11;
        });
        CPagePaging* page = e.as<CSheetPaging>()->pagingPage();
        GridCtrl* grid = page->grid();
        const int zone1 = page->firstZoneColumn();
        ClickCell(grid, 2, zone1);  // "x" stays
        ClickCell(grid, 0, zone1);
        ChooseFromList(page->zoneDigitsList(), "1");
        QCOMPARE(grid->ColumnCount(), zone1 + 9);
        ChooseFromList(page->zoneDigitsList(), "2");  // zone 12 was hidden, and kept
        QCOMPARE(
            grid->ItemText(2, zone1) + grid->ItemText(0, zone1) + grid->ItemText(0, zone1 + 11),
            "xvv");
        QCOMPARE(PagingTimeStep("25", 1) + PagingTimeStep("25", -1), QString("3010"));
    }
};

QTEST_MAIN(EditorWindowTest)
#include "editor_window_test.moc"
