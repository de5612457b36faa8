#pragma once
// Rooms under a weather file's sky: --weather FILE.epw and a batch's weather column.

#include "CliRoom.h"
#include "EpwFile.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace korvane::cli {

inline constexpr const char* kWeatherOption = "weather";

// A weather file as read, by the name it was given.
struct WeatherFile {
    std::string name;
    weather::WeatherYear year;
};

// Why a room's layers cannot be calculated under a weather file: they, or else the room file they start
// from, name one, and the layers also a site or coordinates (the file's own); nothing when they do not.
// `dashes` leads the option names ("--" or "").
std::optional<std::string> WeatherSiteConflict(const std::vector<const OptionTexts*>& layers,
                                               const std::string& dashes,
                                               const RoomFileTexts* start = nullptr);

// Weather years by file name, each read once and shared by every room that names it; what reading a file
// raised is kept as well. The years held stay within a byte budget (some 200 files): beyond it the oldest are
// let go, and read again when named again. Safe from several threads at once.
class WeatherFiles {
  public:
    std::shared_ptr<const WeatherFile> Get(const std::string& fileName);

  private:
    struct Entry {
        std::once_flag read;
        std::shared_ptr<const WeatherFile> file;
        std::optional<VbError> error;
    };
    static constexpr size_t kBudgetBytes = 16 << 20;
    static constexpr size_t kEntryBytes = weather::kYearRecords * sizeof(double) + 1024;
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<Entry>, std::less<>> entries_;
    std::vector<std::string> order_; // names in the order they were first read
};

// Calculate and CalculatePeriods under the sky of the room's weather file; a file that cannot be read is
// the error of every period.
RoomResult CalculateUnderWeather(const RoomSpec& room, WeatherFiles& files);
std::array<RoomResult, kPeriodCount> CalculatePeriodsUnderWeather(const RoomSpec& room, WeatherFiles& files);

} // namespace korvane::cli
