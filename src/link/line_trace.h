// A readable trace of every byte on the line, for bug reports. Each direction's bytes are read
// back into what they mean, one line per control pair, frame or stray byte:
//
//     0.000412 TX DLE ENQ
//     0.003518 RX DLE ACK
//     0.004102 TX frame "Q00" BCC 0x40 good
//     0.021733 RX DLE ACK
//     0.021901 TX DLE EOT
//     1.250000 RX byte 0x7F
//
// Times are seconds with microseconds since the trace started, taken when the line's last byte
// was seen. The words are those of the simulator's trace, so the two sides of one conversation
// read alike. Bytes may arrive in any pieces; both directions may be fed from different threads.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

namespace qn410 {

class LineTrace {
  public:
    enum class Direction { Tx, Rx };
    using Micros = std::function<int64_t()>;  // a monotonic clock in microseconds

    // out must outlive the trace. Without micros the steady clock is used.
    explicit LineTrace(std::ostream& out, Micros micros = {});
    // A trace that owns its stream.
    explicit LineTrace(std::unique_ptr<std::ostream> out, Micros micros = {});
    // A trace into a new file at path (truncated); nullptr when it cannot be created.
    static std::shared_ptr<LineTrace> ToFile(const std::string& path);

    void Bytes(Direction direction, std::string_view bytes);

  private:
    enum class State { Idle, Dle, Body, BodyDle, Bcc };
    struct Reader {
        State state = State::Idle;
        std::string body;
    };
    void Byte(Direction direction, Reader& reader, uint8_t byte);
    void Line(Direction direction, std::string_view what);

    std::unique_ptr<std::ostream> owned_;
    std::ostream& out_;
    Micros micros_;
    int64_t start_;
    std::mutex mutex_;
    Reader tx_;
    Reader rx_;
};

// The trace of the process's line: the channel thread feeds it every byte it writes and reads.
// nullptr (the default) traces nothing. Set from any thread; a running channel picks it up with
// its next bytes.
void SetLineTrace(std::shared_ptr<LineTrace> trace);
std::shared_ptr<LineTrace> CurrentLineTrace();

}  // namespace qn410
