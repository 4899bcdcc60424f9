// The exchange's side of the wire for link tests: bytes spelled out, frames built and spoilt.
#pragma once

#include <initializer_list>
#include <string>

#include "link/link_engine.h"

namespace qn410::test {

// Bytes as a string, for readable comparisons: Bytes({0x10, 0x05}).
std::string Bytes(std::initializer_list<int> bytes);
// "10 02 41 10 03 52", for failure messages.
std::string Hex(const std::string& bytes);
// The bytes the exchange sends for body: DLE STX, body with each DLE doubled, DLE ETX, BCC over
// the bytes transmitted after STX.
std::string PeerFrame(const std::string& body);
std::string WithBadBcc(std::string frame);

inline const std::string kBid = Bytes({DLE, ENQ}), kAck = Bytes({DLE, ACK}),
                         kNak = Bytes({DLE, NAK}), kEot = Bytes({DLE, EOT});

}  // namespace qn410::test
