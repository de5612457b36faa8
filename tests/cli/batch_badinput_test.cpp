// Damaged batch files: unbalanced quotes, rows of the wrong length, huge fields, NUL bytes and binary junk.
// Each is a usage error, or every row gets its result or an error of its own.
#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace korvane::cli {
namespace {

using test::Cli;
using test::FirstLine;

// "69%" for a row that succeeded, "54% 6 Overflow" for one whose error came after its percent, "- 13 why"
// for one without a percent.
std::string Summary(const std::string& jsonLine) {
    const auto at = jsonLine.find("}, \"percent\": ");
    if (at == std::string::npos)
        return "malformed: " + jsonLine;
    const auto percentStart = at + 14;
    const std::string percent =
        jsonLine.substr(percentStart, jsonLine.find(',', percentStart) - percentStart);
    std::string summary = percent == "null" ? "-" : percent + "%";
    const auto error = jsonLine.find("\"error\": {\"number\": ", at);
    if (error == std::string::npos)
        return summary;
    const auto numberStart = error + 20;
    summary += " " + jsonLine.substr(numberStart, jsonLine.find(',', numberStart) - numberStart);
    const auto description = jsonLine.find("\"description\": \"", numberStart) + 16;
    return summary + " " + jsonLine.substr(description, jsonLine.rfind("\"}") - description);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string Junk(size_t size) {
    std::string bytes;
    uint32_t x = 7;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        bytes += static_cast<char>(x >> 24);
    }
    return bytes;
}

class BadBatchFile : public testing::Test {
  protected:
    void SetUp() override {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        path_ = std::filesystem::temp_directory_path() /
                ("korvane_badbatch_" + std::to_string(::getpid()) + "_" + name);
    }
    void TearDown() override { std::filesystem::remove_all(path_); }
    std::string Write(const std::string& bytes) {
        std::ofstream(path_, std::ios::binary) << bytes;
        return path_.string();
    }
    std::filesystem::path path_;
};

struct Damaged {
    const char* name;
    std::string csv;
    int code;
    std::string usage;             // the first line of a usage error
    std::vector<std::string> rows; // Summary of each output row
};

void PrintTo(const Damaged& c, std::ostream* os) {
    *os << c.name;
}

class DamagedBatch : public BadBatchFile, public testing::WithParamInterface<Damaged> {};

TEST_P(DamagedBatch, GivesAUsageErrorOrAnErrorPerRow) {
    const Damaged& c = GetParam();
    const auto r = Cli({"--batch", Write(c.csv), "--json"});
    EXPECT_EQ(r.code, c.code);
    if (!c.usage.empty()) {
        EXPECT_EQ(FirstLine(r.err), "korvane-energy-cli: --batch: " + c.usage);
        EXPECT_EQ(r.out, "");
        return;
    }
    std::vector<std::string> rows;
    for (const auto& line : Lines(r.out))
        rows.push_back(Summary(line));
    EXPECT_EQ(rows, c.rows);
}

const std::string kUnclosed = "a quoted field is not closed before the end of the file";
const std::string kNoOption =
    "the batch file's header names no option (window-type, begin, end, period, depth, width, ...)";

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedBatch,
    testing::Values(Damaged{"UnbalancedQuoteInARow",
                            "room,depth\nA,4\nB,\"5\nC,6\n",
                            kExitEngineError,
                            "",
                            {"69%", "- 13 line 3: " + kUnclosed}},
                    Damaged{"UnbalancedQuoteInTheHeader",
                            "room,\"depth\nA,4\n",
                            kExitUsage,
                            "the batch file's header line: " + kUnclosed,
                            {}},
                    Damaged{"RowsTooShortAndTooLong",
                            "room,depth\nA\nB,4,x\nC,4\n",
                            kExitEngineError,
                            "",
                            {"- 13 line 2: 1 fields where the header has 2",
                             "- 13 line 3: 3 fields where the header has 2", "69%"}},
                    Damaged{"MoreThan4096Fields",
                            "room,depth\nA,4" + std::string(5000, ',') + "\nB,4\n",
                            kExitEngineError,
                            "",
                            {"- 13 line 2: more than 4096 fields", "69%"}},
                    Damaged{"AFieldOverOneMebibyte",
                            "room,depth\nA," + std::string(2 << 20, 'x') + "\nB,4\n",
                            kExitEngineError,
                            "",
                            {"- 13 line 2: a field is longer than 1048576 bytes", "69%"}},
                    Damaged{"ANumberOfHalfAMillionDigits",
                            "room,depth\nA," + std::string(500000, '0') + "4\n",
                            kExitOk,
                            "",
                            {"69%"}},
                    Damaged{"ANumberBeyondTheDoubles",
                            "room,depth\nA," + std::string(400, '9') + "\n",
                            kExitEngineError,
                            "",
                            {"- 13 depth: '" + std::string(400, '9') + "' is not a number"}},
                    Damaged{"EnergyBeyondTheDoubles",
                            "depth,width,window-type,power-density\n1e308,5,3,10\n",
                            kExitEngineError,
                            "",
                            {"54% 6 Overflow"}},
                    Damaged{"NulBytes",
                            std::string("room,depth\nA\0,4\0\n", 17),
                            kExitEngineError,
                            "",
                            {"- 13 depth: '4\\u0000' is not a number"}},
                    Damaged{"BinaryJunk", Junk(4096), kExitUsage, kNoOption, {}}),
    [](const testing::TestParamInfo<Damaged>& info) { return std::string(info.param.name); });

// Junk rows under a good header: one line per row, each with a percent or an error, and the count on stderr.
TEST_F(BadBatchFile, JunkRowsEachGetAResultOrAnError) {
    const auto r = Cli({"--batch", Write("depth,width\n" + Junk(8192)), "--json"});
    EXPECT_EQ(r.code, kExitEngineError);
    const auto lines = Lines(r.out);
    size_t failed = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string summary = Summary(lines[i]);
        EXPECT_EQ(lines[i].rfind("{\"row\": " + std::to_string(i + 1) + ", ", 0), 0u);
        EXPECT_NE(summary.find_first_of("-%"), std::string::npos) << summary;
        failed += summary.find(' ') != std::string::npos;
    }
    EXPECT_GT(lines.size(), 10u);
    EXPECT_EQ(r.err, "error: " + std::to_string(failed) + " of " + std::to_string(lines.size()) +
                         " rooms could not be calculated\n");
}

TEST_F(BadBatchFile, AFolderCannotBeRead) {
    std::filesystem::create_directories(path_);
    const auto r = Cli({"--batch", path_.string()});
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(FirstLine(r.err), "korvane-energy-cli: --batch: cannot read '" + path_.string() + "'");
}

} // namespace
} // namespace korvane::cli
