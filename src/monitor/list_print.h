// What "Print" of the "Log Data" and "Communication Monitor" windows hands to the printing
// thread: the list's category code and, per row, its column texts as shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qn410 {

inline constexpr uint8_t kPrintLogData = 0x0E;
inline constexpr uint8_t kPrintCommMonitor = 0x0F;

struct ListPrintRequest {
    uint8_t category = kPrintLogData;  // the top byte of the print request's wParam
    std::vector<std::vector<std::string>> rows;
};

}  // namespace qn410
