#pragma once
// The command-line calculator, callable in-process so tests see exactly what a terminal would.

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace korvane::cli {

// kExitEngineError: a room (or a batch's row) could not be calculated; kExitFile: a --xlsx or --svg file
// could not be written, or could not take every row.
enum ExitCode : int { kExitOk = 0, kExitEngineError = 1, kExitUsage = 2, kExitOutput = 3, kExitFile = 4 };

struct CliContext {
    std::filesystem::path programDir;  // where DEFAULT.GEO is looked for
    bool stderrIsTerminal = false;     // a batch then shows its progress
    bool outputSharesTerminal = false; // stdout is that terminal too: the progress line is cleared first
    std::istream* in = nullptr;        // what `--batch -` reads; standard input when null
};

// Runs the calculator on args (without the program name); writes results to out and messages to err.
int RunCli(const std::vector<std::string>& args, const CliContext& context, std::ostream& out,
           std::ostream& err);

} // namespace korvane::cli
