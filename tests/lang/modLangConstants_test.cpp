// The six-language string table: its shape, exact texts of representative rows, and the errors of ids.
#include "modLangConstants.h"

#include "VbError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

namespace korvane {
namespace {

constexpr int16_t kGerman = 1, kEnglish = 2, kFrench = 3, kSpanish = 6;

const auto Entry = [](int32_t id) { return std::string(FindLangEntry(id).value_or("<missing>")); };

// Six ranges of 85 clean texts (their encoding shows in the exact rows below); only the result label holds
// carriage returns.
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
        EXPECT_EQ(text.find_first_of("\n\\\t"), std::string::npos);
        EXPECT_FALSE(text.ends_with("  ")) << "more than one trailing blank";
        EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), id % 1000 == 142 ? 2 : 0);
        EXPECT_EQ(text.find(":\r\r") != std::string::npos, id % 1000 == 142);
    }
    EXPECT_EQ(present, 6 * 85);
    for (int32_t id :
         {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), 1000100, -900})
        EXPECT_FALSE(FindLangEntry(id)) << id;
    // The disclaimer is German or else English.
    EXPECT_NE(Entry(183).find("Readme"), std::string::npos);
    EXPECT_NE(Entry(1183).find("readme"), std::string::npos);
    EXPECT_NE(Entry(183), Entry(1183));
    for (int32_t id : {2183, 3183, 4183, 5183})
        EXPECT_EQ(Entry(id), Entry(1183)) << id;
}

TEST(LangTest, GetLangStringGivesTheEntryOfTheCurrentLanguage) {
    using Row = std::tuple<int16_t, int16_t, std::string>; // language, base id, text
    // Typos, blanks and line breaks that are easy to "fix" by accident.
    std::vector<Row> rows = {
        {kGerman, 117, "geo. Länge "},
        {kEnglish, 117, "Longtitude"},
        {kFrench, 100, "Fichier "},
        {kGerman, 146, "Bitte vervollständigen Sie die Eingaben,  bevor Sie die Berechnung starten"},
        {kEnglish, 146, "Please complete the input before starting the calculation"},
        {kGerman, 153, "Arbeitsende muß später als Arbeisbeginn sein"},
        {kFrench, 161, "année entière "},
        {kEnglish, 174, "Double glacing "},
        {kEnglish, 178, "Geo. Files (*.geo)|*.geo"},
        {kGerman, 142,
         "ERGEBNIS:\r\rMögliches Einsparpotential einer tageslichtabhängigen Beleuchtungsanlage ohne "
         "Zeitmanagment und ohne Anwesenheitskontrolle"},
        {kEnglish, 142,
         "RESULT:\r\rPossible energy saving by means of daylight-depended lighting managment without "
         "time management and without presence control"}};
    const char* november[] = {"Novenber", "Novenber", "Novembre ", "Novembre", "November", "Noviembre"};
    const char* result[] = {
        "Ergebnis/Result/Risultato", "Result", "Résultat", "Risultato", "Resultaat", "Resultado"};
    const char* about[] = {"Über ", "About ", "Concerne ", "Info ", "IDfrmAboutCaption", "Sobre "};
    const char* version[] = {"Version ", "Version", "Version ", "Versione", "IDfrmAboutlblVersion",
                             "Versión"};
    const char* names[] = {"&Deutsch", "&English", "&Français", "&Italiano", "&Nederlands", "&Español"};
    for (int16_t language = kGerman; language <= kSpanish; ++language) {
        rows.insert(rows.end(), {{language, 172, november[language - 1]},
                                 {language, 137, result[language - 1]},
                                 {language, 110, "&?"},
                                 {language, 111, "&Info..."},
                                 {language, 181, about[language - 1]},
                                 {language, 182, version[language - 1]}});
        for (int16_t n = 0; n < 6; ++n)
            rows.emplace_back(language, static_cast<int16_t>(104 + n), names[n]);
        if (language != kEnglish)
            rows.emplace_back(language, 178, "Geo. Dateien (*.geo)|*.geo");
    }
    for (const auto& [language, baseId, text] : rows) {
        gLanguage = language;
        EXPECT_EQ(GetLangString(baseId), text) << language << "/" << baseId;
        EXPECT_EQ(Entry((language - 1) * 1000 + baseId), text) << language << "/" << baseId;
    }
    gLanguage = 0;
}

// Language, base id, and the id not found or 0 for a 16-bit overflow: no language read yet; ids next to a
// range or reached only by a base id outside 100..184; ids that do not fit 16 bits in the product, the sum or
// the difference.
TEST(LangTest, GetLangStringRaisesWithTheComputedId) {
    using F = std::tuple<int16_t, int16_t, int32_t>;
    for (const auto& [language, baseId, id] :
         {F{0, 100, -900}, F{0, 184, -816}, F{7, 100, 6100}, F{1, 99, 99}, F{6, 185, 5185}, F{2, -5, 995},
          F{33, 184, 32184}, F{40, 100, 0}, F{34, 100, 0}, F{-40, 100, 0}, F{6, 30000, 0},
          F{std::numeric_limits<int16_t>::min(), 100, 0}}) {
        gLanguage = language;
        try {
            ADD_FAILURE() << "returned \"" << GetLangString(baseId) << "\"";
        } catch (const VbError& e) {
            EXPECT_EQ(e.Number(), id ? ErrResourceNotFound : ErrOverflow) << language << "/" << baseId;
            EXPECT_EQ(e.Description(),
                      id ? "Resource with identifier '" + std::to_string(id) + "' not found" : "Overflow");
            EXPECT_TRUE(!id || e.Source() == "modLangConstants:GetLangString") << e.Source();
        }
        EXPECT_EQ(gLanguage, language);
    }
    gLanguage = 0;
}

} // namespace
} // namespace korvane
