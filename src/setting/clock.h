// The PC's local clock, behind an interface so tests can fix the time.
#pragma once

namespace qn410 {

struct LocalTime {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;   // 0..23
    int minute = 0;
    int second = 0;
    int dayOfWeek = 0;  // 0 Sunday .. 6 Saturday
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalTime Now() const = 0;
};

class SystemClock : public Clock {
  public:
    LocalTime Now() const override;
    static const SystemClock& Instance();
};

class FixedClock : public Clock {
  public:
    explicit FixedClock(LocalTime t) : time(t) {}
    LocalTime Now() const override { return time; }
    LocalTime time;
};

}  // namespace qn410
