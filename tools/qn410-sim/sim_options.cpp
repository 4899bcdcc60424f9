#include "sim_options.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <map>

namespace qn410::sim {
namespace {

std::optional<long long> Integer(const std::string& text, long long lo, long long hi) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < lo || value > hi) return std::nullopt;
    return value;
}

std::optional<double> Real(const std::string& text, double lo, double hi) {
    try {
        std::size_t used = 0;
        const double value = std::stod(text, &used);
        if (used != text.size() || !std::isfinite(value) || value < lo || value > hi)
            return std::nullopt;
        return value;
    } catch (...) {
        return std::nullopt;
    }
}

// K:EXCHANGE:STATUS
std::optional<StatusFault> StatusFaultOf(const std::string& text) {
    const auto first = text.find(':');
    const auto second = text.find(':', first == std::string::npos ? first : first + 1);
    if (first == std::string::npos || second == std::string::npos) return std::nullopt;
    const auto after = Integer(text.substr(0, first), 1, 1000000);
    const auto exchange = Integer(text.substr(first + 1, second - first - 1), 1, 16);
    const std::string status = text.substr(second + 1);
    if (!after || !exchange || (status != "0" && status != "1")) return std::nullopt;
    return StatusFault{static_cast<int>(*after), static_cast<int>(*exchange), status[0]};
}

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    SimOptions& o = parsed.options;
    using Setter = std::function<bool(const std::string&)>;
    auto count = [](int& field) {
        return Setter([&field](const std::string& v) {
            const auto n = Integer(v, 0, 1000000);
            if (n) field = static_cast<int>(*n);
            return n.has_value();
        });
    };
    auto text = [](std::string& field) {
        return Setter([&field](const std::string& v) {
            field = v;
            return !v.empty();
        });
    };
    const std::map<std::string, Setter> withValue = {
        {"--device", text(o.device)},
        {"--config", text(o.config)},
        {"--save", text(o.save)},
        {"--trace", text(o.trace)},
        {"--rate",
         [&o](const std::string& v) {
             const auto r = Real(v, 0.0, 1000.0);
             if (r) o.rate = *r;
             return r.has_value();
         }},
        {"--seed",
         [&o](const std::string& v) {
             const auto n = Integer(v, 0, 0xFFFFFFFFLL);
             if (n) o.seed = static_cast<uint32_t>(*n);
             return n.has_value();
         }},
        {"--idle-exit",
         [&o](const std::string& v) {
             const auto s = Real(v, 0.001, 1e7);
             if (s) o.idleExit = *s;
             return s.has_value();
         }},
        {"--frames-per-turn",
         [&o](const std::string& v) {
             const auto n = Integer(v, 1, 10000);
             if (n) o.timing.framesPerTurn = static_cast<int>(*n);
             return n.has_value();
         }},
        {"--refuse-bids", count(o.faults.refuseBids)},
        {"--refuse-frames", count(o.faults.refuseFrames)},
        {"--corrupt-bcc", count(o.faults.corruptBcc)},
        {"--delay",
         [&o](const std::string& v) {
             const auto n = Integer(v, 0, 600000);
             if (n) o.faults.delay = *n;
             return n.has_value();
         }},
        {"--drop-every", count(o.faults.dropEvery)},
        {"--drop-rx-every", count(o.faults.dropRxEvery)},
        {"--insist-after", count(o.faults.insistAfter)},
        {"--ring-time",
         [&o](const std::string& v) {
             const auto n = Integer(v, 0, 600000);
             if (n) o.modemOptions.ringTime = *n;
             return n.has_value();
         }},
        {"--modem-fault",
         [&o](const std::string& v) { return ParseModemFault(v, o.modemOptions); }},
        {"--z-after",
         [&o](const std::string& v) {
             o.statusFault = StatusFaultOf(v);
             return o.statusFault.has_value();
         }},
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool inlineValue = false;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            inlineValue = true;
        }
        if (name == "--help" || name == "-h") {
            parsed.help = true;
            continue;
        }
        if (name == "--modem" && !inlineValue) {
            o.modem = true;
            continue;
        }
        if (name == "--silent" && !inlineValue) {
            o.faults.silent = true;
            continue;
        }
        const auto it = withValue.find(name);
        if (it == withValue.end()) {
            parsed.error = "unknown option: " + args[i];
            return parsed;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                parsed.error = "missing value for " + name;
                return parsed;
            }
            value = args[++i];
        }
        if (!it->second(value)) {
            parsed.error = "bad value for " + name + ": " + value;
            return parsed;
        }
    }
    return parsed;
}

std::string HelpText() {
    return R"(Usage: qn410-sim [OPTION]...
Stands in for up to 16 QN-410 exchanges at the far end of the maintenance tool's serial line.

Without --device it creates a pseudo-terminal pair and prints the path the tool should use as
the first line of its output, so that QN410_COM1=<that path> points the tool at it.

Line and data:
  --device PATH           use this serial device instead of a pseudo-terminal
                          (19200 baud, even parity, 8 data bits, 1 stop bit); the first
                          line of output repeats PATH
  --config FILE           start from this setting file instead of the default data
  --save FILE             write the data the exchanges hold to this setting file on exit,
                          and without exiting on SIGUSR1
  --trace FILE            log every control pair and frame in both directions ('-' for
                          standard error)
  --rate PER_SECOND       log ('o') and monitoring ('p') records per second, each, while the
                          tool has asked for them (default 1; 0 sends none)
  --seed N                seed of the generated log and monitoring data (default 1)
  --frames-per-turn N     frames the exchange sends in one turn before it closes it (default 16)
  --idle-exit SECONDS     exit after this long without a byte from the tool
  --modem                 put the exchanges behind an emulated Hayes modem: the tool dials
                          (ATZ, ATE0, ATD<number>), the modem answers "CONNECT 19200" after
                          the ring time, and the exchange protocol runs until the tool
                          hangs up ("+++" with a guard time of 1 s on each side, then ATH)
  --ring-time MS          how long the emulated modem rings before it answers (default 500)

Faults, for tests:
  --refuse-bids N         answer the tool's first N bids with DLE NAK
  --refuse-frames N       answer the tool's first N good frames with DLE NAK
  --corrupt-bcc N         send the first N frames with a wrong BCC
  --delay MS              send every answer (DLE ACK, DLE NAK) MS milliseconds late
  --drop-every N          lose every Nth byte the exchange sends
  --drop-rx-every N       lose every Nth byte the exchange receives
  --silent                never answer and never send anything
  --insist-after N        when the bids cross, give way to the tool N times, then keep the
                          own bid (as the tool does) every later time
  --modem-fault FAULT     with --modem: answer a dial "BUSY" (busy), "NO ANSWER" (no-answer)
                          or "NO DIALTONE" (no-dialtone), or lose the carrier once, after N
                          bytes from the tool in a call (carrier-lost:N)
  --z-after K:EXCHANGE:STATUS
                          after K stored records send a 'z' status frame for EXCHANGE
                          (1..16) with STATUS 0 (busy receiving data) or 1 (communication
                          error)

  --help                  show this text and exit

Signals: SIGINT and SIGTERM end the simulator (saving first with --save); SIGUSR1 saves.
Exit status: 0 on a normal end, 1 when the line or a file cannot be opened, 2 on a wrong
command line.
)";
}

}  // namespace qn410::sim
