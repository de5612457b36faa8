#include "CliRoomFile.h"

#include "RoomFile.h"

#include <fstream>
#include <iterator>

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
                         const OptionTexts* wins) {
    if (path.empty())
        return texts;
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
