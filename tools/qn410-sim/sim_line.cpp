#include "sim_line.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace qn410::sim {
namespace {

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool MakeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return false;
    cfmakeraw(&t);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

}  // namespace

std::unique_ptr<SerialLine> SerialLine::OpenPty(std::string& error) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0) {
        error = SystemError("posix_openpt");
        return nullptr;
    }
    char name[128];
    if (grantpt(master) != 0 || unlockpt(master) != 0 ||
        ptsname_r(master, name, sizeof name) != 0) {
        error = SystemError("pseudo-terminal");
        close(master);
        return nullptr;
    }
    const int slave = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave < 0 || !MakeRaw(slave)) {
        error = SystemError(std::string("open ") + name);
        if (slave >= 0) close(slave);
        close(master);
        return nullptr;
    }
    return std::unique_ptr<SerialLine>(new SerialLine(master, slave, name));
}

std::unique_ptr<SerialLine> SerialLine::OpenDevice(const std::string& path, std::string& error) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        error = SystemError("open " + path);
        return nullptr;
    }
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        error = SystemError("not a serial device: " + path);
        close(fd);
        return nullptr;
    }
    cfmakeraw(&t);
    cfsetispeed(&t, B19200);
    cfsetospeed(&t, B19200);
    t.c_cflag &= ~(CSIZE | CSTOPB | PARODD | CRTSCTS);
    t.c_cflag |= CS8 | PARENB | CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &t) != 0) {
        t.c_cflag &= ~PARENB;  // pseudo-terminals refuse parity
        if (tcsetattr(fd, TCSANOW, &t) != 0) {
            error = SystemError("line settings of " + path);
            close(fd);
            return nullptr;
        }
    }
    return std::unique_ptr<SerialLine>(new SerialLine(fd, -1, path));
}

SerialLine::~SerialLine() {
    close(fd_);
    if (heldSlave_ >= 0) close(heldSlave_);
}

void SerialLine::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

bool SerialLine::Read(std::string& bytes) {
    char buffer[4096];
    while (true) {
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) return true;
        // With the slave held open a pseudo-terminal never ends; a device that does is gone.
        return heldSlave_ >= 0 && n < 0 && errno == EIO;
    }
}

}  // namespace qn410::sim
