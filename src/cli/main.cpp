#include "CliRun.h"
#include "DataFiles.h"
#include "UnfinishedFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

// Results are the same bytes as on Linux (no CR added, no stop at Ctrl+Z in a batch read from standard
// input), and the console shows the UTF-8 they are written in. Arguments and file names are UTF-8 through the
// program's manifest (its active code page).
struct WindowsConsole {
    UINT outputCodePage = ::GetConsoleOutputCP();
    WindowsConsole() {
        _setmode(_fileno(stdin), _O_BINARY);
        _setmode(_fileno(stdout), _O_BINARY);
        _setmode(_fileno(stderr), _O_BINARY);
        if (outputCodePage != 0)
            ::SetConsoleOutputCP(CP_UTF8);
    }
    ~WindowsConsole() {
        if (outputCodePage != 0)
            ::SetConsoleOutputCP(outputCodePage);
    }
};

} // namespace
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    const WindowsConsole console;
#endif
    korvane::EndCleanlyOnSignals();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool stderrIsTerminal = isatty(STDERR_FILENO) == 1;
    struct stat outStat {
    }, errStat{};
    const bool sameTerminal = stderrIsTerminal && isatty(STDOUT_FILENO) == 1 &&
                              fstat(STDOUT_FILENO, &outStat) == 0 && fstat(STDERR_FILENO, &errStat) == 0 &&
                              outStat.st_rdev == errStat.st_rdev;
    int code = korvane::cli::RunCli(
        args, {korvane::ProgramFolder(argc > 0 ? argv[0] : nullptr), stderrIsTerminal, sameTerminal},
        std::cout, std::cerr);
    // Whatever the run wrote through stdio directly is flushed here, not at exit, where a failure is silent.
    errno = 0;
    if (code != korvane::cli::kExitOutput && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
        std::cerr << "korvane-energy-cli: cannot write to standard output"
                  << (errno ? std::string(": ") + std::strerror(errno) : std::string()) << "\n";
        code = korvane::cli::kExitOutput;
    }
    return code;
}
