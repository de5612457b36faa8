#include "GeoTestSupport.h"
#include "TextInput.h"
#include "clsGeoFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

using namespace korvane;

namespace {

const GeoEntry kUserSite{"Benutzerdefiniert", 0, 0, 0};

// The table as the window holds it before a read: its own entry 0 and three older sites.
std::vector<GeoEntry> OldTable() {
    return {kUserSite, {"Alt 1", 1, 2, 3}, {"Alt 2", 4, 5, 6}, {"Alt 3", 7, 8, 9}};
}

struct Good {
    std::string bytes;
    std::vector<GeoEntry> sites; // entries 1 to n
};

// Each file is read under a comma and a point locale; the numbers mean the same in both.
class ReadsSites : public testing::TestWithParam<std::tuple<Good, const char*>> {};

TEST_P(ReadsSites, IntoEntriesOneToN) {
    const auto& [file, locale] = GetParam();
    auto scope = UserLocale(locale);
    std::vector<GeoEntry> table = OldTable();
    clsGeoFile().ReadGeoData(file.bytes, table);
    ASSERT_EQ(table.size(), file.sites.size() + 1);
    EXPECT_EQ(table[0], kUserSite);
    for (size_t i = 0; i < file.sites.size(); ++i)
        EXPECT_EQ(table[i + 1], file.sites[i]) << "entry " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadsSites,
    testing::Combine(
        testing::Values(
            Good{"Wien;16,37;48,21;1", {{"Wien", 16.37, 48.21, 1}}},
            Good{"* Kopf\r\nWien;16,37;48,21;1\r\n*\r\n*;;;\r\nNew York;-74,01;40,71;-5\r\n",
                 {{"Wien", 16.37, 48.21, 1}, {"New York", -74.01, 40.71, -5}}},
            Good{"Wien;16,37;48,21;1;GMT+1;x\r\n", {{"Wien", 16.37, 48.21, 1}}},
            Good{"Wien;16,37;48,21\r\nA;1;2,5\r\nB;1;3,5\r\nC;1;-2,5\r\n",
                 {{"Wien", 16.37, 48.21, 48}, {"A", 1, 2.5, 2}, {"B", 1, 3.5, 4}, {"C", 1, -2.5, -2}}},
            Good{" Bad Tölz ; 11,56 ;\t47,76 ; +1 \r\n", {{" Bad Tölz ", 11.56, 47.76, 1}}},
            Good{"Nord;0;90;0\r\nSüd;-0,5;-90;12\r\nGroß;1E2;,5;-32768\r\n",
                 {{"Nord", 0, 90, 0}, {"Süd", -0.5, -90, 12}, {"Groß", 100, 0.5, -32768}}},
            Good{"A;1;2;3\r\nB;4;5;6\nC;7;8;9\rD;10;11;12",
                 {{"A", 1, 2, 3}, {"B", 4, 5, 6}, {"C", 7, 8, 9}, {"D", 10, 11, 12}}},
            Good{"\xEF\xBB\xBF* Kopf\r\nM\xC3\xBCnchen;11,58;48,14;1\r\n", {{"München", 11.58, 48.14, 1}}},
            Good{"\xEF\xBB\xBFM\xC3\xBCnchen;11,58;48,14;1", {{"München", 11.58, 48.14, 1}}},
            Good{"* K\xF6pf\r\nM\xFCnchen;11,58;48,14;1\r\n\x80 \x8A\x9F\x85;1;2;3\r\n",
                 {{"München", 11.58, 48.14, 1}, {"€ ŠŸ…", 1, 2, 3}}}),
        testing::Values("de_DE.UTF-8", "en_US.UTF-8")));

struct Bad {
    std::string bytes;
    int32_t error;
};

class RefusesFiles : public testing::TestWithParam<std::tuple<Bad, const char*>> {};

TEST_P(RefusesFiles, AndLeavesTheTableAsItWas) {
    const Bad& file = std::get<0>(GetParam());
    auto scope = UserLocale(std::get<1>(GetParam()));
    std::vector<GeoEntry> table = OldTable();
    const RaisedError e = ErrorOf([&] { clsGeoFile().ReadGeoData(file.bytes, table); });
    EXPECT_EQ(e.number, file.error);
    EXPECT_EQ(e.source, "clsGeoFile:OpenGeoFile");
    EXPECT_EQ(table, OldTable());
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusesFiles,
    testing::Combine(
        testing::Values(
            Bad{"", ErrSubscript}, Bad{"* nur\r\n*Kommentare\r\n", ErrSubscript},
            Bad{"\xEF\xBB\xBF", ErrSubscript}, Bad{"\r\n", ErrTypeMismatch},
            Bad{"Wien;16,37;48,21;1\r\n\r\nBern;7,45;46,95;1\r\n", ErrTypeMismatch},
            Bad{"A;1;2;3\n\rB;4;5;6", ErrTypeMismatch}, Bad{"Wien;16,37;48,21;1\r\n   \r\n", ErrTypeMismatch},
            Bad{" * Kopf\r\nWien;16,37;48,21;1\r\n", ErrTypeMismatch}, Bad{"Wien", ErrTypeMismatch},
            Bad{"Wien;;48,21;1", ErrTypeMismatch}, Bad{"Wien;16,37;48,21;", ErrTypeMismatch},
            Bad{"Wien;16,37;48,21;eins", ErrTypeMismatch}, Bad{"Wien;1.016,37;48,21;1", ErrTypeMismatch},
            Bad{"Wien;16,37;48,21;0x1", ErrTypeMismatch}, Bad{"Wien;16,37;48,21;32768", ErrOverflow},
            Bad{"Wien;16,37;48,21;-32768,5001", ErrOverflow}, Bad{"Wien;1E309;48,21;1", ErrOverflow}),
        testing::Values("de_DE.UTF-8", "en_US.UTF-8")));

TEST(LocaleSeparator, CommasInNamesBecomeTheLocaleSeparator) {
    struct Case {
        const char* locale;
        const char* separator;
        const char* name;
    };
    for (const Case& c :
         {Case{"de_DE", ",", "Halle, Saale"}, Case{"en_GB", ".", "Halle. Saale"},
          Case{"ar_EG", "\xD9\xAB", "Halle\xD9\xAB Saale"}, Case{"xx_YY", "", "Halle, Saale"}}) {
        auto scope = UserLocale(c.locale);
        clsGeoFile reader;
        EXPECT_EQ(reader.GetDecSeparator(), c.separator);
        std::vector<GeoEntry> table;
        reader.ReadGeoData("Halle, Saale;11,97;51,48;1", table);
        ASSERT_EQ(table.size(), 2u);
        EXPECT_EQ(table[1], (GeoEntry{c.name, 11.97, 51.48, 1})) << c.locale;
    }
}

// The point is no decimal mark of the file: it is left alone, and only a point locale reads it as one.
TEST(LocaleSeparator, PointsInNumbersDependOnTheLocale) {
    std::vector<GeoEntry> table;
    {
        auto scope = UserLocale("de_DE");
        EXPECT_EQ(ErrorOf([&] { clsGeoFile().ReadGeoData("Wien;16.37;48,21;1", table); }).number,
                  ErrTypeMismatch);
    }
    auto scope = UserLocale("en_US");
    clsGeoFile().ReadGeoData("Wien;16.37;48,21;1", table);
    EXPECT_EQ(table.at(1), (GeoEntry{"Wien", 16.37, 48.21, 1}));
}

TEST(AddEntryToArray, FillsFromIndexOneAndAddsNothingForAFailingLine) {
    auto scope = UserLocale("de_DE");
    clsGeoFile reader;
    reader.AddEntryToArray("Wien;16,37;48,21;1");
    const RaisedError e = ErrorOf([&] { reader.AddEntryToArray("Bern;7,45;46,95;x"); });
    EXPECT_EQ(e.number, ErrTypeMismatch);
    EXPECT_EQ(e.source, "clsGeoFile:AddEntryToArray");
    reader.AddEntryToArray("Bern;7,45;46,95;1");
    ASSERT_EQ(reader.EntryArray().size(), 3u);
    EXPECT_EQ(reader.EntryArray()[0], GeoEntry{});
    EXPECT_EQ(reader.EntryArray()[2].Name, "Bern");
}

TEST(ReadGeoData, AReaderReadsEachFileAfresh) {
    auto scope = UserLocale("de_DE");
    clsGeoFile reader;
    std::vector<GeoEntry> table;
    reader.ReadGeoData("A;1;2;3\r\nB;4;5;6\r\n", table);
    EXPECT_EQ(ErrorOf([&] { reader.ReadGeoData("C;7;8;9\r\nD;x;0;0\r\n", table); }).number, ErrTypeMismatch);
    reader.ReadGeoData("E;1;2;3\r\n", table);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[1].Name, "E");
}

TEST(Limits, LinesOfMoreThan32767Characters) {
    auto scope = UserLocale("de_DE");
    const std::string site = "Wien;16,37;48,21;1;";
    std::vector<GeoEntry> table = OldTable();

    const std::string longest = site + std::string(32767 - site.size(), 'x');
    clsGeoFile().ReadGeoData("* " + std::string(40000, 'x') + "\r\n" + longest + "\r\n", table);
    EXPECT_EQ(table.size(), 2u) << "a long comment line is skipped, a data line of 32767 characters is read";

    table = OldTable();
    const RaisedError e =
        ErrorOf([&] { clsGeoFile().ReadGeoData("A;1;2;3\r\n" + longest + "x\r\n", table); });
    EXPECT_EQ(e.number, ErrOverflow);
    EXPECT_EQ(e.source, "clsGeoFile:OpenGeoFile");
    EXPECT_EQ(table, OldTable());
}

TEST(Limits, AtMost32767Sites) {
    auto scope = UserLocale("de_DE");
    std::string file;
    for (int i = 1; i <= 32767; ++i)
        file += "S" + std::to_string(i) + ";1,5;2,5;1\r\n";
    std::vector<GeoEntry> table = OldTable();
    clsGeoFile().ReadGeoData(file, table);
    ASSERT_EQ(table.size(), 32768u);
    EXPECT_EQ(table[32767], (GeoEntry{"S32767", 1.5, 2.5, 1}));

    table = OldTable();
    const RaisedError e = ErrorOf([&] { clsGeoFile().ReadGeoData(file + "*\r\nS32768;1;2;3", table); });
    EXPECT_EQ(e.number, ErrOverflow);
    EXPECT_EQ(table, OldTable());
}

class GeoFiles : public testing::Test {
  protected:
    std::filesystem::path dir_ = std::filesystem::path(testing::TempDir()) / "korvane-geo-test";
    void SetUp() override { std::filesystem::create_directories(dir_); }
    void TearDown() override { std::filesystem::remove_all(dir_); }
};

TEST_F(GeoFiles, ReadsAFileByName) {
    auto scope = UserLocale("en_US");
    std::ofstream(dir_ / "sites.geo", std::ios::binary) << "* Kopf\r\nK\xF6ln;6,96;50,94;1\r\n";
    std::vector<GeoEntry> table = OldTable();
    clsGeoFile().OpenGeoFile((dir_ / "sites.geo").string(), table);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[1], (GeoEntry{"Köln", 6.96, 50.94, 1}));
}

TEST_F(GeoFiles, AMissingFileOrAFolderFails) {
    struct Case {
        std::string name;
        int32_t error;
    };
    for (const Case& c : {Case{(dir_ / "missing.geo").string(), ErrFileNotFound},
                          Case{(dir_ / "no-folder" / "x.geo").string(), ErrFileNotFound},
                          Case{"", ErrFileNotFound}, Case{dir_.string(), 75}}) {
        std::vector<GeoEntry> table = OldTable();
        const RaisedError e = ErrorOf([&] { clsGeoFile().OpenGeoFile(c.name, table); });
        EXPECT_EQ(e.number, c.error) << c.name;
        EXPECT_EQ(e.source, "clsGeoFile:OpenGeoFile");
        EXPECT_EQ(table, OldTable());
    }
}

struct Decoding {
    std::string bytes;
    std::string text;
};

class DecodesText : public testing::TestWithParam<Decoding> {};

TEST_P(DecodesText, AsUtf8OrWindows1252) {
    EXPECT_EQ(DecodeText(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, DecodesText,
    testing::Values(Decoding{"K\xC3\xB6ln M\xFCnchen", "KÃ¶ln München"}, // one encoding for the whole file
                    Decoding{"\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F",
                             "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F"},
                    Decoding{"\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F",
                             "\u0090‘’“”•–—˜™š›œ\u009DžŸ"},
                    Decoding{"\xA0\xDF\xFF", "\u00A0ßÿ"}, Decoding{"\xC0\xAF", "À¯"},
                    Decoding{"\xED\xA0\x80", "í\u00A0€"}, Decoding{"\xF4\x90\x80\x80", "ô\u0090€€"},
                    Decoding{"\xE2\x82", "â‚"}, Decoding{std::string("a\0b", 3), std::string("a\0b", 3)}));

} // namespace
