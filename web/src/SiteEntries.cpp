#include "SiteEntries.h"

#include "VbError.h"
#include "modLangConstants.h"

#include <emscripten/bind.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>

using emscripten::val;

namespace korvane::web {

namespace {

constexpr int16_t kUserDefined = 177; // "User defined"

// The last site whose name contains "frankfurt", in any case, else 1.
int DefaultSite(const std::vector<GeoEntry>& sites) {
    int selection = 1;
    for (size_t i = 0; i < sites.size(); ++i) {
        std::string name = sites[i].Name;
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (name.find("frankfurt") != std::string::npos)
            selection = static_cast<int>(i);
    }
    return selection;
}

} // namespace

void SetLanguage(int language) {
    if (language < 1 || language > 6)
        RaiseRuntime(ErrInvalidCall, "web:SetLanguage");
    gLanguage = static_cast<int16_t>(language);
}

val PageSites(std::vector<GeoEntry> sites) {
    sites.at(0).Name = GetLangString(kUserDefined);
    std::string names;
    std::vector<double> numbers;
    numbers.reserve(sites.size() * 3);
    for (const GeoEntry& site : sites) {
        names.append(site.Name).push_back('\n');
        numbers.insert(numbers.end(), {site.Longitude, site.Latitude, static_cast<double>(site.TimeDiffGMT)});
    }
    // Copies out of the module's memory, which a worker can hand over to the page whole.
    val packed = val::object();
    packed.set("names", val::global("Uint8Array")
                            .new_(emscripten::typed_memory_view(
                                names.size(), reinterpret_cast<const unsigned char*>(names.data()))));
    packed.set(
        "numbers",
        val::global("Float64Array").new_(emscripten::typed_memory_view(numbers.size(), numbers.data())));
    packed.set("defaultSite", DefaultSite(sites));
    return packed;
}

} // namespace korvane::web
