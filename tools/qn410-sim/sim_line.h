// The simulator's end of the serial line: a pseudo-terminal it creates, or a serial device.
//
// With a pseudo-terminal the simulator keeps the tool's side (the slave) open itself, so the
// line survives the tool closing and reopening the device: the master never sees a hang-up.
// Both ends are raw (no echo, no line editing, no character translation).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "exchange_link.h"

namespace qn410::sim {

class SerialLine : public LineWriter {
  public:
    // A new pseudo-terminal pair; toolPath() is the slave device for the tool.
    static std::unique_ptr<SerialLine> OpenPty(std::string& error);
    // A serial device at 19200 baud, even parity, 8 data bits, 1 stop bit. A device that
    // refuses parity (a pseudo-terminal bridged to a port server) is used without it.
    static std::unique_ptr<SerialLine> OpenDevice(const std::string& path, std::string& error);

    ~SerialLine() override;
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    int fd() const { return fd_; }
    const std::string& toolPath() const { return toolPath_; }

    // Never blocks: bytes the line cannot take now (nobody reads the other end) are lost,
    // as they would be on a cable with nothing plugged in.
    void Write(std::string_view bytes) override;
    // Reads what is there; returns false when the line has failed (a device unplugged).
    bool Read(std::string& bytes);

  private:
    SerialLine(int fd, int heldSlave, std::string toolPath)
        : fd_(fd), heldSlave_(heldSlave), toolPath_(std::move(toolPath)) {}
    int fd_;
    int heldSlave_;  // -1 for a device
    std::string toolPath_;
};

}  // namespace qn410::sim
