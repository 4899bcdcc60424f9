#include "sim_modem.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace qn410::sim {

bool ParseModemFault(const std::string& text, ModemOptions& options) {
    using Fault = ModemOptions::Fault;
    if (text == "busy") {
        options.fault = Fault::Busy;
    } else if (text == "no-answer") {
        options.fault = Fault::NoAnswer;
    } else if (text == "no-dialtone") {
        options.fault = Fault::NoDialtone;
    } else if (text.rfind("carrier-lost:", 0) == 0) {
        try {
            options.carrierLostAfter = std::stoll(text.substr(13));
        } catch (...) {
            return false;
        }
        if (options.carrierLostAfter < 1) return false;
        options.fault = Fault::CarrierLost;
    } else {
        return false;
    }
    return true;
}

void SimModem::Write(std::string_view bytes) {
    if (state_ == State::Online) line_.Write(bytes);
}

void SimModem::Answer(std::string_view text, Millis now) {
    trace_.Note(now, "modem: " + std::string(text));
    line_.Write("\r\n" + std::string(text) + "\r\n");
}

void SimModem::Drop(Millis now, std::string_view why) {
    trace_.Note(now, "modem: " + std::string(why));
    call_ = false;
    pluses_ = 0;
    state_ = State::Command;
}

void SimModem::OnBytes(std::string_view bytes, Millis now, const ExchangeSide& exchange) {
    for (const char c : bytes) {
        const Millis quiet = now - lastRx_;
        lastRx_ = now;
        switch (state_) {
            case State::Ringing:
                // Any character stops the dialling.
                state_ = State::Command;
                Answer("NO CARRIER", now);
                break;
            case State::Online:
                // "+++" after a guard time of silence may be the escape: held back until the
                // guard time after it shows whether it is.
                if (c == '+' && (pluses_ > 0 || quiet >= options_.guard) && pluses_ < 3) {
                    if (++pluses_ == 3) escapeAt_ = now + options_.guard;
                    break;
                }
                if (pluses_ > 0) {
                    exchange(std::string(static_cast<std::size_t>(pluses_), '+'));
                    pluses_ = 0;
                }
                exchange(std::string_view(&c, 1));
                if (options_.fault == ModemOptions::Fault::CarrierLost &&
                    ++callBytes_ == options_.carrierLostAfter) {
                    options_.fault = ModemOptions::Fault::None;  // once: the next call holds
                    Drop(now, "carrier lost");
                    Answer("NO CARRIER", now);
                }
                break;
            case State::Command:
                if (echo_) line_.Write(std::string_view(&c, 1));
                if (c == '\r') {
                    OnCommand(std::exchange(command_, {}), now);
                } else if (c != '\n' && command_.size() < 80) {
                    command_ += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                }
                break;
        }
    }
}

void SimModem::OnCommand(std::string command, Millis now) {
    // A command begins with "AT": the rest of a frame that was under way when the call ended is
    // not one.
    const auto at = command.rfind("AT");
    if (at == std::string::npos) return;
    command.erase(0, at);
    trace_.Note(now, "modem: command " + command);
    const std::string rest = command.substr(2);
    if (rest.empty()) {
        Answer("OK", now);
    } else if (rest == "Z") {
        if (call_) Drop(now, "reset ends the call");
        echo_ = true;
        Answer("OK", now);
    } else if (rest == "E0" || rest == "E1") {
        echo_ = rest == "E1";
        Answer("OK", now);
    } else if (rest == "H" || rest == "H0") {
        if (call_) Drop(now, "hung up");
        Answer("OK", now);
    } else if (rest == "O") {
        if (call_) {
            state_ = State::Online;
            Answer("CONNECT 19200", now);
        } else {
            Answer("NO CARRIER", now);
        }
    } else if (rest[0] == 'D') {
        if (options_.fault == ModemOptions::Fault::NoDialtone) {
            Answer("NO DIALTONE", now);
            return;
        }
        // Every ',' of the number is a pause of its own.
        const auto pauses = std::count(rest.begin(), rest.end(), ',');
        trace_.Note(now, "modem: dialling " + rest.substr(1));
        state_ = State::Ringing;
        ringEnd_ = now + options_.ringTime + 10 * pauses;
    } else {
        Answer("ERROR", now);
    }
}

void SimModem::OnTime(Millis now) {
    if (state_ == State::Ringing && now >= ringEnd_) {
        state_ = State::Command;
        if (options_.fault == ModemOptions::Fault::Busy) {
            Answer("BUSY", now);
        } else if (options_.fault == ModemOptions::Fault::NoAnswer) {
            Answer("NO ANSWER", now);
        } else {
            call_ = true;
            callBytes_ = 0;
            state_ = State::Online;
            Answer("CONNECT 19200", now);
        }
    }
    // The escape sequence counts when the guard time after it passed in silence.
    if (state_ == State::Online && pluses_ == 3 && now >= escapeAt_ &&
        now - lastRx_ >= options_.guard) {
        pluses_ = 0;
        state_ = State::Command;
        Answer("OK", now);
    }
}

std::optional<Millis> SimModem::NextDeadline() const {
    if (state_ == State::Ringing) return ringEnd_;
    if (state_ == State::Online && pluses_ == 3) return escapeAt_;
    return std::nullopt;
}

}  // namespace qn410::sim
