#include "link_test_peer.h"

#include <cstdio>

namespace qn410::test {

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

std::string Hex(const std::string& bytes) {
    std::string out;
    char buf[4];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof buf, out.empty() ? "%02x" : " %02x", c);
        out += buf;
    }
    return out;
}

std::string PeerFrame(const std::string& body) {
    std::string frame = Bytes({DLE, STX});
    uint8_t bcc = DLE ^ ETX;
    for (unsigned char c : body) {
        frame.push_back(static_cast<char>(c));
        if (c == DLE)
            frame.push_back(static_cast<char>(c));  // the pair leaves the BCC as it was
        else
            bcc ^= c;
    }
    return frame + Bytes({DLE, ETX, bcc});
}

std::string WithBadBcc(std::string frame) {
    frame.back() = static_cast<char>(frame.back() ^ 0x01);
    return frame;
}

}  // namespace qn410::test
