#include "modLangConstants.h"

#include "LangTable.h"
#include "VbError.h"
#include "VbMath.h"

namespace korvane {

int16_t gLanguage = 0;

std::optional<std::string_view> FindLangEntry(int32_t id) {
    if (id < 0)
        return std::nullopt;
    const int32_t language = id / 1000;
    const int32_t baseId = id % 1000;
    if (language >= static_cast<int32_t>(lang::kLanguageCount) || baseId < lang::kFirstBaseId ||
        baseId > lang::kLastBaseId)
        return std::nullopt;
    return lang::LangRows()[static_cast<std::size_t>(baseId - lang::kFirstBaseId)]
        .text[static_cast<std::size_t>(language)];
}

std::string GetLangString(int16_t baseId) {
    const int16_t id = vb::Add16(vb::Mul16(vb::Sub16(gLanguage, 1), 1000), baseId);
    const auto entry = FindLangEntry(id);
    if (!entry)
        RaiseResourceNotFound(id, "modLangConstants:GetLangString");
    return std::string(*entry);
}

std::string PeriodName(int16_t period) {
    return GetLangString(static_cast<int16_t>(kFirstPeriodText + period));
}

} // namespace korvane
