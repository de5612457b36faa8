#include "CliRun.h"

#include "CliBatch.h"
#include "CliFiles.h"
#include "CliFormat.h"
#include "CliReport.h"
#include "CliRoom.h"
#include "CliRoomFile.h"
#include "CliWeather.h"
#include "CsvReader.h"
#include "DataFiles.h"
#include "InputFile.h"
#include "ResultSchema.h"
#include "clsGeoFile.h"
#include "modLangConstants.h"

#include <CLI/CLI.hpp>
#if __has_include(<ext/stdio_filebuf.h>)
#include <ext/stdio_filebuf.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>

namespace korvane::cli {

namespace {

struct UsageError {
    std::string why;
};

// A usage error's one line, with what the user or a file gave echoed without control characters, and where
// to read more.
int Usage(std::ostream& err, std::string_view why) {
    err << "korvane-energy-cli: " << WithoutControls(why, false) << "\nTry 'korvane-energy-cli --help'\n";
    return kExitUsage;
}

// Writes the result files; kExitFile with the reason when one cannot be written, else code.
int WrittenResultFiles(const std::function<void()>& write, int code, std::ostream& err) {
    try {
        write();
    } catch (const VbError& e) {
        err << WithoutControls(ErrorLine(e), false) << "\n";
        return kExitFile;
    }
    return code;
}

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

// Help lines within 80 columns: each description wrapped at its words beside the options' column.
class HelpFormatter : public CLI::Formatter {
  public:
    std::string make_option_desc(const CLI::Option* option) const override {
        const size_t width = 80 - get_column_width();
        std::string wrapped, line;
        std::istringstream words(CLI::Formatter::make_option_desc(option));
        for (std::string word; words >> word;) {
            if (!line.empty() && line.size() + 1 + word.size() > width) {
                wrapped += line + "\n";
                line.clear();
            }
            line += (line.empty() ? "" : " ") + word;
        }
        return wrapped + line;
    }
};

void AddOptions(CLI::App& app, Settings& s) {
    app.formatter(std::make_shared<HelpFormatter>());
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast); // as scripts expect
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

int SingleRoom(const OptionTexts& given, const RoomFileTexts* file, SiteList& sites, bool json,
               std::ostream& out, std::ostream& err) {
    const RoomSpec room = BuildRoom({{&given, file}}, sites);
    WeatherFiles files;
    const RoomResult r = room.weatherFile.empty() ? Calculate(room) : CalculateUnderWeather(room, files);
    if (json) {
        out << JsonText(ResultJson(r)) << "\n";
    } else {
        if (r.percent)
            out << *r.percent << "%\n";
        if (r.autonomy)
            out << AutonomyLine(*r.autonomy) << "\n";
        if (r.energy)
            WriteEnergyText(*r.energy, out);
    }
    if (r.error) {
        err << ErrorLine(*r.error) << "\n";
        return kExitEngineError;
    }
    return kExitOk;
}

std::vector<PeriodRow> PeriodRows(OptionTexts given, const RoomFileTexts* file, SiteList& sites) {
    given["period"] = "0"; // every period comes from the one pass
    const RoomSpec room = BuildRoom({{&given, file}}, sites);
    WeatherFiles files;
    const auto results =
        room.weatherFile.empty() ? CalculatePeriods(room) : CalculatePeriodsUnderWeather(room, files);
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
    OptionTexts given;                     // what the command line names itself
    std::optional<RoomFileTexts> roomFile; // --room: the room the options are laid over
    const RoomFileTexts* File() const { return roomFile ? &*roomFile : nullptr; }
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
        // A named table must be a regular file (a pipe comes through `--batch -`).
        if (name != "-") {
            InputFile named(name);
            if (!named.IsOpen())
                throw UsageError{"--batch: cannot read '" + name + "': " + named.Reason()};
#if __has_include(<ext/stdio_filebuf.h>)
            file_.rdbuf(&fileBuffer_.emplace(named.Release(), std::ios::in | std::ios::binary));
#else
            files_.open(Utf8Path(name), std::ios::binary);
            file_.rdbuf(files_.rdbuf());
#endif
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
    std::ifstream files_;
    std::istream file_{nullptr};
    std::istream stdin_{std::cin.rdbuf()};
#if __has_include(<ext/stdio_filebuf.h>)
    std::optional<__gnu_cxx::stdio_filebuf<char>> fileBuffer_, standardInput_;
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
    batch.commandLineRoom = r.File();
    batch.outputs = {{"--xlsx", s.xlsx}};
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
    int code = kExitOk;
    if (counts.failed > 0) {
        err << "error: " << counts.failed << " of " << counts.rows << " rooms could not be calculated\n";
        code = kExitEngineError;
    }
    if (!r.xlsx)
        return code;
    if (counts.namingOutputs > 0) {
        // Replacing it would destroy the file those rows name; the unfinished workbook goes.
        err << "korvane-energy-cli: --xlsx '" << s.xlsx << "' is not written: " << counts.namingOutputs
            << (counts.namingOutputs == 1 ? " room names" : " rooms name") << " it as an input\n";
        return kExitFile;
    }
    code = WrittenResultFiles([&] { workbook.Close(); }, code, err);
    if (const size_t left = workbook.RowsLeftOut(); left > 0 && code != kExitFile) {
        const size_t held = workbook.MaxRows();
        err << "korvane-energy-cli: --xlsx: a sheet holds " << held << " rooms below its header: rooms "
            << held + 1 << " to " << held + left << " are on standard output only\n";
        code = kExitFile;
    }
    return code;
}

// One room: its period, or the year and the months, and the result files drawn from them.
int RoomMode(const Request& r, SiteList& sites, std::ostream& out, std::ostream& err) {
    // The chart always shows the year and every month, whichever period is printed.
    const std::vector<PeriodRow> periods =
        r.allPeriods || r.svg ? PeriodRows(r.given, r.File(), sites) : std::vector<PeriodRow>();
    // With `--svg -` standard output carries the chart alone.
    std::ostream discard(nullptr);
    std::ostream& printed = r.s.svg == "-" ? discard : out;
    const int code = r.allPeriods ? AllPeriods(periods, r.s.json, printed, err)
                                  : SingleRoom(r.given, r.File(), sites, r.s.json, printed, err);
    return WrittenResultFiles(
        [&] {
            if (r.xlsx)
                WritePeriodXlsx(periods, r.s.xlsx);
            if (r.svg && r.s.svg == "-")
                out << PeriodSvg(periods);
            else if (r.svg)
                WritePeriodSvg(periods, r.s.svg);
        },
        code, err);
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
        return Usage(err, e.what());
    }
    // An option given with an empty value is a mistake in the calling script, not a wish for the default.
    for (const CLI::Option* option : app.get_options()) {
        const auto& given = option->results();
        if (option->count() > 0 && option->get_type_size() != 0 &&
            std::any_of(given.begin(), given.end(), [](const std::string& v) { return v.empty(); })) {
            return Usage(err, option->get_name() + ": an empty value");
        }
    }
    return std::nullopt;
}

// Inputs and outputs named: standard input for one of them at most, no output over an input, a site list
// from standard input read now.
void CheckFiles(const Settings& s, const std::string& geo, const std::string& aliases, SiteList& sites,
                std::istream& standardInput) {
    if ((s.batch == "-") + (s.room == "-") + (s.geo == "-") > 1)
        throw UsageError{"only one of --batch, --room and --geo can read standard input"};
    if (s.xlsx == "-")
        throw UsageError{"--xlsx: a workbook needs a file name (- is for --svg)"};
    const auto weather = s.optionStorage.find(kWeatherOption);
    const std::string clash =
        SameFileClash({{"--xlsx", s.xlsx}, {"--svg", s.svg}},
                      {{"--batch", s.batch},
                       {"--room", s.room},
                       {"--geo", geo},
                       {"the site aliases", aliases},
                       {"--weather", weather == s.optionStorage.end() ? "" : weather->second}});
    if (!clash.empty())
        throw UsageError{clash + ", which is not overwritten"};
    if (s.geo == "-") {
        std::string bytes = ReadAtMost(standardInput, clsGeoFile::kMaxFileBytes + 1);
        if (bytes.size() > clsGeoFile::kMaxFileBytes)
            Raise(ErrPathFileAccess, "clsGeoFile:OpenGeoFile",
                  RuntimeDescription(ErrPathFileAccess) + ": standard input is larger than " +
                      std::to_string(clsGeoFile::kMaxFileBytes) + " bytes");
        sites.UseBytes(std::move(bytes));
    }
}

int Run(const CLI::App& app, const Settings& s, const CliContext& context, SiteList& sites,
        std::istream& standardInput, std::ostream& out, std::ostream& err) {
    const auto language = ParseWhole<int16_t>(s.language);
    if (!language || *language < 1 || *language > 6)
        throw UsageError{"--language: '" + s.language + "' is not a language from 1 to 6"};
    gLanguage = *language; // before any worker thread starts: they only read it
    if (!s.geo.empty())
        sites.Sites(); // a site file named is read, and refused, even when no site is asked for

    Request r{s, GivenOptions(app, s), {}};
    r.roomFile = ReadRoomFile(s.room, "--room", &standardInput);
    if (const auto conflict = WeatherSiteConflict({&r.given}, "--", r.File()))
        throw UsageError{*conflict};
    if (r.roomFile && !r.given.count(kWeatherOption)) {
        const std::string clash = SameFileClash({{"--xlsx", s.xlsx}, {"--svg", s.svg}},
                                                {{"the weather file of --room", r.roomFile->weatherFile}});
        if (!clash.empty())
            throw UsageError{clash + ", which is not overwritten"};
    }
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
    CLI::App app{"Estimates the lighting energy a daylight-dependent control saves in one room.",
                 "korvane-energy-cli"};
    Settings s;
    AddOptions(app, s);
    app.set_version_flag("--version", "korvane-energy-cli " KORVANE_VERSION, "print the version and exit");
    if (const auto code = Parse(app, args, out, err))
        return *code;
    // The other spellings belong to the default list; another site file has names of its own.
    const std::string geo =
        s.geo.empty() ? Utf8String(FindDataFile(context.programDir, "DEFAULT.GEO")) : s.geo;
    const std::string aliases =
        s.geo.empty() ? Utf8String(FindDataFile(context.programDir, "SITE_ALIASES.txt")) : "";
    SiteList sites(geo == "-" ? "standard input" : geo, aliases);
    std::istream& standardInput = context.in ? *context.in : std::cin;
    try {
        CheckFiles(s, geo, aliases, sites, standardInput);
        return Run(app, s, context, sites, standardInput, out, err);
    } catch (const UsageError& e) {
        return Usage(err, e.why);
    } catch (const OptionError& e) {
        return Usage(err, e.why);
    } catch (const VbError& e) { // the site file could not be read
        err << WithoutControls(ErrorLine(e), false) << "\n";
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
