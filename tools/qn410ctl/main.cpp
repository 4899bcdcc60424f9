#include <iostream>

#include "ctl_command.h"

int main(int argc, char** argv) {
    const qn410::ctl::Args args(argv + 1, argv + argc);
    return qn410::ctl::Run(args, std::cout, std::cerr);
}
