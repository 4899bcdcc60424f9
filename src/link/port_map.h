// Which serial device each port name means. "COM1".."COM4" map to /dev/ttyS0../dev/ttyS3 on
// Linux (COM1..COM4 on Windows); QN410_COM1..QN410_COM4 override an entry, for example
// QN410_COM1=/dev/ttyUSB0. Any other name is taken as a device path.
#pragma once

#include <string>

namespace qn410 {

inline constexpr int kPortCount = 4;

// "COM1".."COM4" for index 0..3.
std::string PortName(int index);
// The device behind port index 0..3; empty for another index.
std::string DeviceOfPort(int index);
// The device behind a port name or path.
std::string ResolvePort(const std::string& nameOrPath);
// True for a pseudo-terminal: it has no physical line and refuses parity, so the channel
// applies only what the kernel accepts on it.
bool IsPseudoTerminal(const std::string& device);

}  // namespace qn410
