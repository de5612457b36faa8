// The site-file reader, its string helpers, and the default site list that ships beside the executables.
#include "TextInput.h"
#include "VbError.h"
#include "clsGeoFile.h"
#include "clsLocalInfo.h"
#include "modStringHandler.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace korvane {

void PrintTo(const GeoEntry& e, std::ostream* os) {
    *os << "{" << e.Name << ", " << e.Longitude << ", " << e.Latitude << ", " << e.TimeDiffGMT << "}";
}

namespace {

using namespace std::string_literals;
const GeoEntry kUserSite{"Benutzerdefiniert", 0, 0, 0};
const std::vector<GeoEntry> kOld{kUserSite, {"Alt 1", 1, 2, 3}, {"Alt 2", 4, 5, 6}, {"Alt 3", 7, 8, 9}};
const char* const kLocales[] = {"de_DE.UTF-8", "en_US.UTF-8"}; // a comma and a point locale

ScopedLocaleSources UserLocale(const std::string& name) {
    return ScopedLocaleSources(FixedLocaleSources({{"LC_ALL", name}}));
}

// Number and source of what f raises; 0 and nothing when it raises none.
using Raised = std::pair<int32_t, std::string>;

Raised ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        return {e.Number(), e.Source()};
    }
    return {};
}

Raised FromOpen(int32_t number) {
    return {number, "clsGeoFile:OpenGeoFile"};
}

// Good files and their sites, entries 1 to n; bad files and their error, which leaves the table as it was.
TEST(ReadGeoData, ReadsSitesIntoEntriesOneToNOrRefusesTheFileUnderEitherLocale) {
    using G = std::pair<std::string, std::vector<GeoEntry>>;
    using B = std::pair<std::string, int32_t>;
    for (const char* locale : kLocales) {
        auto scope = UserLocale(locale);
        for (const auto& [bytes, sites] :
             {G{"* Kopf\r\nWien;16,37;48,21;1\r\n*\r\n*;;;\r\nNew York;-74,01;40,71;-5\r\n",
                {{"Wien", 16.37, 48.21, 1}, {"New York", -74.01, 40.71, -5}}},
              G{"Wien;16,37;48,21;1;GMT+1;x\r\n", {{"Wien", 16.37, 48.21, 1}}},
              G{"Wien;16,37;48,21\r\nA;1;2,5\r\nB;1;3,5\r\nC;1;-2,5\r\n",
                {{"Wien", 16.37, 48.21, 48}, {"A", 1, 2.5, 2}, {"B", 1, 3.5, 4}, {"C", 1, -2.5, -2}}},
              G{" Bad Tölz ; 11,56 ;\t47,76 ; +1 \r\n", {{" Bad Tölz ", 11.56, 47.76, 1}}},
              G{"Nord;0;90;0\r\nSüd;-0,5;-90;12\r\nGroß;1E2;,5;-32768\r\n",
                {{"Nord", 0, 90, 0}, {"Süd", -0.5, -90, 12}, {"Groß", 100, 0.5, -32768}}},
              G{"A;1;2;3\r\nB;4;5;6\nC;7;8;9\rD;10;11;12",
                {{"A", 1, 2, 3}, {"B", 4, 5, 6}, {"C", 7, 8, 9}, {"D", 10, 11, 12}}},
              G{"\xEF\xBB\xBF* Kopf\r\nM\xC3\xBCnchen;11,58;48,14;1\r\n", {{"München", 11.58, 48.14, 1}}},
              G{"\xEF\xBB\xBFM\xC3\xBCnchen;11,58;48,14;1", {{"München", 11.58, 48.14, 1}}},
              G{"* K\xF6pf\r\nM\xFCnchen;11,58;48,14;1\r\n\x80 \x8A\x9F\x85;1;2;3\r\n",
                {{"München", 11.58, 48.14, 1}, {"€ ŠŸ…", 1, 2, 3}}},
              G{"Wi\0en;16,37;48,21;1"s, {{"Wi\0en"s, 16.37, 48.21, 1}}}}) {
            std::vector<GeoEntry> table = kOld, expected{kUserSite};
            clsGeoFile().ReadGeoData(bytes, table);
            expected.insert(expected.end(), sites.begin(), sites.end());
            EXPECT_EQ(table, expected) << locale << " " << bytes;
        }
        for (const B& file :
             {B{"", ErrSubscript}, B{"* nur\r\n*Kommentare\r\n", ErrSubscript},
              B{"\xEF\xBB\xBF", ErrSubscript},
              B{"Wien;16,37;48,21;1\r\n\r\nBern;7,45;46,95;1\r\n", ErrTypeMismatch},
              B{"A;1;2;3\n\rB;4;5;6", ErrTypeMismatch}, B{"Wien;16,37;48,21;1\r\n   \r\n", ErrTypeMismatch},
              B{" * Kopf\r\nWien;16,37;48,21;1\r\n", ErrTypeMismatch}, B{"Wien", ErrTypeMismatch},
              B{"Wien;;48,21;1", ErrTypeMismatch}, B{"Wien;16,37;48,21;", ErrTypeMismatch},
              B{"Wien;16,37;48,21;eins", ErrTypeMismatch}, B{"Wien;1.016,37;48,21;1", ErrTypeMismatch},
              B{"Wien;16,37;48,21;0x1", ErrTypeMismatch}, B{"Wien;16,37;48,21;32768", ErrOverflow},
              B{"Wien;16,37;48,21;-32768,5001", ErrOverflow}, B{"Wien;1E309;48,21;1", ErrOverflow},
              B{"Wien;16\0,37;48,21;1"s, ErrTypeMismatch}, B{"Wien;16,37;48,21\xC3;1", ErrTypeMismatch},
              B{"\xFF\xFEW\0;\0"s, ErrTypeMismatch}}) {
            std::vector<GeoEntry> table = kOld;
            EXPECT_EQ(ErrorOf([&] { clsGeoFile().ReadGeoData(file.first, table); }), FromOpen(file.second))
                << locale << " " << file.first;
            EXPECT_EQ(table, kOld) << file.first;
        }
    }
}

// Names keep their commas under every locale; the numbers' decimal commas are read by the locale's separator.
// The point is no decimal mark of the file: it is left alone, and only a point locale reads it as one.
TEST(LocaleSeparator, DecidesHowNumbersAreRead) {
    const GeoEntry halle{"Halle, Saale", 11.97, 51.48, 1};
    const struct {
        const char *locale, *separator, *line;
        std::optional<GeoEntry> site; // nothing: type mismatch
    } rows[] = {{"de_DE", ",", "Halle, Saale;11,97;51,48;1", halle},
                {"en_GB", ".", "Halle, Saale;11,97;51,48;1", halle},
                {"ar_EG", "٫", "Halle, Saale;11,97;51,48;1", halle},
                {"xx_YY", "", "Halle, Saale;11,97;51,48;1", halle},
                {"de_DE", ",", "Wien;16.37;48,21;1", std::nullopt},
                {"en_US", ".", "Wien;16.37;48,21;1", GeoEntry{"Wien", 16.37, 48.21, 1}}};
    for (const auto& row : rows) {
        auto scope = UserLocale(row.locale);
        clsGeoFile reader;
        EXPECT_EQ(reader.GetDecSeparator(), row.separator);
        std::vector<GeoEntry> table;
        const Raised e = ErrorOf([&] { reader.ReadGeoData(row.line, table); });
        EXPECT_EQ(e.first, row.site ? 0 : ErrTypeMismatch) << row.locale << " " << row.line;
        EXPECT_EQ(table, (row.site ? std::vector<GeoEntry>{{}, *row.site} : std::vector<GeoEntry>{}))
            << row.locale;
    }
}

TEST(Limits, LinesOfAtMost32767CharactersAndAtMost32767Sites) {
    auto scope = UserLocale("de_DE");
    const std::string site = "Wien;16,37;48,21;1;";
    const std::string longest = site + std::string(32767 - site.size(), 'x');
    std::vector<GeoEntry> table = kOld;
    clsGeoFile().ReadGeoData("* " + std::string(40000, 'x') + "\r\n" + longest + "\r\n", table);
    EXPECT_EQ(table.size(), 2u) << "a long comment line is skipped, a data line of 32767 characters is read";

    std::string file;
    for (int i = 1; i <= 32767; ++i)
        // Appended piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict) about "S" + std::string.
        file.append("S").append(std::to_string(i)).append(";1,5;2,5;1\r\n");
    clsGeoFile().ReadGeoData(file, table);
    ASSERT_EQ(table.size(), 32768u);
    EXPECT_EQ(table[32767], (GeoEntry{"S32767", 1.5, 2.5, 1}));

    for (const std::string& tooMuch : {"A;1;2;3\r\n" + longest + "x\r\n", file + "*\r\nS32768;1;2;3"}) {
        table = kOld;
        EXPECT_EQ(ErrorOf([&] { clsGeoFile().ReadGeoData(tooMuch, table); }), FromOpen(ErrOverflow));
        EXPECT_EQ(table, kOld);
    }
}

// Reading a file by name is shown with DEFAULT.GEO. Only a regular file of at most 4 MiB is read, and every
// error names the file, and the line where one is at fault.
TEST(OpenGeoFile, RefusesWhatIsNoSiteFileAndSaysWhere) {
    const std::string dir = testing::TempDir(), fifo = dir + "korvane-fifo.geo", file = dir + "korvane.geo";
    std::filesystem::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string largest = std::string(clsGeoFile::kMaxFileBytes - 13, '*') + "\nA;1;2;3\r\nB;x";
    // Path, bytes to write there, number and description; the command line's tests show the others' texts.
    using R = std::tuple<std::string, std::string, int32_t, std::string>;
    for (const auto& [path, bytes, number, description] :
         {R{dir + "korvane-missing.geo", "", ErrFileNotFound, ""}, R{"", "", ErrFileNotFound, ""},
          R{dir, "", ErrPathFileAccess, ""}, R{"/dev/zero", "", ErrPathFileAccess, ""},
          R{fifo, "", ErrPathFileAccess, ""}, // opening it would wait for a writer
          R{file, largest + "\n", ErrPathFileAccess,
            "Path/File access error: " + file + " is larger than 4194304 bytes"},
          R{file, largest, ErrTypeMismatch, "Type mismatch in line 3 of " + file},
          R{file, "*\r\n", ErrSubscript, "Subscript out of range in " + file + ": no site"}}) {
        if (!bytes.empty())
            std::ofstream(path, std::ios::binary) << bytes;
        std::vector<GeoEntry> table = kOld;
        try {
            clsGeoFile().OpenGeoFile(path, table);
            ADD_FAILURE() << path << " was read";
        } catch (const VbError& e) {
            EXPECT_EQ(Raised(e.Number(), e.Source()), FromOpen(number)) << path;
            EXPECT_TRUE(description.empty() || e.Description() == description) << e.Description();
        }
        EXPECT_EQ(table, kOld);
    }
    std::filesystem::remove(fifo);
    std::filesystem::remove(file);
}

// One encoding per file: a byte that is no UTF-8 makes the whole text Windows-1252.
TEST(DecodeText, ReadsUtf8OrWindows1252) {
    using D = std::pair<std::string, std::string>;
    for (const auto& [bytes, text] :
         {D{"K\xC3\xB6ln M\xFCnchen", "KÃ¶ln München"},
          D{"\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F",
            "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F"},
          D{"\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F", "\u0090‘’“”•–—˜™š›œ\u009DžŸ"},
          D{"\xA0\xDF\xFF", "\u00A0ßÿ"}, D{"\xC0\xAF", "À¯"}, D{"\xED\xA0\x80", "í\u00A0€"},
          D{"\xF4\x90\x80\x80", "ô\u0090€€"}, D{"\xE2\x82", "â‚"},
          D{std::string("a\0b", 3), std::string("a\0b", 3)}})
        EXPECT_EQ(DecodeText(bytes), text);
}

TEST(StringHelpers, GetParameterSplitsAtTheDelimiterAndReplaceCharReplacesEveryOccurrence) {
    using F = std::tuple<const char*, const char*, int32_t, const char*>; // text, delimiter, number, field
    for (const auto& [text, delimiter, number, expected] :
         {F{"a;b;c", ";", 1, "a"}, F{"a;b;c", ";", 2, "b"}, F{"a;b;c", ";", 3, "c"}, F{"a;b;c", ";", 7, "c"},
          F{"a;b;c", ";", 0, "c"}, F{"a;;c", ";", 2, ""}, F{";b", ";", 1, ""}, F{"a;", ";", 2, ""},
          F{"abc", ";", 1, "abc"}, F{"abc", ";", 4, "abc"}, F{" Bad Tölz ;11,56", ";", 1, " Bad Tölz "},
          F{"a::b::c", "::", 2, "b"}, F{"a:b::c", "::", 1, "a:b"}})
        EXPECT_EQ(GetParameter(text, delimiter, number), expected) << text << " " << number;
    // Text, search, replacement, result.
    using R = std::tuple<const char*, const char*, const char*, const char*>;
    for (const auto& [text, search, replacement, expected] :
         {R{"Wien;16,37;48,21;1", ",", ",", "Wien;16,37;48,21;1"},
          R{"Wien;16,37;48,21;1", ",", ".", "Wien;16.37;48.21;1"}, R{"8,68", ",", "٫", "8٫68"},
          R{"Aachen", "a", "x", "xxchen"}, R{"abcABC", "Bc", "-", "a-A-"}, R{",,1,,", ",", "", "1"},
          R{"a,b", ",", ",,", "a,,b"}, R{"aa", "a", "aa", "aaaa"}, R{"text", "", "x", "text"},
          R{"", ",", ".", ""}})
        EXPECT_EQ(clsGeoFile::ReplaceChar(text, search, replacement), expected) << text << " " << search;
}

TEST(LongTexts, PositionsBeyondSixteenBitsOverflow) {
    const std::string longest(32767, ','), tooLong(32768, 'x');
    std::string umlauts; // 32767 characters in twice as many bytes
    for (int i = 0; i < 32767; ++i)
        umlauts += "ä";
    EXPECT_EQ(clsGeoFile::ReplaceChar(longest, ",", "."), std::string(32767, '.'));
    EXPECT_EQ(clsGeoFile::ReplaceChar(umlauts.substr(2) + ",", ",", ""), umlauts.substr(2));
    EXPECT_EQ(GetParameter(umlauts, ";", 1), umlauts);
    EXPECT_EQ(GetParameter(longest, ",", 32767), "");
    EXPECT_EQ(clsGeoFile::ReplaceChar(tooLong, "x", "x"), tooLong) << "nothing to replace, nothing to count";
    EXPECT_EQ(ErrorOf([&] { clsGeoFile::ReplaceChar(tooLong, ",", "."); }),
              Raised(ErrOverflow, "clsGeoFile:ReplaceChar"));
    EXPECT_EQ(ErrorOf([&] { clsGeoFile::ReplaceChar(std::string(20000, ','), ",", ".."); }).first,
              ErrOverflow)
        << "the replaced text is too long";
    EXPECT_EQ(ErrorOf([&] { GetParameter(tooLong, ";", 1); }),
              Raised(ErrOverflow, "modStringHandler:GetParameter"));
}

TEST(DefaultGeo, HoldsFrankfurtFirstAndPlausibleSitesInItsOwnBytes) {
    for (const char* locale : kLocales) {
        auto scope = UserLocale(locale);
        std::vector<GeoEntry> table = kOld;
        clsGeoFile().OpenGeoFile(KORVANE_DEFAULT_GEO, table);
        ASSERT_GE(table.size(), 41u);
        ASSERT_LE(table.size(), 51u) << "at most 50 entries";
        EXPECT_EQ(table[1], (GeoEntry{"Frankfurt am Main", 8.68, 50.11, 1}));
        std::set<std::string> names;
        for (size_t i = 1; i < table.size(); ++i) {
            const GeoEntry& site = table[i];
            EXPECT_TRUE(names.insert(site.Name).second) << "twice: " << site.Name;
            EXPECT_EQ(site.Name.find("Frankfurt") != std::string::npos, i == 1) << site.Name;
            EXPECT_EQ(site.Name.find_first_of(",.\t"), std::string::npos) << site.Name;
            EXPECT_TRUE(std::abs(site.Longitude) <= 180 && std::abs(site.Latitude) <= 90) << site.Name;
            // The GMT difference of standard time lies within about two hours of the longitude's own.
            EXPECT_LE(std::abs(site.Longitude / 15.0 - site.TimeDiffGMT), 2.5) << site.Name;
        }
    }
    // Windows-1252 with CR LF, and copied beside the executables.
    const std::string bytes = ReadFileBytes(KORVANE_DEFAULT_GEO);
    EXPECT_NE(bytes.find("M\xFCnchen;"), std::string::npos) << "Windows-1252";
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    for (size_t i = 0; i < bytes.size(); ++i) {
        const bool lineEnd = bytes[i] == '\r' || bytes[i] == '\n';
        const bool crlf = bytes.compare(bytes[i] == '\n' && i > 0 ? i - 1 : i, 2, "\r\n") == 0;
        ASSERT_TRUE(!lineEnd || crlf) << "lone line end at " << i;
    }
    EXPECT_EQ(ReadFileBytes(KORVANE_BUILT_DEFAULT_GEO), bytes);
}

} // namespace
} // namespace korvane
