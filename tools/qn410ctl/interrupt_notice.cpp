#include "interrupt_notice.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace qn410::ctl {

namespace {

int gWriteEnd = -1;

extern "C" void OnSignal(int signal) {
    std::signal(signal, SIG_DFL);  // the next one ends the process
    const char byte = 1;
    if (gWriteEnd >= 0) (void)!write(gWriteEnd, &byte, 1);
}

}  // namespace

InterruptNotice::InterruptNotice() {
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
    gWriteEnd = pipe_[1];
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char byte;
        while (read(pipe_[0], &byte, 1) == 1) {
        }
        emit interrupted();
    });
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
}

InterruptNotice::~InterruptNotice() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    gWriteEnd = -1;
    notifier_.reset();
    for (int fd : pipe_)
        if (fd >= 0) close(fd);
}

}  // namespace qn410::ctl
