// The command-line calculator as a terminal sees it: stdout, stderr and the exit code.
#include "CliFormat.h"
#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace korvane::cli {
namespace {

using test::Cli;
using test::FirstLine;

TEST(Cli, StartValuesPrint69PercentAsTextOrJsonAndHelpGoesToStdout) {
    EXPECT_EQ(Cli({}).out, "69%\n");
    const auto r = Cli({"--json"});
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("{\"percent\": 69, \"fraction\": 0.68", 0), 0u) << r.out;
    EXPECT_TRUE(r.out.ends_with(", \"error\": null}\n")) << r.out;
    const auto help = Cli({"--help"});
    EXPECT_EQ(help.code, kExitOk);
    EXPECT_NE(help.out.find("--window-type N=1"), std::string::npos);
}

TEST(Cli, ModelMessageKeepsTheStoredPercentAndReportsOnStderr) {
    const auto r = Cli({"--window-type", "2", "--width", "1", "--room-height", "3"});
    EXPECT_EQ(r.code, kExitEngineError);
    EXPECT_EQ(r.out, "0%\n");
    EXPECT_EQ(r.err, "error -2147220982: Out of Data Space (clsInputOutput:CalculateEnergySaving)\n");

    const auto json = Cli({"--window-type", "2", "--width", "1", "--room-height", "3", "--json"});
    EXPECT_EQ(json.out,
              "{\"percent\": 0, \"fraction\": 0.0, \"error\": {\"number\": -2147220982, \"source\": "
              "\"clsInputOutput:CalculateEnergySaving\", \"description\": \"Out of Data Space\"}}\n");
}

TEST(Cli, LanguageSelectsTheModelMessageText) {
    const auto r = Cli({"--depth", "12", "--language", "1"});
    EXPECT_EQ(r.code, kExitEngineError);
    EXPECT_NE(r.out, "0%\n"); // the extrapolated ratio still saves something
    EXPECT_NE(r.err.find("Die aktive Fensterhöhe ist im Vergleich zur angegeben Raumtiefe sehr klein"),
              std::string::npos);
}

TEST(Cli, WrongWindowTypeHasNoPercent) {
    const auto r = Cli({"--window-type", "4", "--json"});
    EXPECT_EQ(r.code, kExitEngineError);
    EXPECT_EQ(r.out,
              "{\"percent\": null, \"fraction\": null, \"error\": {\"number\": -2147220991, \"source\": "
              "\"clsInputOutput:CalculateEnergySaving\", \"description\": \"Wrong Window Type\"}}\n");
    EXPECT_EQ(Cli({"--window-type", "0"}).out, "");
}

TEST(Cli, WindowGeometryDefaultsFollowTheWindowType) {
    EXPECT_EQ(Cli({"--window-type", "3", "--json"}).out,
              Cli({"--window-type", "3", "--window-height", "1", "--window-distance", "5", "--json"}).out);
    EXPECT_EQ(Cli({"--window-type", "2", "--json"}).out,
              Cli({"--window-type", "2", "--window-distance", "2", "--json"}).out);
}

class UsageErrors : public ::testing::TestWithParam<std::pair<std::vector<std::string>, std::string>> {};

TEST_P(UsageErrors, SayWhyThenShowTheUsage) {
    const auto r = Cli(GetParam().first);
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(FirstLine(r.err), "korvane-energy-cli: " + GetParam().second);
    EXPECT_NE(r.err.find("Usage: korvane-energy-cli"), std::string::npos);
}

using Usage = std::pair<std::vector<std::string>, std::string>;
INSTANTIATE_TEST_SUITE_P(
    Options, UsageErrors,
    ::testing::Values(Usage{{"--begin", "8.5"}, "--begin: '8.5' is not a whole number"},
                      Usage{{"--begin", "eight"}, "--begin: 'eight' is not a whole number"},
                      Usage{{"--gmt", "32768"}, "--gmt: '32768' is out of range"},
                      Usage{{"--illuminance", "2147483648"}, "--illuminance: '2147483648' is out of range"},
                      Usage{{"--depth", "4,5"}, "--depth: '4,5' is not a number"},
                      Usage{{"--depth", "nan"}, "--depth: 'nan' is not a number"},
                      Usage{{"--width", "1e400"}, "--width: '1e400' is not a number"},
                      Usage{{"--latitude", "0x10"}, "--latitude: '0x10' is not a number"},
                      Usage{{"--language", "7"}, "--language: '7' is not a language from 1 to 6"},
                      Usage{{"--site", "Atlantis"}, "--site: no site contains 'Atlantis'"},
                      Usage{{"--bogus"}, "The following argument was not expected: --bogus"}));

TEST(Cli, OutOfRangeValuesThatFitTheirTypeGoToTheEngine) {
    // Begin after end is the window's check, not the calculator's: the engine answers.
    const auto r = Cli({"--begin", "9", "--end", "9"});
    EXPECT_EQ(r.code, kExitEngineError);
    EXPECT_EQ(r.err, "error 6: Overflow (KORVANE Energy)\n");
}

TEST(CliSites, SiteNamesAreMatchedInAnyCaseAndExplicitCoordinatesWin) {
    EXPECT_EQ(Cli({"--site", "frankfurt"}).out, "69%\n");
    EXPECT_EQ(Cli({"--site", "FRANKFURT AM", "--json"}).out, Cli({"--json"}).out);
    EXPECT_NE(Cli({"--site", "frankfurt", "--latitude", "60", "--json"}).out, Cli({"--json"}).out);
}

class CliSiteFile : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("cli_sites_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".geo");
    }
    void TearDown() override { std::filesystem::remove(path_); }
    void Write(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
    std::filesystem::path path_;
};

TEST_F(CliSiteFile, ListsSitesWithPointDecimalsAndUtf8Names) {
    Write("* test sites\r\nWien;16,37;48,21;1\r\nK\xF6ln;6,96;50,94;1\r\n"); // Windows-1252 ö
    const auto r = Cli({"--geo", path_.string(), "--list-sites"});
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_EQ(r.out, "1\tWien\t16.37\t48.21\t1\n2\tKöln\t6.96\t50.94\t1\n");
    EXPECT_EQ(Cli({"--geo", path_.string(), "--site", "KÖLN"}).code, kExitOk);
}

TEST_F(CliSiteFile, AFailedReadIsAnEngineErrorNamingTheReader) {
    Write("* only comments\r\n");
    const auto r = Cli({"--geo", path_.string(), "--site", "x"});
    EXPECT_EQ(r.code, kExitEngineError);
    EXPECT_EQ(r.err, "error 9: Subscript out of range (clsGeoFile:OpenGeoFile)\n");
    const auto missing = Cli({"--geo", (path_.string() + ".missing"), "--list-sites"});
    EXPECT_EQ(missing.err, "error 53: File not found (clsGeoFile:OpenGeoFile)\n");
}

TEST(JsonFraction, HasSeventeenDigitsAndAlwaysReadsAsANumberWithAPoint) {
    EXPECT_EQ(FormatJsonFraction(0.0), "0.0");
    EXPECT_EQ(FormatJsonFraction(1.0), "1.0");
    EXPECT_EQ(FormatJsonFraction(0.1), "0.10000000000000001");
    EXPECT_EQ(FormatJsonFraction(-0.5), "-0.5");
    EXPECT_EQ(FormatJsonFraction(1e-20), "9.9999999999999995e-21");
}

TEST(JsonText, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(JsonString("a\"b\\c\r\n\x01"), "\"a\\\"b\\\\c\\r\\n\\u0001\"");
    EXPECT_EQ(JsonString("Höhe"), "\"Höhe\"");
}

} // namespace
} // namespace korvane::cli
