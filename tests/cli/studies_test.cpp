// Command-line studies: months side by side and batches of rooms.
#include "CliTestSupport.h"

#include <random>

namespace korvane::cli {
namespace {

using namespace test;
using Args = std::vector<std::string>;

// The JSON result members of a single run, for finding them in a period or a batch row.
std::string Members(const std::string& json) {
    return json.substr(1, json.size() - 3); // without the braces and the line end
}

TEST(PeriodAll, JsonEqualsThirteenSingleRunsNamedInTheChosenLanguage) {
    const Args room{"--window-type", "3", "--width", "9", "--power-density", "8", "--json"};
    auto args = room;
    args.insert(args.end(), {"--period", "all", "--language", "5"});
    const auto all = Cli(args);
    EXPECT_EQ(all.code, kExitOk) << all.err;
    const char* dutch[] = {"Heel jaar", "Januari",  "Februari",  "Maart",   "April",    "Mei",     "Juni",
                           "Juli",      "Augustus", "September", "Oktober", "November", "December"};
    for (int period = 0; period <= 12; ++period) {
        auto single = room;
        single.insert(single.end(), {"--period", std::to_string(period)});
        const std::string entry = "{\"period\": " + std::to_string(period) + ", \"name\": \"" +
                                  dutch[period] + "\", " + Members(Cli(single).out) + "}";
        EXPECT_NE(all.out.find(entry), std::string::npos) << entry;
    }
}

TEST(PeriodAll, TextTableNamesEachPeriodAndAnErrorStaysInItsRow) {
    const auto lines = Lines(Cli({"--period", "all", "--language", "1"}).out);
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[0], "ganzes Jahr     69%");
    EXPECT_EQ(lines[3], "März            72%");  // padded by characters, not bytes
    EXPECT_EQ(lines[11], "Novenber        36%"); // the table's own spelling
    EXPECT_EQ(lines[12], "Dezember        27%");
    const auto failed = Cli({"--period", "all", "--depth", "12", "--json"});
    EXPECT_EQ(failed.code, kExitEngineError);
    EXPECT_EQ(failed.err, "error: some periods could not be calculated\n");
    EXPECT_EQ(Lines(failed.out).size(), 1u);
    EXPECT_NE(failed.out.find("\"percent\": 15"), std::string::npos); // stored before the model message
}

using Batch = WithFile;

// A few hundred random rooms: every output row carries what a single run of that room gives, in input order.
TEST_F(Batch, RowsEqualSingleRunsInInputOrder) {
    const Args columns{"window-type", "depth",         "width",       "period",
                       "site",        "transmittance", "room-height", "min-power-fraction"};
    const std::vector<Args> values{{"1", "1", "2", "3", "0"},
                                   {"3", "4.5", "7", "12", "x"},
                                   {"2", "5", "8.5", "15"},
                                   {"0", "1", "6", "12", "13"},
                                   {"frankfurt", "wien", "", "Atlantis"},
                                   {"0", "50", "80"},
                                   {"2.5", "4", "6"},
                                   {"0", "0.2", ""}};
    std::mt19937 rng(77);
    std::string csv = "room";
    for (const auto& c : columns)
        csv += "," + c;
    std::vector<Args> singles;
    for (int i = 0; i < 300; ++i) {
        csv += "\nR" + std::to_string(i);
        singles.push_back({"--json", "--power-density", "10"});
        for (size_t c = 0; c < columns.size(); ++c) {
            const auto& value =
                values[c][std::uniform_int_distribution<size_t>(0, values[c].size() - 1)(rng)];
            csv += "," + value;
            if (!value.empty())
                singles.back().insert(singles.back().end(), {"--" + columns[c], value});
        }
    }
    const auto batch = Cli({"--batch", Write(csv + "\n"), "--json", "--power-density", "10"});
    const auto lines = Lines(batch.out);
    ASSERT_EQ(lines.size(), singles.size());
    int failed = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto single = Cli(singles[i]);
        ASSERT_EQ(lines[i].rfind("{\"row\": " + std::to_string(i + 1) + ", ", 0), 0u) << lines[i];
        failed += single.code != kExitOk;
        // A value the command line refuses is that row's error.
        const std::string members = single.code == kExitUsage ? "\"percent\": null" : Members(single.out);
        EXPECT_NE(lines[i].find(members), std::string::npos) << lines[i] << "\n" << members;
    }
    EXPECT_EQ(batch.code, failed ? kExitEngineError : kExitOk);
    EXPECT_EQ(batch.err, "error: " + std::to_string(failed) + " of 300 rooms could not be calculated\n");
}

// Input columns are kept as read; the command line fills in what a row leaves out; bad rows report in place.
TEST_F(Batch, CsvKeepsInputColumnsAndReportsBadRowsInPlace) {
    const auto r = Cli({"--batch",
                        Write("room,depth,note\r\n\"A, 1\",4,\"said \"\"hi\"\"\"\r\nB,abc,x\r\nC,4\r\n"
                              "D,99999,y\r\nE,,z\r\n"),
                        "--period", "6", "--depth", "6"});
    EXPECT_EQ(r.code, kExitEngineError);
    EXPECT_EQ(r.out, "room,depth,note,percent,fraction,error_number,error_description\n"
                     "\"A, 1\",4,\"said \"\"hi\"\"\",98,0.97533425910199223,,\n"
                     "B,abc,x,,,13,depth: 'abc' is not a number\n"
                     "C,4,,,,13,line 4: 2 fields where the header has 3\n"
                     "D,99999,y,,,6,Overflow\n" // the extrapolation runs far below zero
                     "E,,z,63,0.63105583894709361,,\n");
    EXPECT_EQ(Cli({"--period", "6"}).out, "98%\n");
    EXPECT_EQ(Cli({"--period", "6", "--depth", "6"}).out, "63%\n");
}

} // namespace
} // namespace korvane::cli
