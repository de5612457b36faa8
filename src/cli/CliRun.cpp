#include "CliRun.h"

#include "CliBatch.h"
#include "CliFormat.h"
#include "CliReport.h"
#include "CliRoom.h"
#include "modLangConstants.h"

#include <CLI/CLI.hpp>

#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <string>

namespace korvane::cli {

namespace {

constexpr int16_t kFirstPeriodName = 161; // "Whole year", then January .. December

struct UsageError {
    std::string why;
};

struct Settings {
    std::map<std::string, std::string> optionStorage; // filled by the parser
    std::string language = "2";
    std::string geo;
    std::string batch;
    bool listSites = false;
    bool json = false;
};

void AddOptions(CLI::App& app, Settings& s) {
    for (const auto& option : RoomOptions()) {
        std::string& storage = s.optionStorage[option.name];
        auto* added =
            app.add_option(std::string("--") + option.name, storage, option.help)->type_name(option.typeName);
        if (option.defaultText && *option.defaultText)
            added->default_str(option.defaultText);
    }
    app.add_option("--language", s.language, "language of the texts: 1 de, 2 en, 3 fr, 4 it, 5 nl, 6 es")
        ->type_name("N")
        ->capture_default_str();
    app.add_option("--geo", s.geo, "site file (default: DEFAULT.GEO beside the program)")->type_name("FILE");
    app.add_flag(
        "--list-sites", s.listSites,
        "list the sites of the site file (with --json as a JSON array, with --site only that one) and exit");
    app.add_option(
           "--batch", s.batch,
           "one room per CSV row; columns named like the options without dashes, others passed through")
        ->type_name("FILE.csv");
    app.add_flag("--json", s.json, "print JSON (one object, or one line per batch row)");
}

// With --site, only the site it finds is listed: its index, else 0 for all.
size_t SiteToList(const OptionTexts& given, SiteList& sites) {
    if (const auto site = given.find("site"); site != given.end() && !site->second.empty())
        return static_cast<size_t>(&sites.Find(site->second) - sites.Sites().data());
    return 0;
}

// The sites as a JSON array of objects, each with its other spellings.
void ListSitesJson(SiteList& sites, size_t only, std::ostream& out) {
    const auto& all = sites.Sites();
    out << "[";
    for (size_t i = 1; i < all.size(); ++i) {
        const GeoEntry& site = all[i];
        if (only && i != only)
            continue;
        std::string aliases;
        for (const auto& alias : sites.Aliases()) {
            if (alias.siteName == site.Name)
                aliases += (aliases.empty() ? "" : ", ") + JsonString(alias.spelling);
        }
        out << (only || i == 1 ? "" : ",") << "\n  {\"index\": " << i
            << ", \"name\": " << JsonString(site.Name)
            << ", \"longitude\": " << FormatShortest(site.Longitude)
            << ", \"latitude\": " << FormatShortest(site.Latitude) << ", \"gmt\": " << site.TimeDiffGMT
            << ", \"aliases\": [" << aliases << "]}";
    }
    out << "\n]\n";
}

// The options given on the command line, by name without the dashes.
OptionTexts GivenOptions(const CLI::App& app, const Settings& s) {
    OptionTexts given;
    for (const auto& [name, text] : s.optionStorage) {
        if (app.count("--" + name) > 0)
            given[name] = text;
    }
    return given;
}

int SingleRoom(const OptionTexts& given, SiteList& sites, bool json, std::ostream& out, std::ostream& err) {
    const RoomResult r = Calculate(BuildRoom({&given}, sites));
    if (json) {
        out << "{" << JsonResultMembers(r) << "}\n";
    } else {
        if (r.percent)
            out << *r.percent << "%\n";
        if (r.energy)
            WriteEnergyText(*r.energy, out);
    }
    if (r.error) {
        err << ErrorLine(*r.error) << "\n";
        return kExitEngineError;
    }
    return kExitOk;
}

int AllPeriods(OptionTexts given, SiteList& sites, bool json, std::ostream& out, std::ostream& err) {
    given["period"] = "0"; // every period comes from the one pass
    const auto results = CalculatePeriods(BuildRoom({&given}, sites));
    std::vector<PeriodRow> rows;
    bool failed = false;
    for (int16_t period = 0; period < kPeriodCount; ++period) {
        const RoomResult& r = results[static_cast<size_t>(period)];
        failed = failed || r.error.has_value();
        rows.push_back({period, GetLangString(static_cast<int16_t>(kFirstPeriodName + period)), r});
    }
    if (json)
        WritePeriodJson(rows, out);
    else
        WritePeriodTable(rows, out);
    if (failed)
        err << "error: some periods could not be calculated\n";
    return failed ? kExitEngineError : kExitOk;
}

void ListSites(const std::vector<GeoEntry>& sites, std::ostream& out, size_t only = 0) {
    for (size_t i = 1; i < sites.size(); ++i) {
        if (only && i != only)
            continue;
        out << i << '\t' << sites[i].Name << '\t' << FormatShortest(sites[i].Longitude) << '\t'
            << FormatShortest(sites[i].Latitude) << '\t' << sites[i].TimeDiffGMT << '\n';
    }
}

} // namespace

int RunCli(const std::vector<std::string>& args, const CliContext& context, std::ostream& out,
           std::ostream& err) {
    CLI::App app{"Estimates the lighting energy that a daylight-dependent control saves in one room.",
                 "korvane-energy-cli"};
    Settings s;
    AddOptions(app, s);
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

    // The other spellings belong to the default list; another site file has names of its own.
    SiteList sites(s.geo.empty() ? (context.programDir / "DEFAULT.GEO").string() : s.geo,
                   s.geo.empty() ? (context.programDir / "SITE_ALIASES.txt").string() : "");
    try {
        const auto language = ParseWhole<int16_t>(s.language);
        if (!language || *language < 1 || *language > 6)
            throw UsageError{"--language: '" + s.language + "' is not a language from 1 to 6"};
        gLanguage = *language; // before any worker thread starts: they only read it

        const OptionTexts given = GivenOptions(app, s);
        const bool allPeriods = given.count("period") && given.at("period") == "all";
        if (s.listSites) {
            const size_t only = SiteToList(given, sites);
            if (s.json)
                ListSitesJson(sites, only, out);
            else
                ListSites(sites.Sites(), out, only);
            return kExitOk;
        }
        if (!s.batch.empty()) {
            if (allPeriods)
                throw UsageError{"--period all cannot be combined with --batch"};
            std::ifstream file(s.batch, std::ios::binary);
            // A folder opens like a file and then reads as nothing.
            if (!file || std::filesystem::is_directory(s.batch))
                throw UsageError{"--batch: cannot read '" + s.batch + "'"};
            BatchSettings batch{&given, &sites, s.json, context.stderrIsTerminal};
            std::string why;
            BatchCounts counts;
            if (!RunBatch(file, batch, out, err, why, counts))
                throw UsageError{"--batch: " + why};
            if (counts.failed == 0)
                return kExitOk;
            err << "error: " << counts.failed << " of " << counts.rows << " rooms could not be calculated\n";
            return kExitEngineError;
        }
        if (allPeriods)
            return AllPeriods(given, sites, s.json, out, err);
        return SingleRoom(given, sites, s.json, out, err);
    } catch (const UsageError& e) {
        err << "korvane-energy-cli: " << e.why << "\n" << app.help();
        return kExitUsage;
    } catch (const OptionError& e) {
        err << "korvane-energy-cli: --" << e.why << "\n" << app.help();
        return kExitUsage;
    } catch (const VbError& e) { // the site file could not be read
        err << ErrorLine(e) << "\n";
        return kExitEngineError;
    }
}

} // namespace korvane::cli
