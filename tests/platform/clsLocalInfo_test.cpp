#include "clsLocalInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

using namespace korvane;

namespace {

const std::string kArabic = "\xD9\xAB";
const std::filesystem::path kTemp = testing::TempDir();

using L = std::pair<const char*, std::optional<std::string>>;

// Every locale name of the toolkit itself is checked in the Qt test; these are the other spellings.
TEST(LocaleNames, GiveTheirDecimalSeparator) {
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

struct Machine {
    std::map<std::string, std::string> environment;
    const char* configText; // nullptr: no configuration file
    std::string user, system;
};

TEST(LocaleReader, ReadsUserAndSystemLocales) {
    for (const Machine& m :
         {Machine{{{"LANG", "de_DE.UTF-8"}}, "LANG=en_US.UTF-8\n", ",", "."},
          Machine{{{"LANG", "en_GB.UTF-8"}}, "LANG=\"de_DE.UTF-8\"\n", ".", ","},
          Machine{{{"LC_ALL", "en_US.UTF-8"}, {"LC_NUMERIC", "de_DE"}, {"LANG", "de_DE"}}, nullptr, ".", "."},
          Machine{{{"LC_NUMERIC", "fr_FR.UTF-8"}, {"LANG", "en_US.UTF-8"}}, "# comment\nLANG=C\n", ",", "."},
          Machine{{{"LC_ALL", ""}, {"LC_NUMERIC", ""}, {"LANG", "it_IT"}},
                  "export LANG='nl_NL.UTF-8'\n",
                  ",",
                  ","},
          Machine{{}, "LC_NUMERIC=de_DE\n", ".", "."},
          Machine{{{"LANG", "xx_YY.UTF-8"}}, "LANG=de_CH.UTF-8\r\n", "", "."},
          Machine{{{"LC_ALL", "de_AT"}}, "LANG=klingon\n", ",", ""}}) {
        const auto config = kTemp / (m.configText ? "korvane-locale.conf" : "korvane-no-such-locale.conf");
        if (m.configText)
            std::ofstream(config, std::ios::binary) << m.configText;
        ScopedLocaleSources sources(FixedLocaleSources(m.environment, {config.string()}));
        const std::string where = m.configText ? m.configText : "no file";
        EXPECT_EQ(Read(1), m.user) << where;
        for (int32_t system : {0, 2, -1})
            EXPECT_EQ(Read(system), m.system) << where << system;
    }
}

TEST(LocaleReader, FirstFileNamingALocaleCounts) {
    std::ofstream(kTemp / "korvane-a.conf") << "LC_TIME=en_GB\n";
    std::ofstream(kTemp / "korvane-b.conf") << "LANG=de_DE.UTF-8\n";
    std::ofstream(kTemp / "korvane-c.conf") << "LANG=en_US.UTF-8\n";
    ScopedLocaleSources sources(FixedLocaleSources(
        {}, {(kTemp / "korvane-missing.conf").string(), (kTemp / "korvane-a.conf").string(),
             (kTemp / "korvane-b.conf").string(), (kTemp / "korvane-c.conf").string()}));
    EXPECT_EQ(Read(0), ",");
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
