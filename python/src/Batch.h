#pragma once
// Rooms of a table computed on every core, with the sky hours shared by rows at the same site and hours.

#include "Conversion.h"
#include "SkyHoursCache.h"

#include <optional>
#include <vector>

namespace korvane::python {

// One row's outcome: the error of its inputs, or its period's result (the year and the twelve months).
struct RowOutcome {
    std::optional<VbError> inputError;
    std::vector<RoomResult> periods;
    // Its input's error, else the first period's, named by the period when there are all of them.
    std::optional<VbError> FirstError() const;
};

struct BatchSettings {
    RoomTexts defaults;                   // what every row leaves to the caller
    std::optional<RoomFile> defaultsFile; // the room every row without a room file of its own starts from
    bool allPeriods = false;
    unsigned threads = 0; // 0: one per core
};

// Every row of `rows`, in order; never throws for a row, whose error is its own. A row naming a weather
// file is under its sky, the file read through `weather`.
std::vector<RowOutcome> ComputeRows(const std::vector<RoomTexts>& rows, const BatchSettings& settings,
                                    SiteList& sites, JahrEnergie::SkyHoursCache& skies,
                                    WeatherFiles& weather);

} // namespace korvane::python
