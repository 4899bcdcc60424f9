// LinkPacer: when the channel hands the engine its idle event, and when its tick must run.
//
// A read that finds no byte for 5 ms is the engine's idle event, and in state 0 the idle event
// starts the next send. So after every turn the line stays quiet for 5 ms before the tool bids:
// an exchange with records waiting bids first, and its DLE ENQ is answered instead of crossing
// the tool's own. The 100 ms tick only counts the timers down and checks them; it runs while the
// engine has something to time (a request, a turn or a running timer) and stops otherwise, so
// a quiet link costs no wake-ups.
//
// The channel thread calls every function here and arms two timers from the answers: a
// one-shot for QuietDue() and the periodic tick while TickNeeded(). Time comes in as arguments.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace qn410 {

class LinkEngine;

class LinkPacer {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;
    // The read time-out: how long the line must be quiet before the idle event.
    static constexpr std::chrono::milliseconds kQuiet{5};

    explicit LinkPacer(LinkEngine& engine, int slot = 0) : engine_(engine), slot_(slot) {}

    // Bytes read from the line: each one to the engine.
    void OnRead(const uint8_t* bytes, size_t count, TimePoint now);
    // Bytes written to the line by the engine.
    void OnWrite(TimePoint now) { Traffic(now); }
    // A new request, or the quiet one-shot: the idle event runs if the line has been quiet long
    // enough; otherwise QuietDue() says when to ask again.
    void OnWake(TimePoint now);
    // The 100 ms tick: timers count down; the timer check runs, and in state 0 the idle event
    // once the line is quiet and no byte waits to be read.
    void OnTick(TimePoint now, bool inputWaiting = false);

    // When OnWake() must run next; nothing while no byte is waiting for its quiet window.
    std::optional<TimePoint> QuietDue() const { return quietDue_; }
    bool TickNeeded() const;

  private:
    void Traffic(TimePoint now);
    bool Quiet(TimePoint now) const { return !lastByte_ || now - *lastByte_ >= kQuiet; }

    LinkEngine& engine_;
    int slot_;
    std::optional<TimePoint> lastByte_;
    std::optional<TimePoint> quietDue_;
};

}  // namespace qn410
