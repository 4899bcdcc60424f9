// The view's side of the progress messages 0x1700..0x1704: it owns the one progress dialog while
// it exists and drives it from the messages alone. The dialog runs modal to the application but
// without a nested event loop, so messages posted by the working code arrive in order.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "link/receive_dispatch.h"
#include "ui/transfer_progress.h"

class QEvent;
class QWidget;

namespace qn410 {

class CDlgProgress;

// How a window posts a progress message to the view: 0x1700, 0x1703 and 0x1704 with a prefix and
// a count, 0x1701 and 0x1702 with neither.
void PostProgress(QObject* view, uint16_t message, int kind, std::string prefix = {},
                  int count = 0);

class ProgressDisplay : public TransferProgress {
  public:
    // onTransmitEnded runs when a dialog of kind 2 has ended (the link releases its bits).
    ProgressDisplay(QWidget* owner, std::function<void()> onTransmitEnded);
    ~ProgressDisplay() override;

    // Handles a message 0x1700..0x1704; false for any other event.
    bool HandleMessage(QEvent* event);

    bool IsTransferProgressOpen() const override;
    void CloseAsCancelled() override;

    CDlgProgress* dialog() const { return dialog_; }

  private:
    void Open(int kind, const ProgressRequest& request);
    void Relabel(int kind, const ProgressRequest& request);
    void Retitle(int kind, const ProgressRequest& request);
    void Ended();

    QWidget* owner_;
    std::function<void()> onTransmitEnded_;
    CDlgProgress* dialog_ = nullptr;
    int kind_ = 0;
};

}  // namespace qn410
