// The call logs ('o') and communication-monitoring records ('p') an exchange reports while the
// tool has asked for them with a "Log Data Request" (O) or a "Communication Monitoring
// Request" (P).
//
//   'o'  0 'o' | 1 exchange(2) | 3 log time hhmmss | 9 Line1(6) 15 Line2(6) 21 Line3(6)
//        27 Line4(6) | 33 status code(2)                                           35 bytes
//   'p'  0 'p' | 1 exchange(2) | 3 n(3, at most 256) | 6 n data characters       6 + n bytes
//
// Each selected exchange reports in turn at a set rate per kind. Status codes and data lengths
// vary (every named status, some unnamed ones, the lengths 0 and 256, and every 250th monitoring
// record one byte over the limit, which the tool drops) so that the tool's lists and files meet
// them all.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "setting/clock.h"
#include "setting/setting_data.h"
#include "sim_trace.h"

namespace qn410::sim {

inline constexpr int kMaxMonitorData = 256;

// The exchanges named by the sixteen '1'/'0' bytes of an O or P request; empty when the body
// is too short.
std::optional<std::array<bool, kExchangeCount>> RequestSelection(std::string_view body);

class Traffic {
  public:
    // recordsPerSecond of each kind while any exchange is selected; 0 sends none.
    Traffic(const SettingData& data, const Clock& clock, double recordsPerSecond, uint32_t seed);

    void SelectLog(const std::array<bool, kExchangeCount>& exchanges, Millis now);
    void SelectMonitor(const std::array<bool, kExchangeCount>& exchanges, Millis now);

    // The records due by now, oldest first.
    std::vector<std::string> Due(Millis now);
    std::optional<Millis> NextDue() const;

    std::string LogRecord(int exchange);
    std::string MonitorRecord(int exchange);

  private:
    struct Stream {
        std::array<bool, kExchangeCount> selected{};
        int next = 0;  // the exchange index to report next
        std::optional<Millis> due;
    };
    void Select(Stream& stream, const std::array<bool, kExchangeCount>& exchanges, Millis now);
    int NextExchange(Stream& stream);
    std::string LineText(int exchange);

    const SettingData& data_;
    const Clock& clock_;
    Millis period_;
    std::mt19937 rng_;
    Stream log_, monitor_;
    int logCount_ = 0, monitorCount_ = 0;
};

}  // namespace qn410::sim
