#pragma once
// Files named on the command line or in batch rows, and the check that no output is also an input.

#include <string>
#include <vector>

namespace korvane::cli {

// A file named on the command line: the option and what it names (`-` standard input or output).
struct NamedFile {
    std::string option, path;
};

// "--svg 'x' is the same file as --batch 'y'" for the first output that is the same file as an input or as
// an earlier output (same device and inode, however it is named), else empty: such a run would destroy its
// own input, so it is refused before anything is computed.
std::string SameFileClash(const std::vector<NamedFile>& outputs, const std::vector<NamedFile>& inputs);

} // namespace korvane::cli
