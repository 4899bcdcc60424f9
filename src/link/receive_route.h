// Where a frame received from an exchange goes, by its command letter (body[0]).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qn410 {

enum class ReceiveRoute {
    kTransferSheet,   // A..J, L..Q, U: the open Upload/Download sheet
    kDialEditor,      // K: the open Dialing Assignment editor
    kLogRecord,       // o: log history, log-saving thread, Log Data window
    kMonitorRecord,   // p: monitor history, log-saving thread, Communication Monitor window
    kExchangeStatus,  // z: cancels a running transfer, may show a message
    kDiscard,         // everything else
};

ReceiveRoute RouteOfLetter(char letter);

// The message shown for a 'z' body: status '0' (the exchange is busy receiving) gives
// "Exchange No. %2d\nNow receiving data so you can't send"; status '1' (communication error)
// gives "Exchange No. %2d\nCommunication Error"; anything else shows nothing.
std::optional<std::string> ExchangeStatusMessage(std::string_view body);

}  // namespace qn410
