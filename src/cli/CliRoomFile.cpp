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
        const room::Room room = room::ReadRoom(bytes);
        RoomFileTexts texts{room::TextsOf(room), label + ": '" + path + "'", {}};
        if (room.weatherFile) {
            // Relative to the room file's folder (the current one for standard input).
            std::error_code ec;
            const auto folder =
                path == "-" && standardInput ? std::filesystem::path(".") : Utf8Path(path).parent_path();
            const auto weather = std::filesystem::absolute(folder / Utf8Path(*room.weatherFile), ec);
            texts.weatherFile =
                Utf8String((ec ? folder / Utf8Path(*room.weatherFile) : weather).lexically_normal());
        }
        return texts;
    } catch (const room::RoomFileError& e) {
        throw OptionError{room::kErrRoomFile, label + ": '" + path + "': " + e.Description()};
    }
}

} // namespace korvane::cli
