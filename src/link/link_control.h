// The operations of the transfer manager that the link broker uses, behind an interface so the
// broker can be tested against a recording fake.
#pragma once

#include <cstdint>
#include <vector>

#include "link/transfer_request.h"

namespace qn410 {

// PcConnect -> ChannelKind: 0 "RS-232C" serial, 1 "Modem", 2 network.
enum class ChannelKind : uint8_t { kNone = 0, kSerial = 1, kModem = 2, kNetwork = 3 };

inline ChannelKind ChannelKindOf(uint8_t pcConnect) {
    switch (pcConnect) {
        case 0:
            return ChannelKind::kSerial;
        case 1:
            return ChannelKind::kModem;
        case 2:
            return ChannelKind::kNetwork;
        default:
            return ChannelKind::kNone;
    }
}

class LinkControl {
  public:
    virtual ~LinkControl() = default;
    // Opens the channel; completion is reported with UM_LINK_CONNECTED or UM_LINK_ERROR 0x8200.
    // Returns 0 when the open failed at once, else 1.
    virtual int Connect(uint8_t exchange) = 0;
    // Closes the channel; completion is reported with UM_LINK_DISCONNECTED.
    virtual void Disconnect(uint8_t exchange) = 0;
    virtual void Enqueue(int slot, TransferRequestPtr request) = 0;
    // Resets the slot of the exchange; reported with UM_LINK_RESET.
    virtual void ResetSlot(uint8_t exchange) = 0;
    // Ends the channel thread, waiting at most timeoutMs (negative: without limit), and hands back
    // every request not yet reported, so its requester can still be answered.
    virtual std::vector<TransferRequestPtr> Stop(int timeoutMs) = 0;
};

}  // namespace qn410
