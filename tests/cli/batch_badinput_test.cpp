// Damaged batch files: unbalanced quotes, rows of the wrong length, huge fields, NUL bytes and binary junk.
// Each is a usage error, or every row gets its result or an error of its own.
#include "CliTestSupport.h"

namespace korvane::cli {
namespace {

using namespace test;

// "69%" for a row that succeeded, "54% 6 Overflow" for one whose error came after its percent, "- 13 why"
// for one without a percent.
std::string Summary(const std::string& jsonLine) {
    const auto at = jsonLine.find("}, \"percent\": "); // input texts hold no unescaped quote
    if (at == std::string::npos)
        return "malformed: " + jsonLine;
    const std::string tail = jsonLine.substr(at + 14);
    const std::string percent = tail.substr(0, tail.find(','));
    const std::string summary = percent == "null" ? "-" : percent + "%";
    const auto error = tail.find("\"error\": {\"number\": ");
    if (error == std::string::npos)
        return summary;
    const auto number = error + 20, description = tail.find("\"description\": \"") + 16;
    return summary + " " + tail.substr(number, tail.find(',', number) - number) + " " +
           tail.substr(description, tail.rfind("\"}") - description);
}

std::string Junk(size_t size) {
    std::string bytes;
    for (uint32_t x = 7; bytes.size() < size;) {
        x = x * 1103515245u + 12345u;
        bytes += static_cast<char>(x >> 24);
    }
    return bytes;
}

struct Damaged {
    const char* name;
    std::string csv;
    std::string expected; // the rows' summaries joined by '|', or "usage: " and what follows "--batch: "
};
void PrintTo(const Damaged& c, std::ostream* os) {
    *os << c.name;
}

class DamagedBatch : public WithFile, public ::testing::WithParamInterface<Damaged> {};

TEST_P(DamagedBatch, GivesAUsageErrorOrAnErrorPerRow) {
    const Damaged& c = GetParam();
    const auto r = Cli({"--batch", Write(c.csv), "--json"});
    if (c.expected.starts_with("usage: ")) {
        EXPECT_EQ(r.code, kExitUsage);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(FirstLine(r.err), "korvane-energy-cli: --batch: " + c.expected.substr(7));
        return;
    }
    std::string rows;
    for (const auto& line : Lines(r.out))
        rows += (rows.empty() ? "" : "|") + Summary(line);
    EXPECT_EQ(rows, c.expected);
    EXPECT_EQ(r.code, c.expected.find(' ') == std::string::npos ? kExitOk : kExitEngineError);
}

const std::string kUnclosed = "a quoted field is not closed before the end of the file";
const std::string kNoOption =
    "usage: the batch file's header names no option (window-type, begin, end, period, depth, width, ...)";

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedBatch,
    ::testing::Values(
        Damaged{"UnbalancedQuoteInARow", "room,depth\nA,4\nB,\"5\nC,6\n", "69%|- 13 line 3: " + kUnclosed},
        Damaged{"UnbalancedQuoteInTheHeader", "room,\"depth\nA,4\n",
                "usage: the batch file's header line: " + kUnclosed},
        Damaged{
            "RowsTooShortAndTooLong", "room,depth\nA\nB,4,x\nC,4\n",
            "- 13 line 2: 1 fields where the header has 2|- 13 line 3: 3 fields where the header has 2|69%"},
        Damaged{"MoreThan4096Fields", "room,depth\nA,4" + std::string(5000, ',') + "\nB,4\n",
                "- 13 line 2: more than 4096 fields|69%"},
        Damaged{"AFieldOverOneMebibyte", "room,depth\nA," + std::string(2 << 20, 'x') + "\nB,4\n",
                "- 13 line 2: a field is longer than 1048576 bytes|69%"},
        Damaged{"ANumberOfHalfAMillionDigits", "room,depth\nA," + std::string(500000, '0') + "4\n", "69%"},
        Damaged{"ANumberBeyondTheDoubles", "room,depth\nA," + std::string(400, '9') + "\n",
                "- 13 depth: '" + std::string(400, '9') + "' is not a number"},
        Damaged{"EnergyBeyondTheDoubles", "depth,width,window-type,power-density\n1e308,5,3,10\n",
                "54% 6 Overflow"},
        Damaged{"NulBytes", std::string("room,depth\nA\0,4\0\n", 17),
                "- 13 depth: '4\\u0000' is not a number"},
        Damaged{"NoHeader", "", "usage: the batch file has no header line"},
        Damaged{"NoOptionInTheHeader", "room,colour\nA,red\n", kNoOption},
        Damaged{"AColumnTwice", "depth,depth\n4,5\n", "usage: the batch file names the column 'depth' twice"},
        Damaged{"BinaryJunk", Junk(4096), kNoOption}),
    [](const ::testing::TestParamInfo<Damaged>& info) { return std::string(info.param.name); });

using BadBatchFile = WithFile;

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

} // namespace
} // namespace korvane::cli
