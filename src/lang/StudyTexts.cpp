#include "StudyTexts.h"

#include "VbError.h"
#include "modLangConstants.h"

namespace korvane {

std::optional<std::string_view> FindStudyText(int language, std::string_view id) {
    if (language < 1 || language > 6)
        return std::nullopt;
    for (const auto& row : lang::StudyTextRows()) {
        if (row.id == id)
            return row.texts[static_cast<size_t>(language - 1)];
    }
    return std::nullopt;
}

std::string StudyText(std::string_view id) {
    if (const auto text = FindStudyText(gLanguage, id))
        return std::string(*text);
    Raise(ErrResourceNotFound, "StudyTexts", "Resource with identifier '" + std::string(id) + "' not found");
}

} // namespace korvane
