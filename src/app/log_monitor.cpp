#include "app/log_monitor.h"

#include <QCoreApplication>

#include "app/broker_link.h"
#include "app/main_frame.h"
#include "app/qn410_view.h"
#include "monitor/th_log_save.h"

namespace qn410 {

LogMonitor::LogMonitor(CMainFrame& frame, BrokerLink& link, FolderChooser& folders,
                       const Clock& clock)
    : QObject(&frame),
      frame_(frame),
      link_(link),
      folders_(folders),
      clock_(clock),
      saver_(new CTHLogSave(frame.view().prompt(), clock, this)) {
    CQN410View& view = frame.view();
    saver_->Start(view.workFile().history, view.workFile().monitor);
    // "Data Save" uses the folder the daily files continue in until another is chosen.
    choices_.logFolder = ParseRemembered(view.workFile().history).folder;
    choices_.monitorFolder = ParseRemembered(view.workFile().monitor).folder;
    link_.broker().dispatch().SetLogSaver(saver_->receiver());
    connect(saver_, &CTHLogSave::fileChanged, this, [&view](LogKind kind, const QString& path) {
        (kind == LogKind::Log ? view.workFile().history : view.workFile().monitor) =
            path.toStdString();
    });
    // The thread has ended (its last file name is in the work file) before the view goes.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, saver_,
            [this] { saver_->Stop(); });
    view.SetCategoryHandler(Category::LogData, [this] { Open(LogKind::Log); });
    view.SetCategoryHandler(Category::CommunicationMonitor, [this] { Open(LogKind::Monitor); });
}

// The view (and with it the link) may already be gone: the dispatch watches the saver itself.
LogMonitor::~LogMonitor() {
    saver_->Stop();
}

LogListServices LogMonitor::Services() {
    LogListServices s;
    s.host = &frame_.editorHost();
    s.history = &link_.history();
    s.view = &frame_.view();
    s.choices = &choices_;
    s.folders = &folders_;
    s.clock = &clock_;
    ReceiveDispatch& dispatch = link_.broker().dispatch();
    s.registerWindow = [&dispatch](QObject* w) { dispatch.SetLogWindow(w); };
    s.folderChosen = [this](LogKind kind, const std::string& folder) {
        saver_->SelectFolder(kind, folder);
    };
    return s;
}

void LogMonitor::Open(LogKind kind) {
    LogListServices s = Services();
    if (kind == LogKind::Monitor) {
        ReceiveDispatch& dispatch = link_.broker().dispatch();
        s.registerWindow = [&dispatch](QObject* w) { dispatch.SetMonitorWindow(w); };
    }
    auto window = std::make_unique<CDlgLogList>(kind, std::move(s), frame_.view().window());
    window->exec();
}

}  // namespace qn410
