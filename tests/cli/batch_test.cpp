// Batches of rooms, one per row: rows compared with single runs in every dialect and for every period, and
// damaged files (stray and unbalanced quotes, rows of the wrong length, huge records, NUL bytes, clashing
// columns, binary junk) that give a usage error or an error per row, never a row more or less.
#include "CliBatch.h"
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

// Input columns are kept as read, quoted where they must be and with control characters made harmless; the
// command line fills in what a row leaves out; bad rows report in place.
TEST_F(Batch, CsvKeepsInputColumnsAndReportsBadRowsInPlace) {
    const auto r = Cli(
        {"--batch", Write("room,depth,note\r\n\"A, 1\",4,\"said \"\"hi\"\"\"\r\nB,abc,x\r\nC,,z\x1b\t\r\n"),
         "--period", "6", "--depth", "6"});
    EXPECT_EQ(r.code, kExitEngineError);
    EXPECT_EQ(r.err, "error: 1 of 3 rooms could not be calculated\n");
    EXPECT_EQ(r.out, "room,depth,note,percent,fraction,error_number,error_description\n"
                     "\"A, 1\",4,\"said \"\"hi\"\"\",98,0.97533425910199223,,\n"
                     "B,abc,x,,,13,depth: 'abc' is not a number\n"
                     "C,,\"z\xEF\xBF\xBD\t\",63,0.63105583894709361,,\n");
}

// JSON stays UTF-8 and holds no control character raw, C1 included; a field that is not UTF-8 is
// Windows-1252.
TEST_F(Batch, JsonEchoesUtf8AndEscapesControlCharacters) {
    const auto r = Cli({"--batch", Write("room,note,depth\nB\xFCro,\x1b[2J\xC2\x9B\x7F,4\n"), "--json"});
    EXPECT_EQ(r.out,
              "{\"row\": 1, \"input\": {\"room\": \"B\xC3\xBCro\", \"note\": \"\\u001b[2J\\u009b\\u007f\", "
              "\"depth\": \"4\"}, \"percent\": 69, \"fraction\": 0.68609985133014695, \"error\": null}\n");
}

// The same rooms in each dialect a spreadsheet writes give what single runs give, and the text comes back as
// UTF-8 in the input's delimiter and decimal mark, or the ones asked for.
TEST_F(Batch, EveryDialectGivesTheSingleRuns) {
    const auto single = [](const Args& args) {
        const auto r = Cli(args);
        return r.out.substr(1, r.out.size() - 3);
    };
    const std::string munich = single({"--json", "--depth", "4.5", "--site", "m\xC3\xBCnchen"}),
                      vienna = single({"--json", "--depth", "6", "--site", "wien"});
    const struct {
        const char* name;
        std::string csv;
    } dialects[] = {
        {"comma and point", "room,depth,site\nB\xC3\xBCro,4.5,M\xC3\xBCnchen\nHalle,6,wien\n"},
        {"semicolon and comma", "room;depth;site\nB\xC3\xBCro;4,5;M\xC3\xBCnchen\nHalle;6;wien\n"},
        {"TAB and comma", "room\tdepth\tsite\nB\xC3\xBCro\t4,5\tM\xC3\xBCnchen\nHalle\t6\twien\n"},
        {"Windows-1252, CR LF", "room;depth;site\r\nB\xFCro;4,5;M\xFCnchen\r\nHalle;6;wien\r\n"},
        {"byte-order mark", "\xEF\xBB\xBFroom,depth,site\nB\xC3\xBCro,4.5,M\xC3\xBCnchen\nHalle,6,wien"},
    };
    for (const auto& d : dialects) {
        const auto lines = Lines(Cli({"--batch", Write(d.csv), "--json"}).out);
        ASSERT_EQ(lines.size(), 2u) << d.name;
        EXPECT_TRUE(lines[0].starts_with("{\"row\": 1, \"input\": {\"room\": \"B\xC3\xBCro\"")) << d.name;
        EXPECT_TRUE(lines[0].ends_with(munich + "}")) << d.name << lines[0];
        EXPECT_TRUE(lines[1].ends_with(vienna + "}")) << d.name << lines[1];
    }
    const std::pair<Args, std::string> csv[] = {
        {{},
         "room;depth;site;percent;fraction;error_number;error_description\n"
         "B\xC3\xBCro;4,5;M\xC3\xBCnchen;63;0,62845158037888882;;\n"},
        {{"--output-delimiter", ",", "--decimal-point", "."},
         "room,depth,site,percent,fraction,error_number,error_description\n"
         "B\xC3\xBCro,\"4,5\",M\xC3\xBCnchen,63,0.62845158037888882,,\n"},
    };
    for (const auto& [args, expected] : csv) {
        Args all{"--batch", Write("room;depth;site\nB\xFCro;4,5;M\xFCnchen\n")};
        all.insert(all.end(), args.begin(), args.end());
        EXPECT_EQ(Cli(all).out, expected);
    }
}

// Each period column of a room is what a single run of that period gives, percent and energy.
TEST_F(Batch, PeriodColumnsEqualSingleRunsOfEachPeriod) {
    const Args rooms[] = {{"4", "frankfurt"}, {"12.5", "wien"}};
    std::string expectedCsv, expectedJson;
    for (const auto& room : rooms) {
        const auto all =
            Cli({"--depth", room[0], "--site", room[1], "--power-density", "10", "--period", "all", "--json"})
                .out;
        expectedCsv += room[0] + "," + room[1] + ",";
        std::string error = ",";
        for (size_t period = 0, name = 0; period <= 12; ++period) {
            const auto r = Cli({"--depth", room[0], "--site", room[1], "--period", std::to_string(period)});
            expectedCsv += r.out.substr(0, r.out.find('%')) + ",";
            name = all.find("\"name\": \"", name) + 9;
            if (error == "," && !r.err.empty()) // "error <number>: <description> (<source>)\n"
                error = r.err.substr(6, r.err.find(':') - 6) + "," +
                        all.substr(name, all.find('"', name) - name) +
                        r.err.substr(r.err.find(':'), r.err.rfind(" (") - r.err.find(':'));
        }
        expectedCsv += error;
        for (size_t at = 0; (at = all.find("\"kwh_saved\": ", at)) != std::string::npos;) {
            at += 13;
            expectedCsv += "," + all.substr(at, all.find('}', at) - at);
        }
        expectedCsv += "\n";
        expectedJson += "\"error\": null, " + all.substr(1, all.size() - 3) + "}\n";
    }
    const std::string file = Write("depth,site\n" + rooms[0][0] + "," + rooms[0][1] + "\n" + rooms[1][0] +
                                   "," + rooms[1][1] + "\n");
    const auto csv = Cli({"--batch", file, "--period", "all", "--power-density", "10"}).out;
    EXPECT_EQ(csv,
              "depth,site,percent_year,percent_01,percent_02,percent_03,percent_04,percent_05,percent_06,"
              "percent_07,percent_08,percent_09,percent_10,percent_11,percent_12,error_number,"
              "error_description,saved_kwh_year,saved_kwh_01,saved_kwh_02,saved_kwh_03,saved_kwh_04,"
              "saved_kwh_05,saved_kwh_06,saved_kwh_07,saved_kwh_08,saved_kwh_09,saved_kwh_10,"
              "saved_kwh_11,saved_kwh_12\n" +
                  expectedCsv);
    std::string json;
    for (const auto& line :
         Lines(Cli({"--batch", file, "--period", "all", "--power-density", "10", "--json"}).out))
        json += line.substr(line.find("}, ") + 3) + "\n";
    EXPECT_EQ(json, expectedJson);
}

// An output that cannot be written stops the batch at once; a slow producer sees each row before it is asked
// for the next one.
TEST(BatchStream, StopsOnAFailedWriteAndFlushesBeforeWaiting) {
    struct Output : std::stringbuf {
        std::string flushed;
        int sync() override { return flushed = str(), 0; }
    };
    struct SlowInput : std::streambuf {
        std::vector<std::string> pieces;
        size_t next = 0;
        Output* out = nullptr;
        std::vector<size_t> linesSeen; // flushed output lines when each piece was asked for
        std::streamsize showmanyc() override { return 0; }
        int_type underflow() override {
            if (gptr() < egptr())
                return traits_type::to_int_type(*gptr());
            if (next == pieces.size())
                return traits_type::eof();
            linesSeen.push_back(Lines(out->flushed).size());
            setg(pieces[next].data(), pieces[next].data(), pieces[next].data() + pieces[next].size());
            ++next;
            return traits_type::to_int_type(*gptr());
        }
    };
    Output output;
    SlowInput slow;
    slow.out = &output;
    slow.pieces = {"room,depth\nA,4\n", "B,5\n", "C,6\n"};
    std::istream in(&slow);
    std::ostream out(&output);
    std::ostringstream err;
    EXPECT_EQ(RunCli({"--batch", "-"}, {KORVANE_BIN_DIR, false, false, &in}, out, err), kExitOk);
    EXPECT_EQ(slow.linesSeen, (std::vector<size_t>{0, 2, 3}));

    std::string rows = "depth\n";
    for (int i = 0; i < 5000; ++i)
        rows += "4\n";
    std::istringstream many(rows);
    std::ostream closed(nullptr);
    const OptionTexts none;
    SiteList sites("");
    std::string why;
    BatchCounts counts;
    EXPECT_TRUE(RunBatch(many, {&none, &sites, false, false, 1, 10}, closed, err, why, counts));
    EXPECT_TRUE(counts.outputFailed);
    EXPECT_EQ(counts.rows, 10u);
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
    Args args = {};
    std::string warning = {}; // on stderr
    friend void PrintTo(const Damaged& c, std::ostream* os) { *os << c.name; }
};

class DamagedBatch : public WithFile, public ::testing::WithParamInterface<Damaged> {};

TEST_P(DamagedBatch, GivesAUsageErrorOrAnErrorPerRow) {
    const Damaged& c = GetParam();
    Args args{"--batch", Write(c.csv), "--json"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto r = Cli(args);
    EXPECT_NE(r.err.find(c.warning), std::string::npos) << r.err;
    const std::string usage = "korvane-energy-cli: --batch: ";
    std::string rows = r.err.starts_with(usage)
                           ? "usage: " + r.err.substr(usage.size(), r.err.find('\n') - usage.size())
                           : "";
    for (const auto& line : Lines(r.out))
        rows += (rows.empty() ? "" : "|") + Summary(line);
    EXPECT_EQ(rows, c.expected);
    EXPECT_EQ(r.code, c.expected.starts_with("usage: ")           ? kExitUsage
                      : c.expected.find(' ') == std::string::npos ? kExitOk
                                                                  : kExitEngineError);
}

const std::string kNoOption =
    "usage: the batch file's header names no option (window-type, begin, end, period, depth, width, ...)";

// A row of 1 kB after a quote that stays open beyond the bound, so many that they pass it.
std::string RowsAfterAnOpenQuote(std::string& summaries) {
    std::string rows = "room,depth\nA,\"4\n";
    summaries = "- 13 line 2: a quoted field is not closed within 1048576 bytes";
    for (int i = 0; i < 1100; ++i) {
        rows += std::string(1000, 'r') + ",4\n";
        summaries += "|69%";
    }
    return rows;
}
std::string gOpenQuoteRows;

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedBatch,
    ::testing::Values(
        Damaged{"QuotesInsideUnquotedFields", "room,depth\nA\"1,4\nB\"\"\",5\nC,4\n", "69%|52%|69%"},
        Damaged{"UnbalancedQuoteInARow", "room,depth\nA,4\nB,\"5\nC,6\n\nD,4",
                "69%|- 13 line 3: a quoted field is not closed before the end of the file|41%|69%"},
        Damaged{"QuoteOpenBeyondTheBound", RowsAfterAnOpenQuote(gOpenQuoteRows), gOpenQuoteRows},
        Damaged{"TextAfterAClosingQuote", "room,depth\nA,\"4\"5\nB,\"4\" \n",
                "- 13 line 2: text after the closing quote of field 2|69%"},
        Damaged{"UnbalancedQuoteInTheHeader", "room,\"depth\nA,4\n",
                "usage: the batch file's header line: a quoted field is not closed on its line"},
        Damaged{
            "RowsTooShortAndTooLong", "room,depth\nA\nB,4,x\nC,4\n",
            "- 13 line 2: 1 fields where the header has 2|- 13 line 3: 3 fields where the header has 2|69%"},
        Damaged{"MoreThan4096Fields", "room,depth\nA,4" + std::string(5000, ',') + "\nB,4\n",
                "- 13 line 2: more than 4096 fields|69%"},
        Damaged{"ARecordOverOneMebibyte", "room,depth\nA,4" + std::string(2 << 20, 'x') + "\nB,4\n",
                "- 13 line 2: the record is longer than 1048576 bytes|69%"},
        Damaged{"ALineOfSmallFieldsOverOneMebibyte", "depth\n" + std::string(2 << 20, ',') + "\n4\n",
                "- 13 line 2: the record is longer than 1048576 bytes|69%"},
        Damaged{"ANumberOfHalfAMillionDigits", "room,depth\nA," + std::string(500000, '0') + "4\n", "69%"},
        Damaged{"ANumberBeyondTheDoubles", "room,depth\nA," + std::string(400, '9') + "\n",
                "- 13 depth: '" + std::string(400, '9') + "' is not a number"},
        Damaged{"EnergyBeyondTheDoubles", "depth,width,window-type,power-density\n1e308,5,3,10\n",
                "54% 6 Overflow"},
        Damaged{"NulBytes", std::string("room,depth\nA\0,4\0\n", 17),
                "- 13 depth: '4\\u0000' is not a number"},
        Damaged{"NoHeader", "", "usage: the batch file has no header line"},
        Damaged{"AColumnTwice", "depth,depth\n4,5\n", "usage: the batch file names the column 'depth' twice"},
        Damaged{"BinaryJunk", Junk(4096), kNoOption},
        Damaged{"APartOfAByteOrderMark",
                "\xEF\xBB"
                "depth\n4\n",
                kNoOption},
        Damaged{"NamesInAnyCaseWithBlanks", " Depth ,ROOM\n6,A\n", "41%"},
        Damaged{"ALookalikeColumnWarnedOnce",
                "depht,room,depth\n6,A,4\n6,B,4\n",
                "69%|69%",
                {},
                "warning: the batch file's column 'depht' is no option and is passed through; did you mean "
                "'depth'?\n"},
        Damaged{"ColumnsThatClash", "room,Room ,percent,depth\n",
                "usage: the batch file's columns 'Room', "
                "'percent' have the name of another column or of a result column: rename them"},
        Damaged{"ADelimiterInDoubt", "depth;width,band\n",
                "usage: the header line splits into option names at ',' and at ';': say which with "
                "--delimiter , | ; | tab"},
        Damaged{"ADelimiterGiven", "depth;width,band\n4;x\n", "69%", {"--delimiter", ";"}},
        Damaged{"DecimalCommaAfterAComma", "room,depth\nA,\"4,5\"\n", "- 13 depth: '4,5' is not a number"},
        Damaged{"GroupSeparators", "room;depth\nA;1.234,5\nB;4,0\n",
                "- 13 depth: '1.234,5' is not a number (a decimal comma or point, no groups)|69%"},
        Damaged{"APeriodColumnWithAllPeriods",
                "period\n1\n",
                "usage: --period all computes every period: the batch file's 'period' column cannot be used "
                "with it",
                {"--period", "all"}}),
    [](const ::testing::TestParamInfo<Damaged>& info) { return std::string(info.param.name); });

} // namespace
} // namespace korvane::cli
