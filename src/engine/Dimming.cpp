#include "Dimming.h"

#include "JahrEnergie.h"
#include "VbMath.h"
#include "daylight.h"

#include <optional>

namespace korvane::Dimming {

double PowerFraction(double neededFraction, const Limits& limits) {
    const double P = limits.minPowerFraction;
    const double L = limits.minLightFraction;
    if (limits.control == Control::ContinuousOff && neededFraction <= 0.0)
        return 0.0;
    if (neededFraction <= L)
        return P;
    return vb::Add(P, vb::Div(vb::Mul(vb::Sub(neededFraction, L), vb::Sub(1.0, P)), vb::Sub(1.0, L)));
}

namespace {

// One minus the mean power fraction, the needed light of each hour given by need(N, h).
template <class Need>
double DimmedSaving(const JahrEnergie::PeriodHours& hours, int32_t En, const Limits& limits, Need&& need) {
    const double powerSum = JahrEnergie::SumOverPeriod(hours, [&](int16_t N, int16_t h) {
        return PowerFraction(vb::Div(need(N, h), static_cast<double>(En)), limits);
    });
    const double workingHours =
        vb::Mul(static_cast<double>(hours.hoursPerDay), static_cast<double>(hours.days));
    return vb::Sub(1.0, vb::Div(powerSum, workingHours));
}

// DimmedSaving of the year and of every month.
template <class Need>
JahrEnergie::YearAndMonths DimmedYearAndMonths(const JahrEnergie::PeriodHours& year, int32_t En,
                                               const Limits& limits, Need&& need) {
    auto result = JahrEnergie::SumOverYearAndMonths(year, [&](int16_t N, int16_t h) {
        return PowerFraction(vb::Div(need(N, h), static_cast<double>(En)), limits);
    });
    result.Finish([&](int16_t period, double powerSum) {
        const auto hours = JahrEnergie::HoursOfPeriod(year, period);
        const double workingHours =
            vb::Mul(static_cast<double>(hours.hoursPerDay), static_cast<double>(hours.days));
        return vb::Sub(1.0, vb::Div(powerSum, workingHours));
    });
    return result;
}

} // namespace

double CalculatePeriodSavingDimmed(double longitude, double latitude, int16_t gmt, int16_t beginHour,
                                   int16_t endHour, double f, int32_t En, int16_t period,
                                   const Limits& limits) {
    if (limits.IsPlain())
        return JahrEnergie::CalculatePeriodSaving(longitude, latitude, gmt, beginHour, endHour, f, En,
                                                  period);
    const auto hours = JahrEnergie::GetPeriodHours(beginHour, endHour, period);
    daylight::SiteSky sky(longitude, latitude, gmt);
    return DimmedSaving(hours, En, limits, [&](int16_t N, int16_t h) {
        return daylight::detail::ArtificialLightFrom(sky.Illuminance(N, h), f, En);
    });
}

double CalculatePeriodSavingDimmed(const JahrEnergie::SkyHours& sky, double f, int32_t En, int16_t period,
                                   const Limits& limits) {
    if (limits.IsPlain())
        return JahrEnergie::CalculatePeriodSaving(sky, f, En, period);
    if (!sky.hoursKnown)
        throw sky.error.value();
    size_t i = 0;
    return DimmedSaving(sky.hours, En, limits, [&](int16_t, int16_t) {
        return daylight::detail::ArtificialLightFrom(sky.At(i++), f, En);
    });
}

JahrEnergie::YearAndMonths CalculateYearAndMonthsDimmed(double longitude, double latitude, int16_t gmt,
                                                        int16_t beginHour, int16_t endHour, double f,
                                                        int32_t En, const Limits& limits) {
    if (limits.IsPlain())
        return JahrEnergie::CalculateYearAndMonths(longitude, latitude, gmt, beginHour, endHour, f, En);
    const auto year = JahrEnergie::GetPeriodHours(beginHour, endHour, 0);
    daylight::SiteSky sky(longitude, latitude, gmt);
    return DimmedYearAndMonths(year, En, limits, [&](int16_t N, int16_t h) {
        return daylight::detail::ArtificialLightFrom(sky.Illuminance(N, h), f, En);
    });
}

JahrEnergie::YearAndMonths CalculateYearAndMonthsDimmed(const JahrEnergie::SkyHours& yearSky, double f,
                                                        int32_t En, const Limits& limits) {
    if (limits.IsPlain())
        return JahrEnergie::CalculateYearAndMonths(yearSky, f, En);
    const auto& year = yearSky.hours;
    return DimmedYearAndMonths(year, En, limits, [&](int16_t N, int16_t h) {
        return daylight::detail::ArtificialLightFrom(yearSky.At(JahrEnergie::YearHourIndex(year, N, h)), f,
                                                     En);
    });
}

} // namespace korvane::Dimming
