#pragma once
// Room files on the command line: --room FILE.kvroom and a batch's room-file column.

#include "CliRoom.h"

#include <iosfwd>
#include <string>

namespace korvane::cli {

inline constexpr const char* kRoomFileColumn = "room-file";

// `texts` with the inputs of the room file at `path` added beneath them: a name that `texts` or `wins`
// gives keeps its value, and the file's coordinates are left out where either names a site. An empty path
// adds nothing. Raises OptionError (53 a file that cannot be read, 321 one that is not a usable room file),
// its message led by `label`, the option or the column that named the file. With standardInput, the path
// `-` reads it.
OptionTexts WithRoomFile(OptionTexts texts, const std::string& path, const std::string& label,
                         const OptionTexts* wins = nullptr, std::istream* standardInput = nullptr);

} // namespace korvane::cli
