// CTransMng: the transfer manager. It owns the link engine (the 16 send queues and slots under
// their one lock) and the channel of the connection method, and offers the broker its
// operations. RS-232C runs on CSioThread, the modem on CMdmThread (the same channel with a dial
// step in front, on the device of ModemDevice()). The network method has no channel in this
// program: Connect reports 0x8200 at once, so every request still gets its one result.
//
// All operations are called on the user-interface thread. The engine's tick runs on the channel
// thread together with its idle step (see sio_thread.h).
#pragma once

#include <QObject>
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
    ~CTransMng() override;

    int Connect(uint8_t exchange) override;
    void Disconnect(uint8_t exchange) override;
    void Enqueue(int slot, TransferRequestPtr request) override;
    void ResetSlot(uint8_t exchange) override;
    std::vector<TransferRequestPtr> Stop(int timeoutMs) override;

    ChannelKind kind() const { return kind_; }
    LinkEngine& engine() { return engine_; }

  private:
    void Post(uint16_t message, uint32_t wParam);

    QObject* notify_;
    MaintenanceSetting settings_;
    ChannelKind kind_;
    LinkEngine engine_;
    std::unique_ptr<CSioThread> sio_;
    CMdmThread* mdm_ = nullptr;  // sio_, with the modem
};

}  // namespace qn410
