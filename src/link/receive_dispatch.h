// What the view does with a frame an exchange sent (UM_LINK_RECEIVED): by its command letter
// the item goes to the open Upload/Download sheet or Dialing Assignment editor, log and monitor
// records go to their history, to the log-saving thread and to their open list window, and a
// 'z' status frame cancels a running transfer. Windows register here while they are open; a
// frame for a closed window is released without a trace. User-interface thread only.
#pragma once

#include <QObject>
#include <QPointer>

#include "link/transfer_request.h"
#include "monitor/log_history.h"
#include "setting/clock.h"
#include "setting/prompt.h"

namespace qn410 {

// The progress display of a transfer (implemented by the application shell).
class TransferProgress {
  public:
    virtual ~TransferProgress() = default;
    virtual bool IsTransferProgressOpen() const = 0;
    // Closes the display as cancelled and sets the shared transfer-cancelled flag.
    virtual void CloseAsCancelled() = 0;
};

class ReceiveDispatch {
  public:
    ReceiveDispatch(LogHistory& history, const Clock& clock, Prompt& prompt)
        : history_(history), clock_(clock), prompt_(prompt) {}

    // Registration; nullptr unregisters. The objects may be destroyed without unregistering.
    void SetTransferSheet(QObject* sheet) { transferSheet_ = sheet; }
    void SetDialEditor(QObject* editor) { dialEditor_ = editor; }
    void SetLogWindow(QObject* window) { logWindow_ = window; }
    void SetMonitorWindow(QObject* window) { monitorWindow_ = window; }
    // The log-saving thread's receiver of UM_LOG_RECORD (0x1410) and UM_MONITOR_RECORD (0x1411).
    void SetLogSaver(QObject* saver) { logSaver_ = saver; }
    void SetProgress(TransferProgress* progress) { progress_ = progress; }

    void Dispatch(TransferRequestPtr item);
    // The device went away during a transfer: the open Upload/Download sheet gets
    // UM_LINK_RESULT 1 without a request, and ends its transfer at once instead of waiting for
    // records or answers that cannot come.
    void DeviceLost();

  private:
    void ToWindow(QObject* window, TransferRequestPtr item);
    void LogRecord(const TransferRequest& item);
    void MonitorRecord(const TransferRequest& item);
    void ExchangeStatus(const TransferRequest& item);

    LogHistory& history_;
    const Clock& clock_;
    Prompt& prompt_;
    QPointer<QObject> transferSheet_, dialEditor_, logWindow_, monitorWindow_, logSaver_;
    TransferProgress* progress_ = nullptr;
};

}  // namespace qn410
