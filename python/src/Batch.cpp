#include "Batch.h"

#include "modLangConstants.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace korvane::python {

namespace {

constexpr const char* kSource = "korvane_energy";

RowOutcome ComputeRow(const RoomTexts& given, const BatchSettings& settings, SiteList& sites,
                      JahrEnergie::SkyHoursCache& skies, WeatherFiles& weather) {
    RowOutcome outcome;
    try {
        if (const auto conflict = WeatherConflict(&settings.defaults, given))
            throw InputError{ErrInvalidCall, *conflict};
        const auto named = given.find(kRoomFileColumn);
        const auto file = named == given.end() ? std::nullopt : ReadRoomFile(named->second, kRoomFileColumn);
        const Room room =
            RoomOf(settings.defaults, given, sites, settings.defaultsFile ? &*settings.defaultsFile : nullptr,
                   file ? &*file : nullptr);
        const bool standardSky = room.weatherFile.empty();
        if (!settings.allPeriods) {
            outcome.periods.push_back(
                CalculateRoom(room, weather, standardSky ? skies.For(room.params).get() : nullptr));
            return outcome;
        }
        clsInputOutput year = room.params;
        year.CalcPeriod = 0; // the months share the year's sky hours
        const auto periods =
            CalculateRoomPeriods(room, weather, standardSky ? skies.For(year).get() : nullptr);
        outcome.periods.assign(periods.begin(), periods.end());
    } catch (const InputError& e) {
        outcome.inputError = VbError(e.number, kSource, e.why);
    } catch (const VbError& e) {
        outcome.inputError = e;
    }
    return outcome;
}

} // namespace

std::optional<VbError> RowOutcome::FirstError() const {
    if (inputError)
        return inputError;
    for (size_t period = 0; period < periods.size(); ++period) {
        if (const auto& e = periods[period].error) {
            if (periods.size() == 1)
                return e;
            return VbError(e->Number(), e->Source(),
                           PeriodName(static_cast<int16_t>(period)) + ": " + e->Description());
        }
    }
    return std::nullopt;
}

std::vector<RowOutcome> ComputeRows(const std::vector<RoomTexts>& rows, const BatchSettings& settings,
                                    SiteList& sites, JahrEnergie::SkyHoursCache& skies,
                                    WeatherFiles& weather) {
    std::vector<RowOutcome> outcomes(rows.size());
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < rows.size(); i = next++)
            outcomes[i] = ComputeRow(rows[i], settings, sites, skies, weather);
    };
    const unsigned threads =
        std::max(1u, settings.threads ? settings.threads : std::thread::hardware_concurrency());
    {
        std::vector<std::jthread> pool;
        for (unsigned t = 1; t < std::min<size_t>(threads, rows.size()); ++t)
            pool.emplace_back(work);
        work();
    }
    return outcomes;
}

} // namespace korvane::python
