#pragma once
// The temporary files that every writer of the programs has not yet renamed into place, kept where a signal
// handler can reach them, so that an interrupted run leaves none behind.

#include <string>

namespace korvane {

// Holds path until UnregisterUnfinished. A path beyond the fixed storage (8 files, 4095 bytes each) is not
// held, and is left behind by an interrupt.
void RegisterUnfinished(const std::string& path) noexcept;
void UnregisterUnfinished(const std::string& path) noexcept;
// Removes every file held. Safe in a signal handler.
void RemoveUnfinishedFiles() noexcept;
// For a program's main: SIGINT, SIGTERM, SIGHUP and SIGPIPE, unless ignored, remove the unfinished files and
// then end the program as the signal would have. Nothing on Windows.
void EndCleanlyOnSignals() noexcept;

} // namespace korvane
