#pragma once
// What the calculator prints for a result: plain text for people, JSON for programs.

#include "CliRoom.h"

#include <ostream>
#include <string>
#include <vector>

namespace korvane::cli {

// The JSON members "percent", "fraction", "error" (and "energy" when present), without braces.
std::string JsonResultMembers(const RoomResult& result);
// {"number": ..., "source": ..., "description": ...}
std::string JsonError(const VbError& e);
// "error <number>: <description> (<source>)"
std::string ErrorLine(const VbError& e);
// The energy lines of a single result, one figure per line.
void WriteEnergyText(const EnergyFigures& e, std::ostream& out);

struct PeriodRow {
    int16_t period;
    std::string name; // in the chosen language
    RoomResult result;
};
// The year and the months side by side: name, percent, and the energy figures when there are any.
void WritePeriodTable(const std::vector<PeriodRow>& rows, std::ostream& out);
void WritePeriodJson(const std::vector<PeriodRow>& rows, std::ostream& out);

} // namespace korvane::cli
