// The exchange's side of the wire for link tests and benchmarks, independent of the tool's
// framing code.
#pragma once

#include <initializer_list>
#include <string>

#include "link/link_engine.h"

namespace qn410::test {

inline std::string Bytes(std::initializer_list<int> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// The bytes the exchange sends for body: DLE STX, body with each DLE doubled, DLE ETX, BCC over
// the bytes transmitted after STX (a DLE pair leaves it as it was).
inline std::string PeerFrame(const std::string& body) {
    std::string frame = Bytes({DLE, STX});
    char bcc = DLE ^ ETX;
    for (const char c : body) {
        frame += c == DLE ? std::string(2, c) : std::string(1, c);
        bcc ^= c == DLE ? 0 : c;
    }
    return frame + Bytes({DLE, ETX}) + bcc;
}

inline std::string WithBadBcc(std::string frame) {
    frame.back() ^= 0x01;
    return frame;
}

inline const std::string kBid = Bytes({DLE, ENQ}), kAck = Bytes({DLE, ACK}),
                         kNak = Bytes({DLE, NAK}), kEot = Bytes({DLE, EOT});

}  // namespace qn410::test
