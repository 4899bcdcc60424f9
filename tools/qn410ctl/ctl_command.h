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

const std::vector<Command>& Commands();
int Run(const Args& argv, std::ostream& out, std::ostream& err);  // argv without the program name

int RunNew(const Args& args, std::ostream& out, std::ostream& err);
int RunCopy(const Args& args, std::ostream& out, std::ostream& err);
int RunCheck(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace qn410::ctl
