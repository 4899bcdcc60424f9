// A fake channel for the link engine: records what the engine writes, feeds what the exchange
// would send, counts ticks, and offers verbs to build and spoil the exchange's frames.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "link/link_engine.h"

namespace qn410::test {

// Bytes as a string, for readable comparisons: Bytes({0x10, 0x05}).
std::string Bytes(std::initializer_list<int> bytes);
// "10 02 41 10 03 52", for failure messages.
std::string Hex(const std::string& bytes);

// The bytes the exchange sends for body: DLE STX, body with each DLE doubled, DLE ETX, BCC over
// the bytes transmitted after STX.
std::string PeerFrame(const std::string& body);

class FakeLink {
  public:
    FakeLink();

    LinkEngine engine;
    std::vector<LinkNotice> notices;

    // Everything written since the last call.
    std::string TakeWire();
    // The exchange sends these bytes; after the batch the channel reads nothing once (idle).
    void Feed(const std::string& bytes);
    // n ticks of 100 ms, each followed by an idle read that runs the timer check.
    void Ticks(int n);
    void Idle() { engine.OnIdle(0); }
    void Submit(const std::string& body);

    uint8_t State() const;
    // Notices of one message number, in order.
    std::vector<const LinkNotice*> Of(uint16_t message) const;

  private:
    std::string wire_;
};

// Corruption verbs for a frame as built by PeerFrame.
std::string WithBadBcc(std::string frame);
std::string IncrementByte(std::string frame, size_t position);

}  // namespace qn410::test
