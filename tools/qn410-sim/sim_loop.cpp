#include "sim_loop.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "setting/setting_file.h"
#include "sim_exchange.h"
#include "sim_line.h"

namespace qn410::sim {
namespace {

// Most records the exchanges keep waiting for the line before new log and monitoring records
// are dropped, so a tool that stops listening does not grow the queue without end.
constexpr std::size_t kMaxQueued = 500;

class StreamPrompt : public Prompt {
  public:
    explicit StreamPrompt(std::ostream& err) : err_(err) {}
    PromptAnswer Show(const std::string& text, PromptIcon, PromptButtons buttons) override {
        err_ << "qn410-sim: " << text << '\n';
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::No;
    }

  private:
    std::ostream& err_;
};

// SIGINT, SIGTERM and SIGUSR1 arrive as reads on a descriptor, between two events of the loop.
class SignalReader {
  public:
    SignalReader() {
        sigemptyset(&set_);
        for (const int s : {SIGINT, SIGTERM, SIGUSR1}) sigaddset(&set_, s);
        sigprocmask(SIG_BLOCK, &set_, &old_);
        fd_ = signalfd(-1, &set_, SFD_NONBLOCK | SFD_CLOEXEC);
    }
    ~SignalReader() {
        if (fd_ >= 0) close(fd_);
        sigprocmask(SIG_SETMASK, &old_, nullptr);
    }
    int fd() const { return fd_; }
    int Next() {
        signalfd_siginfo info{};
        return read(fd_, &info, sizeof info) == sizeof info ? static_cast<int>(info.ssi_signo) : 0;
    }

  private:
    sigset_t set_{}, old_{};
    int fd_ = -1;
};

std::string WallClockText() {
    const LocalTime t = SystemClock::Instance().Now();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

}  // namespace

int RunSimulator(const SimOptions& options, std::ostream& out, std::ostream& err) {
    StreamPrompt prompt(err);
    SettingDocument doc;
    std::string password;
    if (!options.config.empty() &&
        ReadSettingFile(options.config, doc, password, prompt) != ReadOutcome::Ok) {
        err << "qn410-sim: cannot use the setting file " << options.config << '\n';
        return 1;
    }

    std::ofstream traceFile;
    std::ostream* traceStream = nullptr;
    if (options.trace == "-") {
        traceStream = &err;
    } else if (!options.trace.empty()) {
        traceFile.open(options.trace, std::ios::out | std::ios::trunc);
        if (!traceFile) {
            err << "qn410-sim: cannot write the trace file " << options.trace << '\n';
            return 1;
        }
        traceStream = &traceFile;
    }
    SimTrace trace(traceStream);

    SignalReader signals;  // before the line, so no signal is missed once the path is out
    std::string error;
    auto line = options.device.empty() ? SerialLine::OpenPty(error)
                                       : SerialLine::OpenDevice(options.device, error);
    if (!line) {
        err << "qn410-sim: " << error << '\n';
        return 1;
    }
    out << line->toolPath() << std::endl;

    const auto start = std::chrono::steady_clock::now();
    auto clockNow = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start)
            .count();
    };
    // With --modem the exchanges are reached through the emulated modem's call.
    SimModem modem(*line, trace, options.modemOptions);
    LineWriter& toolSide = options.modem ? static_cast<LineWriter&>(modem) : *line;
    ExchangeLink link(toolSide, trace, options.timing, options.faults);
    SimExchange exchanges(doc.data(), SystemClock::Instance(), trace, options.rate, options.seed,
                          options.statusFault);
    link.SetFrameHandler([&](std::string_view body, Millis now) {
        // A new log or monitoring selection replaces what the old one had queued: an exchange
        // told to stop sends nothing more.
        if (!body.empty() && (body[0] == 'O' || body[0] == 'P'))
            link.DropQueued(static_cast<char>(body[0] + ('o' - 'O')));
        for (std::string& reply : exchanges.OnRecord(body, now)) link.Queue(std::move(reply));
    });

    auto save = [&](Millis now) {
        if (options.save.empty()) return true;
        const bool ok = WriteSettingFile(options.save, doc, password, prompt);
        trace.Note(now, ok ? "saved " + options.save : "could not save " + options.save);
        return ok;
    };

    // Milliseconds without input before the simulator ends; -1 never.
    const Millis idleLimit = options.idleExit ? static_cast<Millis>(*options.idleExit * 1000) : -1;
    Millis lastInput = 0;
    int dropped = 0;
    bool running = true;
    int status = 0;
    trace.Note(0, "started " + WallClockText() + ", line open: " + line->toolPath());
    while (running) {
        Millis now = clockNow();
        if (options.modem) modem.OnTime(now);
        link.OnTime(now);
        for (std::string& record : exchanges.Due(now)) {
            if (link.Queued() < kMaxQueued)
                link.Queue(std::move(record));
            else if (++dropped % 100 == 1)
                trace.Note(now, "log/monitor record dropped: the tool is not taking them");
        }
        link.OnTime(now);

        std::optional<Millis> next = link.NextDeadline();
        for (const auto d :
             {exchanges.NextDue(), options.modem ? modem.NextDeadline() : std::nullopt,
              idleLimit >= 0 ? std::optional<Millis>(lastInput + idleLimit) : std::nullopt})
            if (d && (!next || *d < *next)) next = d;
        const int timeout =
            next ? static_cast<int>(std::clamp<Millis>(*next - now, 0, 1000)) : 1000;

        pollfd fds[2] = {{line->fd(), POLLIN, 0}, {signals.fd(), POLLIN, 0}};
        if (poll(fds, 2, timeout) < 0 && errno != EINTR) break;
        now = clockNow();
        // Signals first: a save asked for before the tool's next bytes holds what came before.
        if (fds[1].revents & POLLIN) {
            for (int s = signals.Next(); s != 0; s = signals.Next()) {
                if (s == SIGUSR1) {
                    save(now);
                } else {
                    trace.Note(now, s == SIGINT ? "SIGINT: stopping" : "SIGTERM: stopping");
                    running = false;
                }
            }
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            std::string bytes;
            const bool alive = line->Read(bytes);
            if (!bytes.empty()) {
                lastInput = now;
                if (options.modem) {
                    modem.OnBytes(bytes, now, [&](std::string_view b) { link.OnBytes(b, now); });
                } else {
                    link.OnBytes(bytes, now);
                }
            }
            if (!alive) {
                err << "qn410-sim: the line failed\n";
                status = 1;
                running = false;
            }
        }
        if (idleLimit >= 0 && now - lastInput >= idleLimit) {
            trace.Note(now, "idle time reached: stopping");
            running = false;
        }
    }
    if (!save(clockNow())) status = 1;
    return status;
}

}  // namespace qn410::sim
