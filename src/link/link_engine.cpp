#include "link/link_engine.h"

#include <cassert>
#include <utility>

namespace qn410 {
namespace {

// Everything one action may touch: its slot, the slot's send queue, the frame buffer, the
// channel writer and the notices to hand to the view once the lock is released.
struct Turn {
    LinkSlot& s;
    std::deque<TransferRequestPtr>& queue;
    FrameBuffer& frame;
    const LinkEngine::WriteFn& write;
    std::vector<LinkNotice>& notices;
    uint32_t slotNo;  // slot + 1, as it travels in wParam
};

using Action = void (*)(Turn&);

void Write(Turn& t, std::initializer_list<uint8_t> bytes) {
    if (t.write) t.write(static_cast<int>(t.slotNo - 1), bytes.begin(), bytes.size());
}
void Post(Turn& t, uint16_t message, uint32_t wParam, TransferRequestPtr item = nullptr) {
    t.notices.push_back(LinkNotice{message, wParam, std::move(item)});
}
// Entering any state forgets a pending DLE.
void Enter(Turn& t, uint8_t state) {
    t.s.state = state;
    t.s.dlePending = 0;
    // Timers are checked only outside state 0: one left running there would never run down
    // and would only keep the tick awake (a turn ended by the fourth refusal left T1 so).
    if (state == kStateIdle) {
        t.s.timersActive = 0;
        t.s.timerCounters = {};
    }
}
void StartTimer(Turn& t, int timer) {
    t.s.timersActive |= static_cast<uint8_t>(1u << timer);
    t.s.timerCounters[timer] = kTimerTicks[timer];
}
void StopTimer(Turn& t, int timer) {
    t.s.timersActive &= static_cast<uint8_t>(~(1u << timer));
    t.s.timerCounters[timer] = 0;
}
void WriteFrame(Turn& t) {
    const size_t size = BuildLinkFrame(t.s.sendItem->body, t.frame);
    if (t.write) t.write(static_cast<int>(t.slotNo - 1), t.frame.data(), size);
}
// The request failed: it travels back to the view with UM_LINK_ERROR 0x84.
void FailSend(Turn& t) {
    Post(t, UM_LINK_ERROR, (uint32_t{kLinkErrorSend} << 8) | t.slotNo, std::move(t.s.sendItem));
    Enter(t, kStateIdle);
}
void ClearSlot(LinkSlot& s) {
    s.eventMask = 0;
    s.state = kStateIdle;
    s.timersActive = 0;
    s.timerCounters = {};
    s.sendItem.reset();
    s.sendRetries = 0;
    s.lastByte = 0;
    s.receiveLength = 0;
    s.receiveBcc = 0;
    s.receiveBuffer = {};
    s.dlePending = 0;
    s.receiveRetries = 0;
}

void Dispatch(Turn& t, LinkInput input);

// ---- the actions, in the order of the state table ----

void Ignore(Turn& t) {
    t.s.dlePending = 0;
}
void NoteDle(Turn& t) {
    t.s.dlePending = 1;
}

void StartSend(Turn& t) {
    if (t.queue.empty()) return;
    t.s.sendItem = std::move(t.queue.front());
    t.queue.pop_front();
    t.s.sendRetries = 0;
    if (t.s.sendItem->body.size() > kMaxSendBody) return FailSend(t);  // cannot be framed
    Write(t, {DLE, ENQ});
    StartTimer(t, kT0);
    Enter(t, kStateBidSent);
}

void AnswerBid(Turn& t) {
    if (!t.s.dlePending) return;
    t.s.receiveRetries = 0;
    Write(t, {DLE, ACK});
    StartTimer(t, kT1);
    Enter(t, kStateTurnOpen);
}

void SendFrame(Turn& t) {
    if (!t.s.dlePending) return;
    WriteFrame(t);
    StartTimer(t, kT0);
    Enter(t, kStateFrameSent);
}

void RetryBid(Turn& t) {
    StopTimer(t, kT0);
    t.s.dlePending = 0;
    if (++t.s.sendRetries > kMaxRepeats) return FailSend(t);
    Write(t, {DLE, ENQ});
    StartTimer(t, kT0);
    Enter(t, kStateBidSent);
}

void BidRefused(Turn& t) {
    if (t.s.dlePending) RetryBid(t);
}

void Delivered(Turn& t) {
    if (!t.s.dlePending) return;
    StopTimer(t, kT0);
    Write(t, {DLE, EOT});
    Post(t, UM_LINK_SENT, 0x0100 | t.slotNo, std::move(t.s.sendItem));
    Enter(t, kStateIdle);
}

void RetryFrame(Turn& t) {
    StopTimer(t, kT0);
    t.s.dlePending = 0;
    if (++t.s.sendRetries > kMaxRepeats) return FailSend(t);
    WriteFrame(t);
    StartTimer(t, kT0);
}

void FrameRefused(Turn& t) {
    if (t.s.dlePending) RetryFrame(t);
}

void OpenDle(Turn& t) {
    StartTimer(t, kT2);
    if (t.s.dlePending) return Enter(t, kStateReceiveError);
    NoteDle(t);
}

void RepeatAnswer(Turn& t) {
    StartTimer(t, kT2);
    if (!t.s.dlePending) return Enter(t, kStateReceiveError);
    t.s.receiveRetries = 0;
    Write(t, {DLE, ACK});
    StartTimer(t, kT1);
    t.s.dlePending = 0;
}

void OpenFrame(Turn& t) {
    StartTimer(t, kT2);
    if (!t.s.dlePending) return Enter(t, kStateReceiveError);
    t.s.receiveLength = 0;
    t.s.receiveBcc = 0;
    Enter(t, kStateReceiving);
}

void CloseTurn(Turn& t) {
    StartTimer(t, kT2);
    if (!t.s.dlePending) return Enter(t, kStateReceiveError);
    StopTimer(t, kT1);
    StopTimer(t, kT2);
    Enter(t, kStateIdle);
}

void TurnError(Turn& t) {
    StartTimer(t, kT2);
    Enter(t, kStateReceiveError);
}

void ToIdle(Turn& t) {
    Enter(t, kStateIdle);
}

// Stores one body byte; more than the buffer holds spoils the frame.
void Store(Turn& t, uint8_t byte) {
    if (t.s.receiveLength >= kReceiveBufferSize) return Enter(t, kStateReceiveError);
    t.s.receiveBuffer[t.s.receiveLength++] = byte;
}

void BodyDle(Turn& t) {
    StartTimer(t, kT2);
    if (!t.s.dlePending) return NoteDle(t);
    t.s.dlePending = 0;
    Store(t, DLE);
}

void BodyByte(Turn& t) {
    StartTimer(t, kT2);
    if (t.s.dlePending) return Enter(t, kStateReceiveError);
    Store(t, t.s.lastByte);
}

// DLE ETX ends the body; an ETX without a DLE before it is data.
void BodyEtx(Turn& t) {
    StartTimer(t, kT2);
    Store(t, ETX);
    if (t.s.dlePending) Enter(t, kStateAwaitingBcc);
}

void GoToError(Turn& t) {
    StartTimer(t, kT2);
    Enter(t, kStateReceiveError);
}

void SendNak(Turn& t) {
    StopTimer(t, kT2);
    Write(t, {DLE, NAK});
    if (++t.s.receiveRetries > kMaxRepeats) {
        Post(t, UM_LINK_ERROR, (uint32_t{kLinkErrorReceive} << 8) | t.slotNo);
        return Enter(t, kStateIdle);
    }
    StartTimer(t, kT1);
    Enter(t, kStateTurnOpen);
}

// The byte just received is the BCC. A stored DLE came as DLE DLE and adds nothing; the DLE
// before ETX was not stored and is added last.
void CheckBcc(Turn& t) {
    StopTimer(t, kT2);
    uint8_t value = 0;
    for (uint16_t i = 0; i < t.s.receiveLength; ++i) {
        const uint8_t b = t.s.receiveBuffer[i];
        value ^= b;
        if (b == DLE) value ^= DLE;
    }
    value ^= DLE;
    t.s.receiveBcc = value;
    if (value != t.s.lastByte) return SendNak(t);
    const size_t n = t.s.receiveLength - 1u;  // the stored ETX is not part of the body
    if (n > 0) {
        auto item = std::make_unique<TransferRequest>();
        item->body.assign(reinterpret_cast<const char*>(t.s.receiveBuffer.data()), n);
        Post(t, UM_LINK_RECEIVED, 0x0200 | t.slotNo, std::move(item));
    }
    Write(t, {DLE, ACK});
    t.s.receiveRetries = 0;
    StartTimer(t, kT1);
    Enter(t, kStateTurnOpen);
}

void RestartT2(Turn& t) {
    StartTimer(t, kT2);
}

void Reset(Turn& t) {
    Post(t, UM_LINK_RESET, t.slotNo, std::move(t.s.sendItem));
    ClearSlot(t.s);
}

// Runs as the idle action of states 1..6: a timer that has run down raises its input.
void TimerCheck(Turn& t) {
    for (int timer = 0; timer < kTimerCount; ++timer) {
        const uint8_t bit = static_cast<uint8_t>(1u << timer);
        if (!(t.s.timersActive & bit) || t.s.timerCounters[timer] != 0) continue;
        t.s.timersActive &= static_cast<uint8_t>(~bit);
        Dispatch(t, timer == kT0 ? kInT0 : timer == kT1 ? kInT1 : kInT2);
    }
}

// clang-format off
// Rows: inputs. Columns: states 0 idle, 1 bid sent, 2 frame sent, 3 turn open, 4 receiving,
// 5 awaiting BCC, 6 receive error.
constexpr Action kStateTable[kLinkInputCount][kLinkStateCount] = {
/* 0 idle  */ {StartSend, TimerCheck, TimerCheck,   TimerCheck,   TimerCheck, TimerCheck, TimerCheck},
/* 1 DLE   */ {NoteDle,   NoteDle,    NoteDle,      OpenDle,      BodyDle,    CheckBcc,   RestartT2},
/* 2 ENQ   */ {AnswerBid, Ignore,     Ignore,       RepeatAnswer, BodyByte,   CheckBcc,   RestartT2},
/* 3 STX   */ {Ignore,    Ignore,     Ignore,       OpenFrame,    BodyByte,   CheckBcc,   RestartT2},
/* 4 ETX   */ {Ignore,    Ignore,     Ignore,       TurnError,    BodyEtx,    CheckBcc,   RestartT2},
/* 5 EOT   */ {Ignore,    Ignore,     Ignore,       CloseTurn,    BodyByte,   CheckBcc,   RestartT2},
/* 6 ACK   */ {Ignore,    SendFrame,  Delivered,    TurnError,    BodyByte,   CheckBcc,   RestartT2},
/* 7 NAK   */ {Ignore,    BidRefused, FrameRefused, TurnError,    BodyByte,   CheckBcc,   RestartT2},
/* 8 other */ {Ignore,    Ignore,     Ignore,       TurnError,    BodyByte,   CheckBcc,   RestartT2},
/* 9 error */ {Ignore,    Ignore,     Ignore,       TurnError,    GoToError,  SendNak,    RestartT2},
/* 10 T0   */ {Ignore,    RetryBid,   RetryFrame,   Ignore,       Ignore,     Ignore,     Ignore},
/* 11 T1   */ {Ignore,    Ignore,     Ignore,       ToIdle,       ToIdle,     ToIdle,     ToIdle},
/* 12 T2   */ {Ignore,    Ignore,     Ignore,       Ignore,       SendNak,    SendNak,    SendNak},
/* 13 reset*/ {Reset,     Reset,      Reset,        Reset,        Reset,      Reset,      Reset},
};
// clang-format on

void Dispatch(Turn& t, LinkInput input) {
    assert(t.s.state < kLinkStateCount);
    kStateTable[input][t.s.state](t);
}

}  // namespace

LinkInput InputOfByte(uint8_t byte) {
    switch (byte) {
        case DLE:
            return kInDle;
        case ENQ:
            return kInEnq;
        case STX:
            return kInStx;
        case ETX:
            return kInEtx;
        case EOT:
            return kInEot;
        case ACK:
            return kInAck;
        case NAK:
            return kInNak;
        default:
            return kInOther;
    }
}

LinkEngine::LinkEngine(WriteFn write, NotifyFn notify)
    : write_(std::move(write)), notify_(std::move(notify)) {}

void LinkEngine::OnByte(int slot, uint8_t byte) {
    if (slot < 0 || slot >= kLinkSlotCount) return;
    std::vector<LinkNotice> notices;
    {
        std::lock_guard lock(mutex_);
        slots_[slot].lastByte = byte;
        RunLocked(slot, InputOfByte(byte), notices);
    }
    Flush(notices);
}

void LinkEngine::OnIdle(int slot) {
    Run(slot, kInIdle);
}
void LinkEngine::OnTimerCheck(int slot) {
    if (slot < 0 || slot >= kLinkSlotCount) return;
    std::vector<LinkNotice> notices;
    {
        std::lock_guard lock(mutex_);
        if (slots_[slot].state != kStateIdle) RunLocked(slot, kInIdle, notices);
    }
    Flush(notices);
}
void LinkEngine::OnReadError(int slot) {
    Run(slot, kInReadError);
}
void LinkEngine::ResetSlot(int slot) {
    Run(slot, kInReset);
}

void LinkEngine::Run(int slot, LinkInput input) {
    if (slot < 0 || slot >= kLinkSlotCount) return;
    std::vector<LinkNotice> notices;
    {
        std::lock_guard lock(mutex_);
        RunLocked(slot, input, notices);
    }
    Flush(notices);
}

// Raises the input in the slot's event mask and handles the lowest pending one.
void LinkEngine::RunLocked(int slot, LinkInput input, std::vector<LinkNotice>& notices) {
    LinkSlot& s = slots_[slot];
    s.eventMask |= 1u << input;
    int next = 0;
    while (!(s.eventMask & (1u << next))) ++next;
    s.eventMask &= ~(1u << next);
    Turn turn{s, queues_[slot], frame_, write_, notices, static_cast<uint32_t>(slot + 1)};
    Dispatch(turn, static_cast<LinkInput>(next));
}

void LinkEngine::Flush(std::vector<LinkNotice>& notices) {
    for (LinkNotice& notice : notices) {
        if (notify_) notify_(std::move(notice));
    }
}

void LinkEngine::Enqueue(int slot, TransferRequestPtr request) {
    if (slot < 0 || slot >= kLinkSlotCount || !request) return;
    std::lock_guard lock(mutex_);
    queues_[slot].push_back(std::move(request));
}

void LinkEngine::Tick() {
    std::lock_guard lock(mutex_);
    for (LinkSlot& s : slots_) {
        for (uint32_t& counter : s.timerCounters) {
            if (counter > 0) --counter;
        }
    }
}

std::vector<TransferRequestPtr> LinkEngine::TakeAll() {
    std::lock_guard lock(mutex_);
    return TakeAllLocked();
}

std::vector<TransferRequestPtr> LinkEngine::TakeAll(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_, std::defer_lock);
    if (!lock.try_lock_for(limit)) return {};
    return TakeAllLocked();
}

bool LinkEngine::Busy() const {
    std::lock_guard lock(mutex_);
    for (int i = 0; i < kLinkSlotCount; ++i) {
        const LinkSlot& s = slots_[i];
        if (!queues_[i].empty() || s.state != kStateIdle || s.timersActive != 0) return true;
    }
    return false;
}

std::vector<TransferRequestPtr> LinkEngine::TakeAllLocked() {
    std::vector<TransferRequestPtr> taken;
    for (int i = 0; i < kLinkSlotCount; ++i) {
        if (slots_[i].sendItem) taken.push_back(std::move(slots_[i].sendItem));
        ClearSlot(slots_[i]);
        for (auto& r : queues_[i]) taken.push_back(std::move(r));
        queues_[i].clear();
    }
    return taken;
}

void LinkEngine::Inspect(int slot, const std::function<void(const LinkSlot&)>& look) const {
    if (slot < 0 || slot >= kLinkSlotCount) return;
    std::lock_guard lock(mutex_);
    look(slots_[slot]);
}

size_t LinkEngine::QueueLength(int slot) const {
    if (slot < 0 || slot >= kLinkSlotCount) return 0;
    std::lock_guard lock(mutex_);
    return queues_[slot].size();
}

}  // namespace qn410
