// Ctrl-C and SIGTERM as an event: while an InterruptNotice lives, the first SIGINT or SIGTERM
// emits interrupted() on the event loop (through a pipe, the one thing a signal handler may
// safely do); a second one ends the process as usual. One at a time.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace qn410::ctl {

class InterruptNotice : public QObject {
    Q_OBJECT
  public:
    InterruptNotice();
    ~InterruptNotice() override;
    InterruptNotice(const InterruptNotice&) = delete;
    InterruptNotice& operator=(const InterruptNotice&) = delete;

  signals:
    void interrupted();

  private:
    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace qn410::ctl
