#include "app/qn410_app.h"

#include <QApplication>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include "app/app_paths.h"
#include "app/main_frame.h"
#include "app/password_dialogs.h"
#include "app/qn410_view.h"
#include "setting/password.h"
#include "setting/setting_file.h"

namespace qn410 {

namespace {
const char kLockName[] = "QN410.lock";
const char kSocketName[] = "QN410.socket";
constexpr int kNotifyWaitMs = 1000;
}  // namespace

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
    const QString socketPath = QDir(services_.lockDir).filePath(kSocketName);
    if (!lock_->tryLock(0)) {
        lock_.reset();
        // Another copy runs: it brings its window to the front, and this one ends quietly.
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(kNotifyWaitMs)) {
            socket.write("front\n");
            socket.waitForBytesWritten(kNotifyWaitMs);
            socket.disconnectFromServer();
        }
        return false;
    }
    Listen();

    std::string password;
    if (!CheckStartPassword(kDefaultSettingFile, password, *services_.prompt)) return false;

    const QString baseDir = ProgramBaseDir(services_.appDir);
    auto link = services_.makeLink ? services_.makeLink() : std::make_unique<NoLink>();
    auto view = std::make_unique<CQN410View>(*services_.prompt, std::move(password),
                                             WorkFilePath(baseDir), std::move(link));
    CQN410View* shown = view.get();
    frame_ = std::make_unique<CMainFrame>(std::move(view), *services_.files);
    shown->Initialise();
    if (!services_.openFile.isEmpty()) frame_->doc().OpenNamed(services_.openFile);
    frame_->FitToView();
    frame_->show();
    return true;
}

void QN410App::Listen() {
    const QString socketPath = QDir(services_.lockDir).filePath(kSocketName);
    QLocalServer::removeServer(socketPath);  // left by a copy that crashed; we hold the lock
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(socketPath);
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            BringToFront();
        }
    });
}

void QN410App::BringToFront() {
    // While the password is asked for there is no main window yet: the dialog comes forward.
    QWidget* window = frame_ ? frame_.get() : QApplication::activeModalWidget();
    if (!window) return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    // A modal editor open over the main window comes forward with it.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != window) {
        modal->raise();
        modal->activateWindow();
    }
}

}  // namespace qn410
