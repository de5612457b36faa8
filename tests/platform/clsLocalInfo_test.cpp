#include "clsLocalInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace korvane {
namespace {

const std::string kArabic = "\xD9\xAB";

// Every locale name of the toolkit itself is checked in the Qt test; these are the other spellings.
TEST(LocaleNames, GiveTheirDecimalSeparator) {
    using L = std::pair<const char*, std::optional<std::string>>;
    for (const auto& [name, separator] :
         {L{"C", "."}, L{"POSIX", "."}, L{"C.UTF-8", "."}, L{"de", ","}, L{"de-AT", ","}, L{"DE_de", ","},
          L{"de_CH.UTF-8", "."}, L{"de_XX", ","}, L{"no_NO", ","}, L{"iw_IL", "."}, L{"sr_RS@latin", ","},
          L{"ar_EG", kArabic}, L{"ks_IN@devanagari", kArabic}, L{"ks_Deva_IN", "."}, L{"xx_YY", std::nullopt},
          L{"german", std::nullopt}, L{"d", std::nullopt}, L{"", std::nullopt}, L{" de_DE", std::nullopt}})
        EXPECT_EQ(DecimalSeparatorOfLocale(name), separator) << name;
}

std::string Read(int32_t source) {
    clsLocalInfo info;
    info.SelectLocale(source);
    return info.DecimalSeparator();
}

// The separators read for the user and for the system; the configuration files in the order they are read
// (nullptr: no such file); the environment.
using Machine =
    std::tuple<std::string, std::string, std::vector<const char*>, std::map<std::string, std::string>>;

TEST(LocaleReader, ReadsUserAndSystemLocales) {
    const Machine machines[] = {
        {",", ".", {"LANG=en_US.UTF-8\n"}, {{"LANG", "de_DE.UTF-8"}}},
        {".", ",", {"LANG=\"de_DE.UTF-8\"\n"}, {{"LANG", "en_GB.UTF-8"}}},
        {".", ".", {nullptr}, {{"LC_ALL", "en_US.UTF-8"}, {"LC_NUMERIC", "de_DE"}, {"LANG", "de_DE"}}},
        {",", ".", {"# comment\nLANG=C\n"}, {{"LC_NUMERIC", "fr_FR.UTF-8"}, {"LANG", "en_US.UTF-8"}}},
        {",", ",", {"export LANG='nl_NL.UTF-8'\n"}, {{"LC_ALL", ""}, {"LC_NUMERIC", ""}, {"LANG", "it_IT"}}},
        {".", ".", {"LC_NUMERIC=de_DE\n"}, {}},
        {"", ".", {"LANG=de_CH.UTF-8\r\n"}, {{"LANG", "xx_YY.UTF-8"}}},
        {",", "", {"LANG=klingon\n"}, {{"LC_ALL", "de_AT"}}},
        {".",
         ",",
         {nullptr, "LC_TIME=en_GB\n", "LANG=de_DE.UTF-8\n", "LANG=en_US.UTF-8\n"},
         {}}, // first naming one
    };
    for (size_t i = 0; i < std::size(machines); ++i) {
        const auto& [user, system, texts, environment] = machines[i];
        std::vector<std::string> files;
        for (const char* text : texts) {
            files.push_back(testing::TempDir() + "korvane-locale-" + std::to_string(files.size()) + ".conf");
            std::filesystem::remove(files.back());
            if (text)
                std::ofstream(files.back(), std::ios::binary) << text;
        }
        ScopedLocaleSources sources(FixedLocaleSources(environment, files));
        EXPECT_EQ(Read(1), user) << "machine " << i;
        for (int32_t source : {0, 2, -1})
            EXPECT_EQ(Read(source), system) << "machine " << i << ", source " << source;
    }
}

TEST(LocaleReader, OnlyTheDecimalSeparatorIsKnown) {
    ScopedLocaleSources sources(FixedLocaleSources({{"LANG", "de_DE"}}));
    clsLocalInfo info;
    EXPECT_EQ(info.GetValue(kLocaleDecimalSeparator), "") << "no locale selected yet";
    int32_t user = 1;
    info.SelectLocale(user);
    EXPECT_EQ(info.GetValue(kLocaleDecimalSeparator), ",");
    EXPECT_EQ(info.GetValue(15), "");
    EXPECT_EQ(info.GetValue(0), "");
}

TEST(LocaleReader, ProcessEnvironmentIsTheDefault) {
    ::setenv("LC_ALL", "fr_FR.UTF-8", 1);
    EXPECT_EQ(Read(1), ",");
    ::setenv("LC_ALL", "C", 1);
    EXPECT_EQ(Read(1), ".");
}

} // namespace
} // namespace korvane
