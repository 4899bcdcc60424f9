// An emulated Hayes modem in front of the exchanges, for a tool that reaches them by a modem
// call. Until a call is up the modem talks to the tool in commands: AT, ATZ (reset, echo on),
// ATE0/ATE1, ATH, ATO and ATD<number>, which "rings" for the ring time and answers
// "CONNECT 19200". From then on the line carries the exchange protocol, until the tool sends the
// escape sequence "+++" between two guard times of silence (the modem answers "OK" and takes
// commands again, the call still up) and ends the call with ATH, or the call is lost.
//
// Faults for tests: a dial answered "BUSY", "NO ANSWER" or "NO DIALTONE", and the carrier lost
// once, after a number of bytes from the tool in a call ("NO CARRIER").
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "exchange_link.h"
#include "sim_trace.h"

namespace qn410::sim {

struct ModemOptions {
    enum class Fault { None, Busy, NoAnswer, NoDialtone, CarrierLost };
    Millis ringTime = 500;
    Millis guard = 1000;  // the escape sequence's guard time
    Fault fault = Fault::None;
    long long carrierLostAfter = 0;  // CarrierLost: bytes from the tool in the call
};

// "busy", "no-answer", "no-dialtone" or "carrier-lost:N" into options; false when malformed.
bool ParseModemFault(const std::string& text, ModemOptions& options);

class SimModem : public LineWriter {
  public:
    using ExchangeSide = std::function<void(std::string_view bytes)>;

    // line and trace must outlive the modem.
    SimModem(LineWriter& line, SimTrace& trace, ModemOptions options)
        : line_(line), trace_(trace), options_(options) {}

    // The exchange's bytes: on the line while the call is up and online, else lost.
    void Write(std::string_view bytes) override;
    // The tool's bytes: commands for the modem, or in the call the exchange's (to exchange).
    void OnBytes(std::string_view bytes, Millis now, const ExchangeSide& exchange);
    void OnTime(Millis now);
    std::optional<Millis> NextDeadline() const;

    bool online() const { return state_ == State::Online; }

  private:
    enum class State { Command, Ringing, Online };

    void OnCommand(std::string command, Millis now);
    void Answer(std::string_view text, Millis now);
    void Drop(Millis now, std::string_view why);

    LineWriter& line_;
    SimTrace& trace_;
    ModemOptions options_;
    State state_ = State::Command;
    bool call_ = false;  // a call is up (online, or in command mode after "+++")
    bool echo_ = true;
    std::string command_;
    Millis ringEnd_ = 0;
    Millis lastRx_ = -1000000;  // the last byte from the tool, for the guard times
    int pluses_ = 0;            // of an escape sequence under way, held back from the exchange
    Millis escapeAt_ = 0;
    long long callBytes_ = 0;
};

}  // namespace qn410::sim
