#include "link_test_peer.h"

#include <cstdio>
#include <utility>

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
    uint8_t bcc = 0;
    for (unsigned char c : body) {
        frame.push_back(static_cast<char>(c));
        bcc ^= c;
        if (c == DLE) {
            frame.push_back(static_cast<char>(DLE));
            bcc ^= c;
        }
    }
    frame += Bytes({DLE, ETX});
    bcc ^= DLE ^ ETX;
    frame.push_back(static_cast<char>(bcc));
    return frame;
}

FakeLink::FakeLink()
    : engine([this](int, const uint8_t* bytes,
                    size_t count) { wire_.append(reinterpret_cast<const char*>(bytes), count); },
             [this](LinkNotice notice) { notices.push_back(std::move(notice)); }) {}

std::string FakeLink::TakeWire() {
    return std::exchange(wire_, {});
}

void FakeLink::Feed(const std::string& bytes) {
    for (unsigned char c : bytes) engine.OnByte(0, c);
    engine.OnIdle(0);
}

void FakeLink::Ticks(int n) {
    for (int i = 0; i < n; ++i) {
        engine.Tick();
        engine.OnIdle(0);
    }
}

void FakeLink::Submit(const std::string& body) {
    auto request = std::make_unique<TransferRequest>();
    request->body = body;
    engine.Enqueue(0, std::move(request));
}

uint8_t FakeLink::State() const {
    uint8_t state = 0;
    engine.Inspect(0, [&](const LinkSlot& s) { state = s.state; });
    return state;
}

std::vector<const LinkNotice*> FakeLink::Of(uint16_t message) const {
    std::vector<const LinkNotice*> found;
    for (const LinkNotice& n : notices) {
        if (n.message == message) found.push_back(&n);
    }
    return found;
}

std::string WithBadBcc(std::string frame) {
    frame.back() = static_cast<char>(frame.back() ^ 0x01);
    return frame;
}

std::string IncrementByte(std::string frame, size_t position) {
    frame[position] = static_cast<char>(frame[position] + 1);
    return frame;
}

}  // namespace qn410::test
