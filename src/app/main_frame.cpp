#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QTimerEvent>

#include "app/about_dialog.h"
#include "app/message_event.h"
#include "app/qn410_view.h"
#include "app/qt_prompt.h"
#include "app/transfer_progress.h"
#include "link/link_messages.h"

namespace qn410 {

namespace {
constexpr int kTimerPeriodMs = 1000;
constexpr char kLogRequest = 'O';
constexpr char kMonitorRequest = 'P';
constexpr int kExchangeFlags = 16;  // one '1'/'0' per exchange; all '0' stops the reading
}  // namespace

CMainFrame::CMainFrame(std::unique_ptr<CQN410View> view, FileChooser& files, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      view_(view.release()),
      doc_(*view_, files, recent_) {
    setObjectName(QStringLiteral("mainFrame"));
    setCentralWidget(view_);
    resize(640, 520);
    move(20, 20);
    BuildMenu();
    connect(view_, &CQN410View::documentChanged, this, &CMainFrame::UpdateTitle);
    connect(view_, &CQN410View::documentChanged, this, &CMainFrame::RebuildRecentMenu);
    connect(view_, &CQN410View::exitRequested, this, &QWidget::close);
    UpdateTitle();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::FitToView() {
    adjustSize();
    setFixedSize(sizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void CMainFrame::BuildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&New..."), QKeySequence(Qt::CTRL | Qt::Key_N), this,
                    [this] { doc_.New(); });
    file->addAction(QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O), this,
                    [this] { doc_.Open(); });
    file->addAction(QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), this,
                    [this] { doc_.Save(); });
    file->addAction(QStringLiteral("Save &As..."), this, [this] { doc_.SaveAs(); });
    file->addSeparator();
    file->addAction(QStringLiteral("&Print"), QKeySequence(Qt::CTRL | Qt::Key_P), this,
                    [this] { doc_.Print(); });
    // The recent files are listed between these two separators, "&1 path" first.
    file->addSeparator();
    recentEnd_ = file->addSeparator();
    recentEnd_->setVisible(false);
    file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    fileMenu_ = file;
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&About..."), this, [this] {
        CAboutDlg about(this);
        about.exec();
    });
    RebuildRecentMenu();
}

void CMainFrame::RebuildRecentMenu() {
    qDeleteAll(recentActions_);
    recentActions_.clear();
    const QStringList& files = recent_.files();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), fileMenu_);
        connect(action, &QAction::triggered, this, [this, path] { doc_.OpenRecent(path); });
        fileMenu_->insertAction(recentEnd_, action);
        recentActions_.append(action);
    }
    recentEnd_->setVisible(!files.isEmpty());
}

void CMainFrame::UpdateTitle() {
    const std::string& name = view_->document().fileName;
    const QString shown = name.empty() ? QStringLiteral("Untitled")
                                       : QFileInfo(QString::fromStdString(name)).fileName();
    setWindowTitle(shown + QStringLiteral(" - ") + QString::fromLatin1(kApplicationTitle));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (closeDecided_) {
        event->accept();
        return;
    }
    closeDecided_ = TryClose(/*askUnsaved=*/true);
    event->setAccepted(closeDecided_);
}

bool CMainFrame::TryClose(bool askUnsaved) {
    Prompt& prompt = view_->prompt();
    if (askUnsaved && view_->document().modified && !prompt.AskYesNo("Set file not saved. Exit?"))
        return false;
    if (view_->readingLog()) {
        if (prompt.AskYesNo("Reading log data. Will stop reading."))
            StopReading(kLogRequest, "Log Data Request");
        return false;
    }
    if (view_->readingMonitor()) {
        if (prompt.AskYesNo("Reading communication data. Will stop reading."))
            StopReading(kMonitorRequest, "Communication Monitoring Request");
        return false;
    }
    return view_->link().PrepareClose();  // false: already closing for good
}

void CMainFrame::StopReading(char letter, const char* name) {
    // The reading window's own request with no exchange selected: the exchanges stop sending.
    auto request = std::make_unique<TransferRequest>();
    request->requester = this;
    const uint8_t mask = letter == kLogRequest ? kUseLog : kUseMonitor;
    request->setMask = mask;
    request->clearMask = mask;
    request->body = std::string(1, letter) + "00" + std::string(kExchangeFlags, '0');
    PostMessageTo(view_, UM_PROGRESS_START, kProgressTransmitting,
                  std::make_unique<ProgressRequest>(ProgressRequest{name, 1}));
    PostMessageTo(view_, UM_LINK_REQUEST, 0, std::move(request));
    watchdogTicks_ = 0;
    watchdog_.start(kTimerPeriodMs, this);
}

bool CMainFrame::event(QEvent* event) {
    if (static_cast<int>(event->type()) != UM_LINK_RESULT) return QMainWindow::event(event);
    // The frame's own requests come back with codes 0, 1, 2 or 4, each carrying the request.
    const auto code = static_cast<uint32_t>(static_cast<MessageEventBase*>(event)->wParam());
    if (code == kResultReceived) return true;
    auto* result = static_cast<MessageEvent<TransferRequest>*>(event);
    OnStopResult(code, result->block() ? result->block()->letter() : '\0');
    return true;  // the request is released with the event
}

void CMainFrame::OnStopResult(uint32_t result, char letter) {
    watchdog_.stop();
    // Code 4 answers the abandon of a stop the user cancelled: the reading goes on, and so does
    // the program.
    if (result != kResultDone && result != kResultNotDelivered && result != kResultOpenFailed)
        return;
    lastResult_ = result;
    Prompt& prompt = view_->prompt();
    if (result == kResultDone) {
        PostMessageTo(view_, UM_PROGRESS_ADVANCE, 2);
        PostMessageTo(view_, UM_PROGRESS_CLOSE);
        if (letter == kLogRequest) view_->SetReadingLog(false);
        if (letter == kMonitorRequest) view_->SetReadingMonitor(false);
    } else {
        if (result == kResultNotDelivered)
            prompt.Tell("Failed to transmit", PromptIcon::Exclamation);
        else if (result == kResultOpenFailed)
            prompt.Tell("Failed to open the device", PromptIcon::Exclamation);
        PostMessageTo(view_, UM_PROGRESS_CLOSE);
    }
    closeRetry_.start(kTimerPeriodMs, this);
}

void CMainFrame::timerEvent(QTimerEvent* event) {
    if (event->timerId() == watchdog_.timerId()) {
        ++watchdogTicks_;
        const bool cancelled = g_transferCancelled == 1;
        if (!cancelled && watchdogTicks_ < kWatchdogLimit) return;
        watchdog_.stop();
        watchdogTicks_ = 0;
        auto abandon = std::make_unique<TransferRequest>();
        abandon->requester = this;
        abandon->clearMask = kUseSingle | kUseMulti;
        PostMessageTo(view_, UM_LINK_REQUEST, 1, std::move(abandon));
        PostMessageTo(view_, UM_PROGRESS_CLOSE);
        if (!cancelled) {
            // No answer in time: treat it as a failed stop so the program can still end.
            view_->prompt().Tell("Failed to transmit", PromptIcon::Exclamation);
            lastResult_ = kResultNotDelivered;
            closeRetry_.start(kTimerPeriodMs, this);
        }
        return;
    }
    if (event->timerId() == closeRetry_.timerId()) {
        if (view_->link().TransferPending()) return;
        closeRetry_.stop();
        if (lastResult_ != kResultDone) {
            view_->SetReadingLog(false);
            view_->SetReadingMonitor(false);
        }
        if (TryClose(/*askUnsaved=*/false)) {
            closeDecided_ = true;
            close();
        }
        return;
    }
    QMainWindow::timerEvent(event);
}

}  // namespace qn410
