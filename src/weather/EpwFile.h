#pragma once
// EPW weather files: a header of 8 lines, the first of them the site's LOCATION, then one record per hour of
// a 365-day year, found by its month, day and hour (1..24, the hour ending then, local standard time).

#include "Perez.h"

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::weather {

inline constexpr size_t kMaxEpwBytes = 16u << 20;
inline constexpr int kRecordHours = 24;
inline constexpr int kYearRecords = 365 * kRecordHours;

// The site of a weather file, from its LOCATION line.
struct WeatherSite {
    std::string city;
    Observer observer; // latitude and longitude in degrees, north and east positive; time zone ahead of GMT
    double elevation;  // m
};

// What the engine takes from a weather file.
struct WeatherYear {
    WeatherSite site;
    // The diffuse horizontal illuminance (lux) of record hour k (1..24) of day N (1..365, no 29 February) at
    // index (N - 1) x 24 + k - 1.
    std::vector<double> illuminance;
    int derivedHours = 0; // records without an illuminance, whose value came from irradiance
};

// Reads an EPW file's text; `name` heads every error. Raises 13 with the line and the field for a header that
// is not an EPW header, a field that is no number or out of its range, a record without irradiance or
// illuminance, a record whose hour came before, and a year with an hour missing; 75 for more than
// kMaxEpwBytes.
WeatherYear ReadEpw(std::string_view text, const std::string& name);
// Raises what ReadEpw raises for a file of `bytes` bytes over kMaxEpwBytes, for a front end that knows the
// size before it reads.
void CheckEpwSize(uintmax_t bytes, const std::string& name);
WeatherYear ReadEpw(std::istream& in, const std::string& name);
// The file at fileName, refused before it is read when it is larger than kMaxEpwBytes or no regular file
// (53, 70 and 75 as for any file).
WeatherYear ReadEpwFile(const std::string& fileName);

} // namespace korvane::weather
