// CTransMng: the transfer manager. It owns the link engine (the 16 send queues and slots under
// their one lock) and the channel of the connection method, and offers the broker its
// operations. RS-232C runs on CSioThread, the modem on CMdmThread (the same channel with a dial
// step in front, on the device of ModemDevice()). The network method has no channel in this
// program: Connect reports 0x8200 at once, so every request still gets its one result.
//
// All operations are called on the user-interface thread. The engine's tick runs on the channel
// thread together with its idle event (see sio_thread.h). Stop waits for the channel thread at
// most its limit; a thread still running then (a device stuck in its driver) is left to end on
// its own, cut off from the view, and what is pending is handed back all the same.
#pragma once

#include <QObject>
#include <atomic>
#include <chrono>
#include <memory>

#include "link/link_control.h"
#include "link/link_engine.h"
#include "setting/setting_data.h"

namespace qn410 {

class CSioThread;
class CMdmThread;

class CTransMng : public LinkControl {
  public:
    // notify: the broker; every link message goes there. tick: the engine's 100 ms time unit.
    CTransMng(QObject* notify, const MaintenanceSetting& settings,
              std::chrono::milliseconds tick = std::chrono::milliseconds(100));
    // Stops with the limit of Stop(kStopLimitMs): an exit never waits without limit.
    ~CTransMng() override;
    static constexpr int kStopLimitMs = 3000;

    int Connect(uint8_t exchange) override;
    void Disconnect(uint8_t exchange) override;
    void Enqueue(int slot, TransferRequestPtr request) override;
    void ResetSlot(uint8_t exchange) override;
    std::vector<TransferRequestPtr> Stop(int timeoutMs) override;

    ChannelKind kind() const { return kind_; }
    LinkEngine& engine() { return *engine_; }

  private:
    void Post(uint16_t message, uint32_t wParam);

    QObject* notify_;
    MaintenanceSetting settings_;
    ChannelKind kind_;
    // Where the engine's notices go; emptied when a stalled channel thread is left behind.
    std::shared_ptr<std::atomic<QObject*>> noticeTo_;
    std::shared_ptr<std::atomic<CSioThread*>> writeTo_;  // the engine's writer
    std::shared_ptr<LinkEngine> engine_;
    std::unique_ptr<CSioThread> sio_;
    CMdmThread* mdm_ = nullptr;  // sio_, with the modem
};

}  // namespace qn410
