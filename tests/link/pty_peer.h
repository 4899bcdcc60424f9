// The exchange's end of a pseudo-terminal pair: the tool opens slavePath() like a serial port,
// the test reads and writes the master side. POSIX only.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "../support/temp_dir.h"

namespace qn410::test {

class PtyPeer {
  public:
    PtyPeer();
    ~PtyPeer() { Close(); }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool ok() const { return master_ >= 0 && !slavePath_.empty(); }
    const std::string& slavePath() const { return slavePath_; }
    void Send(const std::string& bytes);
    // Reads until count bytes arrived or timeoutMs passed; pump runs between polls (Qt events).
    std::string Read(size_t count, int timeoutMs, const std::function<void()>& pump);
    // The device goes away: the tool's reads fail from now on, and its path is gone.
    void Close();

  private:
    int master_ = -1;
    std::string slavePath_;  // a link to /dev/pts/N that only this peer removes
    std::optional<TempDir> linkDir_;
};

}  // namespace qn410::test
