// The line trace reads each direction's bytes back into control pairs and frames, whatever
// pieces they arrive in.
#include "link/line_trace.h"

#include <gtest/gtest.h>

#include <sstream>

#include "link/link_frame.h"

namespace qn410 {
namespace {

TEST(LineTrace, ReadsAHandshakeFedByteByByteInBothDirections) {
    std::ostringstream out;
    int64_t now = 0;
    LineTrace trace(out, [&] { return now; });
    FrameBuffer frame;
    const size_t n = BuildLinkFrame("Q00", frame);
    std::string tx = "\x10\x05" + std::string(reinterpret_cast<const char*>(frame.data()), n);
    tx += "\x10\x04";
    const std::string rx = "\x10\x06";
    auto feed = [&](LineTrace::Direction d, std::string_view bytes) {
        for (char c : bytes) {
            now += 1;
            trace.Bytes(d, std::string_view(&c, 1));
        }
    };
    using D = LineTrace::Direction;
    feed(D::Tx, tx.substr(0, 2));
    feed(D::Rx, rx);
    feed(D::Tx, tx.substr(2, n));
    feed(D::Rx, rx);
    feed(D::Tx, tx.substr(2 + n));
    const char spoilt[] = {0x10, 0x02, 'A', 0x01, 0x10, 0x03, 0x00, 0x7F};  // then a stray byte
    feed(D::Rx, std::string_view(spoilt, sizeof spoilt));
    EXPECT_EQ(out.str(),
              "     0.000002 TX DLE ENQ\n"
              "     0.000004 RX DLE ACK\n"
              "     0.000012 TX frame \"Q00\" BCC 0x42 good\n"
              "     0.000014 RX DLE ACK\n"
              "     0.000016 TX DLE EOT\n"
              "     0.000023 RX frame \"A\\x01\" BCC 0x00 bad\n"
              "     0.000024 RX byte 0x7F\n");
}

}  // namespace
}  // namespace qn410
