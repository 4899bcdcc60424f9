// Message numbers that cross subsystems. On Qt they are custom event types (all lie in Qt's
// user range), posted with their payload owned by the event.
#pragma once

#include <cstdint>

namespace qn410 {

enum LinkMessage : uint16_t {
    UM_TAPI_EVENT = 0x0401,
    UM_LINK_CONNECTED = 0x0464,
    UM_LINK_DISCONNECTED = 0x0465,
    UM_LINK_SENT = 0x0466,
    UM_LINK_RECEIVED = 0x0467,
    UM_LINK_RESET = 0x0468,
    UM_LINK_ERROR = 0x046E,
    UM_THREAD_QUIT = 0x0478,
    UM_CHANNEL_STEP = 0x0479,
    UM_CHANNEL_CLOSE = 0x047A,
    UM_CHANNEL_OPENED = 0x0482,
    UM_CHANNEL_CLOSED = 0x0483,
};

enum AppMessage : uint16_t {
    UM_THREAD_STOP = 0x1401,       // to the log-saving and printing threads
    UM_LOG_READING = 0x1402,       // log-data reading started (1) or ended (0)
    UM_MONITOR_READING = 0x1403,   // communication-data reading started (1) or ended (0)
    UM_RCV_CANCEL_SHEET = 0x1404,  // transfer cancelled by the exchange: Upload/Download sheet
    UM_RCV_CANCEL_DIAL = 0x1405,   // transfer cancelled by the exchange: dialing assignment
    UM_LOG_RECORD = 0x1410,        // 49-byte log record to the log-saving thread
    UM_MONITOR_RECORD = 0x1411,    // 280-byte monitor record to the log-saving thread
    UM_LINK_REQUEST = 0x1420,
    UM_LINK_RESULT = 0x1421,
    UM_PRINT_REQUEST = 0x1500,
    UM_PROGRESS_RESTART = 0x1700,  // start or restart with a count (name, total)
    UM_PROGRESS_CLOSE = 0x1701,    // close the progress display
    UM_PROGRESS_ADVANCE = 0x1702,  // one step done
    UM_PROGRESS_START = 0x1703,    // a single request or an editor's series (name, total)
    UM_PROGRESS_STEP = 0x1704,     // one record of the upload/download sequence (name)
};

// UM_LINK_ERROR codes, in the high byte of wParam.
inline constexpr uint8_t kLinkErrorOpen = 0x82;
inline constexpr uint8_t kLinkErrorSend = 0x84;
inline constexpr uint8_t kLinkErrorReceive = 0x85;

// UM_LINK_RESULT codes.
enum LinkResult : uint32_t {
    kResultDone = 0,
    kResultNotDelivered = 1,  // "Failed to transmit" / "Failed to receive"
    kResultOpenFailed = 2,    // "Failed to open the device"
    kResultReceived = 3,      // lParam is a received item or a record copy
    kResultReset = 4,         // the slot was reset after an abandon request (UM_RCV_CANCEL)
};

// LinkUseMask bits.
inline constexpr uint8_t kUseSingle = 0x01;
inline constexpr uint8_t kUseMulti = 0x02;
inline constexpr uint8_t kUseMonitor = 0x04;
inline constexpr uint8_t kUseLog = 0x08;
inline constexpr uint8_t kUseClosing = 0x40;
inline constexpr uint8_t kUseStartup = 0x80;

}  // namespace qn410
