#include "link/receive_route.h"

#include <cstdio>

namespace qn410 {

ReceiveRoute RouteOfLetter(char letter) {
    if ((letter >= 'A' && letter <= 'J') || (letter >= 'L' && letter <= 'Q') || letter == 'U') {
        return ReceiveRoute::kTransferSheet;
    }
    switch (letter) {
        case 'K':
            return ReceiveRoute::kDialEditor;
        case 'o':
            return ReceiveRoute::kLogRecord;
        case 'p':
            return ReceiveRoute::kMonitorRecord;
        case 'z':
            return ReceiveRoute::kExchangeStatus;
        default:
            return ReceiveRoute::kDiscard;
    }
}

std::optional<std::string> ExchangeStatusMessage(std::string_view body) {
    if (body.size() < 4 || (body[3] != '0' && body[3] != '1')) return std::nullopt;
    int exchange = 0;
    for (char c : body.substr(1, 2)) {
        if (c < '0' || c > '9') break;  // read like a decimal number: digits up to the first other
        exchange = exchange * 10 + (c - '0');
    }
    char text[80];
    if (body[3] == '0') {
        std::snprintf(text, sizeof text, "Exchange No. %2d\nNow receiving data so you can't send",
                      exchange);
    } else {
        std::snprintf(text, sizeof text, "Exchange No. %2d\nCommunication Error", exchange);
    }
    return std::string(text);
}

}  // namespace qn410
