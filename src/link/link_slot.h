// The state of one link slot: the protocol position, its timers, the request being sent and the
// frame being received. The engine (link_engine.h) owns 16 of them under its lock; with the
// serial channel only slot 0 carries traffic.
#pragma once

#include <array>
#include <cstdint>

#include "link/link_frame.h"
#include "link/transfer_request.h"

namespace qn410 {

inline constexpr int kLinkSlotCount = 16;

enum LinkState : uint8_t {
    kStateIdle = 0,          // between turns
    kStateBidSent = 1,       // DLE ENQ sent, waiting for DLE ACK
    kStateFrameSent = 2,     // frame sent, waiting for DLE ACK or DLE NAK
    kStateTurnOpen = 3,      // the exchange holds the line; between its frames
    kStateReceiving = 4,     // inside a received body
    kStateAwaitingBcc = 5,   // DLE ETX seen; the next byte is the BCC
    kStateReceiveError = 6,  // a bad frame; waiting for 1.0 s of silence before DLE NAK
};
inline constexpr int kLinkStateCount = 7;

enum LinkInput : uint8_t {
    kInIdle = 0,  // a read returned no byte: start a send or check the timers
    kInDle = 1,
    kInEnq = 2,
    kInStx = 3,
    kInEtx = 4,
    kInEot = 5,
    kInAck = 6,
    kInNak = 7,
    kInOther = 8,
    kInReadError = 9,
    kInT0 = 10,
    kInT1 = 11,
    kInT2 = 12,  // also any timer numbered 3..7
    kInReset = 13,
};
inline constexpr int kLinkInputCount = 14;

// Timers, in ticks of 100 ms.
inline constexpr int kTimerCount = 8;
inline constexpr int kT0 = 0;  // send response: 3.0 s for DLE ACK / DLE NAK
inline constexpr int kT1 = 1;  // receive turn: 3.0 s between frames
inline constexpr int kT2 = 2;  // receive inter-byte: 1.0 s inside a frame
inline constexpr std::array<uint32_t, kTimerCount> kTimerTicks = {30, 30, 10, 10, 10, 10, 10, 10};
// Each request may be repeated three times (bids and frames together); each receive turn may
// refuse three frames and ends at the fourth refusal.
inline constexpr uint8_t kMaxRepeats = 3;

struct LinkSlot {
    uint32_t eventMask = 0;  // pending inputs, bit per LinkInput
    uint8_t state = kStateIdle;
    uint8_t timersActive = 0;  // bit t while timer t runs
    std::array<uint32_t, kTimerCount> timerCounters{};

    TransferRequestPtr sendItem;  // the request being sent, owned until it is reported
    uint8_t sendRetries = 0;

    uint8_t lastByte = 0;
    uint16_t receiveLength = 0;
    uint8_t receiveBcc = 0;
    std::array<uint8_t, kReceiveBufferSize> receiveBuffer{};
    uint32_t dlePending = 0;
    uint8_t receiveRetries = 0;
};

}  // namespace qn410
