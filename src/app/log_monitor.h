// The log-data and communication-monitor side of the main view: the file-saving thread
// CTHLogSave (started with the work file's last file names, which it keeps up to date), the
// records the receive dispatch hands it, and the "Log Data" and "Communication Monitor" buttons.
#pragma once

#include <QObject>

#include "monitor/dlg_log_list.h"

namespace qn410 {

class BrokerLink;
class CMainFrame;
class CTHLogSave;
class FolderChooser;

class LogMonitor : public QObject {
    Q_OBJECT
  public:
    // Parented to the frame; the thread ends when the application quits or this is destroyed.
    LogMonitor(CMainFrame& frame, BrokerLink& link, FolderChooser& folders,
               const Clock& clock = SystemClock::Instance());
    ~LogMonitor() override;

    CTHLogSave& saver() { return *saver_; }
    ReadingChoices& choices() { return choices_; }
    // The services a list window of this view is built with.
    LogListServices Services();
    // Opens the window of kind (modal), as its category button does.
    void Open(LogKind kind);

  private:
    CMainFrame& frame_;
    BrokerLink& link_;
    FolderChooser& folders_;
    const Clock& clock_;
    ReadingChoices choices_;
    CTHLogSave* saver_;
};

}  // namespace qn410
