#include "app/upload_download.h"

#include <memory>

#include "app/main_frame.h"
#include "app/qn410_view.h"
#include "transfer/sheet_comm.h"
#include "transfer/station_check.h"
#include "ui/transfer_progress.h"

namespace qn410 {

bool StationCheckFails(const SettingData& data) {
    return !CheckStationNumbers(data).ok();
}

void InstallUploadDownload(CMainFrame& frame, std::function<void(CSheetComm&)> prepare) {
    CQN410View& view = frame.view();
    view.SetStationCheck(&StationCheckFails);
    view.SetCategoryHandler(Category::UploadDownload, [&frame, &view, prepare] {
        ViewLink& link = view.link();
        // On the heap like every property sheet, and gone before the view looks at the data.
        auto sheet = std::make_unique<CSheetComm>(
            view.document(), frame.editorHost(), view.prompt(),
            [&link](QObject* sheet) { link.SetTransferSheet(sheet); }, g_transferCancelled,
            view.window());
        if (prepare) prepare(*sheet);
        sheet->exec();
    });
}

}  // namespace qn410
