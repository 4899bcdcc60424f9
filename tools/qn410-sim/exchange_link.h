// The exchange's side of the half-duplex line, with faults that tests can switch on.
//
// Receiving: a DLE ENQ from the tool is answered with DLE ACK and opens the tool's turn; each
// frame is acknowledged with DLE ACK when its BCC is right and refused with DLE NAK when it is
// wrong, incomplete (1.0 s without a byte inside it) or malformed; DLE EOT closes the turn.
// After DLE ACK the tool has 3.0 s to send the next frame or close the turn.
//
// Sending: with bodies queued the exchange bids with DLE ENQ as soon as a turn has ended (the
// tool's or its own), waits up to 3.0 s for DLE ACK, sends up to `framesPerTurn` frames, each
// acknowledged before the next, and closes with DLE EOT. A tool keeps the line quiet for 5 ms
// after every turn, so such a bid never meets the tool's. A body queued while the line is
// already quiet waits for the next end of a turn or for `quietBid` of quiet line. A bid or
// frame gets four attempts; when the fourth fails the turn's frames are dropped (the tool is
// not listening). When the tool bids while the exchange's own bid is open (the bids cross), the
// exchange gives way: it answers the tool and bids again afterwards; with the fault
// `insistAfter` it gives way that many times and then keeps its bid, as the tool does.
//
// Nothing here reads a clock or sleeps: every call takes the current time, and NextDeadline()
// tells the event loop when OnTime() is due next.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "sim_trace.h"

namespace qn410::sim {

class LineWriter {
  public:
    virtual ~LineWriter() = default;
    // The result is not examined: a lost write shows up as a time-out at the other end.
    virtual void Write(std::string_view bytes) = 0;
};

struct LineTiming {
    Millis answer = 3000;     // for the other side's answer, and between frames of a turn
    Millis interByte = 1000;  // between two bytes of one frame
    int attempts = 4;         // per bid and per frame
    int framesPerTurn = 16;
    // A bid goes out at the end of a turn, within this much of its last byte...
    Millis turnEnd = 1;
    // ...or once the line has been quiet this long: by then a tool with a request of its own
    // has bid, so the two bids meet only by chance.
    Millis quietBid = 20;
};

// Faults for tests; all off by default.
struct LineFaults {
    int refuseBids = 0;    // the first N bids of the tool are answered DLE NAK
    int refuseFrames = 0;  // the first N good frames of the tool are answered DLE NAK
    int corruptBcc = 0;    // the first N frames the exchange sends carry a wrong BCC
    Millis delay = 0;      // every answer (DLE ACK, DLE NAK) leaves this much later
    int dropEvery = 0;     // every Nth byte the exchange sends is lost
    int dropRxEvery = 0;   // every Nth byte the exchange receives is lost
    bool silent = false;   // never answers, never bids
    int insistAfter = -1;  // keep the own bid on a crossing after giving way N times; -1 never
};

struct LineCounters {
    int bidsAnswered = 0;
    int framesAccepted = 0;   // good frames acknowledged (and delivered when not empty)
    int framesRefused = 0;    // DLE NAK sent for a frame
    int framesDelivered = 0;  // own frames acknowledged by the tool
    int turnsDropped = 0;
    int crossings = 0;    // the tool bid while the exchange's bid was open
    int toolRepeats = 0;  // a bid or frame the tool sent again: its time-out ran out
};

class ExchangeLink {
  public:
    using FrameHandler = std::function<void(std::string_view body, Millis now)>;

    // writer and trace must outlive the link.
    ExchangeLink(LineWriter& writer, SimTrace& trace, LineTiming timing = {},
                 LineFaults faults = {});

    // Called with the body of every good, non-empty frame right after it is acknowledged.
    void SetFrameHandler(FrameHandler handler) { onFrame_ = std::move(handler); }

    void OnBytes(std::string_view bytes, Millis now);
    void OnByte(uint8_t byte, Millis now);
    // Runs expired timers, writes delayed answers, and starts a turn when one is waiting.
    void OnTime(Millis now);
    // When OnTime() must run next; nothing when only new input can change the state.
    std::optional<Millis> NextDeadline() const;

    // Queues a body to send in a later turn of the exchange.
    void Queue(std::string body) { queue_.push_back(std::move(body)); }
    // Drops the queued bodies that start with letter (not those of a turn already begun).
    void DropQueued(char letter) {
        std::erase_if(queue_,
                      [letter](const std::string& b) { return !b.empty() && b[0] == letter; });
    }
    std::size_t Queued() const { return queue_.size() + turn_.size(); }
    bool Idle() const { return state_ == State::Idle && delayed_.empty(); }
    const LineCounters& counters() const { return counters_; }

  private:
    enum class State { Idle, TurnOpen, InFrame, AwaitBcc, Discard, BidSent, FrameSent };

    void OnControl(uint8_t second, Millis now);
    void OnFrameByte(uint8_t byte, Millis now);
    void OnBcc(uint8_t bcc, Millis now);
    void AnswerBid(Millis now);
    void RefuseFrame(Millis now, std::string_view why);
    void StartTurn(Millis now);
    void SendFrame(Millis now);
    void Retry(Millis now, std::string_view why);
    void GiveWay(Millis now);
    void Enter(State state, std::optional<Millis> deadline);
    // turnEnd: a turn closed with DLE EOT, which an exchange with bodies queued bids after.
    void ToIdle(Millis now, bool turnEnd = false);
    bool TurnWaiting() const;
    bool MayBid(Millis now) const;

    // Answers may be delayed by a fault; anything written later keeps its place behind them.
    void Answer(uint8_t second, Millis now);
    void Send(std::string bytes, Millis now);
    void WriteNow(std::string_view bytes);
    // When the last byte written so far leaves: the other side's time-outs start from there.
    Millis Out(Millis now) const;

    LineWriter& writer_;
    SimTrace& trace_;
    LineTiming timing_;
    LineFaults faults_;
    LineCounters counters_;
    FrameHandler onFrame_;

    State state_ = State::Idle;
    std::optional<Millis> deadline_;
    bool dlePending_ = false;
    std::string body_;  // the frame being received, data bytes only
    std::deque<std::string> queue_;
    std::deque<std::string> turn_;  // the frames of the turn being sent, front first
    int attempts_ = 0;
    Millis quietFrom_ = -1000000;  // the line went quiet here (long before the start)
    bool turnEnded_ = false;       // ... because a turn closed
    bool frameInTurn_ = false;     // the tool's turn has carried a frame, lastBody_
    std::string lastBody_;
    std::deque<std::pair<Millis, std::string>> delayed_;
    long long sentBytes_ = 0;
    long long receivedBytes_ = 0;
};

}  // namespace qn410::sim
