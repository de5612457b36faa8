#include "Conversion.h"

#include "CliRoomFile.h"

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
        const bool coordinate = rule.id == inputs::FieldId::Longitude || rule.id == inputs::FieldId::Latitude ||
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
    return options;
}

std::vector<std::string> ResultColumns(bool energy, bool allPeriods) {
    return cli::ResultColumns(energy, allPeriods);
}

RoomResult CalculateRoom(const Room& room, const JahrEnergie::SkyHours* sky) {
    return cli::Calculate(room, sky);
}

std::array<RoomResult, kPeriodCount> CalculateRoomPeriods(const Room& room, const JahrEnergie::SkyHours* yearSky) {
    return cli::CalculatePeriods(room, yearSky);
}

} // namespace korvane::python
