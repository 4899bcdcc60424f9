// Building a wire record from the setting data, and storing a received one back into it.
//
// The encoder only reads. A request whose indexes do not fit its letter (an exchange outside
// 1..16, a station outside 1..4, ...) or that lacks the data the letter needs gives no record,
// so a caller's slip never reads past the setting data.
//
// The decoders never read past the record nor write outside the setting data's fields: a
// record too short for its letter, or naming an exchange, station, substation or zone out of
// range, or whose text fields (names, numbers) hold a control byte (below 0x20, or 0x7F), is
// ignored as a whole (Decode returns false). Within a well-formed record the exchange's
// rules apply: a digits field with a non-digit reads 0, a text field ends at its first space, a
// blank station number clears the station.
#pragma once

#include <optional>
#include <string_view>

#include "setting/setting_data.h"
#include "transfer/record_format.h"
#include "transfer/record_request.h"

namespace qn410 {

// The category name shown in progress and error texts, or empty for a letter without one.
std::string_view RecordName(char letter);

// The record of letter for the request, or nothing for a letter outside the table or a request
// that does not fit it.
std::optional<WireRecord> Encode(char letter, const RecordRequest& request);

// True for the letters whose received records the Upload/Download sheet stores: A-J, L, M, U.
bool IsDecodable(char letter);

// Stores a received record (letter first) into data. Returns false, leaving data untouched, for
// another letter or a record that is too short or names something out of range.
bool Decode(std::string_view body, SettingData& data);

// Rebuilds the three zone tables from the zone masks, the stations and the paging settings.
void RebuildZoneTables(SettingData& data);
// The same for the rows of one exchange (1..16).
void RebuildZoneRows(SettingData& data, int exchange);

}  // namespace qn410
