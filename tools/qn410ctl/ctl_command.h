// The commands of qn410ctl. Each takes its arguments (after the command word), writes its
// messages to err and returns the exit status: 0 success, 1 failure, 2 wrong usage.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qn410::ctl {

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;    // arguments, as shown by --help
    const char* summary;  // one line
    int (*run)(const Args& args, std::ostream& out, std::ostream& err);
};

// The file commands (core only).
const std::vector<Command>& Commands();
// The transfer commands, in the library qn410ctl_transfer (on the link; builds with Qt only).
const std::vector<Command>& TransferCommands();
// The dialing assignment commands (dial upload/download), in qn410ctl_transfer too.
const std::vector<Command>& DialCommands();

// Runs argv (without the program name) against table.
int Run(const std::vector<Command>& table, const Args& argv, std::ostream& out, std::ostream& err);
inline int Run(const Args& argv, std::ostream& out, std::ostream& err) {
    return Run(Commands(), argv, out, err);
}

int RunNew(const Args& args, std::ostream& out, std::ostream& err);
int RunCopy(const Args& args, std::ostream& out, std::ostream& err);
int RunCheck(const Args& args, std::ostream& out, std::ostream& err);
int RunDiff(const Args& args, std::ostream& out, std::ostream& err);
int RunUpload(const Args& args, std::ostream& out, std::ostream& err);
int RunDownload(const Args& args, std::ostream& out, std::ostream& err);
int RunVerify(const Args& args, std::ostream& out, std::ostream& err);
int RunLog(const Args& args, std::ostream& out, std::ostream& err);
int RunMonitor(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace qn410::ctl
