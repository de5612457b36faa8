#include "modLangConstants.h"

#include "VbError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace korvane {
namespace {

constexpr int16_t kGerman = 1, kEnglish = 2, kFrench = 3, kItalian = 4, kDutch = 5, kSpanish = 6;

// Restores the current language after each test that sets it.
class LangTest : public ::testing::Test {
  protected:
    void TearDown() override { gLanguage = saved_; }

  private:
    int16_t saved_ = gLanguage;
};

bool IsValidUtf8(std::string_view s) {
    for (std::size_t i = 0, n = 0; i < s.size(); i += n) {
        const int c = static_cast<unsigned char>(s[i]);
        n = c < 0x80 ? 1 : c >> 5 == 6 ? 2 : c >> 4 == 14 ? 3 : c >> 3 == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if (static_cast<unsigned char>(s[i + k]) >> 6 != 2)
                return false;
    }
    return true;
}

std::string Entry(int32_t id) {
    return std::string(FindLangEntry(id).value_or("<missing>"));
}

// Six ranges of 85 clean UTF-8 texts; only the result label holds carriage returns.
TEST(LangTable, HoldsExactlyTheSixRangesOf85CleanEntries) {
    int present = 0;
    for (int32_t id = -70000; id <= 70000; ++id) {
        const auto entry = FindLangEntry(id);
        if (!entry)
            continue;
        ++present;
        const std::string text(*entry);
        SCOPED_TRACE(id);
        ASSERT_TRUE(id >= 0 && id / 1000 < 6 && id % 1000 >= 100 && id % 1000 <= 184);
        EXPECT_TRUE(id % 1000 == 184 ? text == " " : !text.empty());
        EXPECT_TRUE(IsValidUtf8(text));
        EXPECT_EQ(text.find_first_of("\n\\\t"), std::string::npos);
        EXPECT_FALSE(text.ends_with("  ")) << "more than one trailing blank";
        EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), id % 1000 == 142 ? 2 : 0);
        EXPECT_EQ(text.find(":\r\r") != std::string::npos, id % 1000 == 142);
    }
    EXPECT_EQ(present, 6 * 85);
    for (int32_t id :
         {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), 1000100, -900})
        EXPECT_FALSE(FindLangEntry(id)) << id;
}

TEST(LangTable, DisclaimerIsGermanOrElseEnglish) {
    const std::string german = Entry(183), english = Entry(1183);
    EXPECT_NE(german, english);
    EXPECT_NE(german.find("Readme"), std::string::npos);
    EXPECT_NE(english.find("readme"), std::string::npos);
    for (int32_t id : {2183, 3183, 4183, 5183})
        EXPECT_EQ(Entry(id), english) << id;
}

// A column pasted from German or English, or shifted by one language, shows up as many identical texts.
TEST(LangTable, EachLanguageIsTranslated) {
    const std::vector<int32_t> shared = {104, 105, 106, 107, 108, 109, 110, 111, 178, 183, 184};
    for (int32_t language = 2; language < 6; ++language) {
        int same = 0;
        for (int32_t base = 100; base <= 184; ++base) {
            if (std::find(shared.begin(), shared.end(), base) != shared.end())
                continue;
            const std::string text = Entry(language * 1000 + base);
            if (text == Entry(base) || text == Entry(1000 + base) ||
                text == Entry((language - 1) * 1000 + base))
                ++same;
        }
        EXPECT_LE(same, 8) << "language " << language + 1;
    }
}

struct Expected {
    int16_t language, baseId;
    std::string text;
    friend void PrintTo(const Expected& e, std::ostream* os) { *os << e.language << "/" << e.baseId; }
};

std::vector<Expected> ExactRows() {
    std::vector<Expected> rows = {
        // German and English rows whose typos, blanks and line breaks are easy to "fix" by accident.
        {kGerman, 117, "geo. Länge "},
        {kEnglish, 117, "Longtitude"},
        {kGerman, 146, "Bitte vervollständigen Sie die Eingaben,  bevor Sie die Berechnung starten"},
        {kEnglish, 146, "Please complete the input before starting the calculation"},
        {kGerman, 153, "Arbeitsende muß später als Arbeisbeginn sein"},
        {kEnglish, 174, "Double glacing "},
        {kGerman, 181, "Über "},
        {kGerman, 182, "Version "},
        {kEnglish, 182, "Version"},
        {kEnglish, 178, "Geo. Files (*.geo)|*.geo"},
        {kGerman, 142,
         "ERGEBNIS:\r\rMögliches Einsparpotential einer tageslichtabhängigen Beleuchtungsanlage ohne "
         "Zeitmanagment und ohne Anwesenheitskontrolle"},
        {kEnglish, 142,
         "RESULT:\r\rPossible energy saving by means of daylight-depended lighting managment without "
         "time management and without presence control"},
        // Rows the other languages must show exactly, French trailing blanks included.
        {kFrench, 100, "Fichier "},
        {kFrench, 161, "année entière "},
        {kFrench, 181, "Concerne "},
        {kFrench, 182, "Version "},
        {kItalian, 181, "Info "},
        {kItalian, 182, "Versione"},
        {kDutch, 181, "IDfrmAboutCaption"},
        {kDutch, 182, "IDfrmAboutlblVersion"},
        {kSpanish, 181, "Sobre "},
        {kSpanish, 182, "Versión"},
    };
    const char* november[] = {"Novenber", "Novenber", "Novembre ", "Novembre", "November", "Noviembre"};
    const char* result[] = {
        "Ergebnis/Result/Risultato", "Result", "Résultat", "Risultato", "Resultaat", "Resultado"};
    const char* names[] = {"&Deutsch", "&English", "&Français", "&Italiano", "&Nederlands", "&Español"};
    for (int16_t language = kGerman; language <= kSpanish; ++language) {
        const auto i = static_cast<std::size_t>(language - 1);
        rows.push_back({language, 172, november[i]});
        rows.push_back({language, 137, result[i]});
        for (int16_t n = 0; n < 6; ++n)
            rows.push_back({language, static_cast<int16_t>(104 + n), names[n]});
        rows.push_back({language, 110, "&?"});
        rows.push_back({language, 111, "&Info..."});
        rows.push_back({language, 184, " "});
        if (language != kEnglish)
            rows.push_back({language, 178, "Geo. Dateien (*.geo)|*.geo"});
    }
    return rows;
}

class GetLangStringExact : public LangTest, public ::testing::WithParamInterface<Expected> {};

TEST_P(GetLangStringExact, ReturnsTheEntryOfTheCurrentLanguage) {
    const Expected& e = GetParam();
    gLanguage = e.language;
    EXPECT_EQ(GetLangString(e.baseId), e.text);
    EXPECT_EQ(Entry((e.language - 1) * 1000 + e.baseId), e.text);
}

INSTANTIATE_TEST_SUITE_P(Rows, GetLangStringExact, ::testing::ValuesIn(ExactRows()));

// Language, base id, and the id not found or 0 for a 16-bit overflow.
using Failure = std::tuple<int16_t, int16_t, int32_t>;
class GetLangStringFailure : public LangTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(GetLangStringFailure, RaisesWithTheComputedId) {
    const auto [language, baseId, id] = GetParam();
    gLanguage = language;
    try {
        ADD_FAILURE() << "returned \"" << GetLangString(baseId) << "\"";
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), id ? ErrResourceNotFound : ErrOverflow);
        EXPECT_EQ(e.Description(),
                  id ? "Resource with identifier '" + std::to_string(id) + "' not found" : "Overflow");
        EXPECT_TRUE(!id || e.Source() == "modLangConstants:GetLangString") << e.Source();
    }
    EXPECT_EQ(gLanguage, language);
}

// No language read yet; ids next to a range or reached only by a base id outside 100..184; ids that do not
// fit 16 bits in the product, the sum or the difference.
INSTANTIATE_TEST_SUITE_P(Ids, GetLangStringFailure,
                         ::testing::Values(Failure{0, 100, -900}, Failure{0, 184, -816},
                                           Failure{7, 100, 6100}, Failure{1, 99, 99}, Failure{6, 185, 5185},
                                           Failure{2, -5, 995}, Failure{33, 184, 32184}, Failure{40, 100, 0},
                                           Failure{34, 100, 0}, Failure{-40, 100, 0}, Failure{6, 30000, 0},
                                           Failure{std::numeric_limits<int16_t>::min(), 100, 0}));

} // namespace
} // namespace korvane
