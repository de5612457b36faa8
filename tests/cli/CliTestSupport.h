#pragma once
// Runs the calculator in-process and captures what a terminal would show.

#include "CliRun.h"

#include <sstream>
#include <string>
#include <vector>

namespace korvane::cli::test {

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

inline Outcome Cli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCli(args, {KORVANE_BIN_DIR}, out, err);
    return {code, out.str(), err.str()};
}

inline std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

} // namespace korvane::cli::test
