#pragma once
// Room files on the command line: --room FILE.kvroom and a batch's room-file column.

#include "CliRoom.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace korvane::cli {

inline constexpr const char* kRoomFileColumn = "room-file";

// Up to limit bytes of a stream: an input named as `-`, standard input.
std::string ReadAtMost(std::istream& in, size_t limit);

// The room file at `path` as the texts a room starts from, blamed on `label` and the path; nothing for an
// empty path. Raises OptionError (53 a file that cannot be read, 321 one that is not a usable room file),
// its message led by `label`, the option or the column that named the file. With standardInput, the path
// `-` reads it. A weather file it names is taken from the room file's folder when relative.
std::optional<RoomFileTexts> ReadRoomFile(const std::string& path, const std::string& label,
                                          std::istream* standardInput = nullptr);

} // namespace korvane::cli
