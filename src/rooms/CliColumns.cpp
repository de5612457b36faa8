#include "CliColumns.h"

#include "CliFormat.h"
#include "CliRoom.h"
#include "SiteSearch.h"

namespace korvane::cli {

namespace {

// The option a column name is probably a misspelling of, or null.
const char* LookalikeOption(std::string_view name) {
    if (name.size() > 64)
        return nullptr;
    const size_t allowed = name.size() <= 4 ? 1 : 2;
    for (const auto& option : RoomOptions()) {
        if (sites::EditDistance(name, option.name, true, true) <= allowed)
            return option.name;
    }
    return nullptr;
}

} // namespace

std::optional<std::string> MisspeltColumnWarning(std::string_view name, std::string_view shown) {
    const char* option = LookalikeOption(name);
    if (!option)
        return std::nullopt;
    return "the batch file's column '" + WithoutControls(shown, false) +
           "' is no option and is passed through; did you mean '" + option + "'?";
}

} // namespace korvane::cli
