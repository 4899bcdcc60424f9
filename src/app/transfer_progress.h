// The progress display as the rest of the program sees it: the messages 0x1700..0x1704 and their
// block, the process-wide cancel flag, and what the receive dispatch asks of the display.
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

// Used by the receive dispatch when an exchange reports that it cannot take data.
class TransferProgress {
  public:
    virtual ~TransferProgress() = default;
    // A progress display of a transfer (transmitting or receiving) is open.
    virtual bool IsTransferProgressOpen() const = 0;
    // Closes it as if the user had cancelled: the cancel flag is set to 1 first.
    virtual void CloseAsCancelled() = 0;
};

}  // namespace qn410
