// The default site list that ships beside the executables.
#include "GeoTestSupport.h"
#include "TextInput.h"
#include "clsGeoFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

using namespace korvane;

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    return s;
}

class DefaultGeo : public testing::TestWithParam<const char*> {};

TEST_P(DefaultGeo, HoldsFrankfurtFirstAndPlausibleSites) {
    auto scope = UserLocale(GetParam());
    std::vector<GeoEntry> table{{"Benutzerdefiniert", 0, 0, 0}};
    clsGeoFile().OpenGeoFile(KORVANE_DEFAULT_GEO, table);

    ASSERT_GE(table.size(), 41u);
    ASSERT_LE(table.size(), 51u) << "at most 50 entries";
    EXPECT_EQ(table[1], (GeoEntry{"Frankfurt am Main", 8.68, 50.11, 1}));
    std::set<std::string> names;
    for (size_t i = 1; i < table.size(); ++i) {
        const GeoEntry& site = table[i];
        EXPECT_TRUE(names.insert(site.Name).second) << "twice: " << site.Name;
        EXPECT_EQ(Lower(site.Name).find("frankfurt") != std::string::npos, i == 1) << site.Name;
        EXPECT_EQ(site.Name.find_first_of(",.\t"), std::string::npos) << site.Name;
        EXPECT_LE(std::abs(site.Longitude), 180.0) << site.Name;
        EXPECT_LE(std::abs(site.Latitude), 90.0) << site.Name;
        EXPECT_TRUE(site.TimeDiffGMT >= -12 && site.TimeDiffGMT <= 14) << site.Name;
        // The GMT difference of standard time lies within about two hours of the longitude's own.
        EXPECT_LE(std::abs(site.Longitude / 15.0 - site.TimeDiffGMT), 2.5) << site.Name;
    }
    EXPECT_TRUE(names.count("München") && names.count("Wien") && names.count("Reykjavík"));
}

INSTANTIATE_TEST_SUITE_P(Locales, DefaultGeo, testing::Values("de_DE.UTF-8", "en_US.UTF-8"));

TEST(DefaultGeoBytes, Windows1252WithCrLfAndCopiedBesideTheExecutables) {
    const std::string bytes = ReadFileBytes(KORVANE_DEFAULT_GEO);
    EXPECT_NE(bytes.find("\r\nFrankfurt am Main;8,68;50,11;1\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("M\xFCnchen;"), std::string::npos) << "Windows-1252";
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    for (size_t i = 0; i < bytes.size(); ++i) {
        const bool lineEnd = bytes[i] == '\r' || bytes[i] == '\n';
        const bool crlf = bytes.compare(bytes[i] == '\n' && i > 0 ? i - 1 : i, 2, "\r\n") == 0;
        ASSERT_TRUE(!lineEnd || crlf) << "lone line end at " << i;
    }
    EXPECT_TRUE(bytes.starts_with("*"));
    EXPECT_EQ(ReadFileBytes(KORVANE_BUILT_DEFAULT_GEO), bytes);
}

} // namespace
