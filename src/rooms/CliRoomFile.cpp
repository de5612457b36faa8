#include "CliRoomFile.h"

#include "DataFiles.h"
#include "InputFile.h"
#include "RoomFile.h"

#include <filesystem>
#include <istream>

namespace korvane::cli {

std::string ReadAtMost(std::istream& in, size_t limit) {
    std::string bytes(limit, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(limit));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

std::optional<RoomFileTexts> ReadRoomFile(const std::string& path, const std::string& label,
                                          std::istream* standardInput) {
    if (path.empty())
        return std::nullopt;
    // One byte past the limit is enough to refuse a file that is too large.
    constexpr size_t kLimit = room::kMaxFileSize + 1;
    std::string bytes;
    if (path == "-" && standardInput) {
        bytes = ReadAtMost(*standardInput, kLimit);
    } else {
        InputFile file(path);
        if (!file.ReadAtMost(kLimit, bytes))
            throw OptionError{ErrFileNotFound, label + ": cannot read '" + path + "': " + file.Reason()};
    }
    try {
        const room::Room read = room::ReadRoom(bytes);
        RoomFileTexts file{room::TextsOf(read), label + ": '" + path + "'", ""};
        if (read.weatherFile) { // a room from standard input has no folder: the current one
            const std::filesystem::path weather = Utf8Path(*read.weatherFile);
            file.weatherFile = Utf8String(
                weather.is_relative() && path != "-" ? Utf8Path(path).parent_path() / weather : weather);
        }
        return file;
    } catch (const room::RoomFileError& e) {
        throw OptionError{room::kErrRoomFile, label + ": '" + path + "': " + e.Description()};
    }
}

} // namespace korvane::cli
