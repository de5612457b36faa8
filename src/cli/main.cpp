#include "CliRun.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include <unistd.h>

int main(int argc, char** argv) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        exe = std::filesystem::absolute(argv[0], ec);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return korvane::cli::RunCli(args, {exe.parent_path(), isatty(STDERR_FILENO) == 1}, std::cout, std::cerr);
}
