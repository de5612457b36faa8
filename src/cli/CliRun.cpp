#include "CliRun.h"

#include "CliBatch.h"
#include "CliFiles.h"
#include "CliFormat.h"
#include "CliReport.h"
#include "CliRoom.h"
#include "CliRoomFile.h"
#include "CsvReader.h"
#include "DataFiles.h"
#include "ResultSchema.h"
#include "modLangConstants.h"

#include <CLI/CLI.hpp>
#if __has_include(<ext/stdio_filebuf.h>)
#include <ext/stdio_filebuf.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <ostream>
#include <string>

namespace korvane::cli {

namespace {

struct UsageError {
    std::string why;
};

struct Settings {
    std::map<std::string, std::string> optionStorage; // filled by the parser
    std::string language = "2";
    std::string geo;
    std::string batch;
    std::string room;
    bool listSites = false;
    bool json = false;
    std::string xlsx, svg;                                // result files
    std::string delimiter, outputDelimiter, decimalPoint; // of a batch
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
    app.add_flag(
        "--list-sites", s.listSites,
        "list the sites of the site file (with --json as a JSON array, with --site only that one) and exit");
    app.add_option(
           "--batch", s.batch,
           "one room per CSV row (- standard input); columns named like the options without dashes, others "
           "passed through")
        ->type_name("FILE.csv");
    app.add_option("--room", s.room, "a room file saved by the window; options given as well win over it")
        ->type_name("FILE.kvroom");
    app.add_option("--delimiter", s.delimiter, "batch columns separated by , or ; or tab (default: found)")
        ->type_name("D");
    app.add_option("--output-delimiter", s.outputDelimiter,
                   "batch output: , or ; or tab (default: the input's)")
        ->type_name("D");
    app.add_option("--decimal-point", s.decimalPoint, "batch output: . or , (default: the input's)")
        ->type_name("C");
    app.add_flag("--json", s.json, "print JSON (one object, or one line per batch row)");
    app.add_option("--xlsx", s.xlsx, "also write the table of --period all or --batch as an Excel workbook")
        ->type_name("FILE");
    app.add_option("--svg", s.svg, "also write the year and the months of the room as an SVG bar chart")
        ->type_name("FILE");
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
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (size_t i = 1; i < all.size(); ++i) {
        const GeoEntry& site = all[i];
        if (only && i != only)
            continue;
        nlohmann::ordered_json aliases = nlohmann::ordered_json::array();
        for (const auto& alias : sites.Aliases()) {
            if (alias.siteName == site.Name)
                aliases.push_back(alias.spelling);
        }
        list.push_back({{"index", i},
                        {"name", site.Name},
                        {"longitude", site.Longitude},
                        {"latitude", site.Latitude},
                        {"gmt", site.TimeDiffGMT},
                        {"aliases", std::move(aliases)}});
    }
    out << JsonText(list, true) << "\n";
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
        out << JsonText(ResultJson(r)) << "\n";
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

std::vector<PeriodRow> PeriodRows(OptionTexts given, SiteList& sites) {
    given["period"] = "0"; // every period comes from the one pass
    const auto results = CalculatePeriods(BuildRoom({&given}, sites));
    std::vector<PeriodRow> rows;
    for (int16_t period = 0; period < kPeriodCount; ++period) {
        const RoomResult& r = results[static_cast<size_t>(period)];
        rows.push_back({period, PeriodName(period), r});
    }
    return rows;
}

int AllPeriods(const std::vector<PeriodRow>& rows, bool json, std::ostream& out, std::ostream& err) {
    const bool failed = std::any_of(rows.begin(), rows.end(), [](const auto& r) { return r.result.error; });
    if (json)
        WritePeriodJson(rows, out);
    else
        WritePeriodTable(rows, out);
    if (failed)
        err << "error: some periods could not be calculated\n";
    return failed ? kExitEngineError : kExitOk;
}

// A batch's delimiter or decimal mark as given: empty when not given, a usage error when not one of
// `allowed`.
std::optional<char> BatchCharacter(const char* option, const std::string& text, std::string_view allowed) {
    const std::string given = text == "tab" ? "\t" : text;
    if (given.empty())
        return std::nullopt;
    if (given.size() != 1 || allowed.find(given[0]) == std::string_view::npos)
        throw UsageError{std::string(option) + ": '" + text + "' is not one of " +
                         (allowed.size() == 3 ? ", ; tab" : ". ,")};
    return given[0];
}

void ListSites(const std::vector<GeoEntry>& sites, std::ostream& out, size_t only = 0) {
    for (size_t i = 1; i < sites.size(); ++i) {
        if (only && i != only)
            continue;
        // Control characters shown as U+FFFD: a TAB would split the row, an ESC or a C1 code drive the
        // terminal.
        out << i << '\t' << WithoutControls(sites[i].Name, false) << '\t'
            << FormatShortest(sites[i].Longitude) << '\t' << FormatShortest(sites[i].Latitude) << '\t'
            << sites[i].TimeDiffGMT << '\n';
    }
}

// What one run asks for, once its options are read.
struct Request {
    const Settings& s;
    OptionTexts explicitOptions; // what the command line names itself
    OptionTexts given;           // the same with the room file's inputs
    bool allPeriods = false;
    bool xlsx = false, svg = false;
};

// Options that do not go together, in the order they are checked, each with what the user is told.
struct Conflict {
    bool (*applies)(const Request&);
    const char* why;
};
constexpr Conflict kConflicts[] = {
    {[](const Request& r) { return (r.xlsx && r.s.xlsx.empty()) || (r.svg && r.s.svg.empty()); },
     "--xlsx and --svg need a file name"},
    {[](const Request& r) { return (r.xlsx || r.svg) && r.s.listSites; },
     "--xlsx and --svg cannot be combined with --list-sites"},
    {[](const Request& r) { return r.svg && !r.s.batch.empty(); },
     "--svg draws one room: it cannot be combined with --batch"},
    {[](const Request& r) { return r.xlsx && r.s.batch.empty() && !r.allPeriods; },
     "--xlsx needs --period all or --batch"},
    {[](const Request& r) {
         return !r.s.listSites && r.s.batch.empty() &&
                !(r.s.delimiter + r.s.outputDelimiter + r.s.decimalPoint).empty();
     },
     "--delimiter, --output-delimiter and --decimal-point are for --batch"},
};

int SiteListMode(const Request& r, SiteList& sites, std::ostream& out) {
    const size_t only = SiteToList(r.given, sites);
    if (r.s.json)
        ListSitesJson(sites, only, out);
    else
        ListSites(sites.Sites(), out, only);
    return kExitOk;
}

// The batch's rows come from the file named, or from standard input (`-`) through a file buffer of its own,
// which can tell when reading on would wait (std::cin's cannot, and would have every row flushed on its own).
class BatchInput {
  public:
    BatchInput(const std::string& name, std::istream* given) {
        if (name != "-") {
            file_.open(name, std::ios::binary);
            // A folder opens like a file and then reads as nothing.
            if (!file_ || std::filesystem::is_directory(Utf8Path(name)))
                throw UsageError{"--batch: cannot read '" + name + "'"};
            in_ = &file_;
            return;
        }
        in_ = given ? given : &stdin_;
#if __has_include(<ext/stdio_filebuf.h>)
        if (!given)
            stdin_.rdbuf(&standardInput_.emplace(0, std::ios::in));
#endif
    }
    std::istream& Stream() {
        return *in_;
    }

  private:
    std::ifstream file_;
    std::istream stdin_{std::cin.rdbuf()};
#if __has_include(<ext/stdio_filebuf.h>)
    std::optional<__gnu_cxx::stdio_filebuf<char>> standardInput_;
#endif
    std::istream* in_ = nullptr;
};

int BatchMode(const Request& r, const CliContext& context, SiteList& sites, std::ostream& out,
              std::ostream& err) {
    const Settings& s = r.s;
    OptionTexts given = r.given;
    if (r.allPeriods)
        given.erase("period"); // each row computes all periods
    BatchInput input(s.batch, context.in);
    BatchSettings batch{&given, &sites, s.json, context.stderrIsTerminal};
    batch.allPeriods = r.allPeriods;
    batch.progressSharesOutput = context.outputSharesTerminal;
    batch.delimiter = BatchCharacter("--delimiter", s.delimiter, ",;\t");
    batch.outputDelimiter = BatchCharacter("--output-delimiter", s.outputDelimiter, ",;\t");
    batch.outputDecimalMark = BatchCharacter("--decimal-point", s.decimalPoint, ".,");
    batch.explicitOptions = &r.explicitOptions;
    XlsxBatchRows workbook(s.xlsx);
    if (r.xlsx)
        batch.rows = &workbook;
    std::string why;
    BatchCounts counts;
    if (!RunBatch(input.Stream(), batch, out, err, why, counts))
        throw UsageError{"--batch: " + why};
    if (counts.outputFailed) {
        err << "korvane-energy-cli: cannot write to standard output; the batch stopped after " << counts.rows
            << " rooms\n";
        return kExitOutput;
    }
    workbook.Close();
    if (counts.failed == 0)
        return kExitOk;
    err << "error: " << counts.failed << " of " << counts.rows << " rooms could not be calculated\n";
    return kExitEngineError;
}

// One room: its period, or the year and the months, and the result files drawn from them.
int RoomMode(const Request& r, SiteList& sites, std::ostream& out, std::ostream& err) {
    // The chart always shows the year and every month, whichever period is printed.
    const std::vector<PeriodRow> periods =
        r.allPeriods || r.svg ? PeriodRows(r.given, sites) : std::vector<PeriodRow>();
    const int code = r.allPeriods ? AllPeriods(periods, r.s.json, out, err)
                                  : SingleRoom(r.given, sites, r.s.json, out, err);
    if (r.xlsx)
        WritePeriodXlsx(periods, r.s.xlsx);
    if (r.svg)
        WritePeriodSvg(periods, r.s.svg);
    return code;
}

// Reads the arguments into the options of app; an exit code when the run ends there (help, version, a
// usage error).
std::optional<int> Parse(CLI::App& app, const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err) {
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
    // An option given with an empty value is a mistake in the calling script, not a wish for the default.
    for (const CLI::Option* option : app.get_options()) {
        const auto& given = option->results();
        if (option->count() > 0 && option->get_type_size() != 0 &&
            std::any_of(given.begin(), given.end(), [](const std::string& v) { return v.empty(); })) {
            err << "korvane-energy-cli: " << option->get_name() << ": an empty value\n" << app.help();
            return kExitUsage;
        }
    }
    return std::nullopt;
}

int Run(const CLI::App& app, const Settings& s, const CliContext& context, SiteList& sites, std::ostream& out,
        std::ostream& err) {
    const auto language = ParseWhole<int16_t>(s.language);
    if (!language || *language < 1 || *language > 6)
        throw UsageError{"--language: '" + s.language + "' is not a language from 1 to 6"};
    gLanguage = *language; // before any worker thread starts: they only read it
    if (!s.geo.empty())
        sites.Sites(); // a site file named is read, and refused, even when no site is asked for

    Request r{s, GivenOptions(app, s), {}};
    r.given = WithRoomFile(r.explicitOptions, s.room, "--room");
    r.allPeriods = r.given.count("period") && r.given.at("period") == "all";
    r.xlsx = app.count("--xlsx") > 0;
    r.svg = app.count("--svg") > 0;
    for (const Conflict& conflict : kConflicts) {
        if (conflict.applies(r))
            throw UsageError{conflict.why};
    }
    if (s.listSites)
        return SiteListMode(r, sites, out);
    if (!s.batch.empty())
        return BatchMode(r, context, sites, out, err);
    return RoomMode(r, sites, out, err);
}

int RunModes(const std::vector<std::string>& args, const CliContext& context, std::ostream& out,
             std::ostream& err) {
    CLI::App app{"Estimates the lighting energy that a daylight-dependent control saves in one room.",
                 "korvane-energy-cli"};
    Settings s;
    AddOptions(app, s);
    app.set_version_flag("--version", "korvane-energy-cli " KORVANE_VERSION, "print the version and exit");
    if (const auto code = Parse(app, args, out, err))
        return *code;
    // The other spellings belong to the default list; another site file has names of its own.
    SiteList sites(s.geo.empty() ? Utf8String(FindDataFile(context.programDir, "DEFAULT.GEO")) : s.geo,
                   s.geo.empty() ? Utf8String(FindDataFile(context.programDir, "SITE_ALIASES.txt")) : "");
    try {
        return Run(app, s, context, sites, out, err);
    } catch (const UsageError& e) {
        err << "korvane-energy-cli: " << e.why << "\n" << app.help();
        return kExitUsage;
    } catch (const OptionError& e) {
        err << "korvane-energy-cli: " << e.why << "\n" << app.help();
        return kExitUsage;
    } catch (const VbError& e) { // the site file could not be read
        err << ErrorLine(e) << "\n";
        return kExitEngineError;
    }
}

} // namespace

int RunCli(const std::vector<std::string>& args, const CliContext& context, std::ostream& out,
           std::ostream& err) {
    const int code = RunModes(args, context, out, err);
    // A result that never arrived must not look like one: disk full, a closed descriptor, a reader gone away.
    errno = 0;
    if (code == kExitOutput || out.flush())
        return code;
    const int why = errno;
    err << "korvane-energy-cli: cannot write to standard output"
        << (why ? std::string(": ") + std::strerror(why) : "") << "\n";
    return kExitOutput;
}

} // namespace korvane::cli
