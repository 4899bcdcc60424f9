#include <iostream>

#include "ctl_command.h"

int main(int argc, char** argv) {
    using namespace qn410::ctl;
    const Args args(argv + 1, argv + argc);
    std::vector<Command> table = Commands();
#ifdef QN410CTL_TRANSFERS
    table.insert(table.end(), TransferCommands().begin(), TransferCommands().end());
    table.insert(table.end(), DialCommands().begin(), DialCommands().end());
#endif
    return Run(table, args, std::cout, std::cerr);
}
