#pragma once
// Rooms under a weather file's sky: --weather FILE.epw and a batch's weather column.

#include "CliRoom.h"
#include "WeatherFiles.h"

#include <optional>
#include <string>
#include <vector>

namespace korvane::cli {

inline constexpr const char* kWeatherOption = "weather";

using weather::WeatherFiles;

// Why a room's layers cannot be calculated under a weather file: they, or else the room file they start
// from, name one, and the layers also a site or coordinates (the file's own); nothing when they do not.
// `dashes` leads the option names ("--" or "").
std::optional<std::string> WeatherSiteConflict(const std::vector<const OptionTexts*>& layers,
                                               const std::string& dashes,
                                               const RoomFileTexts* start = nullptr);

// Calculate and CalculatePeriods under the sky of the room's weather file; a file that cannot be read is
// the error of every period. `stamp` as WeatherFiles::Get takes it.
RoomResult CalculateUnderWeather(const RoomSpec& room, WeatherFiles& files, std::string_view stamp = {});
std::array<RoomResult, kPeriodCount> CalculatePeriodsUnderWeather(const RoomSpec& room, WeatherFiles& files,
                                                                  std::string_view stamp = {});

} // namespace korvane::cli
