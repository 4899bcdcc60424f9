// The simulator's trace: one line per control pair, frame or event on the line, both directions.
//
//     12.345 RX DLE ENQ
//     12.346 TX DLE ACK
//     12.401 RX frame "Q00" BCC 0x40 good
//     12.402 TX DLE ACK
//
// Times are seconds since the simulator started. Frame bodies are shown as text with every
// byte outside 0x20..0x7E escaped as \xNN.
#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

namespace qn410::sim {

using Millis = int64_t;  // milliseconds on the simulator's monotonic clock

class SimTrace {
  public:
    // Writes to out (which must outlive the trace); nullptr traces nothing.
    explicit SimTrace(std::ostream* out = nullptr) : out_(out) {}

    void Rx(Millis now, std::string_view what) { Line(now, "RX", what); }
    void Tx(Millis now, std::string_view what) { Line(now, "TX", what); }
    // Something the simulator decided or noticed, not a byte on the line.
    void Note(Millis now, std::string_view what) { Line(now, "--", what); }

    // A frame line: direction, escaped body, BCC and whether it is right.
    void Frame(Millis now, const char* direction, std::string_view body, uint8_t bcc, bool good,
               std::string_view remark = {});

  private:
    void Line(Millis now, const char* direction, std::string_view what);
    std::ostream* out_;
};

}  // namespace qn410::sim
