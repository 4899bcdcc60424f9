// What the log and monitor files hold and how they are named: one line per record with CR LF
// (51 bytes per log line, 22 + n per monitor line), the daily numbered files "HSyymmdd-NN.txt"
// and "CMyymmdd-NN.txt", and the "Data Save" files "HSyymmddhhmmss.txt" / "CM...".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "monitor/log_records.h"
#include "setting/clock.h"

namespace qn410 {

enum class LogKind { Log, Monitor };

inline constexpr int kMaxFileNumber = 99;
inline constexpr long kMaxDailyFileSize = 65536;  // a file longer than this is not continued

// "HS" for log files, "CM" for monitor files.
const char* FilePrefix(LogKind kind);

// One line of a file, CR LF included.
std::string FileLine(const LogLine& line);
std::string FileLine(const MonitorEntry& entry);

// folder + '/' + name, or name alone when folder is empty (the current folder).
std::string InFolder(const std::string& folder, const std::string& name);

// The daily file: prefix, yy, mm, dd, '-', the two-digit number, ".txt", in folder.
std::string DailyFileName(LogKind kind, const std::string& folder, const LocalTime& day,
                          int number);

// What a remembered daily file name says: its folder, its day and its number.
struct RememberedFile {
    std::string folder;
    int year = 0;  // two digits
    int month = 0;
    int day = 0;
    int number = 0;  // 0 when the name says nothing
};
// Reads the folder, date and number back from a name DailyFileName made. A name of another
// form gives an empty folder and number 0.
RememberedFile ParseRemembered(const std::string& path);

// "Data Save": prefix, yy, mm, dd, hh, mm, ss, ".txt", in folder.
std::string DataSaveName(LogKind kind, const std::string& folder, const LocalTime& now);

// Appends the lines (each already ending in CR LF) to path, creating it when missing. False
// when the file cannot be opened or written.
bool AppendLines(const std::string& path, const std::vector<std::string>& lines);

}  // namespace qn410
