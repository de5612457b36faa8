#pragma once

#include <cstdint>
#include <string>

namespace korvane {

// One site of a geographic data file.
struct GeoEntry {
    std::string Name;        // UTF-8, as shown in the site list
    double Longitude = 0;    // degrees, east of Greenwich positive
    double Latitude = 0;     // degrees, north positive
    int16_t TimeDiffGMT = 0; // whole hours by which standard time is ahead of GMT

    bool operator==(const GeoEntry&) const = default;
};

} // namespace korvane
