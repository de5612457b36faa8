#include "WeatherSky.h"

#include "VbError.h"

#include <cmath>

namespace korvane::weather {

JahrEnergie::SkyHours GetWeatherSkyHours(const WeatherYear& year, int16_t beginHour, int16_t endHour,
                                         int16_t period) {
    JahrEnergie::SkyHours sky;
    sky.sky = JahrEnergie::SkyName::Weather;
    sky.period = period;
    try {
        sky.hours = JahrEnergie::GetPeriodHours(beginHour, endHour, period);
        sky.hoursKnown = true;
        const auto& p = sky.hours;
        if (p.hoursPerDay > 0)
            sky.illuminance.reserve(static_cast<size_t>(p.hoursPerDay) * static_cast<size_t>(p.days));
        for (int32_t N = p.firstDay; N <= p.lastDay; ++N) {
            for (int32_t h = p.beginHour; h <= p.lastHour; ++h) {
                if (h < 0 || h >= kRecordHours)
                    Raise(ErrSubscript, "weather:GetWeatherSkyHours",
                          "a weather year has no hour " + std::to_string(h));
                sky.illuminance.push_back(year.illuminance[static_cast<size_t>((N - 1) * kRecordHours + h)]);
            }
        }
    } catch (const VbError& e) {
        sky.error = e;
    }
    return sky;
}

clsInputOutput AtWeatherSite(clsInputOutput inputs, const WeatherSite& site) {
    inputs.Longitude = site.observer.longitude;
    inputs.Latitude = site.observer.latitude;
    inputs.TimeDiffGMT = static_cast<int16_t>(std::lround(site.observer.timeZone));
    return inputs;
}

std::array<PeriodOutcome, kPeriodCount> CalculateAllPeriodsUnderWeather(const clsInputOutput& inputs,
                                                                        const WeatherYear& year) {
    const clsInputOutput at = AtWeatherSite(inputs, year.site);
    return CalculateAllPeriods(at, GetWeatherSkyHours(year, at.BeginHour, at.EndHour, 0));
}

} // namespace korvane::weather
