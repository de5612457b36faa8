#pragma once
// The site file the page starts with, built into the module.

#include <string_view>

namespace korvane::web {

std::string_view DefaultGeoBytes();
// The other spellings of its sites (data/SITE_ALIASES.txt), for the batch engine.
std::string_view SiteAliasBytes();

} // namespace korvane::web
