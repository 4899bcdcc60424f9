// One upload or download over the real link, without windows: the program's link broker,
// transfer manager and serial channel in an event loop, and the transfer session that the
// Upload/Download sheet drives, here driven by this object. It stands in for the sheet (it is
// the requester of every request and the receiver of the exchanges' records) and for the
// progress display (a line on a terminal).
//
// Run returns when the session has finished; the link is stopped before it returns. Needs a
// QCoreApplication; user-interface thread only.
#pragma once

#include <QObject>
#include <QTimer>
#include <ostream>

#include "interrupt_notice.h"
#include "link/link_broker.h"
#include "monitor/log_history.h"
#include "progress_line.h"
#include "transfer/transfer_session.h"

namespace qn410::ctl {

class LinkTransfer : public QObject,
                     public LinkPoster,
                     public TransferHost,
                     public TransferProgress {
    Q_OBJECT
  public:
    // progress: where the progress line goes (nullptr: nowhere). timeoutSeconds 0 keeps the
    // session's own limit.
    LinkTransfer(SettingDocument& doc, Prompt& prompt, std::ostream* progress, int timeoutSeconds);
    ~LinkTransfer() override;

    // exchange 0 for all. Returns the session's outcome.
    TransferOutcome Run(const MaintenanceSetting& settings, bool upload, int exchange);

    // LinkPoster
    void PostProgress(AppMessage message, int kind, std::string name, int count) override;
    void PostLinkRequest(uint32_t wParam, TransferRequestPtr request) override;
    // TransferHost
    void StartTimer() override { timer_.start(); }
    void StopTimer() override { timer_.stop(); }
    void Finished(TransferOutcome) override;
    // TransferProgress: an exchange's 'z' status frame cancels the running transfer.
    bool IsTransferProgressOpen() const override {
        return session_.active() && session_.outcome() == TransferOutcome::Running;
    }
    void CloseAsCancelled() override;

  signals:
    void transferFinished();

  protected:
    bool event(QEvent* event) override;

  private:
    // Messages start on a line of their own, below the progress line.
    class LinePrompt : public Prompt {
      public:
        LinePrompt(Prompt& prompt, ProgressLine& line) : prompt_(prompt), line_(line) {}
        PromptAnswer Show(const std::string& text, PromptIcon icon,
                          PromptButtons buttons) override {
            line_.Break();
            return prompt_.Show(text, icon, buttons);
        }

      private:
        Prompt& prompt_;
        ProgressLine& line_;
    };

    // Cancel as the progress dialog's Cancel does: the next tick or send abandons the link.
    void Cancel();

    LogHistory history_;
    ProgressLine progress_;
    LinePrompt prompt_;
    LinkBroker broker_;
    int cancel_ = 0;
    TransferSession session_;
    QTimer timer_;
    InterruptNotice interrupt_;
    bool finished_ = false;
};

}  // namespace qn410::ctl
