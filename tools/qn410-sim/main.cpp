#include <iostream>
#include <string>
#include <vector>

#include "sim_loop.h"
#include "sim_options.h"

int main(int argc, char** argv) {
    const qn410::sim::ParsedOptions parsed =
        qn410::sim::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::cerr << "qn410-sim: " << parsed.error << "\nTry 'qn410-sim --help'.\n";
        return 2;
    }
    if (parsed.help) {
        std::cout << qn410::sim::HelpText();
        return 0;
    }
    return qn410::sim::RunSimulator(parsed.options, std::cout, std::cerr);
}
