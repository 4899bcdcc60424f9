// The one send step of every sender: a finished record goes to the link behind its header,
// announced to the progress display, or - when the user has asked to cancel - the link is
// abandoned instead.
//
// The core only describes what is posted; the windows implement LinkPoster by posting events
// to the main view, which owns the progress display and the link.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "link/link_messages.h"
#include "link/transfer_request.h"

namespace qn410 {

// How a send step announces itself on the progress display.
enum class ProgressMode : uint8_t {
    Closing = 0,   // the first step opens the display with the name and the total (0x1700)
    Single = 1,    // the first step opens the display with the name and the total (0x1703)
    Sequence = 2,  // every step names its category (0x1704)
};

// Kinds of progress display (wParam of 0x1700, 0x1703, 0x1704): the send step always shows
// "Transmitting data"; records stored during a download show "Receiving data".
inline constexpr int kDisplayTransmitting = 2;
inline constexpr int kDisplayReceiving = 3;

// wParam of UM_LINK_REQUEST.
inline constexpr uint32_t kLinkSubmit = 0;
inline constexpr uint32_t kLinkAbandon = 1;

class LinkPoster {
  public:
    virtual ~LinkPoster() = default;
    // A progress message with its display kind (wParam) and block: UM_PROGRESS_RESTART or
    // UM_PROGRESS_START with a name and a count, UM_PROGRESS_STEP with a name (count 0),
    // UM_PROGRESS_CLOSE with kind 0 and neither.
    virtual void PostProgress(AppMessage message, int kind, std::string name, int count) = 0;
    // UM_LINK_REQUEST with wParam kLinkSubmit or kLinkAbandon; the view owns the request now.
    virtual void PostLinkRequest(uint32_t wParam, TransferRequestPtr request) = 0;
};

// The request that ends the link: set mask 0, clear mask 3, exchange 0, no record. Posted with
// kLinkAbandon to abort, or with kLinkSubmit as the release at the end of a complete download.
TransferRequestPtr MakeCloseRequest(void* owner);

// Sends record (body, letter first; empty for a release request) behind header, whose requester
// is the window that gets UM_LINK_RESULT. step counts from 1 up to total. When cancelRequested
// is set the record is not sent: the progress display is closed and the link abandoned.
// Returns true when the record was submitted.
bool SendRecord(LinkPoster& poster, ProgressMode kind, int total, int step,
                const TransferRequest& header, std::string_view record, bool cancelRequested);

}  // namespace qn410
