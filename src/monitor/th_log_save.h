// CTHLogSave: the worker thread that owns the daily log and monitor files. The receive dispatch
// posts it a copy of every record (UM_LOG_RECORD, UM_MONITOR_RECORD); it writes each as one
// line, so that disk work never holds up the user interface. It never shows a message box
// itself: a failure text goes back to the user-interface thread, which shows it (once, until
// that kind writes again), and so does the name of each new file, which the work file keeps.
#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <memory>
#include <string>

#include "monitor/log_files.h"
#include "setting/clock.h"
#include "setting/prompt.h"

namespace qn410 {

class LogSaveWorker;

class CTHLogSave : public QObject {
    Q_OBJECT
  public:
    static constexpr int kStopWaitMs = 200000;

    CTHLogSave(Prompt& prompt, const Clock& clock, QObject* parent = nullptr);
    ~CTHLogSave() override;  // Stop()

    // Starts the thread, continuing the remembered files (History=, Monitor=) of today.
    void Start(const std::string& history, const std::string& monitor);
    // 0x1401: closes both files and ends the thread, waiting at most waitMs for it.
    bool Stop(int waitMs = kStopWaitMs);
    bool running() const { return thread_.isRunning(); }

    // Where the receive dispatch posts the records; null before Start.
    QObject* receiver() const;
    // "Select Folder": the next record of kind starts number 01 in folder.
    void SelectFolder(LogKind kind, const std::string& folder);

  signals:
    // A new file of kind was opened: the name to remember in the work file.
    void fileChanged(qn410::LogKind kind, QString path);

  protected:
    bool event(QEvent* event) override;

  private:
    Prompt& prompt_;
    const Clock& clock_;
    QThread thread_;
    LogSaveWorker* worker_ = nullptr;  // lives in thread_, deleted when it ends
};

}  // namespace qn410
