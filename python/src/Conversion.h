#pragma once
// The one place where the module reaches the calculator's conversion of option texts into a calculation,
// until that conversion lives in the core: every type and call the module needs from it, by its own names.

#include "CliRoom.h"
#include "ResultSchema.h"
#include "WeatherFiles.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace korvane::python {

using RoomTexts = cli::OptionTexts; // option texts by name without dashes ("window-type", "depth", ...)
using Room = cli::RoomSpec;
using RoomResult = cli::RoomResult;
using EnergyFigures = cli::EnergyFigures;
using SiteList = cli::SiteList;
using InputError = cli::OptionError; // number and the line naming the option, the value and what is allowed
using RoomOption = cli::RoomOption;
using RoomFile = cli::RoomFileTexts;
using WeatherFiles = weather::WeatherFiles;

inline constexpr const char* kRoomFileColumn = "room-file";

// The options a room takes, in the calculator's order, "site" among them.
const std::vector<RoomOption>& RoomOptions();
bool IsRoomOption(std::string_view name);

// The room of `texts` over `defaults` (the calculator's command line under a batch row); an error names the
// option without dashes. Raises InputError, and the site file's VbError when it cannot be read.
// Each layer over its own room file, if any.
Room RoomOf(const RoomTexts& defaults, const RoomTexts& texts, SiteList& sites,
            const RoomFile* defaultsFile = nullptr, const RoomFile* file = nullptr);
// The room file at `path`, which a layer of texts lies over; nothing for an empty path. Raises InputError
// naming `label`.
std::optional<RoomFile> ReadRoomFile(const std::string& path, const std::string& label);
// The room file's inputs as option texts: the chosen window type's fields, the choices, and the site by
// name where the file names one (else its coordinates).
RoomTexts OptionsOf(const RoomFile& file);

// The calculator's warning for a column that sets no option and looks like a misspelt one, or nothing;
// `name` folded as the columns are matched, `shown` the column's name trimmed.
std::optional<std::string> MisspeltColumnWarning(std::string_view name, std::string_view shown);

// The result columns of a batch, in order, named as the calculator's batch output names them.
std::vector<std::string> ResultColumns(bool energy, bool allPeriods);

// Why the layers cannot be calculated: a weather file and a site or coordinates with it, named without
// dashes; nothing when they can. A layer may be null.
std::optional<std::string> WeatherConflict(const RoomTexts* defaults, const RoomTexts& texts);

// The room under its weather file's sky when it names one (read once through `files`, again when the file
// changed), else under `sky` or the standard sky; an engine error is the result's.
RoomResult CalculateRoom(const Room& room, WeatherFiles& files, const JahrEnergie::SkyHours* sky = nullptr);
std::array<RoomResult, kPeriodCount> CalculateRoomPeriods(const Room& room, WeatherFiles& files,
                                                          const JahrEnergie::SkyHours* yearSky = nullptr);

} // namespace korvane::python
