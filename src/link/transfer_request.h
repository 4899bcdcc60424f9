// The unit a window hands to the link, and the shape in which a received frame comes back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace qn410 {

// A request: the header the requester fills, then the record body (command letter first).
// A received frame is delivered in the same shape with the header left at its zero values.
struct TransferRequest {
    void* requester = nullptr;  // the window that gets the result; opaque to the core
    uint8_t setMask = 0;        // bits added to the link-use mask when accepted; 0 = release
    uint8_t clearMask = 0;      // bits removed from the link-use mask when done
    uint8_t exchange = 0;       // target exchange 1..16, 0 when not aimed at one exchange
    uint8_t tag = 0;            // the requester's own mark, returned unchanged with the result
    uint64_t exchangeDone = 0;  // bit k set when slot k acknowledged (network method only)
    std::string body;           // the record body as sent on the wire; its size is the length

    char letter() const { return body.empty() ? '\0' : body[0]; }
};

using TransferRequestPtr = std::unique_ptr<TransferRequest>;

}  // namespace qn410
