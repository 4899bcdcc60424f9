// What an exchange sends back for the tool's requests: the setting records of a download
// ("Start Dwnload", Q) and the dialing-assignment blocks of one master station (T), and how it
// stores an uploaded dialing-assignment block.
//
// Download order, N = SwitchCnt, "each" = exchanges 1..N, or only the one asked for:
//   A once (exchange 00) | B 4 per exchange for exchanges 1..N in either case | C 64 each |
//   D 1 each | E 4 each | F 1 each | G 4 each | H 19 each | I 19 each | J 19 each | U 4 each |
//   L 4 each | M 1 each
// which is 1 + 144 N records for all exchanges and 141 + 4 N for one: the order of an upload
// without its closing message, so the tool's expected count is met exactly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "setting/clock.h"
#include "setting/setting_data.h"

namespace qn410::sim {

// The records for a download of exchange (0 = all). The zone tables of data are rebuilt first,
// since the paging records are built from them. An exchange above SwitchCnt yields nothing.
std::vector<std::string> DownloadRecords(SettingData& data, int exchange, const Clock& clock);

// The dialing-assignment blocks of master station (1..4) of exchange (1..16): its non-empty
// entries in switch order, ten to a block, positions 1 first, 0 middle, 2 last, 3 only; one
// empty block (position 3) when the table is empty.
std::vector<std::string> DialBlocks(const SettingData& data, int exchange, int master);

// Stores a received dialing-assignment block into the table it names. A first or only block
// empties the table before its entries are stored, since an upload carries only the entries
// that are in use. Returns false, changing nothing, for a block that is malformed or names an
// exchange, master or switch out of range.
bool StoreDialBlock(std::string_view body, SettingData& data);

}  // namespace qn410::sim
