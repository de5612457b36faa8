#pragma once
// The program's texts in six languages and their lookup by base id in the current language.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// Current language: 1 German, 2 English, 3 French, 4 Italian, 5 Dutch, 6 Spanish; 0 until the settings are
// read. Worker threads only read it, and only the user-interface thread changes it while none are running.
extern int16_t gLanguage;

// The entry (gLanguage - 1) * 1000 + baseId. The id is computed in 16-bit arithmetic, so an out-of-range
// language raises 6 "Overflow"; an id without an entry (as with gLanguage 0) raises 326 naming that id.
std::string GetLangString(int16_t baseId);

// Base id of the first period's name, "Whole year"; January to December follow it.
inline constexpr int16_t kFirstPeriodText = 161;
// The name of period 0 (the whole year) to 12 in the current language.
std::string PeriodName(int16_t period);

// The entry with the full id, or nothing; raises nothing.
std::optional<std::string_view> FindLangEntry(int32_t id);

} // namespace korvane
