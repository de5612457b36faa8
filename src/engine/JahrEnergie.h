#pragma once
#include "VbError.h"
#include "VbMath.h"

#include <cstdint>
#include <optional>
#include <vector>

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

// The illuminance-hours that lighting alone would give: a Double for the year, 16- and 32-bit integers for a
// month.
double PeriodNormaliser(const PeriodHours& hours, int32_t En, int16_t period);

// Sums value(N, h) over every working hour, each day on its own first: the order of additions is part of the
// result.
template <class HourValue> double SumOverPeriod(const PeriodHours& p, HourValue&& value) {
    double periodSum = 0.0;
    for (int32_t N = p.firstDay; N <= p.lastDay; ++N) {
        double daySum = 0.0;
        for (int32_t h = p.beginHour; h <= p.lastHour; ++h)
            daySum = vb::Add(daySum, value(static_cast<int16_t>(N), static_cast<int16_t>(h)));
        periodSum = vb::Add(periodSum, daySum);
    }
    return periodSum;
}

// The overcast-sky illuminance (lux) of every working hour of a period at one site, in the order the
// integration visits them. Everything in a calculation that depends on the site, the hours and the period
// alone, so rooms that share these can share it; results from it are bit for bit those of the functions that
// take a site.
struct SkyHours {
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
SkyHours GetSkyHours(double longitude, double latitude, int16_t gmt, int16_t beginHour, int16_t endHour,
                     int16_t period);

// CalculatePeriodSaving over shared sky hours.
double CalculatePeriodSaving(const SkyHours& sky, double f, int32_t En, int16_t period);

} // namespace korvane::JahrEnergie
