// The built programs as child processes (define QN410_SIM_BINARY for the simulator).
// Every wait is bounded by a poll time-out; nothing sleeps.
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
#ifdef QT_CORE_LIB
#include <QStringList>
#endif

namespace qn410::test {

using ChildEnv = std::vector<std::pair<std::string, std::string>>;

// Starts binary with args (and the environment plus env), standard output to outFd (or
// /dev/null when -1) and standard error to errFd.
inline pid_t Spawn(const std::string& binary, const std::vector<std::string>& args,
                   const ChildEnv& env, int outFd, int errFd) {
    std::vector<char*> argv{const_cast<char*>(binary.c_str())};  // built before the fork
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const int null = open("/dev/null", O_RDWR);
    dup2(outFd >= 0 ? outFd : null, STDOUT_FILENO);
    dup2(errFd >= 0 ? errFd : null, STDERR_FILENO);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    execv(binary.c_str(), argv.data());
    _exit(127);
}

// A started program with its standard output (or error) on a pipe; killed at the end.
class Child {
  public:
    Child(const std::string& binary, const std::vector<std::string>& args, const ChildEnv& env,
          bool error) {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_ = Spawn(binary, args, env, error ? -1 : fds[1], error ? fds[1] : -1);
        close(fds[1]);
        fd_ = fds[0];
    }
    ~Child() {
        if (pid_ > 0) kill(pid_, SIGKILL);
        Wait(0);
        if (fd_ >= 0) close(fd_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    void Signal(int s) { kill(pid_, s); }

    // Reads the pipe (into *into) until it closes, at most limitMs in all, and reaps the program,
    // killed when it has not ended by then: its exit status, -1 when it did not exit normally.
    int Wait(int limitMs = 5000, std::string* into = nullptr) {
        using namespace std::chrono;
        if (pid_ <= 0) return -1;
        const auto end = steady_clock::now() + milliseconds(limitMs);
        char buffer[4096];
        for (ssize_t n = 1; n > 0;) {
            const auto left = duration_cast<milliseconds>(end - steady_clock::now()).count();
            pollfd p{fd_, POLLIN, 0};
            if (left <= 0 || poll(&p, 1, static_cast<int>(left)) != 1) {
                kill(pid_, SIGKILL);
                break;
            }
            n = read(fd_, buffer, sizeof buffer);
            if (n > 0 && into) into->append(buffer, static_cast<std::size_t>(n));
        }
        int status = 0;
        waitpid(std::exchange(pid_, -1), &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  protected:
    pid_t pid_ = -1;
    int fd_ = -1;
};

#ifdef QN410_SIM_BINARY
// qn410-sim on a pseudo-terminal, whose path is its first line of output; stopped with SIGTERM
// at the end (killed when it does not end), so that it saves with --save and leaves its coverage
// counts.
class Simulator : public Child {
  public:
    explicit Simulator(const std::vector<std::string>& args)
        : Child(QN410_SIM_BINARY, args, {}, false) {
        char c;
        pollfd p{fd_, POLLIN, 0};
        while (poll(&p, 1, 5000) == 1 && read(fd_, &c, 1) == 1 && c != '\n') port_ += c;
    }
    ~Simulator() { Stop(); }

    int Stop() {  // its exit status, or -1
        if (pid_ <= 0) return -1;
        Signal(SIGTERM);
        return Wait(10000);
    }

    // The tool's device path ("" when the simulator did not start).
    const std::string& port() const { return port_; }
    ChildEnv env() const { return {{"QN410_COM1", port_}}; }

  private:
    std::string port_;
};

#ifdef QT_CORE_LIB
// The same with Qt's strings.
struct SimProcess : Simulator {
    explicit SimProcess(const QStringList& args) : Simulator(Strings(args)) {}
    QString port() const { return QString::fromStdString(Simulator::port()); }
    static std::vector<std::string> Strings(const QStringList& list) {
        std::vector<std::string> out;
        for (const QString& s : list) out.push_back(s.toStdString());
        return out;
    }
};
#endif
#endif

}  // namespace qn410::test
