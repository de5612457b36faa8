#pragma once
// The weather sky: the engine's working hours lit by the diffuse horizontal illuminance of a weather year.

#include "EpwFile.h"
#include "JahrEnergie.h"
#include "clsInputOutput.h"

#include <cstdint>

namespace korvane::weather {

// The sky hours of working hours beginHour <= h < endHour of a period (0 the year, 1..12 a month): hour h of
// day N, from h:00 to h+1:00, takes the record of day N that ends at h+1. What working out the period's hours
// raises is kept as for any sky; an hour outside 0..23 has no record and raises 9.
JahrEnergie::SkyHours GetWeatherSkyHours(const WeatherYear& year, int16_t beginHour, int16_t endHour,
                                         int16_t period);

// The calculation moved to the weather file's site, which the weather sky alone uses: its longitude and
// latitude, and its time zone rounded to whole hours.
void MoveToSite(clsInputOutput& params, const WeatherYear& year);

} // namespace korvane::weather
