// Helpers for driving the simulator's line in tests: a line that records what is written, and
// the tool's side of the wire spelled out byte by byte.
#pragma once

#include <string>
#include <string_view>

#include "exchange_link.h"
#include "sim_wire.h"

namespace qn410::sim::test {

class FakeLine : public LineWriter {
  public:
    void Write(std::string_view bytes) override { written += bytes; }
    // What was written since the last call.
    std::string Take() { return std::exchange(written, {}); }
    std::string written;
};

inline std::string Pair(uint8_t second) {
    return {static_cast<char>(kDle), static_cast<char>(second)};
}
inline const std::string kEnqPair = Pair(kEnq);
inline const std::string kAckPair = Pair(kAck);
inline const std::string kNakPair = Pair(kNak);
inline const std::string kEotPair = Pair(kEot);

}  // namespace qn410::sim::test
