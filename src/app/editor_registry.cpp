#include "app/editor_registry.h"

#include <memory>

#include "app/main_frame.h"
#include "app/qn410_view.h"
#include "editors/dlg_direct_dial.h"
#include "editors/dlg_direct_select.h"
#include "editors/dlg_function.h"
#include "editors/dlg_line.h"
#include "editors/dlg_member_list.h"
#include "editors/dlg_system.h"
#include "editors/sheet_paging.h"
#include "editors/sheet_station.h"
#include "setting/clock.h"
#include "transfer/station_check.h"

namespace qn410 {

namespace {
// Editors are large: each lives on the heap from its button until it is closed.
template <typename Editor, typename... Args>
void RunEditor(CMainFrame& frame, Args&&... args) {
    auto editor = std::make_unique<Editor>(frame.editorHost(), std::forward<Args>(args)..., &frame);
    editor->exec();
}
}  // namespace

void RegisterEditors(CMainFrame& frame) {
    CQN410View& view = frame.view();
    view.SetCategoryHandler(Category::GlobalSetting,
                            [&frame] { RunEditor<CDlgSystem>(frame, SystemClock::Instance()); });
    view.SetCategoryHandler(Category::Stations, [&frame] {
        auto sheet = std::make_unique<CSheetStation>(frame.editorHost(), &frame);
        if (frame.view().OpeningForStationCheck()) sheet->ExplainStationCheckOnOpen();
        sheet->exec();
    });
    view.SetCategoryHandler(Category::DialingAssignment,
                            [&frame] { RunEditor<CDlgDirectDial>(frame); });
    view.SetCategoryHandler(Category::CoTrunks, [&frame] { RunEditor<CDlgLine>(frame); });
    view.SetCategoryHandler(Category::CallForwarding, [&frame] { RunEditor<CDlgFunction>(frame); });
    view.SetCategoryHandler(Category::DirectSelect,
                            [&frame] { RunEditor<CDlgDirectSelect>(frame); });
    view.SetCategoryHandler(Category::GroupCall, [&frame] { RunEditor<CDlgGroup>(frame); });
    view.SetCategoryHandler(Category::ScanMonitor, [&frame] { RunEditor<CDlgScan>(frame); });
    view.SetCategoryHandler(Category::Paging, [&frame] { RunEditor<CSheetPaging>(frame); });
    view.SetCategoryHandler(Category::EmergencyConference,
                            [&frame] { RunEditor<CDlgMeeting>(frame); });
    // Changed exchanges, digits or first station numbers may leave station numbers that no
    // longer fit: the Stations sheet opens so that they can be corrected.
    view.SetStationCheck([](const SettingData& data) { return !CheckStationNumbers(data).ok(); });
}

}  // namespace qn410
