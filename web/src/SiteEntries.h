#pragma once
// Sites as the batch worker's engine hands them to the page's: {names, numbers}, the UTF-8 names each ended
// by a line break (which no name holds), and a Float64Array of each site's longitude, latitude and GMT
// difference.

#include "GeoEntry.h"

#include <emscripten/val.h>

#include <vector>

namespace korvane::web {

emscripten::val PackSites(const std::vector<GeoEntry>& sites);
std::vector<GeoEntry> UnpackSites(const emscripten::val& packed);

} // namespace korvane::web
