// What the commands share about setting files: reading one without falling back to the
// defaults, and the station number check's verdict in words.
#pragma once

#include <ostream>
#include <string>

#include "setting/prompt.h"
#include "setting/setting_data.h"
#include "transfer/station_check.h"

namespace qn410::ctl {

// Reads path into doc and password. A file the reader would replace by the default data (missing,
// malformed password, missing key) is refused: the reason is on err (or printed by the prompt)
// and the answer is false. On success the zone tables are rebuilt from the masks, as an upload
// needs them.
bool LoadSettingFile(const std::string& path, SettingDocument& doc, std::string& password,
                     Prompt& prompt, std::ostream& err);

// "master station 2 of exchange 1 (number 21): duplicate number (code 1), same as ..." for a
// failed check; the caller puts the file name in front.
std::string StationCheckFailure(const StationCheckResult& result);

}  // namespace qn410::ctl
