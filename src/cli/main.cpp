#include "CliRun.h"
#include "DataFiles.h"
#include "ReplacingFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <system_error>

#include <csignal>

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
#else
namespace {

// An interrupted run leaves no temporary file beside its targets, then ends as the signal would have ended
// it.
void RemoveUnfinishedAndEnd(int signal) {
    korvane::report::RemoveUnfinishedFiles();
    std::raise(signal); // the default action again (SA_RESETHAND), delivered at once (SA_NODEFER)
}

void EndCleanlyOnSignals() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        struct sigaction action {};
        // A signal the caller chose to ignore (nohup, a closed pipe reported as a failed write) stays
        // ignored.
        if (sigaction(signal, nullptr, &action) != 0 || action.sa_handler == SIG_IGN)
            continue;
        action.sa_handler = RemoveUnfinishedAndEnd;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND | SA_NODEFER;
        sigaction(signal, &action, nullptr);
    }
}

} // namespace

#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    const WindowsConsole console;
#else
    EndCleanlyOnSignals();
#endif
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
