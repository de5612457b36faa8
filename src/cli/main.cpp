#include "CliRun.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
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
    int code =
        korvane::cli::RunCli(args, {exe.parent_path(), stderrIsTerminal, sameTerminal}, std::cout, std::cerr);
    // Whatever the run wrote through stdio directly is flushed here, not at exit, where a failure is silent.
    errno = 0;
    if (code != korvane::cli::kExitOutput && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
        std::cerr << "korvane-energy-cli: cannot write to standard output"
                  << (errno ? std::string(": ") + std::strerror(errno) : std::string()) << "\n";
        code = korvane::cli::kExitOutput;
    }
    return code;
}
