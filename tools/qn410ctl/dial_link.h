// One dialing-assignment upload or download over the real link, without windows: the program's
// link broker, transfer manager and serial channel in an event loop, and the DialTransfer that
// the Dialing Assignment editor drives, here driven by this object. It stands in for the editor
// (the requester of every request and the receiver of the exchange's K blocks) and for the
// progress display (a line on a terminal).
//
// Run returns when the transfer has finished; the link is stopped before it returns. Needs a
// QCoreApplication; user-interface thread only.
#pragma once

#include <QObject>
#include <QTimer>
#include <ostream>

#include "interrupt_notice.h"
#include "link/link_broker.h"
#include "monitor/log_history.h"
#include "progress_line.h"
#include "transfer/dial_transfer.h"

namespace qn410::ctl {

class DialLink : public QObject, public LinkPoster, public TransferHost, public TransferProgress {
    Q_OBJECT
  public:
    // progress: where the progress line goes (nullptr: nowhere). timeoutSeconds 0 keeps the
    // transfer's own limit.
    DialLink(SettingDocument& doc, Prompt& prompt, std::ostream* progress, int timeoutSeconds);
    ~DialLink() override;

    TransferOutcome Run(const MaintenanceSetting& settings, bool upload, int exchange, int master);

    // LinkPoster
    void PostProgress(AppMessage message, int kind, std::string name, int count) override;
    void PostLinkRequest(uint32_t wParam, TransferRequestPtr request) override;
    // TransferHost
    void StartTimer() override { timer_.start(); }
    void StopTimer() override { timer_.stop(); }
    void Finished(TransferOutcome) override { emit transferFinished(); }
    // TransferProgress: an exchange's 'z' status frame cancels the running transfer.
    bool IsTransferProgressOpen() const override { return transfer_.running(); }
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

    LogHistory history_;
    ProgressLine progress_;
    LinePrompt prompt_;
    LinkBroker broker_;
    int cancel_ = 0;
    DialTransfer transfer_;
    QTimer timer_;
    InterruptNotice interrupt_;
};

}  // namespace qn410::ctl
