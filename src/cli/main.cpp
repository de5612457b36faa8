#include "CliRun.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        exe = std::filesystem::absolute(argv[0], ec);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool stderrIsTerminal = isatty(STDERR_FILENO) == 1;
    struct stat outStat {
    }, errStat{};
    const bool sameTerminal = stderrIsTerminal && isatty(STDOUT_FILENO) == 1 &&
                              fstat(STDOUT_FILENO, &outStat) == 0 && fstat(STDERR_FILENO, &errStat) == 0 &&
                              outStat.st_rdev == errStat.st_rdev;
    return korvane::cli::RunCli(args, {exe.parent_path(), stderrIsTerminal, sameTerminal}, std::cout,
                                std::cerr);
}
