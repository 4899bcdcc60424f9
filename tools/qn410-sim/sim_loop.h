// The simulator's program: reads the setting file, opens the line, prints the tool's device
// path, and runs the exchanges until a signal or the idle time ends it.
#pragma once

#include <ostream>

#include "sim_options.h"

namespace qn410::sim {

// out gets the device path (first line); err gets failures. Returns the exit status.
int RunSimulator(const SimOptions& options, std::ostream& out, std::ostream& err);

}  // namespace qn410::sim
