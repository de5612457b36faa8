#pragma once
// What the calculator prints for a result: plain text for people, JSON for programs.

#include "CliRoom.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <vector>

namespace korvane::cli {

// "error <number>: <description> (<source>)"
std::string ErrorLine(const VbError& e);
// The energy lines of a single result, one figure per line.
void WriteEnergyText(const EnergyFigures& e, std::ostream& out);

struct PeriodRow {
    int16_t period;
    std::string name; // in the chosen language
    RoomResult result;
};
// The year and the months side by side under a header: name, percent, the energy figures when there are
// any, and the autonomy.
void WritePeriodTable(const std::vector<PeriodRow>& rows, std::ostream& out);
// [{"period": 0, "name": "Whole year", <the result's members>}, ...]
nlohmann::ordered_json PeriodsJson(const std::vector<PeriodRow>& rows);
// {"periods": [...]} on a line.
void WritePeriodJson(const std::vector<PeriodRow>& rows, std::ostream& out);

} // namespace korvane::cli
