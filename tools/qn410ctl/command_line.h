// What every qn410ctl command line shares: options ("--name") take their value as the next
// argument or after '=' ("--exchange=3"); other arguments are plain words; numbers are whole
// decimal numbers within a range.
#pragma once

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qn410::ctl {

// text as a whole decimal number within lo..hi, or nothing.
inline std::optional<int> WholeNumber(std::string_view text, int lo, int hi) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < lo || value > hi)
        return std::nullopt;
    return value;
}

struct Argument {
    std::string name;   // the option without its value, or the plain word
    std::string value;  // an option's value
    bool option = false;
};

// args from first on, split into arguments; an option without a value sets missing to its name
// and gives nothing.
inline std::optional<std::vector<Argument>> SplitArguments(const std::vector<std::string>& args,
                                                           std::size_t first,
                                                           std::string& missing) {
    std::vector<Argument> out;
    for (std::size_t i = first; i < args.size(); ++i) {
        Argument a{args[i], {}, args[i].rfind("--", 0) == 0};
        if (a.option) {
            if (const auto eq = a.name.find('='); eq != std::string::npos) {
                a.value = a.name.substr(eq + 1);
                a.name.resize(eq);
            } else if (i + 1 < args.size()) {
                a.value = args[++i];
            } else {
                missing = a.name;
                return std::nullopt;
            }
        }
        out.push_back(std::move(a));
    }
    return out;
}

}  // namespace qn410::ctl
