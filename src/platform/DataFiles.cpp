#include "DataFiles.h"

#include <system_error>

#ifndef KORVANE_DATA_FROM_PROGRAM
#define KORVANE_DATA_FROM_PROGRAM "../share/korvane-energy"
#endif

namespace korvane {

std::filesystem::path FindDataFile(const std::filesystem::path& programDir, std::string_view name) {
    const std::filesystem::path beside = programDir / name;
    const std::filesystem::path installed =
        (programDir / KORVANE_DATA_FROM_PROGRAM / name).lexically_normal();
    std::error_code ec;
    if (!std::filesystem::exists(beside, ec) && std::filesystem::is_regular_file(installed, ec))
        return installed;
    return beside;
}

} // namespace korvane
