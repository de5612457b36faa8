#include "CliRoom.h"

#include "CliFormat.h"
#include "InputFields.h"
#include "VbConvert.h"
#include "VbMath.h"
#include "clsGeoFile.h"
#include "daylight.h"
#include "modLangConstants.h"

#include <algorithm>

namespace korvane::cli {

namespace {

using inputs::FieldId;

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

Dimming::Control ControlOf(const OptionText& option) {
    if (option.text == "continuous")
        return Dimming::Control::Continuous;
    if (option.text == "continuous-off")
        return Dimming::Control::ContinuousOff;
    throw OptionError{ErrInvalidCall,
                      option.label + ": '" + option.text + "' is not continuous or continuous-off"};
}

// A room's texts with the name each field's text is blamed on; an empty name is the calculator's default.
struct Sourced {
    inputs::RoomTexts room;
    std::array<std::string, inputs::kFieldSlots> origin{};
    std::array<bool, inputs::kFieldSlots> fromFile{};
};

const char* DefaultText(std::string_view name) {
    for (const RoomOption& option : RoomOptions()) {
        if (name == option.name)
            return option.defaultText;
    }
    return "";
}

// The window's start, with a site's coordinates typed in: the calculator names no site unless asked.
Sourced Start(const std::vector<RoomLayer>& layers) {
    if (const RoomFileTexts* file = StartFile(layers)) {
        Sourced start{file->texts, {}};
        start.origin.fill(file->label);
        start.fromFile.fill(true);
        return start;
    }
    Sourced start{inputs::StartRoom(), {}};
    for (const auto id : {FieldId::Longitude, FieldId::Latitude, FieldId::TimeDiffGMT})
        start.room.Field(id) = DefaultText(inputs::RuleOf(id).option);
    return start;
}

// A named site the list holds becomes its coordinates typed in, so that an option can replace one of them.
void TypeInSite(inputs::RoomTexts& room, SiteList& sites) {
    if (!room.siteName)
        return;
    const auto& all = sites.Sites();
    for (size_t i = 1; i < all.size(); ++i) {
        if (all[i].Name == *room.siteName) {
            room.Field(FieldId::Longitude) = CStr(all[i].Longitude, room.separator);
            room.Field(FieldId::Latitude) = CStr(all[i].Latitude, room.separator);
            room.Field(FieldId::TimeDiffGMT) = std::to_string(all[i].TimeDiffGMT);
            break;
        }
    }
    room.siteName.reset();
}

void ApplyChoices(Sourced& s, const std::vector<RoomLayer>& layers) {
    for (size_t layer = 0; layer < layers.size(); ++layer) {
        for (const inputs::ChoiceRule& rule : inputs::ChoiceRules()) {
            const auto it = rule.option ? layers[layer].options->find(rule.option) : layers[layer].options->end();
            if (it == layers[layer].options->end() || it->second.empty())
                continue;
            const auto choice = inputs::ChoiceOf(rule.id, it->second);
            if (!choice)
                throw OptionError{ErrInvalidCall, Label(layer, rule.option) + ": '" + it->second +
                                                      "' is not one of " + inputs::AllowedText(rule.id)};
            s.room.Choice(rule.id) = *choice;
        }
    }
}

void ApplyFields(Sourced& s, size_t layer, const OptionTexts& options, SiteList& sites) {
    if (const auto it = options.find(kSite); it != options.end() && !it->second.empty()) {
        try {
            s.room.siteName = sites.Find(it->second).Name;
        } catch (OptionError& e) {
            e.why = Label(layer, e.why);
            throw;
        }
        TypeInSite(s.room, sites);
        for (const auto id : {FieldId::Longitude, FieldId::Latitude, FieldId::TimeDiffGMT})
            s.origin[static_cast<size_t>(id)] = Label(layer, kSite), s.fromFile[static_cast<size_t>(id)] = false;
    }
    const int windowType = s.room.Choice(inputs::ChoiceId::WindowType);
    for (const auto& [name, text] : options) {
        const inputs::FieldRule* rule = inputs::FieldOfOption(name, windowType);
        if (rule == nullptr || text.empty())
            continue;
        if (rule->id == FieldId::Longitude || rule->id == FieldId::Latitude || rule->id == FieldId::TimeDiffGMT)
            TypeInSite(s.room, sites);
        if (rule->id == FieldId::Transmittance)
            s.room.Choice(inputs::ChoiceId::Glazing) = 0;
        s.room.Field(rule->id) = text;
        s.origin[static_cast<size_t>(rule->id)] = Label(layer, name);
        s.fromFile[static_cast<size_t>(rule->id)] = false;
    }
}

// What the conversion refused, blamed on what gave the text: an option in English as the calculator words
// it, a room file in the language chosen.
OptionError Refused(const inputs::InputRefusal& e, const Sourced& s) {
    const auto origin = [&](FieldId id) {
        const std::string& given = s.origin[static_cast<size_t>(id)];
        return given.empty() ? std::string(inputs::RuleOf(id).option) + " (default)" : given;
    };
    const std::string& text = s.room.Field(e.Field());
    if (e.Message() == inputs::kMsgHoursOutOfOrder) {
        const auto hour = [&](FieldId id) {
            const bool file = s.fromFile[static_cast<size_t>(id)];
            return (file ? inputs::FieldLabel(id) : origin(id)) + " '" + s.room.Field(id) + "'";
        };
        const bool file = s.fromFile[static_cast<size_t>(FieldId::BeginHour)] ||
                          s.fromFile[static_cast<size_t>(FieldId::EndHour)];
        const std::string& label = s.origin[static_cast<size_t>(s.fromFile[0] ? 0 : 1)];
        return {ErrInvalidCall, (file ? label + ": " : std::string()) + hour(FieldId::BeginHour) + " and " +
                                    hour(FieldId::EndHour) + ": " + e.Description()};
    }
    const std::string& from = origin(e.Field());
    if (s.fromFile[static_cast<size_t>(e.Field())])
        return {e.Number(), from + ": " + e.Description()};
    const auto problem = inputs::CheckField(e.Field(), text, s.room.separator);
    return {e.Number(), from + ": " + (problem ? problem->why : e.Description())};
}

} // namespace

const RoomFileTexts* StartFile(const std::vector<RoomLayer>& layers) {
    for (size_t layer = layers.size(); layer-- > 0;) {
        if (layers[layer].file)
            return layers[layer].file;
    }
    return nullptr;
}

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
        if (bytes_)
            reader.ReadGeoData(*bytes_, sites, fileName_);
        else
            reader.OpenGeoFile(fileName_, sites);
        sites_ = std::move(sites);
    }
    return *sites_;
}

const sites::SiteFinder& SiteList::Finder() {
    std::call_once(indexed_, [&] {
        const auto& sites = Sites();
        if (aliasBytes_)
            aliases_ = sites::ReadSiteAliases(*aliasBytes_, aliasFile_);
        else if (!aliasFile_.empty())
            aliases_ = sites::ReadSiteAliasFile(aliasFile_);
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
    // A batch tends to repeat a misspelt site, and the closest names cost a look at every name. Kept by the
    // text's beginning, all they depend on, so that many long distinct names take little memory.
    const std::string_view key = sites::ClosestKey(text);
    std::unique_lock lock(closestMutex_);
    auto known = closest_.find(key);
    if (known == closest_.end()) {
        lock.unlock();
        std::string names;
        for (const auto& name : finder.Closest(key))
            names += (names.empty() ? "; closest: " : ", ") + name;
        lock.lock();
        if (closest_.size() >= 1024 || closestBytes_ >= (8 << 20)) { // names of a site file may be long
            closest_.clear();
            closestBytes_ = 0;
        }
        closestBytes_ += key.size() + names.size();
        known = closest_.try_emplace(std::string(key), std::move(names)).first;
    }
    const std::string closest = known->second;
    throw OptionError{ErrInvalidCall, "site: no site contains '" + std::string(text) + "'" + closest};
}

RoomSpec BuildRoom(const std::vector<RoomLayer>& layers, SiteList& sites) {
    Sourced s = Start(layers);
    ApplyChoices(s, layers);
    for (size_t layer = 0; layer < layers.size(); ++layer)
        ApplyFields(s, layer, *layers[layer].options, sites);
    RoomSpec room;
    clsInputOutput& p = room.params;
    try {
        const std::vector<GeoEntry> none;
        p = inputs::ToCalculation(s.room, s.room.siteName ? std::span(sites.Sites()) : std::span(none));
    } catch (const inputs::InputRefusal& e) {
        throw Refused(e, s);
    } catch (const VbError& e) {
        throw OptionError{e.Number(), e.Description()};
    }
    std::vector<const OptionTexts*> options;
    for (const RoomLayer& layer : layers)
        options.push_back(layer.options);
    const auto text = [&](std::string_view name, const char* fallback) {
        return TextOf(options, name, fallback);
    };
    p.DimmingLimits.minPowerFraction = RealWithin(text("min-power-fraction", "0"), 0.0, 0.6, "0 to 0.6");
    p.DimmingLimits.minLightFraction = RealWithin(text("min-light-fraction", "0"), 0.0, 0.6, "0 to 0.6");
    p.DimmingLimits.control = ControlOf(text("control", "continuous"));
    if (const auto weather = Lookup(options, "weather"))
        room.weatherFile = weather->text;
    else if (const RoomFileTexts* file = StartFile(layers))
        room.weatherFile = file->weatherFile;
    if (const auto density = Lookup(options, "power-density"))
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
