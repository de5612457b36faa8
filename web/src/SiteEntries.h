#pragma once
// The page's site list as either engine gives it (the batch worker's for a chosen file, the page's own for the
// built-in one): {names, numbers, defaultSite}, the UTF-8 names each ended by a line break (which no name
// holds), and a Float64Array of each site's longitude, latitude and GMT difference; and the language that
// both engines are given.

#include "GeoEntry.h"

#include <emscripten/val.h>

#include <vector>

namespace korvane::web {

// Entry 0 becomes the user-defined site, named in the engine's language; defaultSite is the position the list
// selects after each refill.
emscripten::val PageSites(std::vector<GeoEntry> sites);
// Either engine's language (1 to 6), which the page gives with every call that shows texts.
void SetLanguage(int language);

} // namespace korvane::web
