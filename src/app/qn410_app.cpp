#include "app/qn410_app.h"

#include <QDir>

#include "app/app_paths.h"
#include "app/main_frame.h"
#include "app/password_dialogs.h"
#include "app/qn410_view.h"
#include "setting/password.h"
#include "setting/setting_file.h"

namespace qn410 {

namespace {
const char kLockName[] = "QN410.lock";
}

bool CheckStartPassword(const std::string& settingFile, std::string& password, Prompt& prompt) {
    ReadPassword(settingFile, password, prompt);
    if (password == kPasswordMalformed) {
        prompt.Tell("Incorrect setting file.\n Password Error");
        return false;
    }
    if (password == kPasswordKeyMissing) return false;
    if (password.empty()) return true;
    CDlgPassword dialog(settingFile, password, prompt);
    return dialog.exec() == QDialog::Accepted;
}

QN410App::QN410App(ShellServices services) : services_(std::move(services)) {}

QN410App::~QN410App() = default;

bool QN410App::Start() {
    QDir().mkpath(services_.lockDir);
    lock_ = std::make_unique<QLockFile>(QDir(services_.lockDir).filePath(kLockName));
    // Only the process id decides: a lock left by a crashed copy is taken over at once.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        lock_.reset();
        return false;
    }

    std::string password;
    if (!CheckStartPassword(kDefaultSettingFile, password, *services_.prompt)) return false;

    const QString baseDir = ProgramBaseDir(services_.appDir);
    auto link = services_.makeLink ? services_.makeLink() : std::make_unique<NoLink>();
    auto view = std::make_unique<CQN410View>(*services_.prompt, std::move(password),
                                             WorkFilePath(baseDir), std::move(link));
    CQN410View* shown = view.get();
    frame_ = std::make_unique<CMainFrame>(std::move(view), *services_.files);
    shown->Initialise();
    if (!services_.openFile.isEmpty()) frame_->doc().OpenRecent(services_.openFile);
    frame_->FitToView();
    frame_->show();
    return true;
}

}  // namespace qn410
