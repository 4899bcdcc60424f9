#include "link/at_dialler.h"

#include <algorithm>

namespace qn410 {

namespace {

// The modem's answer that ends a data call, as it appears among the data.
constexpr std::string_view kNoCarrier = "NO CARRIER";

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string DialString(std::string_view number) {
    std::string dialled(number);
    std::replace(dialled.begin(), dialled.end(), '-', ',');
    return dialled;
}

void AtDialler::Enter(Phase phase, std::optional<AtMillis> deadline) {
    phase_ = phase;
    deadline_ = deadline;
    line_.clear();
}

void AtDialler::Send(std::string_view command, Phase next, AtMillis now) {
    output_ += command;
    output_ += '\r';
    Enter(next, now + timing_.answer);
}

void AtDialler::EndAttempt(uint16_t code) {
    notices_.push_back(code);
    Enter(Phase::Idle, std::nullopt);
}

void AtDialler::Dial(std::string_view number, AtMillis now) {
    if (phase_ != Phase::Idle) return;
    if (number.empty()) {
        notices_.push_back(kTapiNotPlaced);
        return;
    }
    number_ = DialString(number);
    dtr_ = true;
    Send("ATZ", Phase::Reset, now);
}

void AtDialler::HangUp(AtMillis now, bool dtrWorks) {
    switch (phase_) {
        case Phase::Idle:
        case Phase::DtrLow:
        case Phase::GuardBefore:
        case Phase::GuardAfter:
        case Phase::HangUpSent:
            return;  // nothing up, or already ending
        case Phase::Reset:
        case Phase::NoEcho:
            Enter(Phase::Idle, std::nullopt);  // nothing dialled yet
            return;
        case Phase::Dialling:
            // Any character aborts the dialling; the modem answers once it has stopped.
            output_ += '\r';
            Enter(Phase::HangUpSent, now + timing_.answer);
            return;
        case Phase::Connected:
            escapes_ = 0;
            if (dtrWorks) {
                dtr_ = false;
                Enter(Phase::DtrLow, now + timing_.dtrLow);
            } else {
                Escape(now);
            }
            return;
    }
}

// "+++" counts only after a guard time in which the modem received nothing; a quarter more
// covers the time our last bytes may still have been on their way.
void AtDialler::Escape(AtMillis now) {
    Enter(Phase::GuardBefore, now + timing_.guard + timing_.guard / 4);
}

void AtDialler::OnTime(AtMillis now) {
    if (!deadline_ || now < *deadline_) return;
    switch (phase_) {
        case Phase::Reset:
        case Phase::NoEcho:
            EndAttempt(kTapiNotPlaced);  // no modem answers on this device
            return;
        case Phase::Dialling:
            output_ += '\r';  // stop the modem's own wait too
            EndAttempt(kTapiNotPlaced);
            return;
        case Phase::DtrLow:
            dtr_ = true;
            if (carrier_) {
                Escape(now);  // the modem ignored DTR
            } else {
                Enter(Phase::Idle, std::nullopt);
            }
            return;
        case Phase::GuardBefore:
            output_ += "+++";
            Enter(Phase::GuardAfter, now + timing_.guard + timing_.answer);
            return;
        case Phase::GuardAfter:
            // No "OK": the escape may not have counted, so it is tried once more; after that
            // the modem may be in command mode anyway, and ATH is harmless either way.
            if (++escapes_ < 2) {
                Escape(now);
            } else {
                Send("ATH", Phase::HangUpSent, now);
            }
            return;
        case Phase::HangUpSent:
            Enter(Phase::Idle, std::nullopt);
            return;
        case Phase::Idle:
        case Phase::Connected:
            deadline_.reset();
            return;
    }
}

void AtDialler::OnBytes(std::string_view bytes, AtMillis now) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (phase_ == Phase::Connected) {
            if (std::exchange(afterConnect_, false) && c == '\n') continue;  // CONNECT's CR LF
            data_ += c;
            // The modem's "NO CARRIER" ends its data mode: what follows is not the exchange's.
            tail_ += c;
            if (tail_.size() > kNoCarrier.size()) tail_.erase(0, tail_.size() - kNoCarrier.size());
            if (tail_ == kNoCarrier) {
                tail_.clear();
                data_.resize(data_.size() - kNoCarrier.size());
                carrier_ = false;
                EndAttempt(kTapiDisconnected);
            }
            continue;
        }
        if (c != '\r' && c != '\n') {
            if (line_.size() < 80) line_ += c;
            continue;
        }
        if (line_.empty()) continue;
        const std::string line = std::exchange(line_, {});
        OnLine(line, now);
    }
}

void AtDialler::OnLine(const std::string& line, AtMillis now) {
    if (StartsWith(line, "AT") || StartsWith(line, "at")) return;  // the modem's echo
    const bool ok = line == "OK";
    const bool error = line == "ERROR";
    switch (phase_) {
        case Phase::Reset:
            if (ok) Send("ATE0", Phase::NoEcho, now);
            if (error) EndAttempt(kTapiNotPlaced);
            return;
        case Phase::NoEcho:
            if (ok) {
                const auto pauses = std::count(number_.begin(), number_.end(), ',');
                output_ += "ATD" + number_ + '\r';
                notices_.push_back(kTapiDialling);
                Enter(Phase::Dialling, now + timing_.connect + 3000 * pauses);
            }
            if (error) EndAttempt(kTapiNotPlaced);
            return;
        case Phase::Dialling:
            if (StartsWith(line, "CONNECT")) {
                carrier_ = true;
                afterConnect_ = true;
                tail_.clear();
                notices_.push_back(kTapiConnected);
                Enter(Phase::Connected, std::nullopt);
            } else if (line == "BUSY" || line == "NO ANSWER" || line == kNoCarrier) {
                EndAttempt(kTapiIdle);
            } else if (line == "NO DIALTONE" || line == "NO DIAL TONE" || error) {
                EndAttempt(kTapiNotPlaced);
            }
            return;
        case Phase::GuardAfter:
            if (ok) Send("ATH", Phase::HangUpSent, now);
            if (line == kNoCarrier) Enter(Phase::Idle, std::nullopt);  // the call is gone already
            return;
        case Phase::HangUpSent:
            if (ok || error || line == kNoCarrier) Enter(Phase::Idle, std::nullopt);
            return;
        default:
            return;  // an answer nobody asked for
    }
}

}  // namespace qn410
