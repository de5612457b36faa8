// The command-line calculator as a terminal sees it: stdout, stderr and the exit code.
#include "CliFormat.h"
#include "CliTestSupport.h"
#include "RoomFile.h"

#include <sys/stat.h>

namespace korvane::cli {
namespace {

using namespace test;

// What a run prints: exit 0 and nothing on stderr, 1 and the engine's error, or 2, the reason and where to
// read more.
struct Prints {
    Prints(Args a, std::string o, std::string e = "")
        : args(std::move(a)), out(std::move(o)), err(std::move(e)) {}
    Args args;
    std::string out, err;
};
Prints Usage(Args args, const std::string& why) {
    return Prints(std::move(args), "", "korvane-energy-cli: " + why);
}

class Runs : public ::testing::TestWithParam<Prints> {};

TEST_P(Runs, PrintTheResultOnStdoutAndErrorsOnStderr) {
    const Prints& run = GetParam();
    const auto r = Cli(run.args);
    const bool usage = run.err.starts_with("korvane-energy-cli: ");
    EXPECT_EQ(r.code, run.err.empty() ? kExitOk : usage ? kExitUsage : kExitEngineError);
    EXPECT_EQ(r.out, run.out);
    EXPECT_EQ(r.err, usage ? run.err + "\nTry 'korvane-energy-cli --help'\n" : run.err);
}

const std::string kModel = " (clsInputOutput:CalculateEnergySaving)\n";

INSTANTIATE_TEST_SUITE_P(
    Results, Runs,
    ::testing::Values(
        Prints({}, "69%\ndaylight autonomy: 28%\n"),
        Prints({"--json"}, "{\"percent\": 69, \"fraction\": 0.68609985133014695, \"autonomy\": "
                           "0.27975646879756466, \"error\": null}\n"),
        Prints({"--weather", KORVANE_WEATHER_SAMPLE}, "85%\ndaylight autonomy: 64%\n"),
        Prints({"--weather", "/dev/zero"}, "",
               "error 75: Path/File access error: /dev/zero is not a regular file (weather:ReadEpw)\n"),
        Prints({"--min-power-fraction", "0.3", "--min-light-fraction", "0.1"},
               "51%\ndaylight autonomy: 28%\n"),
        Prints({"--min-power-fraction", "0.3", "--min-light-fraction", "0.1", "--control", "continuous-off"},
               "59%\ndaylight autonomy: 28%\n"),
        // 5 m x 4 m at 10 W/m2, 9 hours on 28 days of February: 200 W x 252 h = 50.4 kWh without control.
        Prints({"--period", "2", "--power-density", "10"},
               "49%\ndaylight autonomy: 0%\nfloor area: 20 m2\nworking hours: 252 h\nenergy without control: "
               "50.4 kWh\n"
               "energy with control: 25.9 kWh\nenergy saved: 24.5 kWh\n"),
        Prints({"--period", "2", "--power-density", "10", "--json"},
               "{\"percent\": 49, \"fraction\": 0.48694850969851633, \"autonomy\": 0.0, \"error\": null, "
               "\"energy\": "
               "{\"floor_area_m2\": 20, \"working_hours\": 252, \"kwh_without_control\": 50.4, "
               "\"kwh_with_control\": 25.857795111194775, \"kwh_saved\": 24.542204888805223}}\n"),
        // Padded by characters, not bytes; November as the table spells it.
        Prints({"--period", "all", "--language", "1"},
               "             saving  autonomy\nganzes Jahr     69%       28%\nJanuar          31%        0%\n"
               "Februar         49%        0%\nMärz            72%        3%\nApril           89%       45%\n"
               "Mai             95%       67%\nJuni            98%       74%\nJuli            97%       71%\n"
               "August          92%       57%\nSeptember       80%       17%\nOktober         57%        0%\n"
               "Novenber        36%        0%\nDezember        27%        0%\n"),
        // A model's message keeps the stored percent.
        Prints({"--window-type", "2", "--width", "1", "--room-height", "3"}, "0%\ndaylight autonomy: 0%\n",
               "error -2147220982: Out of Data Space" + kModel),
        Prints(
            {"--depth", "12", "--language", "1"}, "15%\ndaylight autonomy: 0%\n",
            "error -2147220982: Die aktive Fensterhöhe ist im Vergleich zur angegeben Raumtiefe sehr klein" +
                kModel),
        // Every bound of the window's fields is inclusive.
        Prints({"--begin", "0", "--end", "24", "--gmt", "-24", "--transmittance", "100", "--latitude", "-90",
                "--longitude", "180"},
               "25%\ndaylight autonomy: 0%\n"),
        // A typed length limits typing only: a site file's longitude of seven characters is taken whole.
        Prints({"--longitude", "-122.42", "--latitude", "37.77", "--gmt", "-8"},
               "81%\ndaylight autonomy: 40%\n"),
        Prints(
            {"--illuminance", "1000000", "--depth", "99999.5"}, "0%\ndaylight autonomy: 0%\n",
            "error -2147220982: The active height of the window is too small in relation to the depth of the "
            "room" +
                kModel),
        Prints({"--geo", "/nonexistent/sites.geo", "--list-sites"}, "",
               "error 53: File not found: /nonexistent/sites.geo (clsGeoFile:OpenGeoFile)\n"),
        // Refused before reading, and even when no site is asked for.
        Prints(
            {"--geo", "/dev/zero"}, "",
            "error 75: Path/File access error: /dev/zero is not a regular file (clsGeoFile:OpenGeoFile)\n")));

INSTANTIATE_TEST_SUITE_P(
    UsageErrors, Runs,
    ::testing::Values(
        Usage({"--weather", "x.epw", "--latitude", "45"},
              "--weather: the site is the weather file's; --latitude cannot be given with it"),
        // A value outside a list of choices names the allowed values.
        Usage({"--period", "32768"},
              "--period: '32768' is not one of 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12"),
        Usage({"--band", "45"}, "--band: '45' is not one of 30, 60, 90"),
        Usage({"--slope", "75"}, "--slope: '75' is not one of 60, 90"),
        Usage({"--window-type", "0"}, "--window-type: '0' is not one of 1, 2, 3"),
        // What the window's fields could not hold or refuse when left.
        Usage({"--begin", "9", "--end", "9", "--language", "1"},
              "--begin '9' and --end '9': Arbeitsende muß später als Arbeisbeginn sein"),
        Usage({"--end", "25"}, "--end: '25' is outside 0 to 24"),
        Usage({"--gmt", "-25"}, "--gmt: '-25' is outside -24 to 24"),
        Usage({"--transmittance", "101"}, "--transmittance: '101' is outside 0 to 100"),
        Usage({"--width", "-5"}, "--width: '-5' is below 0"),
        Usage({"--illuminance", "-500"}, "--illuminance: '-500' may hold only digits and '.'"),
        Usage({"--depth", "1e3"}, "--depth: '1e3' may hold only digits and '.'"),
        // The sawtooth panel's fields have no lower bound, and no minus sign.
        Usage({"--window-type", "3", "--window-height", "-1"},
              "--window-height: '-1' may hold only digits and '.'"),
        Usage({"--latitude", "90.001"}, "--latitude: '90.001' is outside -90 to 90"),
        Usage({"--longitude", "-181"}, "--longitude: '-181' is outside -180 to 180"),
        Usage({"--depth", ""}, "--depth: an empty value"),
        Usage({"--depth", "4,5"}, "--depth: '4,5' is not a number"), // nor is 'nan' or '1e400'
        Usage({"--language", "7"}, "--language: '7' is not a language from 1 to 6"),
        Usage({"--site", "Atlantis"},
              "--site: no site contains 'Atlantis'; closest: Athen (Athens), Bratislava, Paris"),
        Usage({"--bogus"}, "The following argument was not expected: --bogus"),
        Usage({"--min-power-fraction", "0.7"}, "--min-power-fraction: '0.7' is outside 0 to 0.6"),
        Usage({"--min-light-fraction", "-0.1"}, "--min-light-fraction: '-0.1' is outside 0 to 0.6"),
        Usage({"--control", "stepped"}, "--control: 'stepped' is not continuous or continuous-off"),
        Usage({"--power-density", "-5"}, "--power-density: '-5' is outside 0 to 1000000"),
        Usage({"--batch", "-", "--delimiter", "|"}, "--delimiter: '|' is not one of , ; tab")));

// Each reader of a named file takes only a regular file, refused before it is read: a FIFO without a writer
// would hang the run, a device never ends, a folder reads as nothing.
const std::string& Fifo() {
    // Kept for the whole run: the clean-up at exit runs after static objects are gone.
    static const std::string& path = *new std::string([] {
        std::string made =
            std::filesystem::temp_directory_path() / ("korvane_fifo_" + std::to_string(::getpid()));
        ::mkfifo(made.c_str(), 0600);
        std::atexit([] { std::filesystem::remove(Fifo()); });
        return made;
    }());
    return path;
}

std::vector<Prints> Readers() {
    std::vector<Prints> rows;
    for (const std::string& path : {Fifo(), std::string("/dev/zero"), std::string("/")}) {
        for (const char* option : {"--room", "--batch"})
            rows.push_back(
                Usage({option, path}, option + (": cannot read '" + path + "': not a regular file")));
        rows.emplace_back(Args{"--geo", path}, "",
                          "error 75: Path/File access error: " + path +
                              " is not a regular file (clsGeoFile:OpenGeoFile)\n");
    }
    for (const char* option : {"--room", "--batch"})
        rows.push_back(
            Usage({option, "/nonexistent/x"}, option + std::string(": cannot read '/nonexistent/x': "
                                                                   "No such file or directory")));
    return rows;
}
INSTANTIATE_TEST_SUITE_P(NamedInputs, Runs, ::testing::ValuesIn(Readers()));

// A batch row's room file too: that row's error, the other rows computed.
TEST_F(WithFile, BatchRowRefusesARoomFileThatIsNoRegularFile) {
    const auto r = Cli({"--batch", Write("room-file,depth\n" + Fifo() + ",4\n,4\n")});
    const auto rows = Lines(r.out);
    EXPECT_EQ(r.code, kExitEngineError);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_NE(rows[1].find(",53,room-file (line 2): cannot read '" + Fifo() + "': not a regular file"),
              std::string::npos)
        << rows[1];
    EXPECT_NE(rows[2].find(",69,"), std::string::npos) << rows[2];
}

// Outputs that are an input of the run are refused before anything is computed; `-` is standard input or
// output.
struct Named {
    Args args; // ROOM, CSV, GEO, LINK (to ROOM), OUT replaced by files of the test
    std::string in, out, err;
};
class Files : public WithFile, public ::testing::WithParamInterface<Named> {};

TEST_P(Files, SameFileRefusedAndDashIsStandardInputOrOutput) {
    const std::string room = Write(room::WriteRoom(room::Room{})), csv = room + ".csv", geo = room + ".geo";
    std::ofstream(csv) << "depth\n6\n";
    std::ofstream(geo) << "Testort;8,68;50,11;1\n";
    std::filesystem::create_symlink(room, room + ".link");
    const std::map<std::string, std::string> files{
        {"ROOM", room}, {"CSV", csv}, {"GEO", geo}, {"LINK", room + ".link"}, {"OUT", room + ".out"}};
    Args args = GetParam().args;
    for (auto& arg : args)
        arg = files.count(arg) ? files.at(arg) : arg;
    const auto r = Cli(args, &GetParam().in);
    std::string err = GetParam().err;
    for (const auto& [name, path] : files) {
        for (size_t at; (at = err.find(name)) != std::string::npos;)
            err.replace(at, name.size(), path);
    }
    EXPECT_EQ(r.code, err.empty() ? kExitOk : kExitUsage) << r.err;
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), err);
    EXPECT_TRUE(r.out.starts_with(GetParam().out)) << r.out;
    EXPECT_EQ(Read(room), room::WriteRoom(room::Room{}));
    EXPECT_EQ(Read(csv), "depth\n6\n");
    for (const auto& suffix : {".csv", ".geo", ".link", ".out"})
        std::filesystem::remove(room + suffix);
}

const std::string kClash = "korvane-energy-cli: ";
INSTANTIATE_TEST_SUITE_P(
    Runs, Files,
    ::testing::Values(
        Named{{"--room", "ROOM", "--svg", "ROOM"},
              "",
              "",
              kClash + "--svg 'ROOM' is the same file as --room 'ROOM', which is not overwritten"},
        Named{{"--room", "ROOM", "--svg", "LINK"},
              "",
              "",
              kClash + "--svg 'LINK' is the same file as --room 'ROOM', which is not overwritten"},
        Named{{"--batch", "CSV", "--xlsx", "CSV"},
              "",
              "",
              kClash + "--xlsx 'CSV' is the same file as --batch 'CSV', which is not overwritten"},
        Named{{"--geo", "GEO", "--period", "all", "--xlsx", "OUT", "--svg", "GEO"},
              "",
              "",
              kClash + "--svg 'GEO' is the same file as --geo 'GEO', which is not overwritten"},
        Named{{"--weather", "ROOM", "--period", "all", "--xlsx", "ROOM"},
              "",
              "",
              kClash + "--xlsx 'ROOM' is the same file as --weather 'ROOM', which is not overwritten"},
        Named{{"--period", "all", "--xlsx", "OUT", "--svg", "OUT"},
              "",
              "",
              kClash + "--svg 'OUT' is the same file as --xlsx 'OUT', which is not overwritten"},
        Named{{"--svg", "-"}, "", "<?xml", ""},
        Named{{"--room", "-"},
              [] {
                  room::Room r = room::RoomOf(inputs::StartRoom());
                  r.depth = 6;
                  r.siteName = "Frankfurt am Main";
                  return room::WriteRoom(r);
              }(),
              "41%\n",
              ""},
        Named{{"--geo", "-", "--site", "testort", "--depth", "6"}, "Testort;8,68;50,11;1\n", "41%\n", ""},
        Named{{"--batch", "-", "--geo", "-"},
              "",
              "",
              kClash + "only one of --batch, --room and --geo can read standard input"}));

TEST(Cli, SpellingsOfOneRoomGiveOneResultAndHelpGoesToStdout) {
    const std::pair<Args, Args> same[] = {
        // The window geometry's defaults follow the window type.
        {{"--json", "--window-type", "3"},
         {"--json", "--window-type", "3", "--window-height", "1", "--window-distance", "5"}},
        {{"--json", "--window-type", "2"}, {"--json", "--window-type", "2", "--window-distance", "2"}},
        // Whole numbers are rounded as the window rounds them, halves to the even neighbour.
        {{"--json", "--gmt", "5.5"}, {"--json", "--gmt", "6"}},
        {{"--json", "--gmt", "2.5", "--transmittance", "7.5"},
         {"--json", "--gmt", "2", "--transmittance", "8"}},
        {{"--json", "--site", "FRANKFURT AM"}, {"--json"}}, // any case
        // The model's own gear.
        {{"--json", "--min-power-fraction", "0", "--min-light-fraction", "0"}, {"--json"}},
        {{"--json", "--depth", "4", "--depth", "6"}, {"--json", "--depth", "6"}}, // the last one wins
    };
    for (const auto& [a, b] : same)
        EXPECT_EQ(Cli(a).out, Cli(b).out) << a[2];
    // Explicit coordinates win over the site's.
    EXPECT_NE(Cli({"--json", "--site", "frankfurt", "--latitude", "60"}).out, Cli({"--json"}).out);
    const auto help = Cli({"--help"});
    EXPECT_EQ(help.code, kExitOk);
    EXPECT_NE(help.out.find("--window-type N=1"), std::string::npos);
    for (const auto& line : Lines(help.out))
        EXPECT_LE(line.size(), 80u) << line;
}

using CliSiteFile = WithFile;

// Names keep their commas; a control character, C1 from Windows-1252 too, never reaches the rows.
TEST_F(CliSiteFile, ListsSitesWithPointDecimalsAndUtf8NamesThatMatchInAnyCase) {
    Write("* test sites\r\nFrankfurt, Main;8,68;50,11;1\r\nK\xF6ln\t\x1B[2J\x81;6,96;50,94;1\r\n");
    const auto r = Cli({"--geo", path_.string(), "--list-sites"});
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_EQ(r.out, "1\tFrankfurt, Main\t8.68\t50.11\t1\n2\tKöln\uFFFD\uFFFD[2J\uFFFD\t6.96\t50.94\t1\n");
    EXPECT_EQ(Cli({"--geo", path_.string(), "--site", "KÖLN"}).code, kExitOk);
    EXPECT_TRUE(Cli({"--geo", path_.string(), "--site", "K\x1B]0;x\x07"})
                    .err.starts_with("korvane-energy-cli: --site: no site contains 'K\uFFFD]0;x\uFFFD'; "
                                     "closest: Köln\uFFFD\uFFFD[2J\uFFFD, Frankfurt, Main\n"));
}

// A value is blamed on where it came from: the batch row's column, or the option that filled the empty cell.
TEST_F(CliSiteFile, BatchRowsNameTheColumnOrTheOption) {
    const auto r = Cli({"--batch", Write("room,depth\nA,-5\nB,\n"), "--depth", "1e3"});
    EXPECT_TRUE(r.out.ends_with(
        "\nA,-5,,,5,depth: '-5' is below 0,\nB,,,,5,--depth: '1e3' may hold only digits and '.',\n"));
}

// A result that cannot be written is no result, whatever the mode.
TEST(Cli, AFailedWriteEndsWithAMessageAndItsOwnExitCode) {
    for (const Args& args : {Args{}, Args{"--period", "all"}, Args{"--list-sites"}, Args{"--help"}}) {
        std::ostream out(nullptr); // every write fails
        std::ostringstream err;
        EXPECT_EQ(RunCli(args, {KORVANE_BIN_DIR}, out, err), kExitOutput) << args.size();
        EXPECT_TRUE(err.str().ends_with("korvane-energy-cli: cannot write to standard output\n"))
            << err.str();
    }
}

TEST_F(CliSiteFile, ListsSitesWithPointDecimalsAndUtf8NamesAsTextOrJson) {
    Write("* test sites\r\nWien;16,37;48,21;1\r\nK\xF6ln;6,96;50,94;1\r\n"); // Windows-1252 ö
    const auto r = Cli({"--geo", path_.string(), "--list-sites"});
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_EQ(r.out, "1\tWien\t16.37\t48.21\t1\n2\tKöln\t6.96\t50.94\t1\n");
    EXPECT_TRUE(
        Cli({"--geo", path_.string(), "--site", "Vienna"}) // other spellings only for the default list
            .err.starts_with("korvane-energy-cli: --site: no site contains 'Vienna'; closest: Wien, Köln\n"));
    EXPECT_EQ(
        Cli({"--geo", path_.string(), "--list-sites", "--json"}).out,
        "[\n  {\"index\": 1, \"name\": \"Wien\", \"longitude\": 16.37, \"latitude\": 48.21, \"gmt\": 1, "
        "\"aliases\": []},\n  {\"index\": 2, \"name\": \"Köln\", \"longitude\": 6.96, \"latitude\": 50.94, "
        "\"gmt\": 1, \"aliases\": []}\n]\n");
}

// --site finds a site by a piece of its name in any case, with or without accents, in Latin letters for
// another script, or by another spelling of the default list; --list-sites --site shows which. Names matched
// by case alone keep their answer (barn).
using Spelling = std::tuple<bool, const char*, const char*>;
class Spellings : public WithFile, public ::testing::WithParamInterface<Spelling> {};

TEST_P(Spellings, FindTheSite) {
    const auto& [ownFile, text, found] = GetParam();
    Args args{"--list-sites", "--site", text};
    if (ownFile)
        args.insert(args.end(),
                    {"--geo", Write("Bärn;1;2;1\nBarnsley;3;4;0\nŁódź;19,46;51,76;1\nΑθήνα;23;37;2\n")});
    const auto r = Cli(args);
    EXPECT_EQ(r.out.substr(0, r.out.find('\t')), found) << r.err;
}

// The index of the site found.
const Spelling kSpellings[] = {{false, "munchen", "4"}, {false, "MÜNCHEN", "4"},    {false, "Munich", "4"},
                               {false, "VIENNA", "42"}, {false, "Kobenhavn", "24"}, {true, "barn", "2"},
                               {true, "BÄRN", "1"},     {true, "Lodz", "3"},        {true, "athen", "4"}};
INSTANTIATE_TEST_SUITE_P(Sites, Spellings, ::testing::ValuesIn(kSpellings));

TEST(PeriodAll, JsonNamesEachPeriodInTheChosenLanguageAndKeepsItsErrorInItsEntry) {
    Args args{"--depth", "12", "--power-density", "8", "--language", "5", "--json", "--period", "6"};
    const std::string june = Cli(args).out;
    args.back() = "all";
    const auto all = Cli(args);
    EXPECT_EQ(all.code, kExitEngineError);
    EXPECT_EQ(all.err, "error: some periods could not be calculated\n");
    EXPECT_TRUE(
        all.out.starts_with("{\"periods\": [{\"period\": 0, \"name\": \"Heel jaar\", \"percent\": 15, "));
    const std::string entry =
        "}, {\"period\": 6, \"name\": \"Juni\", " + june.substr(1, june.size() - 3) + "}, {";
    EXPECT_NE(all.out.find(entry), std::string::npos) << all.out;
    EXPECT_TRUE(all.out.ends_with("}]}\n"));
}

TEST(Json, FractionsHaveSeventeenDigitsAndAPointAndTextIsEscaped) {
    EXPECT_EQ(FormatJsonFraction(1.0), "1.0");
    EXPECT_EQ(FormatJsonFraction(1e-20), "9.9999999999999995e-21");
    EXPECT_EQ(JsonString("a\"b\\c\r\n\x01"), "\"a\\\"b\\\\c\\r\\n\\u0001\"");
    EXPECT_EQ(JsonString("Höhe"), "\"Höhe\"");
}

} // namespace
} // namespace korvane::cli
