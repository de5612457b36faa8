#pragma once
#include <cstdint>

namespace korvane::JahrEnergie {

// Saved fraction of the lighting energy over the period (0 = nothing saved, 1 = no artificial light needed).
//
// longitude/latitude in degrees (east/north positive); gmt = hours the site's standard time is ahead of GMT;
// working hours beginHour <= h < endHour, each evaluated at its full clock hour; f = daylight ratio with the
// glazing transmittance included; En = nominal illuminance in lux; period 0 = the year (365 days), 1..12 =
// one month. Expects 0 <= beginHour < endHour <= 24, En > 0 and f >= 0 but checks none of it: a zero
// normaliser raises 6.
double CalculatePeriodSaving(double longitude, double latitude, int16_t gmt, int16_t beginHour,
                             int16_t endHour, double f, int32_t En, int16_t period);

} // namespace korvane::JahrEnergie
