#include "UnfinishedFiles.h"

#include <atomic>
#include <csignal>
#include <cstring>

#include <signal.h>
#include <unistd.h>

namespace korvane {

namespace {

// Fixed storage, as a signal handler may not allocate. A slot is claimed before its path is copied and
// handed to the handler only after, so the handler never reads half a path.
enum SlotState : int { kFree, kClaimed, kHeld };
struct Unfinished {
    std::atomic<int> state{kFree};
    char path[4096];
};
Unfinished gUnfinished[8];

#ifndef _WIN32
void RemoveUnfinishedAndEnd(int signal) {
    RemoveUnfinishedFiles();
    std::raise(signal); // the default action again (SA_RESETHAND), delivered at once (SA_NODEFER)
}
#endif

} // namespace

void RegisterUnfinished(const std::string& path) noexcept {
    if (path.size() >= sizeof gUnfinished[0].path)
        return;
    for (auto& slot : gUnfinished) {
        int expected = kFree;
        if (slot.state.compare_exchange_strong(expected, kClaimed)) {
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            slot.state.store(kHeld);
            return;
        }
    }
}

void UnregisterUnfinished(const std::string& path) noexcept {
    for (auto& slot : gUnfinished) {
        if (slot.state.load() == kHeld && path == slot.path)
            slot.state.store(kFree);
    }
}

void RemoveUnfinishedFiles() noexcept {
    for (auto& slot : gUnfinished) {
        if (slot.state.load() == kHeld)
            ::unlink(slot.path);
    }
}

void EndCleanlyOnSignals() noexcept {
#ifndef _WIN32
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
#endif
}

} // namespace korvane
