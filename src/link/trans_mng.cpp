#include "link/trans_mng.h"

#include "link/link_event.h"
#include "link/mdm_thread.h"
#include "link/port_map.h"
#include "link/sio_thread.h"
#include "setting/text_field.h"

namespace qn410 {

CTransMng::CTransMng(QObject* notify, const MaintenanceSetting& settings,
                     std::chrono::milliseconds tick)
    : notify_(notify),
      settings_(settings),
      kind_(ChannelKindOf(settings.PcConnect)),
      noticeTo_(std::make_shared<std::atomic<QObject*>>(notify)),
      writeTo_(std::make_shared<std::atomic<CSioThread*>>(nullptr)) {
    // The engine's callbacks hold only what may outlive this object (see Stop).
    engine_ = std::make_shared<LinkEngine>(
        [writeTo = writeTo_](int, const uint8_t* bytes, size_t count) {
            if (CSioThread* sio = writeTo->load()) sio->Write(bytes, count);
        },
        [noticeTo = noticeTo_](LinkNotice notice) {
            PostLinkEvent(
                noticeTo->load(),
                std::make_unique<LinkEvent>(notice.message, notice.wParam, std::move(notice.item)));
        });
    if (kind_ == ChannelKind::kSerial) sio_ = std::make_unique<CSioThread>(*engine_, notify, tick);
    if (kind_ == ChannelKind::kModem) {
        auto modem = std::make_unique<CMdmThread>(*engine_, notify, ModemDevice(), tick);
        mdm_ = modem.get();
        sio_ = std::move(modem);
    }
    writeTo_->store(sio_.get());
}

CTransMng::~CTransMng() {
    Stop(kStopLimitMs);
}

void CTransMng::Post(uint16_t message, uint32_t wParam) {
    PostLinkEvent(notify_, std::make_unique<LinkEvent>(message, wParam));
}

int CTransMng::Connect(uint8_t) {
    if (!sio_) {  // no channel for this method
        Post(UM_LINK_ERROR, uint32_t{kLinkErrorOpen} << 8);
        return 0;
    }
    if (mdm_) return mdm_->PlaceCall(std::string(TextOf(settings_.TelNo)));
    return sio_->Open(QString::fromStdString(PortName(settings_.CommPort)));
}

void CTransMng::Disconnect(uint8_t) {
    if (mdm_) {
        mdm_->HangUp();
    } else if (sio_) {
        sio_->Close();
    } else {
        Post(UM_LINK_DISCONNECTED, 0);
    }
}

void CTransMng::Enqueue(int slot, TransferRequestPtr request) {
    engine_->Enqueue(slot, std::move(request));
    if (sio_) sio_->WakeIdle();
}

void CTransMng::ResetSlot(uint8_t exchange) {
    const int slot = kind_ == ChannelKind::kNetwork && exchange > 0 ? exchange - 1 : 0;
    engine_->ResetSlot(slot);
}

std::vector<TransferRequestPtr> CTransMng::Stop(int timeoutMs) {
    if (sio_ && !sio_->Quit(timeoutMs)) {
        // The thread did not end in time. It may still touch its CSioThread and the engine, so
        // both are left alive for it (deliberately never freed: this happens at most once, on
        // the way out); it reaches the view no more. What is pending is answered now, waiting
        // for the engine's lock no longer than for the thread.
        sio_->Detach();
        noticeTo_->store(nullptr);
        mdm_ = nullptr;
        (void)sio_.release();
        (void)new std::shared_ptr<LinkEngine>(engine_);
        return engine_->TakeAll(
            std::chrono::milliseconds(timeoutMs < 0 ? kStopLimitMs : timeoutMs));
    }
    if (sio_) {
        writeTo_->store(nullptr);
        mdm_ = nullptr;
        sio_.reset();
    }
    // Bounded here too: after a detach the left thread may still hold the engine's lock.
    return engine_->TakeAll(std::chrono::milliseconds(timeoutMs < 0 ? kStopLimitMs : timeoutMs));
}

}  // namespace qn410
