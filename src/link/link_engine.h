// LinkEngine: the half-duplex DLE protocol for 16 link slots, as one flat table of 7 states x 14
// inputs. It depends on nothing but a write function (bytes to the channel), a notify function
// (posted messages to the view) and its input calls; it never sleeps and never blocks.
//
// Threads: OnByte/OnIdle/OnReadError run on the channel thread, Enqueue/ResetSlot/Tick on the
// user-interface thread. One lock guards the send queues and the slots; every call holds it for
// its whole event. Writes happen under the lock on the calling (channel) thread; notifications
// are collected and handed to Notify after the lock is released, so Notify may post freely.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "link/link_frame.h"
#include "link/link_messages.h"
#include "link/link_slot.h"
#include "link/transfer_request.h"

namespace qn410 {

// A message from the engine to the view: the number, wParam, and the request or received item
// that travels with it (owned by the notice; empty for lParam 0).
struct LinkNotice {
    uint16_t message = 0;
    uint32_t wParam = 0;
    TransferRequestPtr item;
};

class LinkEngine {
  public:
    using WriteFn = std::function<void(int slot, const uint8_t* bytes, size_t count)>;
    using NotifyFn = std::function<void(LinkNotice notice)>;

    LinkEngine(WriteFn write, NotifyFn notify);
    LinkEngine(const LinkEngine&) = delete;
    LinkEngine& operator=(const LinkEngine&) = delete;

    // Channel entry points; each runs exactly one input event.
    void OnByte(int slot, uint8_t byte);
    void OnIdle(int slot);
    void OnReadError(int slot);
    // The idle event for its timer check alone: in state 0, where the idle event would start a
    // send, nothing happens. The channel's tick runs this while the line is not yet quiet.
    void OnTimerCheck(int slot);

    // User-interface side.
    void Enqueue(int slot, TransferRequestPtr request);
    // Clears the slot whatever its state and notifies UM_LINK_RESET (slot+1). A request in the
    // send block travels back inside that notice, so its owner can release it; it gets no result.
    void ResetSlot(int slot);
    // One 100 ms tick: every running counter of every slot counts down by one.
    void Tick();
    // Takes every queued request and every request in a send block, and clears all slots.
    std::vector<TransferRequestPtr> TakeAll();
    // The same, waiting at most limit for the lock; nothing when it stays taken.
    std::vector<TransferRequestPtr> TakeAll(std::chrono::milliseconds limit);
    // True while any slot has a queued request, a turn under way or a running timer: only then
    // does the tick have anything to count.
    bool Busy() const;

    // Looks at a slot under the lock (tests and tools).
    void Inspect(int slot, const std::function<void(const LinkSlot&)>& look) const;
    size_t QueueLength(int slot) const;

  private:
    void Run(int slot, LinkInput input);
    void RunLocked(int slot, LinkInput input, std::vector<LinkNotice>& notices);
    void Flush(std::vector<LinkNotice>& notices);
    std::vector<TransferRequestPtr> TakeAllLocked();

    WriteFn write_;
    NotifyFn notify_;
    mutable std::timed_mutex mutex_;  // timed: a stop never waits for it without limit
    std::array<LinkSlot, kLinkSlotCount> slots_;
    std::array<std::deque<TransferRequestPtr>, kLinkSlotCount> queues_;
    FrameBuffer frame_{};
};

LinkInput InputOfByte(uint8_t byte);

}  // namespace qn410
