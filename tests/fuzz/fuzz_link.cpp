// Feeds arbitrary byte and event sequences to the link engine. Checks, besides what the
// sanitizers check: every delivered body is at most 1023 bytes and was on the wire as DLE STX,
// the body (DLE doubled), DLE ETX and its BCC, just before it was delivered.
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

// The frame of body on the wire, written independently of the engine; the BCC is the XOR of
// the bytes after DLE STX up to and including ETX.
std::string Frame(const std::string& body) {
    std::string sent;
    for (char c : body) sent.append(static_cast<uint8_t>(c) == DLE ? 2 : 1, c);
    sent += {char(DLE), char(ETX)};
    char bcc = 0;
    for (char c : sent) bcc ^= c;
    return std::string{char(DLE), char(STX)} + sent + bcc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> fed(kLinkSlotCount + 1);  // what each slot was sent, lately
    LinkEngine engine{[](int, const uint8_t*, size_t) {},
                      [&](const LinkNotice& n) {
                          if (n.message != UM_LINK_RECEIVED) return;
                          const std::string& body = n.item->body;
                          Require(!body.empty() && body.size() <= kMaxReceiveBody);
                          Require(fed[(n.wParam & 0xFF) - 1].ends_with(Frame(body)));
                      }};
    size_t i = 0;
    auto next = [&]() -> uint8_t { return i < size ? data[i++] : 0; };
    auto take = [&](size_t n) {
        n = std::min(n, size - i);
        i += n;
        return std::string(reinterpret_cast<const char*>(data) + i - n, n);
    };
    auto send = [&](int slot, const std::string& bytes) {
        for (char c : bytes) {
            std::string& h = fed[slot] += c;
            if (h.size() > 8192) h.erase(0, h.size() - 4096);  // keeps the longest frame
            engine.OnByte(slot, static_cast<uint8_t>(c));
        }
    };
    while (i < size) {
        const uint8_t op = next();
        const int slot = (op >> 4) == 15 ? kLinkSlotCount : op >> 4;
        if ((op & 7) == 0) send(slot, std::string(1, static_cast<char>(next())));
        if ((op & 7) == 1) engine.OnIdle(slot);
        if ((op & 7) == 2) engine.OnReadError(slot);
        for (int n = (op & 7) == 3 ? next() % 40 : 0; n > 0; --n) {
            engine.Tick();
            engine.OnIdle(slot);
        }
        if ((op & 7) == 4) {
            auto r = std::make_unique<TransferRequest>();
            r->body = std::string(next() * 5u, 'A');  // up to 1275: past the frame limit too
            if (!r->body.empty()) r->body[0] = static_cast<char>(next());
            engine.Enqueue(slot, std::move(r));
        }
        if ((op & 7) == 5) engine.ResetSlot(slot);
        if ((op & 7) == 6) send(slot, Frame(take(next() * 5u)));
        if ((op & 7) == 7) send(slot, take(next()));
    }
    engine.TakeAll();
    return 0;
}
