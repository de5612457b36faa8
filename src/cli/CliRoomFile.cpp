#include "CliRoomFile.h"

#include "CliFiles.h"
#include "InputFile.h"
#include "RoomFile.h"

namespace korvane::cli {

namespace {

bool Names(const OptionTexts* texts, const std::string& name) {
    if (texts == nullptr)
        return false;
    const auto it = texts->find(name);
    return it != texts->end() && !it->second.empty();
}

} // namespace

OptionTexts WithRoomFile(OptionTexts texts, const std::string& path, const std::string& label,
                         const OptionTexts* wins, std::istream* standardInput) {
    if (path.empty())
        return texts;
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
    room::Room r;
    try {
        r = room::ReadRoom(bytes);
    } catch (const room::RoomFileError& e) {
        throw OptionError{room::kErrRoomFile, label + ": '" + path + "': " + e.Description()};
    }
    const bool site = Names(&texts, "site") || Names(wins, "site");
    room::ForEachOption(r, [&](const std::string& name, const std::string& value) {
        const bool coordinate = name == "longitude" || name == "latitude" || name == "gmt";
        if (Names(&texts, name) || Names(wins, name) || (coordinate && site))
            return;
        texts[name] = value;
    });
    return texts;
}

} // namespace korvane::cli
