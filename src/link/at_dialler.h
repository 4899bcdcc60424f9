// AtDialler: the conversation with a Hayes-compatible modem that places the exchange's data call,
// as bytes in and bytes out. It reads no clock and touches no device: every call takes the
// current time, the caller writes TakeOutput() to the modem, sets DTR as TakeDtr() says, feeds
// back what the modem answers, and calls OnTime() by NextDeadline(). TapiLine drives it over the
// modem's serial device; tests drive it against a scripted modem.
//
// Placing a call: "ATZ" (reset, which also ends a call an earlier run left up), "ATE0" (no
// echo), then "ATD" + the number with every '-' turned into ',' (the modem's dialling pause). The
// answer to ATD decides: "CONNECT ..." hands the line over to the exchange's bytes (0x1801);
// "BUSY", "NO ANSWER" and "NO CARRIER" end the attempt as a call that went idle (0x1803); "NO
// DIALTONE", "ERROR", a modem that does not answer a command and a wait for CONNECT that runs out
// mean the call was not placed (0x180A).
//
// While connected, the modem's own "NO CARRIER" among the data is the loss of the call (0x1802).
//
// Hanging up: where DTR can be dropped (a real port) it is held low for a moment, which makes the
// modem hang up; when DTR cannot be dropped (a pseudo-terminal) or the modem still reports
// carrier afterwards, the escape sequence "+++" between two guard times of silence takes the
// modem to command mode and "ATH" ends the call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qn410 {

using AtMillis = long long;

struct AtTiming {
    AtMillis answer = 3000;    // for the answer to a command
    AtMillis connect = 60000;  // for the answer to ATD, on top of 3000 per dialling pause
    AtMillis guard = 1000;     // silence before and after "+++"
    AtMillis dtrLow = 500;     // DTR held low to hang up
};

// The notification codes of the telephony side (wParam of UM_TAPI_EVENT).
enum TapiCode : uint16_t {
    kTapiDialling = 0x1400,      // the number is being dialled
    kTapiConnected = 0x1801,     // the call is connected, the byte stream handed over
    kTapiDisconnected = 0x1802,  // the connected call was lost
    kTapiIdle = 0x1803,          // the call went idle or was busy
    kTapiNotPlaced = 0x180A,     // the call was not placed
};

// The number as the modem dials it: every '-' becomes ',' (a pause).
std::string DialString(std::string_view number);

class AtDialler {
  public:
    enum class Phase {
        Idle,
        Reset,      // ATZ sent
        NoEcho,     // ATE0 sent
        Dialling,   // ATD sent
        Connected,  // the exchange's bytes
        DtrLow,     // hanging up by DTR
        GuardBefore,
        GuardAfter,  // "+++" sent
        HangUpSent,  // ATH (or an abort of the dialling) sent
    };

    explicit AtDialler(AtTiming timing = {}) : timing_(timing) {}

    // Starts a call; ignored unless idle. An empty number is not placed (0x180A).
    void Dial(std::string_view number, AtMillis now);
    // Ends the call, or the attempt under way. dtrWorks: the line's DTR can be dropped.
    void HangUp(AtMillis now, bool dtrWorks);
    void OnBytes(std::string_view bytes, AtMillis now);
    void OnTime(AtMillis now);
    // The modem's carrier detect, where the line has one; read after DTR was dropped.
    void OnCarrier(bool present) { carrier_ = present; }
    std::optional<AtMillis> NextDeadline() const { return deadline_; }

    std::string TakeOutput() { return std::exchange(output_, {}); }
    // The exchange's bytes received while connected.
    std::string TakeData() { return std::exchange(data_, {}); }
    std::vector<uint16_t> TakeNotices() { return std::exchange(notices_, {}); }
    // DTR to set on the line, when it is to change.
    std::optional<bool> TakeDtr() { return std::exchange(dtr_, std::nullopt); }

    Phase phase() const { return phase_; }
    bool connected() const { return phase_ == Phase::Connected; }
    // A call is being placed or ended: the caller keeps driving until this is false.
    bool busy() const { return phase_ != Phase::Idle && phase_ != Phase::Connected; }

  private:
    void Enter(Phase phase, std::optional<AtMillis> deadline);
    void Send(std::string_view command, Phase next, AtMillis now);
    void OnLine(const std::string& line, AtMillis now);
    void EndAttempt(uint16_t code);
    void Escape(AtMillis now);

    AtTiming timing_;
    Phase phase_ = Phase::Idle;
    std::optional<AtMillis> deadline_;
    std::string number_;
    std::string line_;  // the answer being received
    std::string tail_;  // the end of the data, to find "NO CARRIER" across reads
    std::string output_, data_;
    std::vector<uint16_t> notices_;
    std::optional<bool> dtr_;
    bool carrier_ = false;
    bool afterConnect_ = false;
    int escapes_ = 0;  // escape sequences sent for this hang-up
};

}  // namespace qn410
