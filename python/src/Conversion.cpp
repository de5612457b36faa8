#include "Conversion.h"

#include "CliRoomFile.h"

namespace korvane::python {

const std::vector<RoomOption>& RoomOptions() {
    return cli::RoomOptions();
}

bool IsRoomOption(std::string_view name) {
    return cli::IsRoomOption(name);
}

Room RoomOf(const RoomTexts& defaults, const RoomTexts& texts, SiteList& sites) {
    // As the second layer, a problem is blamed on the bare name, as on a batch column.
    return cli::BuildRoom({&defaults, &texts}, sites);
}

RoomTexts RoomFileUnder(const RoomTexts& texts, const std::string& path, const std::string& label,
                       const RoomTexts* wins) {
    return cli::WithRoomFile(texts, path, label, wins);
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
