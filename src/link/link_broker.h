// LinkBroker: the view's side of the link. Windows post UM_LINK_REQUEST (see PostLinkRequest in
// link_event.h); the broker opens the channel when needed, queues the request, tracks the users
// of the link in LinkUseMask and answers the requester with exactly one UM_LINK_RESULT:
// 0 done, 1 not delivered, 2 channel did not open, 4 slot reset after an abandon (3 carries
// received data, see receive_dispatch.h). A requester destroyed meanwhile is skipped and its
// request released. The link notifications of the transfer manager come here too.
//
// The view owns the broker and calls Start when first shown or after the PC port settings
// change, OnMainWindowClose when the main window is asked to close, and Shutdown on the way out.
// User-interface thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <memory>
#include <unordered_map>

#include "link/link_control.h"
#include "link/receive_dispatch.h"
#include "setting/setting_data.h"

namespace qn410 {

class LinkEvent;

class LinkBroker : public QObject {
    Q_OBJECT
  public:
    using ControlFactory =
        std::function<std::unique_ptr<LinkControl>(QObject* notify, const MaintenanceSetting&)>;

    // factory: makes the transfer manager; by default a CTransMng.
    LinkBroker(LogHistory& history, const Clock& clock, Prompt& prompt,
               ControlFactory factory = nullptr, QObject* parent = nullptr);
    ~LinkBroker() override;

    // Starts (or, after Stop, restarts) the link with these settings; with RS-232C the port is
    // opened at once.
    void Start(const MaintenanceSetting& settings);
    // Closes the channel where due and ends the transfer manager, waiting at most timeoutMs
    // (negative: no limit). Requests still in it are answered with code 1.
    void Stop(int timeoutMs = -1);
    // The main window was asked to close: true when it may close now. Otherwise the link is
    // being closed and closeMainWindow() is emitted once it is.
    bool OnMainWindowClose();
    // The last step on the way out: stop the transfer manager, waiting at most 3000 ms.
    void Shutdown() { Stop(3000); }

    uint8_t linkUseMask() const { return mask_; }
    // A transmitting progress display has ended: its users let go of bits (0x01 | 0x02); the
    // modem is hung up when nobody holds the link any more.
    void ReleaseBits(uint8_t bits);
    // A request is queued, in flight or waiting for its reset: its answer is still to come.
    bool pending() const { return !requesters_.empty(); }
    ReceiveDispatch& dispatch() { return dispatch_; }

  signals:
    void closeMainWindow();

  protected:
    bool event(QEvent* event) override;

  private:
    void OnRequest(LinkEvent& e);
    void OnConnected();
    void OnSent(LinkEvent& e);
    void OnReset(LinkEvent& e);
    void OnError(LinkEvent& e);
    void OnDisconnected();
    // Answers r's requester with code; releases r when the requester is gone.
    void Answer(uint32_t code, TransferRequestPtr r);
    void Release(TransferRequestPtr r);
    bool IsModem() const { return settings_.PcConnect == 1; }
    void HangUpWhenUnused();
    bool DisconnectDue() const { return !IsModem() || mask_ != 0; }

    ReceiveDispatch dispatch_;
    ControlFactory factory_;
    std::unique_ptr<LinkControl> control_;
    MaintenanceSetting settings_{};
    uint8_t mask_ = 0;
    uint8_t currentExchange_ = 0;
    bool mayClose_ = false;
    // Send requests waiting for the channel to open, and abandon requests waiting for the reset
    // they caused, oldest first.
    std::deque<TransferRequestPtr> awaitingConnect_;
    std::deque<TransferRequestPtr> awaitingReset_;
    std::unordered_map<const TransferRequest*, QPointer<QObject>> requesters_;
};

}  // namespace qn410
