#include "CliRoom.h"

#include "CliFormat.h"
#include "InputFields.h"
#include "VbMath.h"
#include "clsGeoFile.h"
#include "daylight.h"
#include "modLangConstants.h"

#include <algorithm>

namespace korvane::cli {

namespace {

constexpr const char* kSite = "site";

// An option's text and the name a problem with it is blamed on: "--depth" on the command line (the first
// layer), the column "depth" in a batch row.
struct OptionText {
    std::string text;
    std::string label;
};

std::string Label(size_t layer, std::string_view name) {
    return (layer == 0 ? "--" : "") + std::string(name);
}

std::optional<OptionText> Lookup(const std::vector<const OptionTexts*>& layers, std::string_view name) {
    for (size_t layer = layers.size(); layer-- > 0;) {
        if (const auto it = layers[layer]->find(name); it != layers[layer]->end() && !it->second.empty())
            return OptionText{it->second, Label(layer, name)};
    }
    return std::nullopt;
}

OptionText TextOf(const std::vector<const OptionTexts*>& layers, std::string_view name,
                  const char* fallback) {
    return Lookup(layers, name).value_or(OptionText{fallback, Label(0, name)});
}

template <class T> T Whole(const OptionText& option) {
    const std::string& text = option.text;
    if (const auto value = ParseWhole<T>(text))
        return *value;
    const bool digits = !text.empty() && text.find_first_not_of("+-0123456789") == std::string::npos;
    if (digits && ParseReal(text))
        throw OptionError{ErrOverflow, option.label + ": '" + text + "' is out of range"};
    throw OptionError{ErrTypeMismatch, option.label + ": '" + text + "' is not a whole number"};
}

double Real(const OptionText& option) {
    if (const auto value = ParseReal(option.text))
        return *value;
    throw OptionError{ErrTypeMismatch, option.label + ": '" + option.text + "' is not a number"};
}

double RealWithin(const OptionText& option, double low, double high, const char* range) {
    const double value = Real(option);
    if (value < low || value > high)
        throw OptionError{ErrInvalidCall, option.label + ": '" + option.text + "' is outside " + range};
    return value;
}

// Refuses what the window's field could not hold or would refuse when left.
const OptionText& Held(inputs::FieldId field, const OptionText& option) {
    if (const auto problem = inputs::CheckField(field, option.text, ".")) {
        const int32_t number = problem->kind == inputs::ProblemKind::Length  ? ErrOverflow
                               : problem->kind == inputs::ProblemKind::Range ? ErrInvalidCall
                                                                             : ErrTypeMismatch;
        throw OptionError{number, option.label + ": " + problem->why};
    }
    return option;
}

Dimming::Control ControlOf(const OptionText& option) {
    if (option.text == "continuous")
        return Dimming::Control::Continuous;
    if (option.text == "continuous-off")
        return Dimming::Control::ContinuousOff;
    throw OptionError{ErrInvalidCall,
                      option.label + ": '" + option.text + "' is not continuous or continuous-off"};
}

// Longitude, latitude or GMT difference: from the most specific layer that names it or a site.
template <class T, class Parse, class FromSite>
T Coordinate(const std::vector<const OptionTexts*>& layers, SiteList& sites, std::string_view name,
             const char* fallback, Parse parse, FromSite fromSite) {
    for (size_t layer = layers.size(); layer-- > 0;) {
        const OptionTexts& texts = *layers[layer];
        if (const auto it = texts.find(name); it != texts.end() && !it->second.empty())
            return parse(OptionText{it->second, Label(layer, name)});
        if (const auto it = texts.find(kSite); it != texts.end() && !it->second.empty()) {
            try {
                return fromSite(sites.Find(it->second));
            } catch (OptionError& e) {
                e.why = Label(layer, e.why);
                throw;
            }
        }
    }
    return parse(OptionText{fallback, Label(0, name)});
}

} // namespace

const std::vector<RoomOption>& RoomOptions() {
    static const std::vector<RoomOption> options{
        {"window-type", "N", "1 facade windows, 2 flat roof with roof lights, 3 sawtooth roof", "1"},
        {"begin", "N", "first working hour", "8"},
        {"end", "N", "end of the working hours (that hour is not worked)", "17"},
        {"period", "N", "0 the whole year, 1..12 January..December (all: the year and each month)", "0"},
        {"depth", "X", "room depth, m", "4"},
        {"width", "X", "room width, m", "5"},
        {"illuminance", "N", "nominal illuminance, lx", "500"},
        {"longitude", "X", "degrees, east positive", "8.68"},
        {"latitude", "X", "degrees, north positive", "50.11"},
        {"gmt", "N", "hours the site's standard time is ahead of GMT", "1"},
        {"transmittance", "N", "light transmittance of the glazing, %", "80"},
        {"band", "N", "facade windows: window band share of the wall, % (30, 60, 90)", "60"},
        {"window-height", "X",
         "active window height (type 1, default 2) or glass height (type 3, default 1), m", nullptr},
        {"room-height", "X", "room height (types 2 and 3), m", "4"},
        {"window-area", "X", "area of one roof light (type 2), m2", "1"},
        {"window-distance", "X",
         "distance between roof lights (type 2, default 2) or sawtooth rows (type 3, default 5), m", nullptr},
        {"slope", "N", "sawtooth glazing slope, degrees (60, 90)", "90"},
        {"site", "TEXT",
         "longitude, latitude and GMT difference of the first site whose name contains this text, in any "
         "case, "
         "with or without accents, or another spelling (Munich)",
         ""},
        {"min-power-fraction", "P", "power drawn at the lowest dimming level, 0 to 0.6 of full power", "0"},
        {"min-light-fraction", "L", "light given at the lowest dimming level, 0 to 0.6 of full light", "0"},
        {"control", "MODE", "continuous, or continuous-off (off when daylight alone is enough)",
         "continuous"},
        {"power-density", "W", "installed lighting power, W/m2: adds the period's energy in kWh", ""},
        {"weather", "FILE.epw",
         "the sky of an EPW weather file instead of the standard overcast sky; the site is the file's", ""},
    };
    return options;
}

bool IsRoomOption(std::string_view name) {
    const auto& options = RoomOptions();
    return std::any_of(options.begin(), options.end(), [&](const RoomOption& o) { return name == o.name; });
}

const std::vector<GeoEntry>& SiteList::Sites() {
    if (!sites_) {
        std::vector<GeoEntry> sites(1); // entry 0 stands for the user-defined site, as in the window
        clsGeoFile reader;
        reader.OpenGeoFile(fileName_, sites);
        sites_ = std::move(sites);
    }
    return *sites_;
}

const sites::SiteFinder& SiteList::Finder() {
    std::call_once(indexed_, [&] {
        const auto& sites = Sites();
        aliases_ =
            aliasFile_.empty() ? std::vector<sites::SiteAlias>() : sites::ReadSiteAliasFile(aliasFile_);
        finder_.emplace(sites, aliases_);
    });
    return *finder_;
}

const std::vector<sites::SiteAlias>& SiteList::Aliases() {
    Finder();
    return aliases_;
}

const GeoEntry& SiteList::Find(std::string_view text) {
    const auto& finder = Finder();
    if (const auto found = finder.Find(text))
        return Sites()[*found];
    // A batch tends to repeat a misspelt site, and the closest names cost a look at every name.
    std::unique_lock lock(closestMutex_);
    auto known = closest_.find(text);
    if (known == closest_.end()) {
        lock.unlock();
        std::string names;
        for (const auto& name : finder.Closest(text))
            names += (names.empty() ? "; closest: " : ", ") + name;
        lock.lock();
        if (closest_.size() >= 1024)
            closest_.clear();
        known = closest_.try_emplace(std::string(text), std::move(names)).first;
    }
    const std::string closest = known->second;
    throw OptionError{ErrInvalidCall, "site: no site contains '" + std::string(text) + "'" + closest};
}

RoomSpec BuildRoom(const std::vector<const OptionTexts*>& layers, SiteList& sites) {
    using inputs::FieldId;
    const auto text = [&](std::string_view name, const char* fallback) {
        return TextOf(layers, name, fallback);
    };
    const auto field = [&](FieldId id, std::string_view name, const char* fallback) {
        return Held(id, text(name, fallback));
    };
    RoomSpec room;
    clsInputOutput& p = room.params;
    p.WindowType = Whole<int16_t>(text("window-type", "1"));
    const OptionText begin = field(FieldId::BeginHour, "begin", "8");
    const OptionText end = field(FieldId::EndHour, "end", "17");
    p.BeginHour = Whole<int16_t>(begin);
    p.EndHour = Whole<int16_t>(end);
    if (const auto message = inputs::CheckWorkingHours(p.BeginHour, p.EndHour))
        throw OptionError{ErrInvalidCall, begin.label + " '" + begin.text + "' and " + end.label + " '" +
                                              end.text + "': " + GetLangString(*message)};
    p.CalcPeriod = Whole<int16_t>(text("period", "0"));
    p.RoomDepth = Real(field(FieldId::RoomDepth, "depth", "4"));
    p.RoomWidth = Real(field(FieldId::RoomWidth, "width", "5"));
    p.NominalIlluminance = Whole<int32_t>(field(FieldId::NominalIlluminance, "illuminance", "500"));
    // Beyond the window's fields, which take any number here: no place on earth lies outside these.
    p.Longitude = Coordinate<double>(
        layers, sites, "longitude", "8.68",
        [](const OptionText& o) { return RealWithin(Held(FieldId::Longitude, o), -180, 180, "-180 to 180"); },
        [](const GeoEntry& site) { return site.Longitude; });
    p.Latitude = Coordinate<double>(
        layers, sites, "latitude", "50.11",
        [](const OptionText& o) { return RealWithin(Held(FieldId::Latitude, o), -90, 90, "-90 to 90"); },
        [](const GeoEntry& site) { return site.Latitude; });
    p.TimeDiffGMT = Coordinate<int16_t>(
        layers, sites, "gmt", "1",
        [](const OptionText& o) { return Whole<int16_t>(Held(FieldId::TimeDiffGMT, o)); },
        [](const GeoEntry& site) { return site.TimeDiffGMT; });
    p.Transmittance = Whole<int16_t>(field(FieldId::Transmittance, "transmittance", "80"));
    p.WindowArray = Whole<int16_t>(text("band", "60"));
    // The geometry options stand for the fields of the window type's own panel.
    const bool sawtooth = p.WindowType == 3;
    p.WindowHeight = Real(field(sawtooth ? FieldId::SawtoothGlassHeight : FieldId::WindowHeight,
                                "window-height", sawtooth ? "1" : "2"));
    p.RoomHeight =
        Real(field(sawtooth ? FieldId::SawtoothRoomHeight : FieldId::FlatRoofRoomHeight, "room-height", "4"));
    p.WindowArea = Real(field(FieldId::WindowArea, "window-area", "1"));
    p.WindowDistance = Real(field(sawtooth ? FieldId::SawtoothDistance : FieldId::WindowDistance,
                                  "window-distance", sawtooth ? "5" : "2"));
    p.WindowSlope = Whole<int16_t>(text("slope", "90"));
    p.DimmingLimits.minPowerFraction = RealWithin(text("min-power-fraction", "0"), 0.0, 0.6, "0 to 0.6");
    p.DimmingLimits.minLightFraction = RealWithin(text("min-light-fraction", "0"), 0.0, 0.6, "0 to 0.6");
    p.DimmingLimits.control = ControlOf(text("control", "continuous"));
    if (const auto weather = Lookup(layers, "weather"))
        room.weatherFile = weather->text;
    if (const auto density = Lookup(layers, "power-density"))
        room.powerDensity = RealWithin(*density, 0.0, 1e6, "0 to 1000000");
    return room;
}

std::optional<EnergyFigures> EnergyOf(const clsInputOutput& p, double powerDensity,
                                      std::optional<double> fraction) {
    if (!fraction)
        return std::nullopt;
    const int16_t days = p.CalcPeriod == 0 ? int16_t{365} : daylight::GetDaysOfMonth(p.CalcPeriod);
    EnergyFigures e{};
    // Checked, so that a huge room reports an overflow instead of printing inf and nan.
    e.floorArea = vb::Mul(p.RoomDepth, p.RoomWidth);
    e.workingHours = vb::Mul(static_cast<double>(p.EndHour - p.BeginHour), days);
    e.withoutControl = vb::Div(vb::Mul(vb::Mul(powerDensity, e.floorArea), e.workingHours), 1000.0);
    e.withControl = vb::Mul(e.withoutControl, vb::Sub(1.0, *fraction));
    e.saved = vb::Sub(e.withoutControl, e.withControl);
    return e;
}

namespace {

// The energy figures of a result for the period of p, when the room has a power density; an overflow is the
// result's error unless it has one.
void AddEnergy(RoomResult& result, const RoomSpec& room, const clsInputOutput& p) {
    if (!room.powerDensity)
        return;
    try {
        result.energy = EnergyOf(p, *room.powerDensity, result.fraction);
    } catch (const VbError& e) {
        if (!result.error)
            result.error = e;
    }
}

} // namespace

RoomResult Calculate(const RoomSpec& room, const JahrEnergie::SkyHours* sky) {
    clsInputOutput p = room.params;
    RoomResult result;
    try {
        if (sky)
            p.CalculateEnergySaving(*sky);
        else
            p.CalculateEnergySaving();
    } catch (const VbError& e) {
        result.error = e;
    }
    result.percent = p.StoredPercent();
    result.fraction = p.SavedFraction();
    result.autonomy = p.Autonomy();
    AddEnergy(result, room, p);
    return result;
}

std::array<RoomResult, kPeriodCount> CalculatePeriods(const RoomSpec& room,
                                                      const JahrEnergie::SkyHours* yearSky) {
    const auto outcomes =
        yearSky ? CalculateAllPeriods(room.params, *yearSky) : CalculateAllPeriods(room.params);
    std::array<RoomResult, kPeriodCount> results;
    for (size_t i = 0; i < results.size(); ++i) {
        results[i] = {outcomes[i].percent, outcomes[i].fraction, outcomes[i].error,
                      std::nullopt,        outcomes[i].autonomy, nullptr};
        clsInputOutput p = room.params;
        p.CalcPeriod = static_cast<int16_t>(i);
        AddEnergy(results[i], room, p);
    }
    return results;
}

} // namespace korvane::cli
