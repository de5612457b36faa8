// Batches of rooms, one per row: rows compared with single runs in every dialect and for every period, and
// damaged files (stray and unbalanced quotes, rows of the wrong length, huge records, NUL bytes, clashing
// columns, binary junk) that give a usage error or an error per row, never a row more or less.
#include "CliBatch.h"
#include "CliFiles.h"
#include "CliTestSupport.h"
#include "CsvReader.h"
#include "RoomFile.h"

namespace korvane::cli {
namespace {

using namespace test;
using Batch = WithFile;

std::string Repeat(const std::string& text, size_t times) {
    std::string all;
    while (times-- > 0)
        all += text;
    return all;
}

// Rooms that share sky hours with some rows and not with others, many times over, in a shuffled order and
// computed in parallel, in each dialect a spreadsheet writes: each row carries what a single run of its room
// gives, in input order, and its text as UTF-8.
TEST_F(Batch, RowsEqualSingleRunsInEveryDialectWhereverSkyHoursAreShared) {
    std::vector<Args> rooms;
    std::vector<std::string> members;
    for (int room = 0; room < 16; ++room) {
        rooms.push_back({room % 2 ? "6" : "1", room / 2 % 2 ? "wien" : "M\xC3\xBCnchen",
                         room / 4 % 2 ? "7" : "8", room / 8 ? "3" : "1", room % 3 ? "4.5" : "6"});
        const Args& row = rooms.back();
        const auto single = Cli({"--json", "--period", row[0], "--site", row[1], "--begin", row[2],
                                 "--window-type", row[3], "--depth", row[4]});
        members.push_back(single.out.substr(1, single.out.size() - 3));
    }
    const struct {
        std::string start, end; // of the file, of a line
        char delimiter, decimal;
    } dialects[] = {{"", "\n", ',', '.'},
                    {"", "\n", ';', ','},
                    {"", "\n", '\t', ','},
                    {"1252", "\r\n", ';', ','},
                    {"\xEF\xBB\xBF", "\n", ',', '.'}};
    for (const auto& d : dialects) {
        const auto line = [&](const Args& fields) {
            std::string text;
            for (std::string field : fields) {
                std::replace(field.begin(), field.end(), '.', d.decimal);
                text += (text.empty() ? "" : std::string(1, d.delimiter)) +
                        (d.start == "1252" && field[1] == '\xC3' ? "M\xFCnchen" : field);
            }
            return text + d.end;
        };
        std::string csv =
            (d.start == "1252" ? "" : d.start) + line({"period", "site", "begin", "window-type", "depth"});
        for (int i = 0; i < 160; ++i)
            csv += line(rooms[i * 7 % 16]);
        const auto lines = Lines(Cli({"--batch", Write(csv), "--json"}).out);
        ASSERT_EQ(lines.size(), 160u) << csv;
        for (int i = 0; i < 160; ++i) {
            EXPECT_TRUE(lines[i].find(members[i * 7 % 16]) != std::string::npos &&
                        lines[i].find("\"site\": \"" + rooms[i * 7 % 16][1] + "\"") != std::string::npos)
                << lines[i];
        }
    }
}

// Rows under weather files, each file read once: each row what a single run under its file gives; a file
// that cannot be read and a site given as well are that row's errors.
TEST_F(Batch, RowsUnderWeatherFilesEqualSingleRunsUnderTheirFiles) {
    const std::string sample = KORVANE_WEATHER_SAMPLE, bad = Write("LOCATION,x\n") + ".epw";
    std::filesystem::rename(path_, bad);
    const auto single = [&](const char* period) {
        const auto out = Cli({"--weather", sample, "--period", period, "--json"}).out;
        return out.substr(1, out.size() - 3);
    };
    const auto lines = Lines(Cli({"--batch",
                                  Write("weather,period,site\n" + sample + ",0,\n" + bad + ",0,\n" + sample +
                                        ",6,\n" + sample + ",1,wien\n"),
                                  "--json"})
                                 .out);
    std::filesystem::remove(bad);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find(single("0")), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("\"number\": 13, \"source\": \"weather:ReadEpw\", \"description\": \"" + bad +
                            ": line 1: the LOCATION line has 2 fields, not 10\""),
              std::string::npos)
        << lines[1];
    EXPECT_NE(lines[2].find(single("6")), std::string::npos) << lines[2];
    EXPECT_NE(lines[3].find("weather: the site is the weather file's; site cannot be given with it"),
              std::string::npos)
        << lines[3];
}

// A room file's weather file, relative to the room file's folder, is the sky of its run and of its rows as
// --weather would be, and --weather replaces it; a site given as well, or a row's file that the batch writes,
// is refused.
TEST_F(Batch, RoomFilesNameTheirWeatherFile) {
    std::filesystem::create_directory(path_);
    std::filesystem::copy_file(KORVANE_WEATHER_SAMPLE, path_ / "w.epw");
    const std::string dir = path_.string(), room = dir + "/r.kvroom", out = dir + "/out.xlsx",
                      weather = dir + "/w.epw", sample = KORVANE_WEATHER_SAMPLE;
    room::Room r = room::RoomOf(inputs::StartRoom());
    r.siteName = "Frankfurt am Main", r.weatherFile = "w.epw";
    std::ofstream(room) << room::WriteRoom(r);
    std::ofstream(dir + "/b.csv") << "room-file,site\n" << room << ",\n" << room << ",wien\n" << out << ",\n";
    std::filesystem::copy_file(room, out); // a room file that the workbook must not replace
    const std::pair<Args, std::vector<std::string>> runs[] = {
        {{"--room", room, "--json"}, {"\"percent\": 85, ", "\"weather\": \"" + weather + "\""}},
        {{"--room", room, "--weather", sample, "--json"}, {"\"weather\": \"" + sample + "\""}},
        {{"--room", room, "--latitude", "45"},
         {"--room: '" + room + "' names the weather file '" + weather +
          "': the site is the weather file's; --latitude cannot be given with it"}},
        {{"--batch", dir + "/b.csv", "--xlsx", out},
         {"\n" + room + ",,85,",
          "room-file (line 3): '" + room + "' names the weather file '" + weather +
              "': the site is the weather file's; site cannot be given with it",
          "--xlsx '" + out + "' is the same file as room-file (line 4) '" + out + "', which is not read",
          "--xlsx '" + out + "' is not written: 1 room names it as an input"}},
    };
    for (const auto& [args, found] : runs) {
        const auto printed = Cli(args);
        for (const auto& text : found)
            EXPECT_NE((printed.out + printed.err).find(text), std::string::npos)
                << printed.out << printed.err;
    }
    EXPECT_EQ(std::filesystem::file_size(out), std::filesystem::file_size(room));
}

// Input columns are kept as read and as UTF-8, quoted where they must be and with control characters made
// harmless, in the input's delimiter and decimal mark or the ones asked for; the command line fills in what a
// row leaves out; bad rows report in place.
TEST_F(Batch, CsvKeepsInputColumnsAndReportsBadRowsInPlace) {
    const std::pair<Args, std::string> cases[] = {
        {{"--period", "6", "--depth", "6"},
         "room,depth,note,percent,fraction,error_number,error_description,autonomy\n"
         "\"A, 1\",4,\"said \"\"hi\"\"\",98,0.97533425910199223,,,0.73703703703703705\n"
         "B,abc,x,,,13,depth: 'abc' is not a number,\n"
         "C,,\"z\xEF\xBF\xBD\t\",63,0.63105583894709361,,,0.0\n"},
        {{},
         "room;depth;site;percent;fraction;error_number;error_description;autonomy\n"
         "B\xC3\xBCro;4,5;M\xC3\xBCnchen;63;0,62845158037888882;;;0,13637747336377473\n"},
        {{"--output-delimiter", ",", "--decimal-point", "."},
         "room,depth,site,percent,fraction,error_number,error_description,autonomy\n"
         "B\xC3\xBCro,\"4,5\",M\xC3\xBCnchen,63,0.62845158037888882,,,0.13637747336377473\n"},
    };
    for (const auto& [args, expected] : cases) {
        Args all{"--batch", Write(!args.empty() && args[0] == "--period"
                                      ? "room,depth,note\r\n\"A, 1\",4,\"said \"\"hi\"\"\"\r\n"
                                        "B,abc,x\r\nC,,z\x1b\t\r\n"
                                      : "room;depth;site\nB\xFCro;4,5;M\xFCnchen\n")};
        all.insert(all.end(), args.begin(), args.end());
        EXPECT_EQ(Cli(all).out, expected);
    }
}

// Each period column of a room is what a single run of that period gives: percent, energy saved, autonomy.
TEST_F(Batch, PeriodColumnsEqualSingleRunsOfEachPeriod) {
    const auto values = [](const std::string& json, const std::string& key) {
        std::string found;
        for (size_t at = 0; (at = json.find("\"" + key + "\": ", at)) != std::string::npos;) {
            at += key.size() + 4;
            found += "," + json.substr(at, json.find_first_of(",}", at) - at);
        }
        return found;
    };
    const std::string file = Write("depth,site\n4,frankfurt\n6,wien\n");
    std::string csv, json;
    for (const char* room : {"4,frankfurt", "6,wien"}) {
        const std::string depth(room, 1), all = Cli({"--depth", depth, "--site", room + 2, "--power-density",
                                                     "10", "--period", "all", "--json"})
                                                    .out;
        csv +=
            room + values(all, "percent") + ",," + values(all, "kwh_saved") + values(all, "autonomy") + "\n";
        json += "\"error\": null, " + all.substr(1);
    }
    const auto batch = Lines(Cli({"--batch", file, "--period", "all", "--power-density", "10"}).out);
    ASSERT_EQ(batch.size(), 3u);
    EXPECT_EQ(batch[1] + "\n" + batch[2] + "\n", csv);
    EXPECT_EQ(batch[0].substr(0, 64), "depth,site,percent_year,percent_01,percent_02,percent_03,percent");
    std::string lines;
    for (const auto& line :
         Lines(Cli({"--batch", file, "--period", "all", "--power-density", "10", "--json"}).out))
        lines += line.substr(line.find("}, ") + 3) + "\n";
    EXPECT_EQ(lines, json);
}

// A slow producer sees each row before it is asked for the next one; an output that cannot be written stops
// the batch at once.
TEST(BatchStream, FlushesBeforeWaitingAndStopsOnAFailedWrite) {
    struct Output : std::stringbuf {
        std::string flushed;
        int sync() override { return flushed = str(), 0; }
    } output;
    struct SlowInput : std::streambuf {
        std::vector<std::string> pieces{"room,depth\nA,4\n", "B,5\n", "C,6\n"};
        std::vector<size_t> linesSeen; // flushed output lines when each piece was asked for
        Output* out;
        std::streamsize showmanyc() override { return 0; }
        int_type underflow() override {
            if (linesSeen.size() == pieces.size())
                return traits_type::eof();
            linesSeen.push_back(Lines(out->flushed).size());
            auto& piece = pieces[linesSeen.size() - 1];
            setg(piece.data(), piece.data(), piece.data() + piece.size());
            return traits_type::to_int_type(piece[0]);
        }
    } slow;
    slow.out = &output;
    std::istream in(&slow);
    std::ostream out(&output);
    std::ostringstream err;
    EXPECT_EQ(RunCli({"--batch", "-"}, {KORVANE_BIN_DIR, false, false, &in}, out, err), kExitOk);
    EXPECT_EQ(slow.linesSeen, (std::vector<size_t>{0, 2, 3}));

    std::istringstream many("depth\n" + Repeat("4\n", 5000));
    std::ostream closed(nullptr);
    EXPECT_EQ(RunCli({"--batch", "-"}, {KORVANE_BIN_DIR, false, false, &many}, closed, err), kExitOutput);
    EXPECT_EQ(err.str(),
              "korvane-energy-cli: cannot write to standard output; the batch stopped after 1024 rooms\n");
}

// A workbook that fills its sheet or cannot be written costs no printed row, and ends with a code of its own.
TEST_F(Batch, AWorkbookThatCannotTakeEveryRowLeavesEveryRowPrinted) {
    const std::string rooms = Write("room,depth\nA,4\nB,5\nC,6\n");
    const std::string book = rooms + ".xlsx";
    OptionTexts none;
    SiteList sites(std::string(KORVANE_BIN_DIR) + "/DEFAULT.GEO");
    XlsxBatchRows twoRooms(book, 2);
    BatchSettings settings{&none, &sites};
    settings.rows = &twoRooms;
    std::ifstream in(rooms);
    std::ostringstream out, err;
    std::string why;
    BatchCounts counts;
    ASSERT_TRUE(RunBatch(in, settings, out, err, why, counts));
    twoRooms.Close();
    EXPECT_EQ(Lines(out.str()).size(), 4u);
    EXPECT_EQ(twoRooms.RowsLeftOut(), 1u);
    EXPECT_TRUE(std::filesystem::remove(book));

    const auto r = Cli({"--batch", rooms, "--xlsx", "/nonexistent/rooms.xlsx"});
    EXPECT_EQ(r.code, kExitFile);
    EXPECT_EQ(r.out, Cli({"--batch", rooms}).out);
    EXPECT_TRUE(r.err.starts_with("error 75: ")) << r.err;
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
    Args args{"--batch", Write(c.csv), "--output-delimiter", ","};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto r = Cli(args);
    EXPECT_NE(r.err.find(c.warning), std::string::npos) << r.err;
    const std::string usage = "korvane-energy-cli: --batch: ";
    std::string rows = r.err.starts_with(usage)
                           ? "usage: " + r.err.substr(usage.size(), r.err.find('\n') - usage.size())
                           : "";
    // Each row as "69%", "54% 6 Overflow" when its error came after its percent, "- 13 why" without a
    // percent.
    std::istringstream out(r.out);
    CsvReader reader(out);
    CsvRecord header, row;
    reader.Next(header);
    const size_t p = std::find(header.fields.begin(), header.fields.end(), "percent") - header.fields.begin();
    while (reader.Next(row)) {
        const auto& f = row.fields;
        // Appended piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict) about "|" + std::string.
        rows.append(rows.empty() ? "" : "|")
            .append(f.at(p).empty() ? "-" : f[p])
            .append(f[p].empty() ? "" : "%");
        if (!f.at(p + 2).empty())
            rows.append(" ").append(f[p + 2]).append(" ").append(f.at(p + 3));
    }
    EXPECT_EQ(rows, c.expected);
    EXPECT_EQ(r.code, c.expected.starts_with("usage: ")           ? kExitUsage
                      : c.expected.find(' ') == std::string::npos ? kExitOk
                                                                  : kExitEngineError);
}

const std::string kNoOption =
    "usage: the batch file's header names no option (window-type, begin, end, period, depth, width, ...)";

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedBatch,
    ::testing::Values(
        Damaged{"QuotesInsideUnquotedFields", "room,depth\nA\"1,4\nB\"\"\",5\nC,4\n", "69%|52%|69%"},
        Damaged{"UnbalancedQuoteInARow", "room,depth\nA,4\nB,\"5\nC,6\n\nD,4",
                "69%|- 13 line 3: a quoted field is not closed before the end of the file|41%|69%"},
        Damaged{"QuoteOpenBeyondTheBound",
                "room,depth\nA,\"4\n" + Repeat(std::string(1000, 'r') + ",4\n", 1100),
                "- 13 line 2: a quoted field is not closed within 1048576 bytes" + Repeat("|69%", 1100)},
        Damaged{"TextAfterAClosingQuote", "room,depth\nA,\"4\"5\nB,\"4\" \n",
                "- 13 line 2: text after the closing quote of field 2|69%"},
        Damaged{"UnbalancedQuoteInTheHeader", "room,\"depth\nA,4\n",
                "usage: the batch file's header line: a quoted field is not closed on its line"},
        Damaged{
            "RowsTooShortAndTooLong", "room,depth\nA\nB,4,x\nC,4\n",
            "- 13 line 2: 1 fields where the header has 2|- 13 line 3: 3 fields where the header has 2|69%"},
        Damaged{"MoreThan4096Fields", "room,depth\nA,4" + std::string(5000, ',') + "\nB,4\n",
                "- 13 line 2: more than 4096 fields|69%"},
        Damaged{"ALineOfSmallFieldsOverOneMebibyte", "depth\n" + std::string(2 << 20, ',') + "\n4\n",
                "- 13 line 2: the record is longer than 1048576 bytes|69%"},
        // A length limits typing only.
        Damaged{"ANumberOfHalfAMillionDigits", "room,depth\nA," + std::string(500000, '0') + "4\n", "69%"},
        Damaged{"ANumberBeyondTheDoubles", "room,depth\nA," + std::string(400, '9') + "\n",
                "- 13 depth: '" + std::string(400, '9') + "' is not a number"},
        Damaged{"NulBytes", std::string("room,depth\nA\0,4\0\n", 17),
                "- 13 depth: '4\xEF\xBF\xBD' is not a number"},
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
