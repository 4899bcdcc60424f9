// The checks of the Stations editor, run on Overwrite and Upload over its working copy. The
// first failure ends the check and names the page, the station and the grid column where the
// user is taken to correct it.
//
// Order (each step over exchanges 1..SwitchCnt, stations in index order; stations without a
// number are skipped where a step says "numbered"):
//   1 numbered masters: digit length, then uniqueness among masters and substations, then the
//     first digit against the active C/O access digits of the master's exchange   (column 3)
//   2 every master's "C/O Call Forwarding": 1..20 of 0..9 and '-'                 (column 7)
//   3 every master's forwarding targets, one field at a time for all masters      (8..11)
//   4 numbered substations: digit length, the exchange's number block, uniqueness within the
//     exchange, the first digit against the access digits                        (column 3)
//   5 numbered substations: the called master exists and has a number             (column 5)
#pragma once

#include <optional>
#include <string>

#include "editors/station_copy.h"

namespace qn410 {

enum class StationPageKind { Master, Sub };

// Grid columns of the two pages.
namespace master_col {
enum : int {
    kRowNo,
    kExchange,
    kLine,
    kStation,
    kName,
    kLineAccess,
    kPaging,
    kCoForwarding,
    kForwarding,
    kTimeForwarding,
    kBusyForwarding,
    kNoAnswerForwarding,
    kCount
};
}
namespace sub_col {
enum : int {
    kRowNo,
    kExchange,
    kLine,
    kStation,
    kName,
    kCalledExchange,
    kCalledLine,
    kCalledStation,
    kCalledName,
    kPriority,
    kCount
};
}

struct StationFailure {
    std::string message;
    StationPageKind page = StationPageKind::Master;
    int exchange = 0;  // 1-based
    int index = 0;     // equipment number: master 1..4, substation 1..64
    int column = 0;
};

// data supplies the Global Setting (exchanges, digits, first station numbers) and the C/O
// trunk lines; the stations come from copy.
std::optional<StationFailure> ValidateStations(const StationCopy& copy, const SettingData& data);

}  // namespace qn410
