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

double CalculatePeriodSavingDimmed(double longitude, double latitude, int16_t gmt, int16_t beginHour,
                                   int16_t endHour, double f, int32_t En, int16_t period,
                                   const Limits& limits) {
    if (limits.IsPlain())
        return JahrEnergie::CalculatePeriodSaving(longitude, latitude, gmt, beginHour, endHour, f, En,
                                                  period);

    const int16_t nH = vb::Sub16(endHour, beginHour);
    int16_t firstDay = 1;
    int16_t days = 365;
    if (period != 0) {
        firstDay = daylight::GetDayOfYear(1, period);
        days = daylight::GetDaysOfMonth(period);
    }
    const int16_t lastDay = vb::Sub16(vb::Add16(firstDay, days), 1);
    const int16_t lastHour = vb::Sub16(endHour, 1);

    std::optional<daylight::SiteTerms> site;
    double powerSum = 0.0;
    for (int32_t N = firstDay; N <= lastDay; ++N) {
        std::optional<daylight::DayTerms> day;
        double daySum = 0.0;
        for (int32_t h = beginHour; h <= lastHour; ++h) {
            if (!site)
                site = daylight::GetSiteTerms(longitude, latitude);
            if (!day)
                day = daylight::GetDayTerms(*site, static_cast<int16_t>(N));
            const double need =
                daylight::GetArtificialLight(*site, *day, gmt, f, En, static_cast<int16_t>(h));
            daySum = vb::Add(daySum, PowerFraction(vb::Div(need, static_cast<double>(En)), limits));
        }
        powerSum = vb::Add(powerSum, daySum);
    }
    const double workingHours = vb::Mul(static_cast<double>(nH), static_cast<double>(days));
    return vb::Sub(1.0, vb::Div(powerSum, workingHours));
}

} // namespace korvane::Dimming
