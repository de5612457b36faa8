// Command-line studies: months side by side, batches of rooms, dimming limits and energy figures.
#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include <unistd.h>

namespace korvane::cli {
namespace {

using test::Cli;
using test::FirstLine;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The JSON result members of a single run, for comparing with a period or a batch row.
std::string Members(const std::string& singleJson) {
    return singleJson.substr(1, singleJson.size() - 3); // without the braces and the line end
}

TEST(PeriodAll, JsonEqualsThirteenSingleRuns) {
    const std::vector<std::string> room{"--window-type", "3", "--width", "9", "--power-density", "8"};
    auto args = room;
    args.insert(args.end(), {"--period", "all", "--json", "--language", "5"});
    const auto all = Cli(args);
    EXPECT_EQ(all.code, kExitOk) << all.err;
    const char* dutch[] = {"",     "Januari",  "Februari",  "Maart",   "April",    "Mei",     "Juni",
                           "Juli", "Augustus", "September", "Oktober", "November", "December"};
    for (int period = 0; period <= 12; ++period) {
        auto single = room;
        single.insert(single.end(), {"--period", std::to_string(period), "--json"});
        const std::string entry = "{\"period\": " + std::to_string(period) + ", \"name\": ";
        const auto at = all.out.find(entry);
        ASSERT_NE(at, std::string::npos) << period;
        const std::string members = Members(Cli(single).out);
        EXPECT_NE(all.out.find(members, at), std::string::npos) << period << ": " << members;
        if (period > 0) {
            EXPECT_EQ(all.out.substr(at + entry.size(), std::strlen(dutch[period]) + 2),
                      "\"" + std::string(dutch[period]) + "\"");
        }
    }
}

TEST(PeriodAll, TextTableNamesEachPeriodInTheChosenLanguage) {
    const auto r = Cli({"--period", "all", "--language", "1"});
    ASSERT_EQ(r.code, kExitOk);
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[0].rfind("ganzes Jahr", 0), 0u);
    EXPECT_EQ(lines[0].substr(lines[0].size() - 3), "69%");
    EXPECT_EQ(lines[11].rfind("Novenber", 0), 0u); // the table's own spelling
    EXPECT_EQ(lines[12].substr(lines[12].size() - 3), "27%");
}

TEST(PeriodAll, AnErrorStaysInItsRowAndTheExitCodeSaysSo) {
    const auto r = Cli({"--period", "all", "--depth", "12", "--json"});
    EXPECT_EQ(r.code, kExitEngineError);
    EXPECT_EQ(Lines(r.out).size(), 1u);
    EXPECT_NE(r.out.find("\"percent\": 15"), std::string::npos) << r.out; // stored before the model message
}

class Batch : public ::testing::Test {
  protected:
    void SetUp() override {
        static int files = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("korvane_batch_" + std::to_string(::getpid()) + "_" + std::to_string(++files) + ".csv");
    }
    void TearDown() override { std::filesystem::remove(path_); }
    std::string Write(const std::string& text) {
        std::ofstream(path_, std::ios::binary) << text;
        return path_.string();
    }
    std::filesystem::path path_;
};

// A few hundred random rooms: every output row carries what a single run of that room gives, in input order.
TEST_F(Batch, RowsEqualSingleRunsInInputOrder) {
    std::mt19937 rng(77);
    auto pick = [&](std::vector<std::string> v) {
        return v[std::uniform_int_distribution<size_t>(0, v.size() - 1)(rng)];
    };
    const std::vector<std::string> columns{
        "window-type", "depth",         "width",       "period",
        "site",        "transmittance", "room-height", "min-power-fraction"};
    std::string csv = "room";
    for (const auto& c : columns)
        csv += "," + c;
    csv += "\n";
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 300; ++i) {
        std::vector<std::string> row{pick({"1", "1", "2", "3", "0"}),
                                     pick({"3", "4.5", "7", "12", "x"}),
                                     pick({"2", "5", "8.5", "15"}),
                                     pick({"0", "1", "6", "12", "13"}),
                                     pick({"frankfurt", "wien", "", "Atlantis"}),
                                     pick({"0", "50", "80"}),
                                     pick({"2.5", "4", "6"}),
                                     pick({"0", "0.2", ""})};
        csv += "R" + std::to_string(i);
        for (const auto& v : row)
            csv += "," + v;
        csv += "\n";
        rows.push_back(row);
    }
    const auto batch = Cli({"--batch", Write(csv), "--json", "--power-density", "10"});
    const auto lines = Lines(batch.out);
    ASSERT_EQ(lines.size(), rows.size());
    int failed = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        std::vector<std::string> args{"--json", "--power-density", "10"};
        for (size_t c = 0; c < columns.size(); ++c) {
            if (!rows[i][c].empty())
                args.insert(args.end(), {"--" + columns[c], rows[i][c]});
        }
        const auto single = Cli(args);
        ASSERT_EQ(lines[i].rfind("{\"row\": " + std::to_string(i + 1) + ", ", 0), 0u) << lines[i];
        if (single.code == kExitUsage) { // a value the command line refuses is that row's error
            EXPECT_NE(lines[i].find("\"percent\": null"), std::string::npos) << lines[i];
            ++failed;
            continue;
        }
        failed += single.code != kExitOk;
        EXPECT_NE(lines[i].find(Members(single.out)), std::string::npos) << lines[i] << "\n" << single.out;
    }
    EXPECT_EQ(batch.code, failed ? kExitEngineError : kExitOk);
    EXPECT_NE(batch.err.find(std::to_string(failed) + " of 300 rooms"), std::string::npos) << batch.err;
}

TEST_F(Batch, CsvKeepsInputColumnsAndReportsBadRowsInPlace) {
    const auto r =
        Cli({"--batch", Write("room,depth,note\r\n\"A, 1\",4,\"said \"\"hi\"\"\"\r\nB,abc,x\r\nC,4\r\n"
                              "D,99999,y\r\n")});
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "room,depth,note,percent,fraction,error_number,error_description");
    EXPECT_EQ(lines[1].rfind("\"A, 1\",4,\"said \"\"hi\"\"\",69,0.686", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2], "B,abc,x,,,13,depth: 'abc' is not a number");
    EXPECT_EQ(lines[3], "C,4,,,,13,line 4: 2 fields where the header has 3");
    EXPECT_EQ(lines[4], "D,99999,y,,,6,Overflow"); // the extrapolation runs far below zero
    EXPECT_EQ(r.code, kExitEngineError);
}

TEST_F(Batch, CommandLineValuesFillTheColumnsARowLeavesOut) {
    const auto r = Cli({"--batch", Write("room,width\nA,5\nB,\n"), "--period", "6", "--depth", "6"});
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u);
    const auto june = Cli({"--period", "6", "--depth", "6", "--json"}).out;
    EXPECT_NE(june.find("\"percent\": 63"), std::string::npos) << june;
    EXPECT_EQ(lines[1].substr(0, 7), "A,5,63,");
    EXPECT_EQ(lines[2].substr(0, 6), "B,,63,");
}

class BatchUsage : public Batch, public ::testing::WithParamInterface<std::pair<std::string, std::string>> {};

TEST_P(BatchUsage, IsAUsageError) {
    const auto r = Cli({"--batch", Write(GetParam().first)});
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(FirstLine(r.err), "korvane-energy-cli: --batch: " + GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BatchUsage,
    ::testing::Values(std::pair<std::string, std::string>{"room,colour\nA,red\n",
                                                          "the batch file's header names no "
                                                          "option (window-type, begin, end, "
                                                          "period, depth, width, ...)"},
                      std::pair<std::string, std::string>{"depth,depth\n4,5\n",
                                                          "the batch file names the column 'depth' twice"},
                      std::pair<std::string, std::string>{"", "the batch file has no header line"}));

TEST(Dimming, PlainLimitsGiveTheModelsResultAndLossyGearLess) {
    EXPECT_EQ(Cli({"--min-power-fraction", "0", "--min-light-fraction", "0", "--json"}).out,
              Cli({"--json"}).out);
    EXPECT_EQ(Cli({"--min-power-fraction", "0.3", "--min-light-fraction", "0.1"}).out, "51%\n");
    EXPECT_EQ(
        Cli({"--min-power-fraction", "0.3", "--min-light-fraction", "0.1", "--control", "continuous-off"})
            .out,
        "59%\n");
}

using BadValue = std::pair<std::vector<std::string>, std::string>;
class StudyUsage : public ::testing::TestWithParam<BadValue> {};

TEST_P(StudyUsage, IsRefused) {
    const auto r = Cli(GetParam().first);
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(FirstLine(r.err), "korvane-energy-cli: " + GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Options, StudyUsage,
    ::testing::Values(
        BadValue{{"--min-power-fraction", "0.7"}, "--min-power-fraction: '0.7' is outside 0 to 0.6"},
        BadValue{{"--min-light-fraction", "-0.1"}, "--min-light-fraction: '-0.1' is outside 0 to 0.6"},
        BadValue{{"--control", "stepped"}, "--control: 'stepped' is not continuous or continuous-off"},
        BadValue{{"--power-density", "-5"}, "--power-density: '-5' is outside 0 to 1000000"},
        BadValue{{"--period", "every"}, "--period: 'every' is not a whole number"},
        BadValue{{"--batch", "/nonexistent/rooms.csv"}, "--batch: cannot read '/nonexistent/rooms.csv'"},
        BadValue{{"--batch", "/dev/null", "--period", "all"},
                 "--period all cannot be combined with --batch"}));

TEST(Energy, FiguresForOneRoomByHand) {
    // 5 m x 4 m at 10 W/m2, 9 hours on 28 days of February: 200 W x 252 h = 50.4 kWh without control.
    const auto r = Cli({"--period", "2", "--power-density", "10", "--json"});
    ASSERT_EQ(r.code, kExitOk);
    EXPECT_NE(
        r.out.find(
            "\"energy\": {\"floor_area_m2\": 20, \"working_hours\": 252, \"kwh_without_control\": 50.4"),
        std::string::npos)
        << r.out;
    const auto text = Lines(Cli({"--period", "2", "--power-density", "10"}).out);
    ASSERT_EQ(text.size(), 6u);
    EXPECT_EQ(text[0], "49%");
    EXPECT_EQ(text[3], "energy without control: 50.4 kWh");
    EXPECT_EQ(text[4], "energy with control: 25.9 kWh"); // 50.4 x (1 - 0.48695)
    EXPECT_EQ(text[5], "energy saved: 24.5 kWh");
}

} // namespace
} // namespace korvane::cli
