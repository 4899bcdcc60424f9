// Feeds arbitrary byte and event sequences to the link engine. Checks, besides what the
// sanitizers check: every write is a control pair or a well-formed frame of at most 1024 bytes,
// and every delivered body is at most 1023 bytes and was on the wire as DLE STX, the body (DLE
// doubled), DLE ETX and its BCC, just before it was delivered.
//
// Input: a program of one-byte operations, each with its operands:
//   0 byte b      the exchange sends b          4 len, body  queue a request
//   1             an empty read (idle)          5            reset the slot
//   2             a read failure                6 len, body  the exchange sends a good frame
//   3 n           n % 40 ticks, idle after each 7 len, bytes the exchange sends these bytes
// The slot is picked by the high nibble of the operation byte (15: an invalid slot).
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "link/link_engine.h"

namespace {

using namespace qn410;

void Require(bool ok) {
    if (!ok) __builtin_trap();
}

// XOR of the bytes after DLE STX up to and including ETX.
char Bcc(const std::string& bytes) {
    char bcc = 0;
    for (char c : bytes) bcc ^= c;
    return bcc;
}

// The frame of body on the wire, written independently of the engine.
std::string Frame(const std::string& body) {
    std::string sent;
    for (char c : body) {
        sent.push_back(c);
        if (static_cast<uint8_t>(c) == DLE) sent.push_back(c);
    }
    sent += {static_cast<char>(DLE), static_cast<char>(ETX)};
    return std::string{static_cast<char>(DLE), static_cast<char>(STX)} + sent + Bcc(sent);
}

void CheckWrite(const uint8_t* b, size_t n) {
    if (n == 2 && b[0] == DLE && (b[1] == ENQ || b[1] == ACK || b[1] == NAK || b[1] == EOT)) return;
    Require(n >= kFrameOverhead && n <= kFrameBufferSize);
    Require(b[0] == DLE && b[1] == STX && b[n - 3] == DLE && b[n - 2] == ETX);
    Require(Bcc(std::string(reinterpret_cast<const char*>(b) + 2, n - 3)) ==
            static_cast<char>(b[n - 1]));
}

struct Harness {
    std::vector<std::string> fed = std::vector<std::string>(kLinkSlotCount);  // per slot
    LinkEngine engine{[](int, const uint8_t* b, size_t n) { CheckWrite(b, n); },
                      [this](LinkNotice n) { Check(n); }};

    void Check(const LinkNotice& n) {
        if (n.message != UM_LINK_RECEIVED) return;
        Require(n.item && !n.item->body.empty() && n.item->body.size() <= kMaxReceiveBody);
        const std::string wire = Frame(n.item->body);
        const std::string& history = fed[(n.wParam & 0xFF) - 1];
        Require(history.ends_with(wire));
    }
    void Bytes(int slot, const std::string& bytes) {
        for (char c : bytes) {
            if (slot < kLinkSlotCount) {
                std::string& h = fed[slot];
                h.push_back(c);
                if (h.size() > 8192) h.erase(0, h.size() - 4096);  // keeps the longest frame
            }
            engine.OnByte(slot, static_cast<uint8_t>(c));
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Harness h;
    size_t i = 0;
    auto next = [&]() -> uint8_t { return i < size ? data[i++] : 0; };
    auto take = [&](size_t n) {
        n = std::min(n, size - i);
        i += n;
        return std::string(reinterpret_cast<const char*>(data) + i - n, n);
    };
    while (i < size) {
        const uint8_t op = next();
        const int slot = (op >> 4) == 15 ? kLinkSlotCount : op >> 4;  // 15: no such slot
        switch (op & 0x07) {
            case 0:
                h.Bytes(slot, std::string(1, static_cast<char>(next())));
                break;
            case 1:
                h.engine.OnIdle(slot);
                break;
            case 2:
                h.engine.OnReadError(slot);
                break;
            case 3:
                for (int n = next() % 40; n > 0; --n) {
                    h.engine.Tick();
                    h.engine.OnIdle(slot);
                }
                break;
            case 4: {
                auto r = std::make_unique<TransferRequest>();
                r->body = std::string(next() * 5u, 'A');  // up to 1275: past the frame limit too
                if (!r->body.empty()) r->body[0] = static_cast<char>(next());
                h.engine.Enqueue(slot, std::move(r));
                break;
            }
            case 5:
                h.engine.ResetSlot(slot);
                break;
            case 6:
                h.Bytes(slot, Frame(take(next() * 5u)));
                break;
            case 7:
                h.Bytes(slot, take(next()));
                break;
        }
    }
    h.engine.TakeAll();
    return 0;
}
