#pragma once
// The period integration: every working hour of every day of a period adds the artificial light a room still
// needs under the outdoor illuminance of a sky, chosen by name.

#include "Dimming.h"
#include "VbError.h"
#include "VbMath.h"
#include "daylight.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace korvane::JahrEnergie {

// The days and hours a period evaluates. Raises 6 when the 16-bit day or hour arithmetic overflows.
struct PeriodHours {
    int16_t hoursPerDay; // end - begin; no hour is evaluated when it is not positive
    int16_t beginHour;
    int16_t lastHour;
    int16_t firstDay;
    int16_t lastDay;
    int16_t days; // 365 for the year, the month's length, 0 for a period outside 0..12
};
PeriodHours GetPeriodHours(int16_t beginHour, int16_t endHour, int16_t period);
// The hours of period 0..12 from those of the year: what GetPeriodHours gives for it, without raising again.
PeriodHours HoursOfPeriod(const PeriodHours& year, int16_t period);

// The illuminance-hours that lighting alone would give: a Double for the year, 16- and 32-bit integers for a
// month.
double PeriodNormaliser(const PeriodHours& hours, int32_t En, int16_t period);

// The skies, by name.
enum class SkyName {
    StandardOvercast, // DIN 5034: 300 lx + 21000 lx x sin(altitude of the sun)
    Weather,          // the diffuse horizontal illuminance of a site's weather year
};

// The outdoor illuminance (lux) of every working hour of a period, in the order the integration visits them:
// everything in a calculation that depends on the sky, the hours and the period alone, so that rooms sharing
// these can share it. Any sky can fill it; over the standard overcast sky's hours the results are bit for
// bit those computed hour by hour.
struct SkyHours {
    SkyName sky = SkyName::StandardOvercast;
    int16_t period = 0; // 0 the year, 1..12 a month
    PeriodHours hours{};
    bool hoursKnown = false;         // false when working out the period's hours raised `error`
    std::vector<double> illuminance; // every working hour, or those before the one that raised `error`
    std::optional<VbError> error;    // what computing the hours raised; a calculation with it raises the same

    // The illuminance of the i-th working hour. Raises `error` at the hour that raised it, so that whatever
    // a calculation raises at an earlier hour comes first, as it does without shared hours.
    double At(size_t i) const {
        if (i >= illuminance.size())
            throw error.value();
        return illuminance[i];
    }
};
// The standard overcast sky's hours at one site (longitude and latitude in degrees, east and north positive;
// gmt the hours its standard time is ahead of GMT).
SkyHours GetSkyHours(double longitude, double latitude, int16_t gmt, int16_t beginHour, int16_t endHour,
                     int16_t period);
// Whether sky holds every working hour of the year (or the error that ends them), so that each month can be
// read from it.
bool IsCompleteYear(const SkyHours& sky);
// The index in SkyHours::illuminance of hour h of day N of the period.
inline size_t PeriodHourIndex(const PeriodHours& p, int16_t N, int16_t h) {
    return static_cast<size_t>(N - p.firstDay) * static_cast<size_t>(p.hoursPerDay) +
           static_cast<size_t>(h - p.beginHour);
}

// The standard overcast sky worked out hour by hour over a site, for working hours beginHour <= h < endHour,
// each evaluated at its full clock hour.
struct StandardOvercastSky {
    double longitude;
    double latitude;
    int16_t gmt;
    int16_t beginHour;
    int16_t endHour;
};
// Where a calculation's outdoor illuminance comes from: the standard overcast sky, or hours any sky filled.
using Sky = std::variant<StandardOvercastSky, std::reference_wrapper<const SkyHours>>;
SkyName NameOf(const Sky& sky);

// What a period gives: the saved fraction of the lighting energy (0 nothing saved, 1 no artificial light
// needed) and the daylight autonomy, the share of its working hours in which daylight alone reaches the
// nominal illuminance.
struct PeriodFigures {
    double saving;
    double autonomy;
};

// The figures of one period (0 the year of 365 days, 1..12 a month) for daylight ratio f (glazing
// transmittance included) and nominal illuminance En (lux). With plain limits the saving is one minus the
// needed light over the period's normaliser; with dimming limits one minus the mean power fraction over the
// working hours. Expects En > 0 and f >= 0 but checks neither: a zero normaliser raises 6. Shared sky hours
// must be of this period (else 5).
PeriodFigures CalculatePeriod(const Sky& sky, double f, int32_t En, int16_t period,
                              const Dimming::Limits& limits = {});

// A figure for the year (index 0) and for each month (1..12), or the error that period raises instead.
inline constexpr size_t kYearAndMonths = 13;
struct YearAndMonths {
    std::array<PeriodFigures, kYearAndMonths> value{};
    std::array<std::optional<VbError>, kYearAndMonths> error;
};

// CalculatePeriod of the year and of every month in one pass over the year's days, each to the bit what its
// own call gives or raises: a month adds its own day sums from zero, and an error raised within a day belongs
// to the year and to that day's month only. What working out the hours raises, every period raises: it
// leaves this function, as does 5 for shared sky hours that do not hold the whole year.
YearAndMonths CalculateYearAndMonths(const Sky& sky, double f, int32_t En,
                                     const Dimming::Limits& limits = {});

} // namespace korvane::JahrEnergie
