// The command-line calculator as a terminal sees it: stdout, stderr and the exit code.
#include "CliFormat.h"
#include "CliTestSupport.h"

namespace korvane::cli {
namespace {

using namespace test;

// What a run prints: exit 0 and nothing on stderr, 1 and the engine's error, or 2, the reason and the usage.
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
    EXPECT_EQ(usage ? r.err.substr(0, r.err.find('\n')) : r.err, run.err);
    EXPECT_EQ(r.err.find("Usage: korvane-energy-cli") != std::string::npos, usage);
}

const std::string kModel = " (clsInputOutput:CalculateEnergySaving)\n";

INSTANTIATE_TEST_SUITE_P(
    Results, Runs,
    ::testing::Values(
        Prints({}, "69%\n"),
        Prints({"--json"}, "{\"percent\": 69, \"fraction\": 0.68609985133014695, \"autonomy\": "
                           "0.27975646879756466, \"error\": null}\n"),
        Prints({"--weather", KORVANE_WEATHER_SAMPLE}, "85%\ndaylight autonomy: 64%\n"),
        Prints({"--weather", "/dev/zero"}, "",
               "error 75: Path/File access error: /dev/zero is not a regular file (weather:ReadEpw)\n"),
        Prints({"--min-power-fraction", "0.3", "--min-light-fraction", "0.1"}, "51%\n"),
        Prints({"--min-power-fraction", "0.3", "--min-light-fraction", "0.1", "--control", "continuous-off"},
               "59%\n"),
        // 5 m x 4 m at 10 W/m2, 9 hours on 28 days of February: 200 W x 252 h = 50.4 kWh without control.
        Prints({"--period", "2", "--power-density", "10"},
               "49%\nfloor area: 20 m2\nworking hours: 252 h\nenergy without control: 50.4 kWh\n"
               "energy with control: 25.9 kWh\nenergy saved: 24.5 kWh\n"),
        Prints({"--period", "2", "--power-density", "10", "--json"},
               "{\"percent\": 49, \"fraction\": 0.48694850969851633, \"autonomy\": 0.0, \"error\": null, "
               "\"energy\": "
               "{\"floor_area_m2\": 20, \"working_hours\": 252, \"kwh_without_control\": 50.4, "
               "\"kwh_with_control\": 25.857795111194775, \"kwh_saved\": 24.542204888805223}}\n"),
        // Padded by characters, not bytes; November as the table spells it.
        Prints({"--period", "all", "--language", "1"},
               "ganzes Jahr     69%\nJanuar          31%\nFebruar         49%\nMärz            72%\n"
               "April           89%\nMai             95%\nJuni            98%\nJuli            97%\n"
               "August          92%\nSeptember       80%\nOktober         57%\nNovenber        36%\n"
               "Dezember        27%\n"),
        // A model's message keeps the stored percent.
        Prints({"--window-type", "2", "--width", "1", "--room-height", "3"}, "0%\n",
               "error -2147220982: Out of Data Space" + kModel),
        Prints(
            {"--depth", "12", "--language", "1"}, "15%\n",
            "error -2147220982: Die aktive Fensterhöhe ist im Vergleich zur angegeben Raumtiefe sehr klein" +
                kModel),
        Prints({"--window-type", "0"}, "", "error -2147220991: Wrong Window Type" + kModel),
        // Every bound of the window's fields is inclusive.
        Prints({"--begin", "0", "--end", "24", "--gmt", "-24", "--transmittance", "100", "--latitude", "-90",
                "--longitude", "180"},
               "25%\n"),
        Prints({"--geo", "/nonexistent/sites.geo", "--list-sites"}, "",
               "error 53: File not found: /nonexistent/sites.geo (clsGeoFile:OpenGeoFile)\n"),
        // Refused before reading, and even when no site is asked for.
        Prints(
            {"--geo", "/dev/zero"}, "",
            "error 75: Path/File access error: /dev/zero is not a regular file (clsGeoFile:OpenGeoFile)\n")));

INSTANTIATE_TEST_SUITE_P(
    UsageErrors, Runs,
    ::testing::Values(
        Usage({"--gmt", "1.5"}, "--gmt: '1.5' is not a whole number"),
        Usage({"--weather", "x.epw", "--latitude", "45"},
              "--weather: the site is the weather file's; --latitude cannot be given with it"),
        Usage({"--period", "32768"}, "--period: '32768' is out of range"),
        // What the window's fields could not hold or refuse when left.
        Usage({"--begin", "9", "--end", "9", "--language", "1"},
              "--begin '9' and --end '9': Arbeitsende muß später als Arbeisbeginn sein"),
        Usage({"--end", "25"}, "--end: '25' is outside 0 to 24"),
        Usage({"--gmt", "-25"}, "--gmt: '-25' is outside -24 to 24"),
        Usage({"--transmittance", "101"}, "--transmittance: '101' is outside 0 to 100"),
        Usage({"--width", "-5"}, "--width: '-5' is below 0"),
        Usage({"--illuminance", "-500"}, "--illuminance: '-500' may hold only digits and '.'"),
        Usage({"--illuminance", "1000000"}, "--illuminance: '1000000' is longer than 6 characters"),
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
        Usage({"--batch", "/nonexistent/rooms.csv"}, "--batch: cannot read '/nonexistent/rooms.csv'"),
        Usage({"--batch", "/"}, "--batch: cannot read '/'"), // a folder opens, then reads as nothing
        Usage({"--batch", "/dev/null", "--delimiter", "|"}, "--delimiter: '|' is not one of , ; tab")));

TEST(Cli, SpellingsOfOneRoomGiveOneResultAndHelpGoesToStdout) {
    const std::pair<Args, Args> same[] = {
        // The window geometry's defaults follow the window type.
        {{"--json", "--window-type", "3"},
         {"--json", "--window-type", "3", "--window-height", "1", "--window-distance", "5"}},
        {{"--json", "--window-type", "2"}, {"--json", "--window-type", "2", "--window-distance", "2"}},
        {{"--json", "--site", "FRANKFURT AM"}, {"--json"}}, // any case
        // The model's own gear.
        {{"--json", "--min-power-fraction", "0", "--min-light-fraction", "0"}, {"--json"}},
    };
    for (const auto& [a, b] : same)
        EXPECT_EQ(Cli(a).out, Cli(b).out) << a[2];
    // Explicit coordinates win over the site's.
    EXPECT_NE(Cli({"--json", "--site", "frankfurt", "--latitude", "60"}).out, Cli({"--json"}).out);
    const auto help = Cli({"--help"});
    EXPECT_EQ(help.code, kExitOk);
    EXPECT_NE(help.out.find("--window-type N=1"), std::string::npos);
}

using CliSiteFile = WithFile;

// Names keep their commas; a control character, C1 from Windows-1252 too, never reaches the rows.
TEST_F(CliSiteFile, ListsSitesWithPointDecimalsAndUtf8NamesThatMatchInAnyCase) {
    Write("* test sites\r\nFrankfurt, Main;8,68;50,11;1\r\nK\xF6ln\t\x1B[2J\x81;6,96;50,94;1\r\n");
    const auto r = Cli({"--geo", path_.string(), "--list-sites"});
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_EQ(r.out, "1\tFrankfurt, Main\t8.68\t50.11\t1\n2\tKöln\uFFFD\uFFFD[2J\uFFFD\t6.96\t50.94\t1\n");
    EXPECT_EQ(Cli({"--geo", path_.string(), "--site", "KÖLN"}).code, kExitOk);
}

// A value is blamed on where it came from: the batch row's column, or the option that filled the empty cell.
TEST_F(CliSiteFile, BatchRowsNameTheColumnOrTheOption) {
    const auto r = Cli({"--batch", Write("room,depth\nA,-5\nB,\n"), "--depth", "99999.5"});
    EXPECT_TRUE(r.out.ends_with(
        "\nA,-5,,,5,depth: '-5' is below 0\nB,,,,6,--depth: '99999.5' is longer than 5 characters\n"));
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
