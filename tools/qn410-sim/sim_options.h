// The command line of qn410-sim.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "exchange_link.h"
#include "sim_exchange.h"
#include "sim_modem.h"

namespace qn410::sim {

struct SimOptions {
    std::string device;  // empty: create a pseudo-terminal pair
    std::string config;  // setting file to start from; empty: default data
    std::string save;    // setting file written on exit and on SIGUSR1
    std::string trace;   // trace file; "-" for standard error
    double rate = 1.0;   // 'o' and 'p' records per second, each, while selected
    uint32_t seed = 1;
    std::optional<double> idleExit;  // seconds without a byte from the tool
    LineTiming timing;
    LineFaults faults;
    std::optional<StatusFault> statusFault;
    bool modem = false;  // the exchanges sit behind an emulated modem
    ModemOptions modemOptions;
};

struct ParsedOptions {
    SimOptions options;
    bool help = false;
    std::string error;  // set when the command line is wrong
};

ParsedOptions ParseOptions(const std::vector<std::string>& args);

// The text of --help: every option with its meaning.
std::string HelpText();

}  // namespace qn410::sim
