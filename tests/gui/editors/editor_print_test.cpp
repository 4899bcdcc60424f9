// Every editor's Print hands the printing side a job whose data it knows, under the editor's
// category: an unknown type would print the saved data instead of what is on screen.
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "editor_test_host.h"
#include "editors/dlg_direct_dial.h"
#include "editors/dlg_direct_select.h"
#include "editors/dlg_function.h"
#include "editors/dlg_line.h"
#include "editors/dlg_member_list.h"
#include "editors/dlg_system.h"
#include "editors/sheet_paging.h"
#include "editors/sheet_station.h"
#include "print/print_request.h"
#include "setting/clock.h"

using namespace qn410;
using Make = std::function<std::unique_ptr<EditorFrame>(test::EditorTestHost&)>;

template <typename Editor>
Make Editor_() {
    return [](test::EditorTestHost& h) { return std::make_unique<Editor>(h); };
}

class EditorPrintTest : public QObject {
    Q_OBJECT
  private slots:
    void printHandsKnownDataUnderItsCategory() {
        const std::pair<Make, PrintCategory> editors[] = {
            {[](test::EditorTestHost& h) {
                 return std::make_unique<CDlgSystem>(h, SystemClock::Instance());
             },
             kPrintGlobalSetting},
            {Editor_<CSheetStation>(), kPrintMasters},
            {Editor_<CDlgLine>(), kPrintTrunks},
            {Editor_<CDlgFunction>(), kPrintForwarding},
            {Editor_<CDlgDirectSelect>(), kPrintDirectSelect},
            {Editor_<CDlgScan>(), kPrintScanMonitor},
            {Editor_<CDlgGroup>(), kPrintGroupCall},
            {Editor_<CDlgMeeting>(), kPrintConference},
            {Editor_<CSheetPaging>(), kPrintPagingSubstations},
            {Editor_<CDlgDirectDial>(), kPrintDialingAssignment},
        };
        for (const auto& [make, category] : editors) {
            test::EditorTestHost host;
            auto editor = make(host);
            editor->show();
            editor->PrintButton()->click();
            QCOMPARE(host.prints.size(), size_t{1});
            QCOMPARE(host.prints[0].category, category);
            QVERIFY2(PrintJobDataKnown(host.prints[0]), host.prints[0].data.type().name());
        }
    }
};

QTEST_MAIN(EditorPrintTest)
#include "editor_print_test.moc"
