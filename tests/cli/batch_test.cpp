// Batches of rooms, one per CSV row: rows compared with single runs, and damaged files (unbalanced quotes,
// rows of the wrong length, huge fields, NUL bytes, binary junk) that give a usage error or an error per row.
#include "CliTestSupport.h"

namespace korvane::cli {
namespace {

using namespace test;
using Batch = WithFile;

// Rooms that share sky hours with some rows and not with others, many times over, in a shuffled order and
// computed in parallel: each row carries what a single run of its room gives, in input order.
TEST_F(Batch, RowsEqualSingleRunsWhereverSkyHoursAreShared) {
    std::vector<std::string> rooms, members;
    for (int room = 0; room < 16; ++room) {
        const Args row{room % 2 ? "6" : "1", room / 2 % 2 ? "wien" : "frankfurt", room / 4 % 2 ? "7" : "8",
                       room / 8 ? "3" : "1"};
        const auto single =
            Cli({"--json", "--period", row[0], "--site", row[1], "--begin", row[2], "--window-type", row[3]});
        rooms.push_back(row[0] + "," + row[1] + "," + row[2] + "," + row[3]);
        members.push_back(single.out.substr(1, single.out.size() - 3));
    }
    std::string csv = "period,site,begin,window-type";
    for (int i = 0; i < 160; ++i)
        csv += "\n" + rooms[i * 7 % 16];
    const auto batch = Cli({"--batch", Write(csv + "\n"), "--json"});
    EXPECT_EQ(batch.code, kExitOk) << batch.err;
    const auto lines = Lines(batch.out);
    ASSERT_EQ(lines.size(), 160u);
    for (int i = 0; i < 160; ++i)
        EXPECT_NE(lines[i].find(members[i * 7 % 16]), std::string::npos) << lines[i];
}

// Input columns are kept as read; the command line fills in what a row leaves out; bad rows report in place.
TEST_F(Batch, CsvKeepsInputColumnsAndReportsBadRowsInPlace) {
    const auto r =
        Cli({"--batch", Write("room,depth,note\r\n\"A, 1\",4,\"said \"\"hi\"\"\"\r\nB,abc,x\r\nC,,z\r\n"),
             "--period", "6", "--depth", "6"});
    EXPECT_EQ(r.code, kExitEngineError);
    EXPECT_EQ(r.err, "error: 1 of 3 rooms could not be calculated\n");
    EXPECT_EQ(r.out, "room,depth,note,percent,fraction,error_number,error_description\n"
                     "\"A, 1\",4,\"said \"\"hi\"\"\",98,0.97533425910199223,,\n"
                     "B,abc,x,,,13,depth: 'abc' is not a number\n"
                     "C,,z,63,0.63105583894709361,,\n");
}

// JSON stays UTF-8 whatever the file's encoding: Windows-1252 bytes and a surrogate's bytes become U+FFFD,
// good UTF-8 passes. A field over the limit is reported and echoed empty, not as its last mebibyte.
TEST_F(Batch, JsonEchoesOnlyUtf8AndNoOverlongField) {
    const auto r = Cli({"--batch",
                        Write("room,note,depth\nB\xFCro,Gr\xC3\xBC\xC3\x9F"
                              "e \xED\xA0\x80,4\nA," +
                              std::string(2 << 20, 'x') + ",4\n"),
                        "--json"});
    EXPECT_EQ(r.out,
              "{\"row\": 1, \"input\": {\"room\": \"B\\ufffdro\", \"note\": \"Gr\xC3\xBC\xC3\x9F"
              "e \\ufffd\\ufffd\\ufffd\", \"depth\": \"4\"}, \"percent\": 69, \"fraction\": "
              "0.68609985133014695, \"error\": null}\n"
              "{\"row\": 2, \"input\": {\"room\": \"A\", \"note\": \"\", \"depth\": \"4\"}, \"percent\": "
              "null, \"fraction\": null, \"error\": {\"number\": 13, \"source\": \"korvane-energy-cli\", "
              "\"description\": \"line 3: a field is longer than 1048576 bytes\"}}\n");
}

// A JSON row as "69%" when it succeeded, "54% 6 Overflow" when its error came after its percent, "- 13 why"
// when it has no percent; read from the percent on, as the input's texts hold no unescaped quote.
std::string Summary(const std::string& line) {
    const auto after = [&](const char* key, size_t from) {
        const size_t at = line.find(key, from);
        return at == std::string::npos ? at : at + std::char_traits<char>::length(key);
    };
    const auto upTo = [&](size_t from, char end) { return line.substr(from, line.find(end, from) - from); };
    const size_t percent = after("}, \"percent\": ", 0), fraction = after(", \"fraction\": ", percent),
                 error = after(", \"error\": ", fraction);
    if (error == std::string::npos)
        return "malformed: " + line;
    const std::string shown = upTo(percent, ',') == "null" ? "-" : upTo(percent, ',') + "%";
    if (line.compare(error, std::string::npos, "null}") == 0)
        return shown;
    const size_t number = after("{\"number\": ", error), description = after(", \"description\": \"", number);
    if (description == std::string::npos || !line.ends_with("\"}}"))
        return "malformed: " + line;
    return shown + " " + upTo(number, ',') + " " + line.substr(description, line.size() - 3 - description);
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
    friend void PrintTo(const Damaged& c, std::ostream* os) { *os << c.name; }
};

class DamagedBatch : public WithFile, public ::testing::WithParamInterface<Damaged> {};

TEST_P(DamagedBatch, GivesAUsageErrorOrAnErrorPerRow) {
    const Damaged& c = GetParam();
    const auto r = Cli({"--batch", Write(c.csv), "--json"});
    const std::string usage = "korvane-energy-cli: --batch: ";
    std::string rows = r.err.starts_with(usage)
                           ? "usage: " + r.err.substr(usage.size(), r.err.find('\n') - usage.size())
                           : "";
    // Appended piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict) about "|" + std::string.
    for (const auto& line : Lines(r.out))
        rows.append(rows.empty() ? "" : "|").append(Summary(line));
    EXPECT_EQ(rows, c.expected);
    EXPECT_EQ(r.code, c.expected.starts_with("usage: ")           ? kExitUsage
                      : c.expected.find(' ') == std::string::npos ? kExitOk
                                                                  : kExitEngineError);
}

const std::string kUnclosed = "a quoted field is not closed before the end of the file";

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
        Damaged{"AColumnTwice", "depth,depth\n4,5\n", "usage: the batch file names the column 'depth' twice"},
        Damaged{"BinaryJunk", Junk(4096),
                "usage: the batch file's header names no option (window-type, begin, end, period, depth, "
                "width, ...)"}),
    [](const ::testing::TestParamInfo<Damaged>& info) { return std::string(info.param.name); });

} // namespace
} // namespace korvane::cli
