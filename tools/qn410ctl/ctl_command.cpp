#include "ctl_command.h"

namespace qn410::ctl {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"new", "FILE", "write the default setting data with an empty password to FILE", RunNew},
        {"copy", "IN OUT", "read the setting file IN and write it to OUT", RunCopy},
        {"check", "FILE", "run the station number check that guards every upload on FILE",
         RunCheck},
        {"diff", "A B",
         "list the fields in which the setting files A and B differ (exit 1 when any does)",
         RunDiff},
    };
    return commands;
}

namespace {

void PrintHelp(const std::vector<Command>& table, std::ostream& out) {
    out << "Usage: qn410ctl COMMAND [ARGUMENTS]\n"
           "The QN410 maintenance tool from the command line.\n\nCommands:\n";
    for (const Command& c : table)
        out << "  " << c.name << ' ' << c.usage << "\n      " << c.summary << '\n';
    out << "\nExit status: 0 success, 1 failure, 2 wrong usage. Messages go to standard error.\n";
}

}  // namespace

int Run(const std::vector<Command>& table, const Args& argv, std::ostream& out, std::ostream& err) {
    if (argv.empty()) {
        PrintHelp(table, err);
        return 2;
    }
    if (argv[0] == "--help" || argv[0] == "-h" || argv[0] == "help") {
        PrintHelp(table, out);
        return 0;
    }
    for (const Command& c : table) {
        if (argv[0] != c.name) continue;
        const Args args(argv.begin() + 1, argv.end());
        for (const std::string& a : args)
            if (a == "--help" || a == "-h") {
                out << "Usage: qn410ctl " << c.name << ' ' << c.usage << '\n' << c.summary << '\n';
                return 0;
            }
        return c.run(args, out, err);
    }
    err << "qn410ctl: unknown command '" << argv[0] << "' (see qn410ctl --help)\n";
    return 2;
}

}  // namespace qn410::ctl
