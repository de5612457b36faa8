#include "GeoTestSupport.h"
#include "TextInput.h"
#include "clsGeoFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace korvane;

namespace {

const GeoEntry kUserSite{"Benutzerdefiniert", 0, 0, 0};
const std::vector<GeoEntry> kOld{kUserSite, {"Alt 1", 1, 2, 3}, {"Alt 2", 4, 5, 6}, {"Alt 3", 7, 8, 9}};
const char* const kLocales[] = {"de_DE.UTF-8", "en_US.UTF-8"}; // a comma and a point locale

struct G { // a good file and its sites, entries 1 to n
    std::string bytes;
    std::vector<GeoEntry> sites;
};

TEST(ReadGeoData, ReadsSitesIntoEntriesOneToNUnderEitherLocale) {
    for (const char* locale : kLocales) {
        auto scope = UserLocale(locale);
        for (const G& file :
             {G{"Wien;16,37;48,21;1", {{"Wien", 16.37, 48.21, 1}}},
              G{"* Kopf\r\nWien;16,37;48,21;1\r\n*\r\n*;;;\r\nNew York;-74,01;40,71;-5\r\n",
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
                {{"München", 11.58, 48.14, 1}, {"€ ŠŸ…", 1, 2, 3}}}}) {
            std::vector<GeoEntry> table = kOld;
            clsGeoFile().ReadGeoData(file.bytes, table);
            std::vector<GeoEntry> expected{kUserSite};
            expected.insert(expected.end(), file.sites.begin(), file.sites.end());
            EXPECT_EQ(table, expected) << locale << " " << file.bytes;
        }
    }
}

struct B { // a bad file and its error
    std::string bytes;
    int32_t error;
};

TEST(ReadGeoData, RefusesFilesAndLeavesTheTableAsItWas) {
    for (const char* locale : kLocales) {
        auto scope = UserLocale(locale);
        for (const B& file :
             {B{"", ErrSubscript}, B{"* nur\r\n*Kommentare\r\n", ErrSubscript},
              B{"\xEF\xBB\xBF", ErrSubscript}, B{"\r\n", ErrTypeMismatch},
              B{"Wien;16,37;48,21;1\r\n\r\nBern;7,45;46,95;1\r\n", ErrTypeMismatch},
              B{"A;1;2;3\n\rB;4;5;6", ErrTypeMismatch}, B{"Wien;16,37;48,21;1\r\n   \r\n", ErrTypeMismatch},
              B{" * Kopf\r\nWien;16,37;48,21;1\r\n", ErrTypeMismatch}, B{"Wien", ErrTypeMismatch},
              B{"Wien;;48,21;1", ErrTypeMismatch}, B{"Wien;16,37;48,21;", ErrTypeMismatch},
              B{"Wien;16,37;48,21;eins", ErrTypeMismatch}, B{"Wien;1.016,37;48,21;1", ErrTypeMismatch},
              B{"Wien;16,37;48,21;0x1", ErrTypeMismatch}, B{"Wien;16,37;48,21;32768", ErrOverflow},
              B{"Wien;16,37;48,21;-32768,5001", ErrOverflow}, B{"Wien;1E309;48,21;1", ErrOverflow}}) {
            std::vector<GeoEntry> table = kOld;
            const RaisedError e = ErrorOf([&] { clsGeoFile().ReadGeoData(file.bytes, table); });
            EXPECT_EQ(e.number, file.error) << locale << " " << file.bytes;
            EXPECT_EQ(e.source, "clsGeoFile:OpenGeoFile");
            EXPECT_EQ(table, kOld) << file.bytes;
        }
    }
}

TEST(LocaleSeparator, CommasInNamesBecomeTheLocaleSeparatorAndPointsInNumbersDependOnIt) {
    for (const auto& [locale, separator, name] :
         {std::tuple{"de_DE", ",", "Halle, Saale"}, std::tuple{"en_GB", ".", "Halle. Saale"},
          std::tuple{"ar_EG", "\xD9\xAB", "Halle\xD9\xAB Saale"}, std::tuple{"xx_YY", "", "Halle, Saale"}}) {
        auto scope = UserLocale(locale);
        clsGeoFile reader;
        EXPECT_EQ(reader.GetDecSeparator(), separator);
        std::vector<GeoEntry> table;
        reader.ReadGeoData("Halle, Saale;11,97;51,48;1", table);
        EXPECT_EQ(table, (std::vector<GeoEntry>{{}, {name, 11.97, 51.48, 1}})) << locale;
    }
    // The point is no decimal mark of the file: it is left alone, and only a point locale reads it as one.
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

TEST(Limits, LinesOfAtMost32767CharactersAndAtMost32767Sites) {
    auto scope = UserLocale("de_DE");
    const std::string site = "Wien;16,37;48,21;1;";
    const std::string longest = site + std::string(32767 - site.size(), 'x');
    std::vector<GeoEntry> table = kOld;
    clsGeoFile().ReadGeoData("* " + std::string(40000, 'x') + "\r\n" + longest + "\r\n", table);
    EXPECT_EQ(table.size(), 2u) << "a long comment line is skipped, a data line of 32767 characters is read";

    std::string file;
    for (int i = 1; i <= 32767; ++i)
        file += "S" + std::to_string(i) + ";1,5;2,5;1\r\n";
    clsGeoFile().ReadGeoData(file, table);
    ASSERT_EQ(table.size(), 32768u);
    EXPECT_EQ(table[32767], (GeoEntry{"S32767", 1.5, 2.5, 1}));

    for (const std::string& tooMuch : {"A;1;2;3\r\n" + longest + "x\r\n", file + "*\r\nS32768;1;2;3"}) {
        table = kOld;
        const RaisedError e = ErrorOf([&] { clsGeoFile().ReadGeoData(tooMuch, table); });
        EXPECT_EQ(e.number, ErrOverflow);
        EXPECT_EQ(e.source, "clsGeoFile:OpenGeoFile");
        EXPECT_EQ(table, kOld);
    }
}

TEST(OpenGeoFile, ReadsAFileByNameAndFailsOnAMissingFileOrAFolder) {
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "korvane-geo-test";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "sites.geo", std::ios::binary) << "* Kopf\r\nK\xF6ln;6,96;50,94;1\r\n";
    auto scope = UserLocale("en_US");
    std::vector<GeoEntry> table = kOld;
    clsGeoFile().OpenGeoFile((dir / "sites.geo").string(), table);
    EXPECT_EQ(table, (std::vector<GeoEntry>{kUserSite, {"Köln", 6.96, 50.94, 1}}));

    for (const auto& row : {std::pair<std::string, int32_t>{(dir / "missing.geo").string(), ErrFileNotFound},
                            {(dir / "no-folder" / "x.geo").string(), ErrFileNotFound},
                            {"", ErrFileNotFound},
                            {dir.string(), ErrPathFileAccess}}) {
        const std::string& name = row.first; // clang 14 lambdas cannot capture structured bindings
        const int32_t error = row.second;
        table = kOld;
        const RaisedError e = ErrorOf([&] { clsGeoFile().OpenGeoFile(name, table); });
        EXPECT_EQ(e.number, error) << name;
        EXPECT_EQ(e.source, "clsGeoFile:OpenGeoFile");
        EXPECT_EQ(table, kOld);
    }
    std::filesystem::remove_all(dir);
}

TEST(DecodeText, ReadsUtf8OrWindows1252) {
    for (const auto& [bytes, text] :
         {std::pair<std::string, std::string>{"K\xC3\xB6ln M\xFCnchen",
                                              "KÃ¶ln München"}, // one encoding per file
          {"\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F",
           "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F"},
          {"\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F", "\u0090‘’“”•–—˜™š›œ\u009DžŸ"},
          {"\xA0\xDF\xFF", "\u00A0ßÿ"},
          {"\xC0\xAF", "À¯"},
          {"\xED\xA0\x80", "í\u00A0€"},
          {"\xF4\x90\x80\x80", "ô\u0090€€"},
          {"\xE2\x82", "â‚"},
          {std::string("a\0b", 3), std::string("a\0b", 3)}})
        EXPECT_EQ(DecodeText(bytes), text);
}

} // namespace
