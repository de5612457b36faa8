#pragma once
// The warning about a batch column that sets no option but looks like a misspelt one, shared by the
// calculator's batch and the Python module's.

#include <optional>
#include <string>
#include <string_view>

namespace korvane::cli {

// The warning for a column passed through: `name` folded as the columns are matched (trimmed, lower case),
// `shown` as the header has it, trimmed. Nothing when no option is within one edit (names up to 4
// characters) or two of it.
std::optional<std::string> MisspeltColumnWarning(std::string_view name, std::string_view shown);

} // namespace korvane::cli
