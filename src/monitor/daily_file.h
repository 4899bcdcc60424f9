// The daily numbered file of one kind (log lines to "HS" files, monitor lines to "CM" files):
// which file a line goes to, when a new one starts, and the failure texts. Owned and driven by
// the log-saving thread; the clock is the PC's (a fixed one in tests).
//
// - At start the remembered file is continued when it is of today and exists; otherwise
//   nothing is opened until the first line.
// - A new file starts with the first line, after the open file has grown beyond 65,536 bytes,
//   and after a new folder was chosen (number 01 then). Numbers run 01..99 and then 01 again.
// - The first file opened for a line keeps what it holds; every later one starts empty.
// - A file that cannot be opened or written gives its failure text once; the text comes again
//   only after a line of this kind has been written since. A failed open is tried again with
//   the next line, so writing resumes as soon as the folder can be written again.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "monitor/log_files.h"
#include "setting/clock.h"

namespace qn410 {

class DailyFile {
  public:
    // remembered: the name kept in the work file (History= or Monitor=).
    DailyFile(LogKind kind, const std::string& remembered, const Clock& clock);
    ~DailyFile();
    DailyFile(const DailyFile&) = delete;
    DailyFile& operator=(const DailyFile&) = delete;

    // The failure text of the start (the remembered file could not be continued), once.
    std::optional<std::string> TakeStartFailure();

    // Writes one line (CR LF included). Returns a failure text to show, or nothing.
    std::optional<std::string> Write(std::string_view line);

    // "Select Folder": the next line goes to number 01 in folder, created empty.
    void SelectFolder(const std::string& folder);

    // The name of the current file, to be remembered in the work file.
    const std::string& currentPath() const { return path_; }
    const std::string& folder() const { return folder_; }
    int number() const { return number_; }

    void Close();

  private:
    bool Open(const std::string& name, const char* mode);
    std::optional<std::string> Fail(bool& reported, const char* what);

    LogKind kind_;
    const Clock& clock_;
    std::string folder_;
    std::string path_;
    int number_ = 0;
    bool openedForLine_ = false;  // a line has opened a file in this run
    bool newFileRequested_ = false;
    std::FILE* file_ = nullptr;
    long size_ = 0;
    bool openReported_ = false;
    bool writeReported_ = false;
    std::optional<std::string> startFailure_;
};

}  // namespace qn410
