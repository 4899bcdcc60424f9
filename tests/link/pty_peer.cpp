#include "pty_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace qn410::test {

PtyPeer::PtyPeer() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        Close();
        return;
    }
    const std::string device = ::ptsname(master_);
    // The tool opens a uniquely named link this peer owns: once Close() removes it nothing
    // opens it again, even when another test is handed the same /dev/pts/N.
    slavePath_ = linkDir_.emplace().file("tty");
    if (::symlink(device.c_str(), slavePath_.c_str()) != 0) slavePath_.clear();
    // Raw from the start, so nothing is echoed or translated before the tool configures it.
    if (const int slave = ::open(device.c_str(), O_RDWR | O_NOCTTY); slave >= 0) {
        termios tio{};
        ::tcgetattr(slave, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
        ::close(slave);
    }
}

void PtyPeer::Close() {
    linkDir_.reset();
    slavePath_.clear();
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

void PtyPeer::Send(const std::string& bytes) {
    for (size_t done = 0; master_ >= 0 && done < bytes.size();) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        pollfd p{master_, POLLOUT, 0};
        if (n <= 0) ::poll(&p, 1, 10);
        done += size_t(std::max<ssize_t>(n, 0));
    }
}

std::string PtyPeer::Read(size_t count, int timeoutMs, const std::function<void()>& pump) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.size() < count && std::chrono::steady_clock::now() < end && master_ >= 0) {
        if (pump) pump();
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, 2) <= 0) continue;
        if (!(p.revents & POLLIN)) ::usleep(1000);  // no slave open: a hang-up, reported at once
        char buffer[256];
        const ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - got.size()));
        if (n > 0) got.append(buffer, size_t(n));
    }
    return got;
}

}  // namespace qn410::test
