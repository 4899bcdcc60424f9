// The view's two histories: the last 1000 log lines and the last 1000 monitor entries, each a
// ring whose 1001st entry overwrites the oldest. One lock (the log lock) guards both, because
// "Data Save" writes a history while records keep arriving.
#pragma once

#include <array>
#include <cstddef>
#include <mutex>
#include <vector>

#include "monitor/log_records.h"

namespace qn410 {

inline constexpr size_t kHistorySize = 1000;

template <typename Entry>
class HistoryRing {
  public:
    void Add(const Entry& entry) {
        entries_[(oldest_ + count_) % kHistorySize] = entry;
        if (count_ < kHistorySize) {
            ++count_;
        } else {
            oldest_ = (oldest_ + 1) % kHistorySize;
        }
    }
    size_t count() const { return count_; }
    // Oldest first.
    std::vector<Entry> Entries() const {
        std::vector<Entry> out;
        out.reserve(count_);
        for (size_t i = 0; i < count_; ++i) out.push_back(entries_[(oldest_ + i) % kHistorySize]);
        return out;
    }

  private:
    std::array<Entry, kHistorySize> entries_{};
    size_t count_ = 0;
    size_t oldest_ = 0;
};

class LogHistory {
  public:
    void AddLog(const LogLine& line) {
        std::lock_guard lock(mutex_);
        logs_.Add(line);
    }
    void AddMonitor(const MonitorEntry& entry) {
        std::lock_guard lock(mutex_);
        monitors_.Add(entry);
    }
    std::vector<LogLine> Logs() const {
        std::lock_guard lock(mutex_);
        return logs_.Entries();
    }
    std::vector<MonitorEntry> Monitors() const {
        std::lock_guard lock(mutex_);
        return monitors_.Entries();
    }
    // The log lock itself, for a writer that must hold it across a whole file ("Data Save").
    std::mutex& lock() const { return mutex_; }
    const HistoryRing<LogLine>& logsLocked() const { return logs_; }
    const HistoryRing<MonitorEntry>& monitorsLocked() const { return monitors_; }

  private:
    mutable std::mutex mutex_;
    HistoryRing<LogLine> logs_;
    HistoryRing<MonitorEntry> monitors_;
};

}  // namespace qn410
