// The bytes of the half-duplex line as the exchange sees them: control pairs and data frames.
//
//   +-----+-----+----------------------+-----+-----+-----+
//   | DLE | STX | body (n bytes)       | DLE | ETX | BCC |
//   +-----+-----+----------------------+-----+-----+-----+
//
// BCC is the XOR of every byte after STX up to and including ETX. A data DLE inside a body is
// doubled on receipt (DLE DLE is one 0x10); the exchange never sends one, its bodies are text.
// Kept apart from the tool's own frame code on purpose: the simulator is a second, independent
// implementation of the line that the tool's engine is tested against.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qn410::sim {

inline constexpr uint8_t kDle = 0x10;
inline constexpr uint8_t kStx = 0x02;
inline constexpr uint8_t kEtx = 0x03;
inline constexpr uint8_t kEot = 0x04;
inline constexpr uint8_t kEnq = 0x05;
inline constexpr uint8_t kAck = 0x06;
inline constexpr uint8_t kNak = 0x15;

// The receiver keeps at most this many bytes between DLE STX and the BCC (the ETX included).
inline constexpr std::size_t kMaxStoredBytes = 1024;

// The BCC of body as the sender computes it: XOR of the body bytes, then DLE, then ETX.
uint8_t BodyBcc(std::string_view body);

// DLE STX body DLE ETX BCC.
std::string FrameOf(std::string_view body, uint8_t bcc);
inline std::string FrameOf(std::string_view body) {
    return FrameOf(body, BodyBcc(body));
}

// "DLE ENQ" and friends for the second byte of a control pair; "DLE 0xNN" for others.
std::string ControlName(uint8_t second);

// body with every byte outside 0x20..0x7E shown as \xNN (and the backslash as \\).
std::string EscapedText(std::string_view body);

}  // namespace qn410::sim
