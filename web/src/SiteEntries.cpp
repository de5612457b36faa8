#include "SiteEntries.h"

#include "VbError.h"

#include <emscripten/bind.h>

#include <algorithm>
#include <cstdint>
#include <string>

using emscripten::val;

namespace korvane::web {

val PackSites(const std::vector<GeoEntry>& sites) {
    std::string names;
    std::vector<double> numbers;
    numbers.reserve(sites.size() * 3);
    for (const GeoEntry& site : sites) {
        names.append(site.Name).push_back('\n');
        numbers.insert(numbers.end(), {site.Longitude, site.Latitude, static_cast<double>(site.TimeDiffGMT)});
    }
    // Copies out of the module's memory, which the receiving side can take over whole.
    val packed = val::object();
    packed.set("names", val::global("Uint8Array")
                            .new_(emscripten::typed_memory_view(
                                names.size(), reinterpret_cast<const unsigned char*>(names.data()))));
    packed.set(
        "numbers",
        val::global("Float64Array").new_(emscripten::typed_memory_view(numbers.size(), numbers.data())));
    return packed;
}

std::vector<GeoEntry> UnpackSites(const val& packed) {
    const auto names = emscripten::convertJSArrayToNumberVector<unsigned char>(packed["names"]);
    const auto numbers = emscripten::convertJSArrayToNumberVector<double>(packed["numbers"]);
    std::vector<GeoEntry> sites;
    sites.reserve(numbers.size() / 3);
    auto at = names.begin();
    for (size_t i = 0; i + 3 <= numbers.size(); i += 3) {
        const auto end = std::find(at, names.end(), '\n');
        if (end == names.end())
            RaiseRuntime(ErrInvalidCall, "web:UnpackSites");
        sites.push_back(
            {std::string(at, end), numbers[i], numbers[i + 1], static_cast<int16_t>(numbers[i + 2])});
        at = end + 1;
    }
    if (at != names.end() || numbers.size() % 3 != 0)
        RaiseRuntime(ErrInvalidCall, "web:UnpackSites");
    return sites;
}

} // namespace korvane::web
