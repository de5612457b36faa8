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

void MoveToSite(clsInputOutput& params, const WeatherYear& year) {
    const Observer& site = year.site.observer;
    params.Longitude = site.longitude;
    params.Latitude = site.latitude;
    params.TimeDiffGMT = static_cast<int16_t>(std::lround(site.timeZone));
}

} // namespace korvane::weather
