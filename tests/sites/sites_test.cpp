// The site search on its own: folding any script in pieces as if whole, the substring index, the order in
// which a site is found, the closest names, and the alias file.
#include "SiteSearch.h"
#include "VbError.h"

#include <gtest/gtest.h>
#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace korvane::sites {
namespace {

std::string Times(const std::string& text, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i)
        out += text;
    return out;
}

// The fold of the whole text at once, as ICU gives it: what the search's pieces must add up to.
std::string FoldedWhole(const std::string& utf8) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Transliterator> t(
        icu::Transliterator::createInstance("Any-Latin; Latin-ASCII", UTRANS_FORWARD, status));
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(utf8);
    t->transliterate(text);
    std::string out;
    return text.foldCase().toUTF8String(out);
}

struct FoldRow {
    const char* name;
    std::string text;
    std::string folded; // empty: as FoldedWhole gives it
};

class Fold : public ::testing::TestWithParam<FoldRow> {};

TEST_P(Fold, GivesWhatTheWholeTextGivesAtOnce) {
    const FoldRow& row = GetParam();
    EXPECT_EQ(FoldForSearch(row.text), row.folded.empty() ? FoldedWhole(row.text) : row.folded);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, Fold,
    ::testing::Values(FoldRow{"Ascii", "Frankfurt AM Main", "frankfurt am main"},
                      FoldRow{"Accents", "MÜNCHEN Łódź Straße", "munchen lodz strasse"},
                      FoldRow{"Greek", "Αθήνα", "athena"}, FoldRow{"Cyrillic", "Москва", "moskva"},
                      FoldRow{"HanSyllablesApart", "北京市", "bei jing shi"},
                      FoldRow{"HanBesideOtherText", "x北,京ж 市 1東京)上。海-北(京é\u0301北 重庆秘鲁", ""},
                      FoldRow{"KanaInContext", "きょうと", "kyouto"},
                      FoldRow{"LongWordsWithSpaces", Times("Αθήνα Ελλάδα ", 200), ""},
                      FoldRow{"LongRunWithoutSpaces", Times("ΑθήναΕλλάδα", 200), ""},
                      FoldRow{"CombiningMarksAtEveryCut", "x" + Times("e\u0301", 700), ""},
                      FoldRow{"PairsAtEveryCut", "x" + Times("\U0001D400", 700), ""},
                      FoldRow{"LongHan", Times("北京 上海市", 300), ""}),
    [](const auto& info) { return info.param.name; });

TEST(ClosestKey, KeepsWholeCharactersOfTheBeginning) {
    for (const auto& [text, bytes] : {std::pair{std::string("Wien"), size_t{4}},
                                      {std::string(300, 'a'), kClosestKeyBytes},
                                      {"x" + Times("é", 200), kClosestKeyBytes - 1}})
        EXPECT_EQ(ClosestKey(text), std::string_view(text).substr(0, bytes));
}

// Whole texts or a piece of the second; a swap of neighbours costs one edit only where swaps count.
TEST(EditDistance, CountsEditsOfTheWholeOrOfAPiece) {
    struct Row {
        const char* a;
        const char* b;
        bool whole, swaps;
        size_t edits;
    };
    for (const Row& r : {Row{"depht", "depth", true, true, 1}, Row{"depht", "depth", true, false, 2},
                         Row{"", "abc", true, false, 3}, Row{"kln", "koeln", true, false, 2},
                         Row{"koln", "bad koeln am rhein", false, false, 1},
                         Row{"ba", "abc", false, true, 1}, Row{"xyz", "", false, false, 3}})
        EXPECT_EQ(EditDistance(r.a, r.b, r.whole, r.swaps), r.edits) << r.a << " / " << r.b;
}

TEST(SubstringIndex, FindsTheFirstTextThatHoldsThePieceWhole) {
    const SubstringIndex index({"berlin", "bern", "hamburg", "abcxbcd"});
    using Row = std::pair<const char*, std::optional<size_t>>;
    for (const auto& [part, first] : {Row{"ber", 0}, Row{"rn", 1}, Row{"burg", 2}, Row{"", 0},
                                      Row{"abcd", {}}, Row{"xyz", {}}, Row{"hamburger", {}}})
        EXPECT_EQ(index.FirstContaining(part), first) << part;
}

const std::vector<GeoEntry> kSites{{"Benutzerdefiniert", 0, 0, 0}, {"Ærø", 10.4, 54.9, 1},
                                   {"Aeroville", 2.5, 49, 1},      {"Łódź", 19.5, 51.8, 1},
                                   {"München", 11.6, 48.1, 1},     {"Wien", 16.4, 48.2, 1}};
const std::vector<SiteAlias> kAliases{{"Vienna", "Wien"}, {"Munich", "München"}, {"Nowhere", "Atlantis"}};

TEST(SiteFinder, FindsByCaseThenAnySpellingThenOtherNames) {
    const SiteFinder finder(kSites, kAliases);
    using Row = std::pair<const char*, std::optional<size_t>>;
    for (const auto& [text, site] :
         {Row{"ae", 2},   // the old case-insensitive match comes before the folded "aero" of Ærø
          Row{"ÆR", 1},   // Latin-1 capitals fold as they always did
          Row{"lodz", 3}, // accents and Polish letters folded away
          Row{"MÜNCHEN", 4}, Row{"vienna", 5}, Row{"muni", 4},
          Row{"nowhere", {}},     // an alias of a site that is not in the list
          Row{"benutzer", {}}}) { // entry 0 is never found
        EXPECT_EQ(finder.Find(text), site) << text;
    }
}

TEST(SiteFinder, NamesTheClosestByTheirBeginningThroughOtherNamesToo) {
    const SiteFinder finder(kSites, kAliases);
    using Row = std::pair<std::string, std::vector<std::string>>;
    for (const auto& [text, closest] :
         {Row{"Wein", {"Wien", "München"}}, Row{"Vienn", {"Wien (Vienna)", "München"}},
          Row{"lodzz" + std::string(5000, 'q'), {"Łódź", "Ærø"}}})
        EXPECT_EQ(finder.Closest(text, 2), closest) << text.substr(0, 10);
}

TEST(ReadSiteAliases, TakesSpellingsAndNamesTheLineAtFault) {
    EXPECT_EQ(
        ReadSiteAliases("\xEF\xBB\xBF# other names\r\n\r\n Munich ; München \r\nVienna;Wien", "a.txt").size(),
        2u);
    for (const char* bad : {"Munich\n", ";Wien\n", "Munich;\n"}) {
        try {
            ReadSiteAliases(std::string("Vienna;Wien\n") + bad, "a.txt");
            ADD_FAILURE() << bad;
        } catch (const VbError& e) {
            EXPECT_EQ(e.Number(), ErrTypeMismatch);
            EXPECT_NE(e.Description().find("a.txt, line 2"), std::string::npos) << e.Description();
        }
    }
}

} // namespace
} // namespace korvane::sites
