#pragma once
// The weather sky: the engine's working hours lit by the diffuse horizontal illuminance of a weather year.

#include "EpwFile.h"
#include "JahrEnergie.h"
#include "clsInputOutput.h"

#include <array>

#include <cstdint>

namespace korvane::weather {

// The sky hours of working hours beginHour <= h < endHour of a period (0 the year, 1..12 a month): hour h of
// day N, from h:00 to h+1:00, takes the record of day N that ends at h+1. What working out the period's hours
// raises is kept as for any sky; an hour outside 0..23 has no record and raises 9.
JahrEnergie::SkyHours GetWeatherSkyHours(const WeatherYear& year, int16_t beginHour, int16_t endHour,
                                         int16_t period);

// The inputs moved to the weather year's site, the only one its sky may light (the time zone to whole hours).
clsInputOutput AtWeatherSite(clsInputOutput inputs, const WeatherSite& site);

// The year and its months of the inputs under the weather year's sky, at the year's site, whatever the
// inputs' own site and period: CalculateAllPeriods over the year's sky hours.
std::array<PeriodOutcome, kPeriodCount> CalculateAllPeriodsUnderWeather(const clsInputOutput& inputs,
                                                                        const WeatherYear& year);

} // namespace korvane::weather
