#include "JahrEnergie.h"

#include "VbMath.h"
#include "daylight.h"

#include <optional>

namespace korvane::JahrEnergie {

double CalculatePeriodSaving(double longitude, double latitude, int16_t gmt, int16_t beginHour,
                             int16_t endHour, double f, int32_t En, int16_t period) {
    const int16_t nH = vb::Sub16(endHour, beginHour);

    int16_t firstDay = 1;
    int16_t lastDay = 365;
    int16_t days = 365;
    if (period != 0) {
        firstDay = daylight::GetDayOfYear(1, period);
        days = daylight::GetDaysOfMonth(period);
        lastDay = vb::Sub16(vb::Add16(firstDay, days), 1);
    }

    const int16_t lastHour = vb::Sub16(endHour, 1);
    // The site's and each day's terms are taken when the first hour needs them, so that a period without any
    // working hour raises exactly what it would raise hour by hour.
    std::optional<daylight::SiteTerms> site;
    double periodSum = 0.0;
    for (int32_t N = firstDay; N <= lastDay; ++N) {
        std::optional<daylight::DayTerms> day;
        // Each day is summed on its own first; the order of additions is part of the result.
        double daySum = 0.0;
        for (int32_t h = beginHour; h <= lastHour; ++h) {
            if (!site)
                site = daylight::GetSiteTerms(longitude, latitude);
            if (!day)
                day = daylight::GetDayTerms(*site, static_cast<int16_t>(N));
            daySum = vb::Add(daySum,
                             daylight::GetArtificialLight(*site, *day, gmt, f, En, static_cast<int16_t>(h)));
        }
        periodSum = vb::Add(periodSum, daySum);
    }

    double normaliser = 0.0;
    if (period == 0)
        normaliser = vb::Mul(vb::Mul(static_cast<double>(nH), 365.0), static_cast<double>(En));
    else
        normaliser = static_cast<double>(vb::Mul32(vb::Mul16(days, nH), En));

    return vb::Sub(1.0, vb::Div(periodSum, normaliser));
}

} // namespace korvane::JahrEnergie
