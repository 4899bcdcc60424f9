// The work file "qn410work.txt": the names of the current log-data and communication-monitor
// files, so that file numbering goes on across runs. Kept read-only between runs.
#pragma once

#include <string>

#include "setting/prompt.h"

namespace qn410 {

inline constexpr char kWorkFileName[] = "qn410work.txt";

struct WorkFile {
    std::string history;  // last log-data file name
    std::string monitor;  // last communication-monitor file name
};

// Reads the work file. When it cannot be opened or a key is missing (the missing-key message is
// shown), both names are empty and a correct work file is written at once.
WorkFile ReadWorkFile(const std::string& path, Prompt& prompt);

// Writes the three lines and leaves the file read-only. Returns false when it cannot be written.
bool WriteWorkFile(const std::string& path, const WorkFile& work);

}  // namespace qn410
