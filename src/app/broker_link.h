// The program's link: the view's ViewLink over the link broker, which owns the transfer manager
// and LinkUseMask. Requests the windows post to the view reach the broker here; the transfer
// manager reports straight to the broker; frames the exchanges send are dispatched to the open
// Upload/Download sheet, the log histories and the progress display of the view.
#pragma once

#include <memory>

#include "app/view_link.h"
#include "link/link_broker.h"
#include "monitor/log_history.h"
#include "setting/clock.h"
#include "setting/prompt.h"

namespace qn410 {

class BrokerLink : public ViewLink {
  public:
    // factory makes the transfer manager (a CTransMng when empty).
    explicit BrokerLink(Prompt& prompt, const Clock& clock = SystemClock::Instance(),
                        LinkBroker::ControlFactory factory = nullptr);
    ~BrokerLink() override;  // the transfer manager is given at most 3000 ms to end

    void Start(const MaintenanceSetting& settings) override;
    void Stop() override;
    bool PrepareClose() override;
    void Submit(TransferRequestPtr request, bool abandon) override;
    bool TransferPending() const override;
    void ReleaseTransferBits() override;
    uint8_t UseMask() const override;
    bool HandleNotification(QEvent* event) override;
    void Attach(CMainFrame& frame) override;
    void SetTransferSheet(QObject* sheet) override;
    void SetDialEditor(QObject* editor) override;

    LinkBroker& broker() { return broker_; }
    // The view's rings of the last log and monitor records.
    LogHistory& history() { return history_; }

  private:
    LogHistory history_;
    LinkBroker broker_;
};

}  // namespace qn410
