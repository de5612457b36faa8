#include "JahrEnergie.h"

#include "daylight.h"

namespace korvane::JahrEnergie {

namespace {

constexpr const char* kSource = "JahrEnergie:CalculatePeriod";

// What the working hours of a day or a period add up to: the light (or power) still needed, and the hours in
// which daylight alone reaches the nominal illuminance.
struct Sums {
    double need = 0.0;
    int32_t daylit = 0;
};

// The sums of day N, each hour adding need(the artificial light it still needs); the order of additions is
// part of the result.
template <class Illuminance, class Need>
Sums DaySums(const PeriodHours& p, int16_t N, Illuminance& E, double f, int32_t En, const Need& need) {
    Sums day;
    for (int32_t h = p.beginHour; h <= p.lastHour; ++h) {
        const double light = daylight::detail::ArtificialLightFrom(E(N, static_cast<int16_t>(h)), f, En);
        day.need = vb::Add(day.need, need(light));
        day.daylit += light == 0.0 ? 1 : 0; // nothing needed: f x E >= En
    }
    return day;
}

// Calls use(hours, E) with the period's hours and the sky's illuminance E(N, h) of hour h of day N.
template <class Use> decltype(auto) WithSky(const Sky& sky, int16_t period, Use&& use) {
    if (const auto* overcast = std::get_if<StandardOvercastSky>(&sky)) {
        const PeriodHours hours = GetPeriodHours(overcast->beginHour, overcast->endHour, period);
        daylight::SiteSky site(overcast->longitude, overcast->latitude, overcast->gmt);
        auto E = [&](int16_t N, int16_t h) { return site.Illuminance(N, h); };
        return use(hours, E);
    }
    const SkyHours& shared = std::get<std::reference_wrapper<const SkyHours>>(sky).get();
    if (!shared.hoursKnown)
        throw shared.error.value();
    if (shared.period != period)
        Raise(ErrInvalidCall, kSource, "the shared sky hours are not of the period asked for");
    auto E = [&](int16_t N, int16_t h) { return shared.At(PeriodHourIndex(shared.hours, N, h)); };
    return use(shared.hours, E);
}

// Calls use(needOfLight, finishSaving): what an hour's needed light adds, and the saving from a period's sum.
template <class Use> decltype(auto) WithGear(const Dimming::Limits& limits, int32_t En, Use&& use) {
    if (limits.IsPlain()) {
        return use([](double light) { return light; },
                   [En](const PeriodHours& hours, int16_t period, double sum) {
                       return vb::Sub(1.0, vb::Div(sum, PeriodNormaliser(hours, En, period)));
                   });
    }
    return use(
        [&limits, En](double light) {
            return Dimming::PowerFraction(vb::Div(light, static_cast<double>(En)), limits);
        },
        [](const PeriodHours& hours, int16_t, double powerSum) {
            const double workingHours =
                vb::Mul(static_cast<double>(hours.hoursPerDay), static_cast<double>(hours.days));
            return vb::Sub(1.0, vb::Div(powerSum, workingHours));
        });
}

double AutonomyOf(const PeriodHours& hours, int32_t daylit) {
    const double workingHours = static_cast<double>(hours.hoursPerDay) * static_cast<double>(hours.days);
    return workingHours > 0.0 ? static_cast<double>(daylit) / workingHours : 0.0;
}

} // namespace

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

SkyName NameOf(const Sky& sky) {
    if (const auto* shared = std::get_if<std::reference_wrapper<const SkyHours>>(&sky))
        return shared->get().sky;
    return SkyName::StandardOvercast;
}

SkyHours GetSkyHours(double longitude, double latitude, int16_t gmt, int16_t beginHour, int16_t endHour,
                     int16_t period) {
    SkyHours sky;
    sky.period = period;
    try {
        sky.hours = GetPeriodHours(beginHour, endHour, period);
        sky.hoursKnown = true;
        daylight::SiteSky site(longitude, latitude, gmt);
        for (int32_t N = sky.hours.firstDay; N <= sky.hours.lastDay; ++N) {
            for (int32_t h = sky.hours.beginHour; h <= sky.hours.lastHour; ++h)
                sky.illuminance.push_back(site.Illuminance(static_cast<int16_t>(N), static_cast<int16_t>(h)));
        }
    } catch (const VbError& e) {
        sky.error = e;
    }
    return sky;
}

bool IsCompleteYear(const SkyHours& sky) {
    if (!sky.hoursKnown || sky.period != 0 || sky.hours.firstDay != 1 || sky.hours.lastDay != 365)
        return false;
    const auto hoursPerDay = static_cast<size_t>(sky.hours.hoursPerDay > 0 ? sky.hours.hoursPerDay : 0);
    return sky.error || sky.illuminance.size() == 365 * hoursPerDay;
}

PeriodFigures CalculatePeriod(const Sky& sky, double f, int32_t En, int16_t period,
                              const Dimming::Limits& limits) {
    return WithSky(sky, period, [&](const PeriodHours& hours, auto& E) {
        return WithGear(limits, En, [&](const auto& need, const auto& finish) {
            Sums sums;
            for (int32_t N = hours.firstDay; N <= hours.lastDay; ++N) {
                const Sums day = DaySums(hours, static_cast<int16_t>(N), E, f, En, need);
                sums.need = vb::Add(sums.need, day.need);
                sums.daylit += day.daylit;
            }
            return PeriodFigures{finish(hours, period, sums.need), AutonomyOf(hours, sums.daylit)};
        });
    });
}

namespace {

// The sums of the year and of each month from one pass over the year's days.
struct YearSums {
    std::array<Sums, kYearAndMonths> sums{};
    std::array<std::optional<VbError>, kYearAndMonths> error;
};

template <class Illuminance, class Need>
YearSums SumYearAndMonths(const PeriodHours& year, Illuminance& E, double f, int32_t En, const Need& need) {
    YearSums y;
    size_t month = 1;
    int32_t monthEnd = daylight::GetDaysOfMonth(1);
    for (int32_t N = 1; N <= 365; ++N) {
        if (N > monthEnd) {
            ++month;
            monthEnd += daylight::GetDaysOfMonth(static_cast<int16_t>(month));
        }
        const size_t periods[] = {0, month};
        if (y.error[0] && y.error[month])
            continue; // nothing left that this day could change
        Sums day;
        try {
            day = DaySums(year, static_cast<int16_t>(N), E, f, En, need);
        } catch (const VbError& e) {
            for (size_t p : periods) {
                if (!y.error[p])
                    y.error[p] = e;
            }
            continue;
        }
        for (size_t p : periods) {
            if (y.error[p])
                continue;
            try {
                y.sums[p].need = vb::Add(y.sums[p].need, day.need);
                y.sums[p].daylit += day.daylit;
            } catch (const VbError& e) {
                y.error[p] = e;
            }
        }
    }
    return y;
}

} // namespace

YearAndMonths CalculateYearAndMonths(const Sky& sky, double f, int32_t En, const Dimming::Limits& limits) {
    if (const auto* shared = std::get_if<std::reference_wrapper<const SkyHours>>(&sky);
        shared && shared->get().hoursKnown && !IsCompleteYear(shared->get()))
        Raise(ErrInvalidCall, kSource, "the shared sky hours do not hold the whole year");
    return WithSky(sky, 0, [&](const PeriodHours& year, auto& E) {
        return WithGear(limits, En, [&](const auto& need, const auto& finish) {
            const YearSums y = SumYearAndMonths(year, E, f, En, need);
            YearAndMonths result;
            for (size_t p = 0; p < kYearAndMonths; ++p) {
                result.error[p] = y.error[p];
                if (y.error[p])
                    continue;
                const auto period = static_cast<int16_t>(p);
                const PeriodHours hours = HoursOfPeriod(year, period);
                try {
                    result.value[p] = {finish(hours, period, y.sums[p].need),
                                       AutonomyOf(hours, y.sums[p].daylit)};
                } catch (const VbError& e) {
                    result.error[p] = e;
                }
            }
            return result;
        });
    });
}

} // namespace korvane::JahrEnergie
