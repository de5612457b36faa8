#pragma once
// Where the programs find their data files (DEFAULT.GEO and the like).

#include <filesystem>
#include <string>
#include <string_view>

namespace korvane {

// The data file `name` for a program in `programDir`: beside the program (the build tree, a copied folder),
// else in the installed data folder relative to it (<prefix>/share/korvane-energy). When it is in neither,
// the path beside the program, so that a message names the first place looked at.
std::filesystem::path FindDataFile(const std::filesystem::path& programDir, std::string_view name);

// The folder of the running program, links resolved: what the system says (GetModuleFileNameW on Windows,
// /proc/self/exe where there is a /proc), else argv[0] as the shell found it (ProgramFromArgv0 with PATH).
// Empty when none of them tells.
std::filesystem::path ProgramFolder(const char* argv0);

// argv[0] of a program started by a shell: a name with a slash is relative to the current folder, a bare
// name was found in the first folder of `searchPath` (PATH, ':'-separated) that holds such an executable.
// Empty when it is neither.
std::filesystem::path ProgramFromArgv0(std::string_view argv0, std::string_view searchPath);

// The program's text (UTF-8) as a path and back; on Windows the narrow conversion of the standard library
// would read its bytes as Latin-1.
std::filesystem::path Utf8Path(std::string_view utf8);
std::string Utf8String(const std::filesystem::path& path);

} // namespace korvane
