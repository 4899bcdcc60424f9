// The built programs as child processes: qn410-sim on a pseudo-terminal (its first line of
// output is the tool's device path) and qn410ctl with its standard error captured. Every wait is
// bounded by a poll time-out; nothing sleeps. Define QN410CTL_BINARY / QN410_SIM_BINARY to use
// them.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace qn410::ctl::test {

struct ProcessResult {
    int status = -1;  // exit status; -1 when killed or not ended in time
    std::string err;  // standard error
};

// Starts binary with args (and the environment plus env), standard output to outFd (or
// /dev/null when -1) and standard error to errFd.
inline pid_t Spawn(const std::string& binary, const std::vector<std::string>& args,
                   const std::vector<std::pair<std::string, std::string>>& env, int outFd,
                   int errFd) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const int null = open("/dev/null", O_RDWR);
    dup2(outFd >= 0 ? outFd : null, STDOUT_FILENO);
    dup2(errFd >= 0 ? errFd : null, STDERR_FILENO);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(binary.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(binary.c_str(), argv.data());
    _exit(127);
}

#ifdef QN410CTL_BINARY
// qn410ctl running, its standard error captured.
class CtlProcess {
  public:
    CtlProcess(const std::vector<std::string>& args,
               const std::vector<std::pair<std::string, std::string>>& env) {
        int err[2];
        if (pipe(err) != 0) return;
        pid_ = Spawn(QN410CTL_BINARY, args, env, -1, err[1]);
        close(err[1]);
        err_ = err[0];
    }
    ~CtlProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (err_ >= 0) close(err_);
    }
    CtlProcess(const CtlProcess&) = delete;
    CtlProcess& operator=(const CtlProcess&) = delete;

    void Signal(int s) { kill(pid_, s); }

    // Waits for the end, at most limitMs; a program still running then is killed.
    ProcessResult Finish(int limitMs = 30000) {
        ProcessResult result;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        char buffer[4096];
        while (true) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            pollfd p{err_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) != 1) {
                kill(pid_, SIGKILL);
                break;
            }
            const ssize_t n = read(err_, buffer, sizeof buffer);
            if (n <= 0) break;  // standard error closed: the program has ended
            result.err.append(buffer, static_cast<std::size_t>(n));
        }
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
        return result;
    }

  private:
    pid_t pid_ = -1;
    int err_ = -1;
};

// Runs qn410ctl to its end, at most limitMs.
inline ProcessResult RunCtl(const std::vector<std::string>& args,
                            const std::vector<std::pair<std::string, std::string>>& env = {},
                            int limitMs = 30000) {
    return CtlProcess(args, env).Finish(limitMs);
}
#endif

#ifdef QN410_SIM_BINARY
// qn410-sim on a pseudo-terminal; stopped with SIGTERM at the end of the test (killed when it
// does not end), so that it saves with --save and leaves its coverage counts.
class Simulator {
  public:
    explicit Simulator(const std::vector<std::string>& args) {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = Spawn(QN410_SIM_BINARY, args, {}, out[1], -1);
        close(out[1]);
        std::string line;
        char c;
        pollfd p{out[0], POLLIN, 0};
        while (poll(&p, 1, 5000) == 1 && read(out[0], &c, 1) == 1 && c != '\n') line += c;
        out_ = out[0];  // kept open: the simulator may write more
        port_ = line;
    }
    ~Simulator() {
        if (pid_ > 0 && Stop() != 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) close(out_);
    }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    void Signal(int s) { kill(pid_, s); }
    // The exit status once the simulator has ended (its output closes), -1 when it was killed
    // or did not end within limitMs.
    int Wait(int limitMs = 5000) {
        pollfd p{out_, POLLIN, 0};
        char c;
        int ready;
        while ((ready = poll(&p, 1, limitMs)) == 1 && read(out_, &c, 1) == 1) continue;
        if (ready != 1) return -1;
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Ends the simulator with SIGTERM (it saves first with --save); its exit status or -1.
    int Stop() {
        if (pid_ <= 0) return -1;
        Signal(SIGTERM);
        return Wait(10000);
    }

    // The tool's device path ("" when the simulator did not start).
    const std::string& port() const { return port_; }
    std::vector<std::pair<std::string, std::string>> env() const { return {{"QN410_COM1", port_}}; }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string port_;
};
#endif

}  // namespace qn410::ctl::test
