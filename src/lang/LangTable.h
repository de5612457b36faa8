#pragma once
// Internal to korvane_lang: the rows of the string table, one per base id, in base-id order.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace korvane::lang {

inline constexpr int16_t kFirstBaseId = 100;
inline constexpr int16_t kLastBaseId = 184;
inline constexpr std::size_t kLanguageCount = 6;

struct LangRow {
    int16_t baseId;
    // German, English, French, Italian, Dutch, Spanish: language number - 1 is the index.
    std::array<std::string_view, kLanguageCount> text;
};

std::span<const LangRow> LangRows();

} // namespace korvane::lang
