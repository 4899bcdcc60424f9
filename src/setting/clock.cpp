#include "setting/clock.h"

#include <ctime>

namespace qn410 {

LocalTime SystemClock::Now() const {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &now);
#else
    localtime_r(&now, &tm);
#endif
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                     tm.tm_min,         tm.tm_sec,     tm.tm_wday};
}

const SystemClock& SystemClock::Instance() {
    static const SystemClock clock;
    return clock;
}

}  // namespace qn410
