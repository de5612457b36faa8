#pragma once
// The diffuse horizontal illuminance of an hour whose weather record gives irradiance only: irradiance times
// the diffuse luminous efficacy of Perez et al. (1990, Solar Energy 44(5), 271-289, table 4), with the sun
// from the engine's own series.

#include <cstdint>
#include <optional>

namespace korvane::weather {

// Where the sun is seen from: degrees north and east positive, the time zone in hours ahead of GMT (may be
// fractional).
struct Observer {
    double latitude;
    double longitude;
    double timeZone;
};

// One record's irradiance, Wh/m² over its hour; the dew point in °C, none when missing.
struct Irradiance {
    double diffuseHorizontal;
    std::optional<double> directNormal; // a missing or negative one counts as 0
    std::optional<double> dewPoint;
};

// Every step of the efficacy, for record hour k (1..24, the hour ending at k:00 standard time) of day N.
struct DiffuseEfficacy {
    double cosZenith;        // at the middle of the hour; 0 with the sun below the horizon
    double airMass;          // Kasten and Young 1989
    double extraterrestrial; // normal irradiance above the atmosphere, W/m²
    double brightness;       // delta
    double clearness;        // epsilon
    int bin;                 // 1..8
    double water;            // precipitable water, cm
    double efficacy;         // K, lm/W
    double illuminance;      // lux, never negative
};
DiffuseEfficacy GetDiffuseEfficacy(const Observer& site, int16_t N, int16_t k, const Irradiance& hour);

// What every hour of day N at a site shares, so that a year costs one set of series a day.
struct SolarDay {
    int16_t N;
    double equationOfTime;   // hours
    double cosLatCosDecl;    // cos(latitude) x cos(declination)
    double sinLatSinDecl;    // sin(latitude) x sin(declination)
    double extraterrestrial; // W/m²
};
SolarDay GetSolarDay(const Observer& site, int16_t N);
DiffuseEfficacy GetDiffuseEfficacy(const Observer& site, const SolarDay& day, int16_t k,
                                   const Irradiance& hour);

} // namespace korvane::weather
