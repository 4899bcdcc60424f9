// The progress display as the rest of the program sees it: the messages 0x1700..0x1704 and their
// block, and the process-wide cancel flag. What the receive dispatch asks of the display is
// TransferProgress (link/receive_dispatch.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace qn410 {

// Kinds of progress display (wParam of 0x1700, 0x1703 and 0x1704).
enum ProgressKind : int {
    kProgressPrinting = 1,
    kProgressTransmitting = 2,
    kProgressReceiving = 3
};

// The block posted with 0x1700, 0x1703 and 0x1704; the view releases it.
struct ProgressRequest {
    std::string prefix;  // single-byte text in front of the kind's message, e.g. a category name
    int32_t count = 0;   // upper bound of the range
};

// 1 once the user pressed the progress dialog's Cancel, or an exchange interrupted the transfer;
// the working code polls it. Written and read on the user-interface thread.
inline std::atomic<int> g_transferCancelled{0};

}  // namespace qn410
