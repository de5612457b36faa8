#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvane {

// Longest text that the field splitter and the replacement handle: their positions are 16-bit.
inline constexpr size_t kMaxTextCharacters = 32767;

// Field `number` (1-based) of text split at `delimiter`, unchanged; a number beyond the last field or below 1
// gives the last field. Raises 6 for a text longer than kMaxTextCharacters. Errors leave with the source
// "modStringHandler:GetParameter".
std::string GetParameter(std::string_view text, std::string_view delimiter, int32_t number);

} // namespace korvane
