#pragma once
// The site file the page starts with, built into the module.

#include <string_view>

namespace korvane::web {

std::string_view DefaultGeoBytes();

} // namespace korvane::web
