#include "CliRoomFile.h"

#include "RoomFile.h"

#include <fstream>

namespace korvane::cli {

std::optional<RoomFileTexts> ReadRoomFile(const std::string& path, const std::string& label) {
    if (path.empty())
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    std::string bytes;
    if (file) {
        // One byte past the limit is enough to refuse a file that is too large.
        bytes.resize(room::kMaxFileSize + 1);
        file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<size_t>(file.gcount()));
    }
    if (!file && !file.eof())
        throw OptionError{ErrFileNotFound, label + ": cannot read '" + path + "'"};
    try {
        return RoomFileTexts{room::TextsOf(room::ReadRoom(bytes)), label + ": '" + path + "'"};
    } catch (const room::RoomFileError& e) {
        throw OptionError{room::kErrRoomFile, label + ": '" + path + "': " + e.Description()};
    }
}

} // namespace korvane::cli
