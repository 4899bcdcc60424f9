#include "exchange_link.h"

#include <algorithm>
#include <cstdio>

#include "sim_wire.h"

namespace qn410::sim {
namespace {

std::string Pair(uint8_t second) {
    return {static_cast<char>(kDle), static_cast<char>(second)};
}

std::string ByteName(uint8_t byte) {
    char text[24];
    std::snprintf(text, sizeof text, "stray byte 0x%02X", byte);
    return text;
}

// The BCC the tool must have sent for a received body: a data DLE went over the line twice, so
// it adds nothing.
uint8_t ExpectedBcc(std::string_view body) {
    uint8_t bcc = BodyBcc(body);
    for (const char c : body)
        if (static_cast<uint8_t>(c) == kDle) bcc ^= kDle;
    return bcc;
}

}  // namespace

ExchangeLink::ExchangeLink(LineWriter& writer, SimTrace& trace, LineTiming timing,
                           LineFaults faults)
    : writer_(writer), trace_(trace), timing_(timing), faults_(faults) {}

void ExchangeLink::Enter(State state, std::optional<Millis> deadline) {
    state_ = state;
    deadline_ = deadline;
    dlePending_ = false;
}

void ExchangeLink::ToIdle(Millis now, bool turnEnd) {
    Enter(State::Idle, std::nullopt);
    quietFrom_ = Out(now);
    turnEnded_ = turnEnd;
}

void ExchangeLink::OnBytes(std::string_view bytes, Millis now) {
    for (const char c : bytes) OnByte(static_cast<uint8_t>(c), now);
}

void ExchangeLink::OnByte(uint8_t byte, Millis now) {
    ++receivedBytes_;
    if (faults_.dropRxEvery > 0 && receivedBytes_ % faults_.dropRxEvery == 0) {
        trace_.Note(now, "received byte lost (fault)");
        return;
    }
    if (faults_.silent) {
        trace_.Rx(now, ByteName(byte) + " (silent)");
        return;
    }
    switch (state_) {
        case State::InFrame:
            OnFrameByte(byte, now);
            return;
        case State::AwaitBcc:
            OnBcc(byte, now);
            return;
        case State::Discard:
            deadline_ = now + timing_.interByte;
            return;
        default:
            break;
    }
    // Between frames only control pairs mean something.
    if (dlePending_) {
        dlePending_ = false;
        OnControl(byte, now);
    } else if (byte == kDle) {
        dlePending_ = true;
    } else {
        trace_.Rx(now, ByteName(byte));
    }
}

void ExchangeLink::OnControl(uint8_t second, Millis now) {
    if (second != kStx || state_ != State::TurnOpen) trace_.Rx(now, ControlName(second));
    switch (state_) {
        case State::Idle:
            if (second == kEnq) AnswerBid(now);
            return;
        case State::TurnOpen:
            if (second == kStx) {
                body_.clear();
                Enter(State::InFrame, now + timing_.interByte);
            } else if (second == kEot) {
                ToIdle(now, true);
            } else if (second == kEnq) {
                ++counters_.toolRepeats;
                trace_.Note(now, "the tool bids again");
                AnswerBid(now);  // the tool missed our DLE ACK
            }
            return;
        case State::BidSent:
            if (second == kAck) {
                attempts_ = 0;
                SendFrame(now);
            } else if (second == kNak) {
                Retry(now, "bid refused");
            } else if (second == kEnq) {
                ++counters_.crossings;
                if (faults_.insistAfter >= 0 && counters_.crossings > faults_.insistAfter) {
                    trace_.Note(now, "the tool bids too: the exchange keeps its bid (fault)");
                    return;
                }
                GiveWay(now);
            }
            return;
        case State::FrameSent:
            if (second == kAck) {
                ++counters_.framesDelivered;
                turn_.pop_front();
                attempts_ = 0;
                if (turn_.empty()) {
                    Send(Pair(kEot), now);
                    trace_.Tx(now, "DLE EOT");
                    ToIdle(now, true);
                } else {
                    SendFrame(now);
                }
            } else if (second == kNak) {
                Retry(now, "frame refused");
            } else if (second == kEnq) {
                GiveWay(now);  // the tool lost our turn; its bid comes first
            }
            return;
        default:
            return;
    }
}

void ExchangeLink::OnFrameByte(uint8_t byte, Millis now) {
    deadline_ = now + timing_.interByte;
    if (dlePending_) {
        dlePending_ = false;
        if (byte == kEtx) {
            state_ = State::AwaitBcc;
            return;
        }
        if (byte != kDle) {
            trace_.Note(now, "DLE followed by " + ByteName(byte) + " inside a frame");
            state_ = State::Discard;
            return;
        }
    } else if (byte == kDle) {
        dlePending_ = true;
        return;
    }
    // The stored bytes and the closing ETX must fit the receive buffer.
    if (body_.size() + 1 >= kMaxStoredBytes) {
        trace_.Note(now, "frame longer than the receive buffer");
        state_ = State::Discard;
        return;
    }
    body_ += static_cast<char>(byte);
}

void ExchangeLink::OnBcc(uint8_t bcc, Millis now) {
    const uint8_t expected = ExpectedBcc(body_);
    if (bcc != expected) {
        trace_.Frame(now, "RX", body_, bcc, false);
        RefuseFrame(now, "");
        return;
    }
    if (faults_.refuseFrames > 0) {
        --faults_.refuseFrames;
        trace_.Frame(now, "RX", body_, bcc, true, "refused (fault)");
        RefuseFrame(now, "");
        return;
    }
    trace_.Frame(now, "RX", body_, bcc, true);
    Answer(kAck, now);
    ++counters_.framesAccepted;
    Enter(State::TurnOpen, Out(now) + timing_.answer);
    if (frameInTurn_ && body_ == lastBody_) {
        ++counters_.toolRepeats;
        trace_.Note(now, "the tool sends the same frame again");
    }
    frameInTurn_ = true;
    lastBody_ = body_;
    if (!body_.empty() && onFrame_) onFrame_(body_, now);
}

void ExchangeLink::RefuseFrame(Millis now, std::string_view why) {
    if (!why.empty()) trace_.Note(now, why);
    ++counters_.framesRefused;
    Answer(kNak, now);
    Enter(State::TurnOpen, Out(now) + timing_.answer);
}

void ExchangeLink::AnswerBid(Millis now) {
    if (faults_.refuseBids > 0) {
        --faults_.refuseBids;
        trace_.Note(now, "bid refused (fault)");
        Answer(kNak, now);
        ToIdle(now);
        return;
    }
    ++counters_.bidsAnswered;
    Answer(kAck, now);
    Enter(State::TurnOpen, Out(now) + timing_.answer);
    frameInTurn_ = false;
}

void ExchangeLink::GiveWay(Millis now) {
    trace_.Note(now, "the tool bids too: the exchange gives way");
    for (auto it = turn_.rbegin(); it != turn_.rend(); ++it) queue_.push_front(std::move(*it));
    turn_.clear();
    AnswerBid(now);
}

void ExchangeLink::StartTurn(Millis now) {
    while (!queue_.empty() && static_cast<int>(turn_.size()) < timing_.framesPerTurn) {
        turn_.push_back(std::move(queue_.front()));
        queue_.pop_front();
    }
    attempts_ = 1;
    Send(Pair(kEnq), now);
    trace_.Tx(now, "DLE ENQ");
    Enter(State::BidSent, Out(now) + timing_.answer);
}

void ExchangeLink::SendFrame(Millis now) {
    ++attempts_;
    const std::string& body = turn_.front();
    uint8_t bcc = BodyBcc(body);
    const bool corrupt = faults_.corruptBcc > 0;
    if (corrupt) {
        --faults_.corruptBcc;
        bcc ^= 0xFF;
    }
    trace_.Frame(now, "TX", body, bcc, !corrupt, corrupt ? "corrupted (fault)" : "");
    Send(FrameOf(body, bcc), now);
    Enter(State::FrameSent, Out(now) + timing_.answer);
}

void ExchangeLink::Retry(Millis now, std::string_view why) {
    const bool bid = state_ == State::BidSent;
    trace_.Note(now, why);
    if (attempts_ >= timing_.attempts) {
        char text[96];
        std::snprintf(text, sizeof text, "%s failed %d times: %zu frame(s) dropped",
                      bid ? "bid" : "frame", attempts_, turn_.size());
        trace_.Note(now, text);
        ++counters_.turnsDropped;
        turn_.clear();
        if (!bid) {
            Send(Pair(kEot), now);
            trace_.Tx(now, "DLE EOT");
        }
        ToIdle(now);
        return;
    }
    if (bid) {
        ++attempts_;
        Send(Pair(kEnq), now);
        trace_.Tx(now, "DLE ENQ");
        Enter(State::BidSent, Out(now) + timing_.answer);
    } else {
        SendFrame(now);
    }
}

void ExchangeLink::OnTime(Millis now) {
    while (!delayed_.empty() && delayed_.front().first <= now) {
        WriteNow(delayed_.front().second);
        delayed_.pop_front();
    }
    if (deadline_ && now >= *deadline_) {
        switch (state_) {
            case State::InFrame:
            case State::AwaitBcc:
            case State::Discard:
                RefuseFrame(now, "frame incomplete after 1.0 s");
                break;
            case State::TurnOpen:
                trace_.Note(now, "the tool's turn timed out");
                ToIdle(now);
                break;
            case State::BidSent:
                Retry(now, "no answer to the bid");
                break;
            case State::FrameSent:
                Retry(now, "no answer to the frame");
                break;
            case State::Idle:
                deadline_.reset();
                break;
        }
    }
    if (TurnWaiting() && MayBid(now)) StartTurn(now);
}

bool ExchangeLink::MayBid(Millis now) const {
    return (turnEnded_ && now <= quietFrom_ + timing_.turnEnd) ||
           now >= quietFrom_ + timing_.quietBid;
}

std::optional<Millis> ExchangeLink::NextDeadline() const {
    std::optional<Millis> next = deadline_;
    if (!delayed_.empty() && (!next || delayed_.front().first < *next))
        next = delayed_.front().first;
    if (TurnWaiting()) {
        const Millis bid = quietFrom_ + timing_.quietBid;
        if (!next || bid < *next) next = bid;
    }
    return next;
}

bool ExchangeLink::TurnWaiting() const {
    return state_ == State::Idle && !faults_.silent && !queue_.empty() && delayed_.empty();
}

Millis ExchangeLink::Out(Millis now) const {
    return delayed_.empty() ? now : std::max(now, delayed_.back().first);
}

void ExchangeLink::Answer(uint8_t second, Millis now) {
    trace_.Tx(now, ControlName(second));
    std::string bytes = Pair(second);
    if (faults_.delay > 0) {
        delayed_.emplace_back(now + faults_.delay, std::move(bytes));
        return;
    }
    Send(std::move(bytes), now);
}

void ExchangeLink::Send(std::string bytes, Millis now) {
    if (!delayed_.empty()) {
        delayed_.emplace_back(std::max(delayed_.back().first, now), std::move(bytes));
        return;
    }
    WriteNow(bytes);
}

void ExchangeLink::WriteNow(std::string_view bytes) {
    if (faults_.dropEvery <= 0) {
        writer_.Write(bytes);
        sentBytes_ += static_cast<long long>(bytes.size());
        return;
    }
    std::string kept;
    for (const char c : bytes)
        if (++sentBytes_ % faults_.dropEvery != 0) kept += c;
    writer_.Write(kept);
}

}  // namespace qn410::sim
