#include "CliRun.h"

#include "CliFormat.h"
#include "GeoEntry.h"
#include "VbError.h"
#include "clsGeoFile.h"
#include "clsInputOutput.h"
#include "modLangConstants.h"

#include <CLI/CLI.hpp>

#include <optional>
#include <ostream>
#include <string>

namespace korvane::cli {

namespace {

// A usage error: the message is the one line that says why.
struct UsageError {
    std::string why;
};

// Every option is taken as text and converted here, so that numbers never depend on the user's locale.
struct OptionTexts {
    std::string windowType = "1";
    std::string begin = "8";
    std::string end = "17";
    std::string period = "0";
    std::string depth = "4";
    std::string width = "5";
    std::string illuminance = "500";
    std::string longitude = "8.68";
    std::string latitude = "50.11";
    std::string gmt = "1";
    std::string transmittance = "80";
    std::string band = "60";
    std::string windowHeight; // 2 for side windows, 1 for a sawtooth roof
    std::string roomHeight = "4";
    std::string windowArea = "1";
    std::string windowDistance; // 2 for a flat roof, 5 for a sawtooth roof
    std::string slope = "90";
    std::string language = "2";
    std::string geo;
    std::string site;
    bool listSites = false;
    bool json = false;
};

template <class T> T Whole(const char* option, const std::string& text) {
    if (const auto value = ParseWhole<T>(text))
        return *value;
    throw UsageError{std::string(option) + ": '" + text + "' is not a whole number in range"};
}

double Real(const char* option, const std::string& text) {
    if (const auto value = ParseReal(text))
        return *value;
    throw UsageError{std::string(option) + ": '" + text + "' is not a number"};
}

void AddOptions(CLI::App& app, OptionTexts& o) {
    // Options are read as text; the type names tell the user what each one takes.
    const auto whole = [&](const char* name, std::string& text, const char* help) {
        return app.add_option(name, text, help)->type_name("N");
    };
    const auto real = [&](const char* name, std::string& text, const char* help) {
        return app.add_option(name, text, help)->type_name("X");
    };
    whole("--window-type", o.windowType, "1 facade windows, 2 flat roof with roof lights, 3 sawtooth roof")
        ->capture_default_str();
    whole("--begin", o.begin, "first working hour")->capture_default_str();
    whole("--end", o.end, "end of the working hours (that hour is not worked)")->capture_default_str();
    whole("--period", o.period, "0 the whole year, 1..12 January..December")->capture_default_str();
    real("--depth", o.depth, "room depth, m")->capture_default_str();
    real("--width", o.width, "room width, m")->capture_default_str();
    whole("--illuminance", o.illuminance, "nominal illuminance, lx")->capture_default_str();
    real("--longitude", o.longitude, "degrees, east positive")->capture_default_str();
    real("--latitude", o.latitude, "degrees, north positive")->capture_default_str();
    whole("--gmt", o.gmt, "hours the site's standard time is ahead of GMT")->capture_default_str();
    whole("--transmittance", o.transmittance, "light transmittance of the glazing, %")->capture_default_str();
    whole("--band", o.band, "facade windows: window band share of the wall, % (30, 60, 90)")
        ->capture_default_str();
    real("--window-height", o.windowHeight,
         "active window height (type 1, default 2) or glass height (type 3, default 1), m");
    real("--room-height", o.roomHeight, "room height (types 2 and 3), m")->capture_default_str();
    real("--window-area", o.windowArea, "area of one roof light (type 2), m2")->capture_default_str();
    app.add_option(
        "--window-distance", o.windowDistance,
        "distance between roof lights (type 2, default 2) or sawtooth rows (type 3, default 5), m");
    whole("--slope", o.slope, "sawtooth glazing slope, degrees (60, 90)")->capture_default_str();
    whole("--language", o.language, "language of the texts: 1 de, 2 en, 3 fr, 4 it, 5 nl, 6 es")
        ->capture_default_str();
    app.add_option("--geo", o.geo, "site file (default: DEFAULT.GEO beside the program)")->type_name("FILE");
    app.add_option("--site", o.site,
                   "take longitude, latitude and GMT difference from the first site whose name "
                   "contains this text (any case)")
        ->type_name("TEXT");
    app.add_flag("--list-sites", o.listSites, "list the sites of the site file and exit");
    app.add_flag("--json", o.json, "print one JSON object");
}

// Lower case for ASCII and the Latin-1 capitals, enough to match European site names in any case.
std::string Folded(std::string_view text) {
    std::string out(text);
    for (size_t i = 0; i < out.size(); ++i) {
        auto& c = out[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        } else if (static_cast<unsigned char>(c) == 0xC3 && i + 1 < out.size()) {
            auto next = static_cast<unsigned char>(out[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97) // À..Þ without ×
                out[i + 1] = static_cast<char>(next + 0x20);
            ++i;
        }
    }
    return out;
}

std::vector<GeoEntry> ReadSites(const OptionTexts& o, const CliContext& context) {
    const std::string file = o.geo.empty() ? (context.programDir / "DEFAULT.GEO").string() : o.geo;
    std::vector<GeoEntry> sites(1); // entry 0 stands for the user-defined site, as in the window
    clsGeoFile reader;
    reader.OpenGeoFile(file, sites);
    return sites;
}

void ListSites(const std::vector<GeoEntry>& sites, std::ostream& out) {
    for (size_t i = 1; i < sites.size(); ++i) {
        out << i << '\t' << sites[i].Name << '\t' << FormatShortest(sites[i].Longitude) << '\t'
            << FormatShortest(sites[i].Latitude) << '\t' << sites[i].TimeDiffGMT << '\n';
    }
}

const GeoEntry& FindSite(const std::vector<GeoEntry>& sites, const std::string& text) {
    const std::string wanted = Folded(text);
    for (size_t i = 1; i < sites.size(); ++i) {
        if (Folded(sites[i].Name).find(wanted) != std::string::npos)
            return sites[i];
    }
    throw UsageError{"--site: no site contains '" + text + "'"};
}

clsInputOutput ParameterSet(const OptionTexts& o, const CLI::App& app, const std::optional<GeoEntry>& site) {
    clsInputOutput p;
    p.WindowType = Whole<int16_t>("--window-type", o.windowType);
    p.BeginHour = Whole<int16_t>("--begin", o.begin);
    p.EndHour = Whole<int16_t>("--end", o.end);
    p.CalcPeriod = Whole<int16_t>("--period", o.period);
    p.RoomDepth = Real("--depth", o.depth);
    p.RoomWidth = Real("--width", o.width);
    p.NominalIlluminance = Whole<int32_t>("--illuminance", o.illuminance);
    p.Longitude = Real("--longitude", o.longitude);
    p.Latitude = Real("--latitude", o.latitude);
    p.TimeDiffGMT = Whole<int16_t>("--gmt", o.gmt);
    if (site) { // an explicit coordinate wins over the site's
        if (app.count("--longitude") == 0)
            p.Longitude = site->Longitude;
        if (app.count("--latitude") == 0)
            p.Latitude = site->Latitude;
        if (app.count("--gmt") == 0)
            p.TimeDiffGMT = site->TimeDiffGMT;
    }
    p.Transmittance = Whole<int16_t>("--transmittance", o.transmittance);
    p.WindowArray = Whole<int16_t>("--band", o.band);
    const bool sawtooth = p.WindowType == 3;
    p.WindowHeight =
        Real("--window-height", o.windowHeight.empty() ? (sawtooth ? "1" : "2") : o.windowHeight);
    p.RoomHeight = Real("--room-height", o.roomHeight);
    p.WindowArea = Real("--window-area", o.windowArea);
    p.WindowDistance =
        Real("--window-distance", o.windowDistance.empty() ? (sawtooth ? "5" : "2") : o.windowDistance);
    p.WindowSlope = Whole<int16_t>("--slope", o.slope);
    return p;
}

std::string JsonError(const VbError& e) {
    return "{\"number\": " + std::to_string(e.Number()) + ", \"source\": " + JsonString(e.Source()) +
           ", \"description\": " + JsonString(e.Description()) + "}";
}

int Calculate(clsInputOutput& p, bool json, std::ostream& out, std::ostream& err) {
    std::optional<VbError> error;
    try {
        p.CalculateEnergySaving();
    } catch (const VbError& e) {
        error = e;
    }
    const auto percent = p.StoredPercent();
    const auto fraction = p.SavedFraction();
    if (json) {
        out << "{\"percent\": " << (percent ? std::to_string(*percent) : "null")
            << ", \"fraction\": " << (fraction ? FormatJsonFraction(*fraction) : "null")
            << ", \"error\": " << (error ? JsonError(*error) : "null") << "}\n";
    } else if (percent) {
        out << *percent << "%\n";
    }
    if (error) {
        err << "error " << error->Number() << ": " << error->Description() << " (" << error->Source()
            << ")\n";
        return kExitEngineError;
    }
    return kExitOk;
}

} // namespace

int RunCli(const std::vector<std::string>& args, const CliContext& context, std::ostream& out,
           std::ostream& err) {
    CLI::App app{"Estimates the lighting energy that a daylight-dependent control saves in one room.",
                 "korvane-energy-cli"};
    OptionTexts o;
    AddOptions(app, o);
    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend()); // CLI11 takes them last first
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        err << "korvane-energy-cli: " << e.what() << "\n" << app.help();
        return kExitUsage;
    }

    try {
        const auto language = Whole<int16_t>("--language", o.language);
        if (language < 1 || language > 6)
            throw UsageError{"--language: '" + o.language + "' is not a language from 1 to 6"};
        gLanguage = language;

        std::optional<GeoEntry> site;
        if (o.listSites || !o.site.empty()) {
            std::vector<GeoEntry> sites;
            try {
                sites = ReadSites(o, context);
            } catch (const VbError& e) {
                err << "error " << e.Number() << ": " << e.Description() << " (" << e.Source() << ")\n";
                return kExitEngineError;
            }
            if (o.listSites) {
                ListSites(sites, out);
                return kExitOk;
            }
            site = FindSite(sites, o.site);
        }
        clsInputOutput p = ParameterSet(o, app, site);
        return Calculate(p, o.json, out, err);
    } catch (const UsageError& e) {
        err << "korvane-energy-cli: " << e.why << "\n" << app.help();
        return kExitUsage;
    }
}

} // namespace korvane::cli
