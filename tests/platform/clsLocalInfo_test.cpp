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

struct NamedLocale {
    const char* name;
    std::optional<std::string> separator;
};

class LocaleNames : public testing::TestWithParam<NamedLocale> {};

TEST_P(LocaleNames, GiveTheirDecimalSeparator) {
    EXPECT_EQ(DecimalSeparatorOfLocale(GetParam().name), GetParam().separator);
}

// Every locale name of the toolkit itself is checked against it in the Qt test; these are the other
// spellings.
INSTANTIATE_TEST_SUITE_P(LinuxSpellings, LocaleNames,
                         testing::Values(NamedLocale{"C", "."}, NamedLocale{"POSIX", "."},
                                         NamedLocale{"C.UTF-8", "."}, NamedLocale{"de", ","},
                                         NamedLocale{"de-AT", ","}, NamedLocale{"DE_de", ","},
                                         NamedLocale{"de_CH.UTF-8", "."}, NamedLocale{"de_XX", ","},
                                         NamedLocale{"no_NO", ","}, NamedLocale{"iw_IL", "."},
                                         NamedLocale{"sr_RS@latin", ","}, NamedLocale{"ar_EG", kArabic},
                                         NamedLocale{"ks_IN@devanagari", kArabic},
                                         NamedLocale{"ks_Deva_IN", "."}, NamedLocale{"xx_YY", std::nullopt},
                                         NamedLocale{"german", std::nullopt}, NamedLocale{"d", std::nullopt},
                                         NamedLocale{"", std::nullopt}, NamedLocale{" de_DE", std::nullopt}));

struct Machine {
    std::map<std::string, std::string> environment;
    const char* configText; // nullptr: no configuration file
    std::string user;
    std::string system;
};

class LocaleReader : public testing::TestWithParam<Machine> {
  protected:
    std::string ConfigFile(const char* text) {
        if (!text)
            return (std::filesystem::path(testing::TempDir()) / "korvane-no-such-locale.conf").string();
        const auto path = std::filesystem::path(testing::TempDir()) / "korvane-locale.conf";
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
};

std::string Read(int32_t source) {
    clsLocalInfo info;
    info.SelectLocale(source);
    return info.DecimalSeparator();
}

TEST_P(LocaleReader, ReadsUserAndSystemLocales) {
    const Machine& m = GetParam();
    ScopedLocaleSources sources(FixedLocaleSources(m.environment, {ConfigFile(m.configText)}));
    EXPECT_EQ(Read(1), m.user);
    EXPECT_EQ(Read(0), m.system);
    EXPECT_EQ(Read(2), m.system);
    EXPECT_EQ(Read(-1), m.system);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, LocaleReader,
    testing::Values(
        Machine{{{"LANG", "de_DE.UTF-8"}}, "LANG=en_US.UTF-8\n", ",", "."},
        Machine{{{"LANG", "en_GB.UTF-8"}}, "LANG=\"de_DE.UTF-8\"\n", ".", ","},
        Machine{{{"LC_ALL", "en_US.UTF-8"}, {"LC_NUMERIC", "de_DE"}, {"LANG", "de_DE"}}, nullptr, ".", "."},
        Machine{{{"LC_NUMERIC", "fr_FR.UTF-8"}, {"LANG", "en_US.UTF-8"}}, "# comment\nLANG=C\n", ",", "."},
        Machine{
            {{"LC_ALL", ""}, {"LC_NUMERIC", ""}, {"LANG", "it_IT"}}, "export LANG='nl_NL.UTF-8'\n", ",", ","},
        Machine{{}, "LC_NUMERIC=de_DE\n", ".", "."},
        Machine{{{"LANG", "xx_YY.UTF-8"}}, "LANG=de_CH.UTF-8\r\n", "", "."},
        Machine{{{"LC_ALL", "de_AT"}}, "LANG=klingon\n", ",", ""}));

TEST(LocaleReaderFiles, FirstFileNamingALocaleCounts) {
    const auto dir = std::filesystem::path(testing::TempDir());
    std::ofstream(dir / "korvane-a.conf") << "LC_TIME=en_GB\n";
    std::ofstream(dir / "korvane-b.conf") << "LANG=de_DE.UTF-8\n";
    std::ofstream(dir / "korvane-c.conf") << "LANG=en_US.UTF-8\n";
    ScopedLocaleSources sources(
        FixedLocaleSources({}, {(dir / "korvane-missing.conf").string(), (dir / "korvane-a.conf").string(),
                                (dir / "korvane-b.conf").string(), (dir / "korvane-c.conf").string()}));
    EXPECT_EQ(Read(0), ",");
}

TEST(LocaleReaderValues, OnlyTheDecimalSeparatorIsKnown) {
    ScopedLocaleSources sources(FixedLocaleSources({{"LANG", "de_DE"}}));
    clsLocalInfo info;
    EXPECT_EQ(info.GetValue(kLocaleDecimalSeparator), "") << "no locale selected yet";
    int32_t user = 1;
    info.SelectLocale(user);
    EXPECT_EQ(info.GetValue(kLocaleDecimalSeparator), ",");
    EXPECT_EQ(info.GetValue(15), "");
    EXPECT_EQ(info.GetValue(0), "");
}

TEST(LocaleReaderValues, ProcessEnvironmentIsTheDefault) {
    ::setenv("LC_ALL", "fr_FR.UTF-8", 1);
    EXPECT_EQ(Read(1), ",");
    ::setenv("LC_ALL", "C", 1);
    EXPECT_EQ(Read(1), ".");
}

} // namespace
