#include "JahrEnergie.h"

#include "daylight.h"

namespace korvane::JahrEnergie {

PeriodHours GetPeriodHours(int16_t beginHour, int16_t endHour, int16_t period) {
    PeriodHours p{};
    p.hoursPerDay = vb::Sub16(endHour, beginHour);
    p.firstDay = 1;
    p.lastDay = 365;
    p.days = 365;
    if (period != 0) {
        p.firstDay = daylight::GetDayOfYear(1, period);
        p.days = daylight::GetDaysOfMonth(period);
        p.lastDay = vb::Sub16(vb::Add16(p.firstDay, p.days), 1);
    }
    p.beginHour = beginHour;
    p.lastHour = vb::Sub16(endHour, 1);
    return p;
}

PeriodHours HoursOfPeriod(const PeriodHours& year, int16_t period) {
    if (period == 0)
        return year;
    PeriodHours month = year;
    month.firstDay = daylight::GetDayOfYear(1, period);
    month.days = daylight::GetDaysOfMonth(period);
    month.lastDay = static_cast<int16_t>(month.firstDay + month.days - 1);
    return month;
}

double PeriodNormaliser(const PeriodHours& p, int32_t En, int16_t period) {
    if (period == 0)
        return vb::Mul(vb::Mul(static_cast<double>(p.hoursPerDay), 365.0), static_cast<double>(En));
    return static_cast<double>(vb::Mul32(vb::Mul16(p.days, p.hoursPerDay), En));
}

double CalculatePeriodSaving(double longitude, double latitude, int16_t gmt, int16_t beginHour,
                             int16_t endHour, double f, int32_t En, int16_t period) {
    const PeriodHours hours = GetPeriodHours(beginHour, endHour, period);
    daylight::SiteSky sky(longitude, latitude, gmt);
    const double periodSum = SumOverPeriod(hours, [&](int16_t N, int16_t h) {
        return daylight::detail::ArtificialLightFrom(sky.Illuminance(N, h), f, En);
    });
    return vb::Sub(1.0, vb::Div(periodSum, PeriodNormaliser(hours, En, period)));
}

SkyHours GetSkyHours(double longitude, double latitude, int16_t gmt, int16_t beginHour, int16_t endHour,
                     int16_t period) {
    SkyHours sky;
    try {
        sky.hours = GetPeriodHours(beginHour, endHour, period);
        sky.hoursKnown = true;
        daylight::SiteSky site(longitude, latitude, gmt);
        SumOverPeriod(sky.hours, [&](int16_t N, int16_t h) {
            sky.illuminance.push_back(site.Illuminance(N, h));
            return 0.0;
        });
    } catch (const VbError& e) {
        sky.error = e;
    }
    return sky;
}

double CalculatePeriodSaving(const SkyHours& sky, double f, int32_t En, int16_t period) {
    if (!sky.hoursKnown)
        throw sky.error.value();
    size_t i = 0;
    const double periodSum = SumOverPeriod(sky.hours, [&](int16_t, int16_t) {
        return daylight::detail::ArtificialLightFrom(sky.At(i++), f, En);
    });
    return vb::Sub(1.0, vb::Div(periodSum, PeriodNormaliser(sky.hours, En, period)));
}

namespace {

// One minus each period's sum over its normaliser.
void FinishSavings(YearAndMonths& sums, const PeriodHours& year, int32_t En) {
    sums.Finish([&](int16_t period, double sum) {
        return vb::Sub(1.0, vb::Div(sum, PeriodNormaliser(HoursOfPeriod(year, period), En, period)));
    });
}

} // namespace

YearAndMonths CalculateYearAndMonths(double longitude, double latitude, int16_t gmt, int16_t beginHour,
                                     int16_t endHour, double f, int32_t En) {
    const PeriodHours year = GetPeriodHours(beginHour, endHour, 0);
    daylight::SiteSky sky(longitude, latitude, gmt);
    YearAndMonths result = SumOverYearAndMonths(year, [&](int16_t N, int16_t h) {
        return daylight::detail::ArtificialLightFrom(sky.Illuminance(N, h), f, En);
    });
    FinishSavings(result, year, En);
    return result;
}

bool IsCompleteYear(const SkyHours& sky) {
    return sky.hoursKnown && !sky.error && sky.hours.firstDay == 1 && sky.hours.lastDay == 365;
}

YearAndMonths CalculateYearAndMonths(const SkyHours& yearSky, double f, int32_t En) {
    const PeriodHours& year = yearSky.hours;
    YearAndMonths result = SumOverYearAndMonths(year, [&](int16_t N, int16_t h) {
        return daylight::detail::ArtificialLightFrom(yearSky.At(YearHourIndex(year, N, h)), f, En);
    });
    FinishSavings(result, year, En);
    return result;
}

} // namespace korvane::JahrEnergie
