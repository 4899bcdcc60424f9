#include "link/link_frame.h"

#include <algorithm>

namespace qn410 {

uint8_t FrameBcc(std::string_view body) {
    uint8_t bcc = 0;
    for (char c : body) bcc ^= static_cast<uint8_t>(c);
    return bcc ^ DLE ^ ETX;
}

size_t BuildLinkFrame(std::string_view body, FrameBuffer& out) {
    if (body.size() > kMaxSendBody) return 0;
    out[0] = DLE;
    out[1] = STX;
    std::copy(body.begin(), body.end(), out.begin() + 2);
    out[2 + body.size()] = DLE;
    out[3 + body.size()] = ETX;
    out[4 + body.size()] = FrameBcc(body);
    return body.size() + kFrameOverhead;
}

}  // namespace qn410
