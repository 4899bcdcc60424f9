#include "app/link_dialogs.h"

#include <QApplication>

#include "app/dlg_pc_port.h"
#include "app/main_frame.h"
#include "app/password_dialogs.h"
#include "app/qn410_view.h"
#include "monitor/dlg_remote_dial.h"
#include "setting/setting_file.h"

namespace qn410 {

void InstallLinkDialogs(CMainFrame& frame) {
    CQN410View& view = frame.view();
    view.SetCategoryHandler(Category::PcPort, [&frame, &view] {
        PcPortActions actions;
        actions.refuseWhileReading = [&view] { return view.RefuseWhileReading(); };
        actions.restartLink = [&view] { view.RestartLink(); };
        actions.newPassword = [&view] {
            CDlgNewPassword dialog(kDefaultSettingFile, view.password(), view.prompt(),
                                   QApplication::activeModalWidget());
            dialog.exec();
        };
        CDlgPcPort dialog(frame.editorHost(), std::move(actions), &frame);
        dialog.exec();
    });
    view.SetCategoryHandler(Category::RemoteDialing, [&frame] {
        CDlgRemoteDial dialog(frame.editorHost(), &frame);
        dialog.exec();
    });
}

}  // namespace qn410
