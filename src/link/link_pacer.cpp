#include "link/link_pacer.h"

#include "link/link_engine.h"

namespace qn410 {

void LinkPacer::Traffic(TimePoint now) {
    lastByte_ = now;
    quietDue_ = now + kQuiet;
}

void LinkPacer::OnRead(const uint8_t* bytes, size_t count, TimePoint now) {
    for (size_t i = 0; i < count; ++i) {
        Traffic(now);
        engine_.OnByte(slot_, bytes[i]);
    }
}

void LinkPacer::OnWake(TimePoint now) {
    if (!Quiet(now)) {
        quietDue_ = *lastByte_ + kQuiet;
        return;
    }
    quietDue_.reset();
    engine_.OnIdle(slot_);  // may write, which asks for the next quiet window
}

void LinkPacer::OnTick(TimePoint now, bool inputWaiting) {
    engine_.Tick();
    if (Quiet(now) && !inputWaiting) {
        engine_.OnIdle(slot_);
    } else {
        engine_.OnTimerCheck(slot_);  // the send waits for the quiet window
    }
}

bool LinkPacer::TickNeeded() const {
    return engine_.Busy();
}

}  // namespace qn410
