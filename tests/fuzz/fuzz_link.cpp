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
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "link/link_engine.h"

namespace {

using namespace qn410;

[[noreturn]] void Fail(const char* what) {
    __builtin_trap();
    (void)what;
}

uint8_t Bcc(const std::string& sentAfterStx) {
    uint8_t bcc = 0;
    for (unsigned char c : sentAfterStx) bcc ^= c;
    return bcc;
}

void CheckWrite(const uint8_t* bytes, size_t count) {
    if (count == 2 && bytes[0] == DLE &&
        (bytes[1] == ENQ || bytes[1] == ACK || bytes[1] == NAK || bytes[1] == EOT)) {
        return;
    }
    if (count < kFrameOverhead || count > kFrameBufferSize) Fail("frame size");
    if (bytes[0] != DLE || bytes[1] != STX || bytes[count - 3] != DLE || bytes[count - 2] != ETX) {
        Fail("frame shape");
    }
    const std::string after(reinterpret_cast<const char*>(bytes) + 2, count - 3);
    if (Bcc(after) != bytes[count - 1]) Fail("frame bcc");
}

struct Harness {
    std::vector<std::string> fed{std::vector<std::string>(kLinkSlotCount)};  // per slot
    LinkEngine engine{[](int, const uint8_t* b, size_t n) { CheckWrite(b, n); },
                      [this](LinkNotice n) { Check(n); }};
    int current = 0;

    void Check(const LinkNotice& n) {
        if (n.message != UM_LINK_RECEIVED) return;
        if (!n.item || n.item->body.empty() || n.item->body.size() > kMaxReceiveBody) {
            Fail("delivered size");
        }
        std::string sent;
        for (char c : n.item->body) {
            sent.push_back(c);
            if (static_cast<uint8_t>(c) == DLE) sent.push_back(c);
        }
        sent += {static_cast<char>(DLE), static_cast<char>(ETX)};
        const std::string wire = std::string{static_cast<char>(DLE), static_cast<char>(STX)} +
                                 sent + static_cast<char>(Bcc(sent));
        const std::string& history = fed[(n.wParam & 0xFF) - 1];
        if (history.size() < wire.size() ||
            history.compare(history.size() - wire.size(), wire.size(), wire) != 0) {
            Fail("delivered body was not on the wire");
        }
    }
    void Byte(int slot, uint8_t b) {
        if (slot < kLinkSlotCount) {
            std::string& h = fed[slot];
            h.push_back(static_cast<char>(b));
            if (h.size() > 8192) h.erase(0, h.size() - 4096);  // keeps the longest frame
        }
        engine.OnByte(slot, b);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Harness h;
    size_t i = 0;
    auto next = [&]() -> uint8_t { return i < size ? data[i++] : 0; };
    auto take = [&](size_t n) {
        std::string s;
        for (size_t k = 0; k < n && i < size; ++k) s.push_back(static_cast<char>(data[i++]));
        return s;
    };
    while (i < size) {
        const uint8_t op = next();
        const int slot = (op >> 4) == 15 ? kLinkSlotCount : op >> 4;  // 15: no such slot
        switch (op & 0x07) {
            case 0:
                h.Byte(slot, next());
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
                const size_t len = next() * 5u;  // up to 1275: past the frame limit too
                r->body = std::string(len, 'A');
                if (len > 0) r->body[0] = static_cast<char>(next());
                h.engine.Enqueue(slot, std::move(r));
                break;
            }
            case 5:
                h.engine.ResetSlot(slot);
                break;
            case 6: {
                const std::string body = take(next() * 5u);
                std::string sent;
                for (char c : body) {
                    sent.push_back(c);
                    if (static_cast<uint8_t>(c) == DLE) sent.push_back(c);
                }
                sent += {static_cast<char>(DLE), static_cast<char>(ETX)};
                h.Byte(slot, DLE);
                h.Byte(slot, STX);
                for (char c : sent) h.Byte(slot, static_cast<uint8_t>(c));
                h.Byte(slot, Bcc(sent));
                break;
            }
            case 7:
                for (char c : take(next())) h.Byte(slot, static_cast<uint8_t>(c));
                break;
        }
    }
    h.engine.TakeAll();
    return 0;
}
