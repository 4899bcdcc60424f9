#include "link/link_broker.h"

#include "link/link_event.h"
#include "link/trans_mng.h"

namespace qn410 {

LinkBroker::LinkBroker(LogHistory& history, const Clock& clock, Prompt& prompt,
                       ControlFactory factory, QObject* parent)
    : QObject(parent), dispatch_(history, clock, prompt), factory_(std::move(factory)) {
    if (!factory_) {
        factory_ = [](QObject* notify, const MaintenanceSetting& settings) {
            return std::make_unique<CTransMng>(notify, settings);
        };
    }
}

LinkBroker::~LinkBroker() {
    Stop(3000);
}

void LinkBroker::Start(const MaintenanceSetting& settings) {
    Stop();  // one transfer manager at a time
    settings_ = settings;
    control_ = factory_(this, settings_);
    mayClose_ = false;
    mask_ = 0;
    if (!IsModem()) {
        mask_ = kUseStartup;
        control_->Connect(1);
    }
}

void LinkBroker::Stop(int timeoutMs) {
    if (!control_) return;
    if (mask_ != kUseClosing && DisconnectDue()) {
        mask_ = kUseClosing;
        control_->Disconnect(currentExchange_);
    }
    for (TransferRequestPtr& r : control_->Stop(timeoutMs))
        Answer(kResultNotDelivered, std::move(r));
    control_.reset();
    while (!awaitingConnect_.empty()) {
        TransferRequestPtr r = std::move(awaitingConnect_.front());
        awaitingConnect_.pop_front();
        Answer(kResultNotDelivered, std::move(r));
    }
}

bool LinkBroker::OnMainWindowClose() {
    if (mayClose_ || !control_) return true;
    if (mask_ == kUseClosing) return false;  // already closing; closeMainWindow() follows
    if (!DisconnectDue()) return true;
    mask_ = kUseClosing;
    control_->Disconnect(currentExchange_);
    return false;
}

bool LinkBroker::event(QEvent* event) {
    auto* e = dynamic_cast<LinkEvent*>(event);
    if (!e) return QObject::event(event);
    switch (e->message()) {
        case UM_LINK_REQUEST:
            OnRequest(*e);
            break;
        case UM_LINK_CONNECTED:
            OnConnected();
            break;
        case UM_LINK_DISCONNECTED:
            OnDisconnected();
            break;
        case UM_LINK_SENT:
            OnSent(*e);
            break;
        case UM_LINK_RECEIVED:
            dispatch_.Dispatch(std::move(e->request));
            break;
        case UM_LINK_RESET:
            OnReset(*e);
            break;
        case UM_LINK_ERROR:
            OnError(*e);
            break;
        default:
            return QObject::event(event);
    }
    return true;
}

void LinkBroker::OnRequest(LinkEvent& e) {
    TransferRequestPtr r = std::move(e.request);
    if (!r) return;
    // A request posted with PostLinkRequest knows whether its window still lives; for one
    // posted by hand the window is taken as alive now.
    QPointer<QObject> requester =
        e.requesterTracked ? e.requester : QPointer<QObject>(static_cast<QObject*>(r->requester));
    requesters_[r.get()] = requester;
    if (e.wParam == 1) {  // abandon: reset the slot; the reset answers r with code 4
        mask_ &= static_cast<uint8_t>(~r->clearMask);
        // A request of the same window that is still waiting for the channel goes with it.
        std::erase_if(awaitingConnect_, [&](const TransferRequestPtr& w) {
            if (w->requester != r->requester) return false;
            requesters_.erase(w.get());
            return true;
        });
        const uint8_t exchange = r->exchange;
        awaitingReset_.push_back(std::move(r));
        if (control_) {
            control_->ResetSlot(exchange);
        } else {
            TransferRequestPtr a = std::move(awaitingReset_.back());
            awaitingReset_.pop_back();
            Answer(kResultReset, std::move(a));
        }
        return;
    }
    if (r->setMask == 0) {  // release
        mask_ &= static_cast<uint8_t>(~r->clearMask);
        Answer(kResultDone, std::move(r));
        HangUpWhenUnused();
        return;
    }
    currentExchange_ = r->exchange;
    mask_ |= r->setMask;
    awaitingConnect_.push_back(std::move(r));
    if (control_) {
        control_->Connect(currentExchange_);
    } else {  // no transfer manager (stopped): the channel cannot open
        OnError(*std::make_unique<LinkEvent>(UM_LINK_ERROR, uint32_t{kLinkErrorOpen} << 8));
    }
}

// The channel is open: every request that waited for it goes to the link. The start-up
// connection alone only clears its bit.
void LinkBroker::OnConnected() {
    mask_ &= static_cast<uint8_t>(~kUseStartup);
    while (!awaitingConnect_.empty()) {
        TransferRequestPtr r = std::move(awaitingConnect_.front());
        awaitingConnect_.pop_front();
        if (control_) {
            control_->Enqueue(0, std::move(r));
        } else {
            Answer(kResultNotDelivered, std::move(r));
        }
    }
}

void LinkBroker::OnSent(LinkEvent& e) {
    TransferRequestPtr r = std::move(e.request);
    if (!r) return;
    mask_ &= static_cast<uint8_t>(~r->clearMask);
    Answer(kResultDone, std::move(r));
    HangUpWhenUnused();
}

void LinkBroker::OnReset(LinkEvent& e) {
    Release(std::move(e.request));  // a request dropped from the send block gets no result
    if (awaitingReset_.empty()) return;
    TransferRequestPtr abandon = std::move(awaitingReset_.front());
    awaitingReset_.pop_front();
    Answer(kResultReset, std::move(abandon));
    HangUpWhenUnused();
}

void LinkBroker::OnError(LinkEvent& e) {
    const uint8_t code = static_cast<uint8_t>(e.wParam >> 8);
    if (code == kLinkErrorOpen) {
        // Every request that waited for this channel is told; the start-up attempt is silent.
        mask_ &= static_cast<uint8_t>(~kUseStartup);
        while (!awaitingConnect_.empty()) {
            TransferRequestPtr r = std::move(awaitingConnect_.front());
            awaitingConnect_.pop_front();
            mask_ &= static_cast<uint8_t>(~r->setMask);
            Answer(kResultOpenFailed, std::move(r));
        }
    } else if (code == kLinkErrorSend && e.request) {
        TransferRequestPtr r = std::move(e.request);
        mask_ &= static_cast<uint8_t>(~r->clearMask);
        Answer(kResultNotDelivered, std::move(r));
        HangUpWhenUnused();
    }
    // 0x85, a failed read or receive turn: a window waiting for data has its own time-out.
}

void LinkBroker::OnDisconnected() {
    if (mask_ != kUseClosing) {
        // Not asked for: the device vanished (an adapter pulled). A transfer holding the link
        // hears it now rather than after its 120-second time-out.
        if (mask_ & (kUseSingle | kUseMulti)) dispatch_.DeviceLost();
        return;
    }
    mayClose_ = true;
    emit closeMainWindow();
}

void LinkBroker::ReleaseBits(uint8_t bits) {
    mask_ &= static_cast<uint8_t>(~bits);
    HangUpWhenUnused();
}

void LinkBroker::HangUpWhenUnused() {
    if (mask_ == 0 && IsModem() && control_) control_->Disconnect(currentExchange_);
}

void LinkBroker::Answer(uint32_t code, TransferRequestPtr r) {
    if (!r) return;
    QPointer<QObject> requester;
    if (auto it = requesters_.find(r.get()); it != requesters_.end()) {
        requester = it->second;
        requesters_.erase(it);
    }
    if (requester) {
        PostLinkEvent(requester, std::make_unique<LinkEvent>(UM_LINK_RESULT, code, std::move(r)));
    }
}

void LinkBroker::Release(TransferRequestPtr r) {
    if (r) requesters_.erase(r.get());
}

}  // namespace qn410
