#pragma once
// Where the programs find their data files (DEFAULT.GEO and the like).

#include <filesystem>
#include <string_view>

namespace korvane {

// The data file `name` for a program in `programDir`: beside the program (the build tree, a copied folder),
// else in the installed data folder relative to it (<prefix>/share/korvane-energy). When it is in neither,
// the path beside the program, so that a message names the first place looked at.
std::filesystem::path FindDataFile(const std::filesystem::path& programDir, std::string_view name);

} // namespace korvane
