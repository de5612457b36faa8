#include "CliRun.h"

#include "CliBatch.h"
#include "CliFormat.h"
#include "CliReport.h"
#include "CliRoom.h"
#include "DataFiles.h"
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
    app.add_option("--geo", s.geo, "site file (default: the program's DEFAULT.GEO)")->type_name("FILE");
    app.add_flag("--list-sites", s.listSites, "list the sites of the site file and exit");
    app.add_option(
           "--batch", s.batch,
           "one room per CSV row; columns named like the options without dashes, others passed through")
        ->type_name("FILE.csv");
    app.add_flag("--json", s.json, "print JSON (one object, or one line per batch row)");
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
    std::vector<PeriodRow> rows;
    bool failed = false;
    for (int16_t period = 0; period <= 12; ++period) {
        given["period"] = std::to_string(period);
        const RoomResult r = Calculate(BuildRoom({&given}, sites));
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

void ListSites(const std::vector<GeoEntry>& sites, std::ostream& out) {
    for (size_t i = 1; i < sites.size(); ++i) {
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
    app.set_version_flag("--version", "korvane-energy-cli " KORVANE_VERSION, "print the version and exit");
    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend()); // CLI11 takes them last first
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitOk;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << "\n";
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        err << "korvane-energy-cli: " << e.what() << "\n" << app.help();
        return kExitUsage;
    }

    SiteList sites(s.geo.empty() ? FindDataFile(context.programDir, "DEFAULT.GEO").string() : s.geo);
    try {
        const auto language = ParseWhole<int16_t>(s.language);
        if (!language || *language < 1 || *language > 6)
            throw UsageError{"--language: '" + s.language + "' is not a language from 1 to 6"};
        gLanguage = *language; // before any worker thread starts: they only read it

        const OptionTexts given = GivenOptions(app, s);
        const bool allPeriods = given.count("period") && given.at("period") == "all";
        if (s.listSites) {
            ListSites(sites.Sites(), out);
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
