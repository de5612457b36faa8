#include "Conversion.h"

#include "CliColumns.h"
#include "CliRoomFile.h"
#include "CliWeather.h"
#include "DataFiles.h"

#include <filesystem>

namespace korvane::python {

const std::vector<RoomOption>& RoomOptions() {
    return cli::RoomOptions();
}

bool IsRoomOption(std::string_view name) {
    return cli::IsRoomOption(name);
}

Room RoomOf(const RoomTexts& defaults, const RoomTexts& texts, SiteList& sites, const RoomFile* defaultsFile,
            const RoomFile* file) {
    // As the second layer, a problem is blamed on the bare name, as on a batch column.
    return cli::BuildRoom({{&defaults, defaultsFile}, {&texts, file}}, sites);
}

std::optional<RoomFile> ReadRoomFile(const std::string& path, const std::string& label) {
    return cli::ReadRoomFile(path, label);
}

RoomTexts OptionsOf(const RoomFile& file) {
    const inputs::RoomTexts& room = file.texts;
    const int windowType = room.Choice(inputs::ChoiceId::WindowType);
    RoomTexts options;
    for (const inputs::FieldRule& rule : inputs::FieldRules()) {
        const bool coordinate = rule.id == inputs::FieldId::Longitude ||
                                rule.id == inputs::FieldId::Latitude ||
                                rule.id == inputs::FieldId::TimeDiffGMT;
        const bool ownType = rule.windowType == 0 || rule.windowType == windowType;
        if (ownType && !room.Field(rule.id).empty() && !(coordinate && room.siteName))
            options[rule.option] = room.Field(rule.id);
    }
    for (const inputs::ChoiceRule& rule : inputs::ChoiceRules()) {
        if (rule.option)
            options[rule.option] = std::to_string(room.Choice(rule.id));
    }
    if (room.siteName)
        options["site"] = *room.siteName;
    if (!file.weatherFile.empty())
        options[cli::kWeatherOption] =
            Utf8String(std::filesystem::absolute(Utf8Path(file.weatherFile)).lexically_normal());
    return options;
}

std::optional<std::string> MisspeltColumnWarning(std::string_view name, std::string_view shown) {
    return cli::MisspeltColumnWarning(name, shown);
}

std::vector<std::string> ResultColumns(bool energy, bool allPeriods) {
    return cli::ResultColumns(energy, allPeriods);
}

namespace {

// The state of the file a name stands for now: where it lies, its size and its time; empty when it cannot
// be told, and reading it then raises why.
std::string StampOf(const std::string& fileName) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path path = fs::absolute(Utf8Path(fileName), ec);
    const auto size = fs::file_size(path, ec);
    if (ec)
        return {};
    const auto time = fs::last_write_time(path, ec);
    if (ec)
        return {};
    return Utf8String(path) + "\n" + std::to_string(size) + "\n" +
           std::to_string(time.time_since_epoch().count());
}

} // namespace

std::optional<std::string> WeatherConflict(const RoomTexts* defaults, const RoomTexts& texts) {
    return cli::WeatherSiteConflict({defaults, &texts}, "");
}

RoomResult CalculateRoom(const Room& room, WeatherFiles& files, const JahrEnergie::SkyHours* sky) {
    if (room.weatherFile.empty())
        return cli::Calculate(room, sky);
    return cli::CalculateUnderWeather(room, files, StampOf(room.weatherFile));
}

std::array<RoomResult, kPeriodCount> CalculateRoomPeriods(const Room& room, WeatherFiles& files,
                                                          const JahrEnergie::SkyHours* yearSky) {
    if (room.weatherFile.empty())
        return cli::CalculatePeriods(room, yearSky);
    return cli::CalculatePeriodsUnderWeather(room, files, StampOf(room.weatherFile));
}

} // namespace korvane::python
