#pragma once
// The texts of the room files, the monthly overview and the report, in six languages. Translators edit
// StudyTexts.tsv beside this file; the build turns it into a table.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::lang {

struct StudyTextRow {
    std::string_view id;
    std::array<std::string_view, 6> texts; // German, English, French, Italian, Dutch, Spanish
};
const std::vector<StudyTextRow>& StudyTextRows();

} // namespace korvane::lang

namespace korvane {

// The text `id` in the current language (gLanguage); raises 326 when the id or the language has none.
std::string StudyText(std::string_view id);
// The text in language 1..6, or nothing; raises nothing.
std::optional<std::string_view> FindStudyText(int language, std::string_view id);

} // namespace korvane
