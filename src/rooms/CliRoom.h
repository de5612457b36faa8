#pragma once
// One room of the command line: its option texts, the parameter set built from them, and its result.

#include "Dimming.h"
#include "GeoEntry.h"
#include "InputFields.h"
#include "SiteSearch.h"
#include "VbError.h"
#include "WeatherFiles.h"
#include "clsInputOutput.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::cli {

// A value that cannot be used: the one line that says why, and the run-time error number a batch row shows
// (13 not a number, 6 out of range, 5 not allowed).
struct OptionError {
    int32_t number;
    std::string why;
};

// Option texts by name without the dashes ("window-type", "depth", ...). A name that is absent takes its
// default.
using OptionTexts = std::map<std::string, std::string, std::less<>>;

// Every per-room option, in the order the usage lists them; "site" among them.
struct RoomOption {
    const char* name;
    const char* typeName; // N, X, TEXT, ...
    const char* help;
    const char* defaultText; // nullptr: the default depends on other options
};
const std::vector<RoomOption>& RoomOptions();
bool IsRoomOption(std::string_view name);

// The sites of a site file, entry 0 the user-defined site; loaded on first use.
class SiteList {
  public:
    // aliasFile: other spellings of the sites (sites::ReadSiteAliasFile), read with the first lookup; empty
    // for none.
    explicit SiteList(std::string fileName, std::string aliasFile = {})
        : fileName_(std::move(fileName)), aliasFile_(std::move(aliasFile)) {}
    // The site file's bytes, already read (from standard input); fileName then only names it in errors.
    void UseBytes(std::string bytes) { bytes_ = std::move(bytes); }
    // The alias file's bytes, already read (built into the browser's batch engine).
    void UseAliasBytes(std::string bytes) { aliasBytes_ = std::move(bytes); }
    // Raises the reader's error (source "clsGeoFile:OpenGeoFile") when the file cannot be read.
    const std::vector<GeoEntry>& Sites();
    // The first site whose name contains text in any usual spelling (sites::SiteFinder::Find); an
    // OptionError naming the closest sites when there is none. Raises what reading the files raises. Safe
    // from several threads at once.
    const GeoEntry& Find(std::string_view text);
    // The other spellings of the sites, by site name.
    const std::vector<sites::SiteAlias>& Aliases();

  private:
    const sites::SiteFinder& Finder();

    std::string fileName_;
    std::string aliasFile_;
    std::optional<std::string> bytes_;
    std::optional<std::string> aliasBytes_;
    std::optional<std::vector<GeoEntry>> sites_;
    std::once_flag indexed_;
    std::vector<sites::SiteAlias> aliases_;
    std::optional<sites::SiteFinder> finder_;
    std::mutex closestMutex_;                                 // guards closest_
    std::map<std::string, std::string, std::less<>> closest_; // the closest names by text not found
    size_t closestBytes_ = 0;                                 // held by closest_
};

struct RoomSpec {
    clsInputOutput params;
    std::optional<double> powerDensity; // W/m² of installed lighting
    std::string weatherFile;            // the EPW file whose sky the room is under; empty: the standard sky
};

// A room file's texts, and the name a problem with them is blamed on ("--room: 'Office.kvroom'").
struct RoomFileTexts {
    inputs::RoomTexts texts;
    std::string label;
    std::string weatherFile; // the EPW file it names, a relative one taken from the room file's folder
};

// One layer of a room's inputs: option texts and, beneath them, the room file it names.
struct RoomLayer {
    const OptionTexts* options;
    const RoomFileTexts* file = nullptr;
};

// The room file a room of these layers starts from: the most specific layer's, or null.
const RoomFileTexts* StartFile(const std::vector<RoomLayer>& layers);

// Builds a room from layers, the most specific last (command line, then a batch row). The room starts from
// the most specific layer's room file, else the calculator's defaults; the options of each layer then
// replace its texts (a site its coordinates, a transmittance the glazing preset), and the room becomes a
// calculation through the one conversion of the window's fields. Its weather file is the one an option names,
// else the start file's. Raises OptionError.
RoomSpec BuildRoom(const std::vector<RoomLayer>& layers, SiteList& sites);

struct EnergyFigures {
    double floorArea;      // m²
    double workingHours;   // hours a day x days of the period
    double withoutControl; // kWh
    double withControl;    // kWh
    double saved;          // kWh
};

using weather::WeatherFile;

struct RoomResult {
    std::optional<int16_t> percent;
    std::optional<double> fraction;
    std::optional<VbError> error;
    std::optional<EnergyFigures> energy;
    std::optional<double> autonomy;             // with the fraction
    std::shared_ptr<const WeatherFile> weather; // the file whose sky gave the result; none: the standard sky
};

// Runs the engine on the room; never throws an engine error, it is kept in the result. With sky hours
// computed for the room's site, hours and period the result is the same, to the bit, and cheaper.
RoomResult Calculate(const RoomSpec& room, const JahrEnergie::SkyHours* sky = nullptr);
// The year (index 0) and the twelve months of the room, whatever its period: each what Calculate gives for
// that period, from one pass over the year. With the year's sky hours at the room's site and working hours
// (period 0), the same and cheaper.
std::array<RoomResult, kPeriodCount> CalculatePeriods(const RoomSpec& room,
                                                      const JahrEnergie::SkyHours* yearSky = nullptr);

// Energy of the period for installed power density W (W/m²), when the engine gave a fraction. Raises 6 when
// a figure overflows.
std::optional<EnergyFigures> EnergyOf(const clsInputOutput& params, double powerDensity,
                                      std::optional<double> fraction);

} // namespace korvane::cli
