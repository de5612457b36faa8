#pragma once
#include "VbError.h"
#include "VbMath.h"
#include "daylight.h"

#include <array>
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
// The hours of period 0..12 from those of the year: what GetPeriodHours gives for it, without raising again.
PeriodHours HoursOfPeriod(const PeriodHours& year, int16_t period);

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

// A figure for the year (index 0) and for each month (1..12), or the error that period raises instead.
inline constexpr size_t kYearAndMonths = 13;
struct YearAndMonths {
    std::array<double, kYearAndMonths> value{};
    std::array<std::optional<VbError>, kYearAndMonths> error;

    // Replaces each value that has no error by finish(period, value), or by the error that raises.
    template <class F> void Finish(F&& finish) {
        for (size_t p = 0; p < kYearAndMonths; ++p) {
            if (error[p])
                continue;
            try {
                value[p] = finish(static_cast<int16_t>(p), value[p]);
            } catch (const VbError& e) {
                error[p] = e;
            }
        }
    }
};

// SumOverPeriod for the year and for every month in one pass over the year's days, each to the bit what its
// own call gives or raises: a month adds its own day sums from zero, and an error raised within a day belongs
// to the year and to that day's month only. `year` is GetPeriodHours(..., 0).
template <class HourValue> YearAndMonths SumOverYearAndMonths(const PeriodHours& year, HourValue&& value) {
    YearAndMonths sums;
    size_t month = 1;
    int32_t monthEnd = daylight::GetDaysOfMonth(1);
    for (int32_t N = 1; N <= 365; ++N) {
        if (N > monthEnd) {
            ++month;
            monthEnd += daylight::GetDaysOfMonth(static_cast<int16_t>(month));
        }
        const size_t periods[] = {0, month};
        if (sums.error[0] && sums.error[month])
            continue; // nothing left that this day could change
        double daySum = 0.0;
        try {
            for (int32_t h = year.beginHour; h <= year.lastHour; ++h)
                daySum = vb::Add(daySum, value(static_cast<int16_t>(N), static_cast<int16_t>(h)));
        } catch (const VbError& e) {
            for (size_t p : periods) {
                if (!sums.error[p])
                    sums.error[p] = e;
            }
            continue;
        }
        for (size_t p : periods) {
            if (sums.error[p])
                continue;
            try {
                sums.value[p] = vb::Add(sums.value[p], daySum);
            } catch (const VbError& e) {
                sums.error[p] = e;
            }
        }
    }
    return sums;
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

// Whether sky holds every working hour of the year, so that each month can be read from it.
bool IsCompleteYear(const SkyHours& sky);
// The index in SkyHours::illuminance of hour h of day N of the year.
inline size_t YearHourIndex(const PeriodHours& year, int16_t N, int16_t h) {
    return static_cast<size_t>(N - 1) * static_cast<size_t>(year.hoursPerDay) +
           static_cast<size_t>(h - year.beginHour);
}

// CalculatePeriodSaving of the year and of every month, each result or error that of its own call. What
// working out the hours raises, every period raises: it leaves this function.
YearAndMonths CalculateYearAndMonths(double longitude, double latitude, int16_t gmt, int16_t beginHour,
                                     int16_t endHour, double f, int32_t En);
// The same over the year's sky hours, which must be complete (IsCompleteYear).
YearAndMonths CalculateYearAndMonths(const SkyHours& yearSky, double f, int32_t En);

} // namespace korvane::JahrEnergie
