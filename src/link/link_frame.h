// LinkFrame: one data frame on the wire, and the control bytes of the half-duplex handshake.
//
//   +-----+-----+----------------------+-----+-----+-----+
//   | DLE | STX | body (n bytes)       | DLE | ETX | BCC |
//   +-----+-----+----------------------+-----+-----+-----+
//     0     1     2 .. 1+n               2+n   3+n   4+n
//
// BCC is the XOR of every byte sent after STX up to and including ETX. The sender does not
// double a DLE inside the body (the bodies the tool builds are printable text); the receiver
// accepts DLE DLE as one data byte. No address, no length: the body names the exchange and the
// framing gives the length.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qn410 {

inline constexpr uint8_t DLE = 0x10;
inline constexpr uint8_t STX = 0x02;
inline constexpr uint8_t ETX = 0x03;
inline constexpr uint8_t EOT = 0x04;
inline constexpr uint8_t ENQ = 0x05;
inline constexpr uint8_t ACK = 0x06;
inline constexpr uint8_t NAK = 0x15;

// Frames are built in a fixed buffer of this size, so a body sent has at most 1019 bytes.
inline constexpr size_t kFrameBufferSize = 1024;
inline constexpr size_t kFrameOverhead = 5;
inline constexpr size_t kMaxSendBody = kFrameBufferSize - kFrameOverhead;
// The receiver stores the body and its closing ETX in 1024 bytes: a body has at most 1023.
inline constexpr size_t kReceiveBufferSize = 1024;
inline constexpr size_t kMaxReceiveBody = kReceiveBufferSize - 1;

using FrameBuffer = std::array<uint8_t, kFrameBufferSize>;

// The BCC the sender appends to body: XOR of the body bytes, then of DLE and ETX.
uint8_t FrameBcc(std::string_view body);

// Writes the LinkFrame of body into out and returns its size; 0 when body exceeds kMaxSendBody.
size_t BuildLinkFrame(std::string_view body, FrameBuffer& out);

}  // namespace qn410
