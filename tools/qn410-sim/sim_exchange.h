// The exchanges behind the line: what they do with each record the tool sends.
//
//   A-J, L, M, U   stored into the setting data (as a download would bring them back)
//   K              a dialing-assignment block, stored into its master's table
//   Q              answered with the records of a download of the exchange(s) asked for
//   T              answered with the dialing-assignment blocks of the master asked for
//   O, P           start or stop the log ('o') and monitoring ('p') reports per exchange
//   N              acknowledged on the line; nothing else happens
//   anything else  acknowledged on the line and ignored
//
// A test fault can make the exchanges report a 'z' status (busy or communication error) once a
// given number of records has been stored, as an exchange does when it must stop a transfer.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "setting/clock.h"
#include "setting/setting_data.h"
#include "sim_trace.h"
#include "traffic.h"

namespace qn410::sim {

struct StatusFault {
    int afterRecords = 0;  // stored records before the 'z' frame is sent
    int exchange = 1;      // 1..16
    char status = '0';     // '0' busy receiving data, '1' communication error
};

class SimExchange {
  public:
    // data, clock and trace must outlive the exchange.
    SimExchange(SettingData& data, const Clock& clock, SimTrace& trace, double recordsPerSecond,
                uint32_t seed, std::optional<StatusFault> statusFault = std::nullopt);

    // Handles a good frame from the tool; returns the bodies the exchanges send back.
    std::vector<std::string> OnRecord(std::string_view body, Millis now);

    // Log and monitoring records due by now, and when the next one is due.
    std::vector<std::string> Due(Millis now) { return traffic_.Due(now); }
    std::optional<Millis> NextDue() const { return traffic_.NextDue(); }

    int storedRecords() const { return stored_; }

  private:
    void Stored(std::vector<std::string>& out, Millis now);

    SettingData& data_;
    const Clock& clock_;
    SimTrace& trace_;
    Traffic traffic_;
    std::optional<StatusFault> statusFault_;
    int stored_ = 0;
};

}  // namespace qn410::sim
