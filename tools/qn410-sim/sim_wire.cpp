#include "sim_wire.h"

#include <cstdio>

namespace qn410::sim {

uint8_t BodyBcc(std::string_view body) {
    uint8_t bcc = 0;
    for (const char c : body) bcc ^= static_cast<uint8_t>(c);
    return bcc ^ kDle ^ kEtx;
}

std::string FrameOf(std::string_view body, uint8_t bcc) {
    std::string frame;
    frame.reserve(body.size() + 5);
    frame += static_cast<char>(kDle);
    frame += static_cast<char>(kStx);
    frame += body;
    frame += static_cast<char>(kDle);
    frame += static_cast<char>(kEtx);
    frame += static_cast<char>(bcc);
    return frame;
}

std::string ControlName(uint8_t second) {
    switch (second) {
        case kEnq:
            return "DLE ENQ";
        case kAck:
            return "DLE ACK";
        case kNak:
            return "DLE NAK";
        case kEot:
            return "DLE EOT";
        default: {
            char text[16];
            std::snprintf(text, sizeof text, "DLE 0x%02X", second);
            return text;
        }
    }
}

std::string EscapedText(std::string_view body) {
    std::string out;
    out.reserve(body.size());
    for (const char c : body) {
        const auto b = static_cast<uint8_t>(c);
        if (b == '\\') {
            out += "\\\\";
        } else if (b >= 0x20 && b <= 0x7E) {
            out += c;
        } else {
            char text[8];
            std::snprintf(text, sizeof text, "\\x%02X", b);
            out += text;
        }
    }
    return out;
}

}  // namespace qn410::sim
