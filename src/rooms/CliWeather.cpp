#include "CliWeather.h"

#include "WeatherSky.h"

#include <algorithm>

namespace korvane::cli {

namespace {

constexpr const char* kSiteOptions[] = {"site", "longitude", "latitude", "gmt"};

bool Names(const OptionTexts& texts, std::string_view name) {
    const auto it = texts.find(name);
    return it != texts.end() && !it->second.empty();
}

// The room's weather year, or the error reading it raised.
std::shared_ptr<const WeatherFile> YearOf(const RoomSpec& room, WeatherFiles& files, std::string_view stamp,
                                          RoomResult& failed) {
    try {
        return files.Get(room.weatherFile, stamp);
    } catch (const VbError& e) {
        failed.error = e;
        return nullptr;
    }
}

// The room at the file's site, which its sky alone uses.
RoomSpec AtFileSite(RoomSpec room, const WeatherFile& file) {
    room.params = weather::AtWeatherSite(room.params, file.year.site);
    return room;
}

} // namespace

std::optional<std::string> WeatherSiteConflict(const std::vector<const OptionTexts*>& layers,
                                               const std::string& dashes, const RoomFileTexts* start) {
    // A layer may be absent: a batch run from code names no command line.
    const bool weather = std::any_of(layers.begin(), layers.end(),
                                     [](const OptionTexts* l) { return l && Names(*l, kWeatherOption); });
    if (!weather && (!start || start->weatherFile.empty()))
        return std::nullopt;
    const std::string named =
        weather ? dashes + "weather" : start->label + " names the weather file '" + start->weatherFile + "'";
    for (const OptionTexts* layer : layers) {
        for (const char* name : kSiteOptions) {
            if (layer && Names(*layer, name))
                return named + ": the site is the weather file's; " + dashes + name +
                       " cannot be given with it";
        }
    }
    return std::nullopt;
}

RoomResult CalculateUnderWeather(const RoomSpec& room, WeatherFiles& files, std::string_view stamp) {
    RoomResult failed;
    const auto file = YearOf(room, files, stamp, failed);
    if (!file)
        return failed;
    const RoomSpec at = AtFileSite(room, *file);
    const auto& p = at.params;
    const auto sky = weather::GetWeatherSkyHours(file->year, p.BeginHour, p.EndHour, p.CalcPeriod);
    RoomResult result = Calculate(at, &sky);
    result.weather = file;
    return result;
}

std::array<RoomResult, kPeriodCount> CalculatePeriodsUnderWeather(const RoomSpec& room, WeatherFiles& files,
                                                                  std::string_view stamp) {
    std::array<RoomResult, kPeriodCount> results;
    RoomResult failed;
    const auto file = YearOf(room, files, stamp, failed);
    if (!file) {
        results.fill(failed);
        return results;
    }
    const RoomSpec at = AtFileSite(room, *file);
    const auto& p = at.params;
    const auto sky = weather::GetWeatherSkyHours(file->year, p.BeginHour, p.EndHour, 0);
    results = CalculatePeriods(at, &sky);
    for (auto& result : results)
        result.weather = file;
    return results;
}

} // namespace korvane::cli
