#pragma once
// What writing a file by name would do to what is there now: the rules every writer of the programs (the
// calculator's, the window's) follows before it puts a byte anywhere. A regular file is only ever replaced
// whole; anything else is written into or left alone, never replaced by a regular file.

#include <string>

namespace korvane {

struct OutputTarget {
    enum class Kind {
        New,     // nothing there yet
        Regular, // a regular file the user may replace: its permission bits and owner are kept
        Stream,  // a FIFO or a character device (/dev/null, a terminal, /dev/stdout): written into directly
        Refused, // a folder, a block device, a symbolic link to a regular file, a file the user may not
                 // write, another user's file in a shared (sticky) folder: `reason` says which
    } kind = Kind::New;
    unsigned mode = 0;             // Regular: permission bits
    unsigned owner = 0, group = 0; // Regular
    std::string reason;            // Refused: the system's words
};

// The target at path now. A final symbolic link is not followed to replace the file it points to, nor
// replaced itself; one that leads to a stream is written through.
OutputTarget ExamineTarget(const std::string& path);

// The folder of path synced, so that a file just renamed into it keeps its new name after a power cut (best
// effort: not every file system lets a folder be synced, and Windows has no such call).
void SyncFolderOf(const std::string& path);

} // namespace korvane
