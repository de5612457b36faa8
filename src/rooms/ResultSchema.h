#pragma once
// The figures of a result as every output names and shows them: the batch's CSV columns, the JSON keys, the
// workbook's columns and number formats, the text lines with their units. Each figure is spelled here once.

#include "CliRoom.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace korvane::cli {

enum class Digits {
    Whole,    // an integer
    All,      // 17 significant digits, always with a point or an exponent ("0.0", "0.69123456789012345")
    Shortest, // the shortest text that reads back to the same double ("8.68", "3285")
};

struct ResultField {
    const char* column;            // CSV and workbook column; null where only JSON has the figure
    const char* jsonKey;           // in the result's object (an error's in its "error" object)
    const char* periodColumn;      // prefix of each period's column in a batch of all periods, or null
    Digits digits;                 // its number as CSV and JSON write it
    const char* numberFormat;      // the workbook's ("" general); "0.0" is also the text lines' one decimal
    const char* unit;              // of the text line
    const char* label;             // of the text line, or null where it has none
    double EnergyFigures::*energy; // where the energy holds it, or null
};

// In the order of the outputs' columns and members.
inline constexpr ResultField kPercent{"percent", "percent", "percent_", Digits::Whole,
                                      "",        "%",       nullptr,    nullptr};
inline constexpr ResultField kFraction{"fraction", "fraction", nullptr, Digits::All,
                                       "0.0000",   "",         nullptr, nullptr};
// The daylight autonomy: the share of the working hours that daylight alone lights; its text line a percent.
inline constexpr ResultField kAutonomy{"autonomy", "autonomy", "autonomy_",         Digits::All,
                                       "0.0000",   "%",        "daylight autonomy", nullptr};
inline constexpr ResultField kErrorNumber{"error_number", "number", nullptr, Digits::Whole, "", "",
                                          nullptr,        nullptr};
inline constexpr ResultField kErrorSource{nullptr, "source", nullptr, Digits::Whole,
                                          "",      "",       nullptr, nullptr};
inline constexpr ResultField kErrorDescription{
    "error_description", "description", nullptr, Digits::Whole, "", "", nullptr, nullptr};
inline constexpr ResultField kEnergyFields[] = {
    {"floor_area_m2", "floor_area_m2", nullptr, Digits::Shortest, "", "m2", "floor area",
     &EnergyFigures::floorArea},
    {"working_hours", "working_hours", nullptr, Digits::Shortest, "", "h", "working hours",
     &EnergyFigures::workingHours},
    {"kwh_without_control", "kwh_without_control", nullptr, Digits::Shortest, "0.0", "kWh",
     "energy without control", &EnergyFigures::withoutControl},
    {"kwh_with_control", "kwh_with_control", nullptr, Digits::Shortest, "0.0", "kWh", "energy with control",
     &EnergyFigures::withControl},
    {"kwh_saved", "kwh_saved", "saved_kwh_", Digits::Shortest, "0.0", "kWh", "energy saved",
     &EnergyFigures::saved},
};
inline constexpr const ResultField& kSaved = kEnergyFields[4];

// The result columns of a batch: percent and fraction (or the percent of each period), the error, the
// energy figures (or the energy saved in each period) when there are any, then the autonomy (of each period):
// last, so that readers by column index keep working.
std::vector<std::string> ResultColumns(bool energy, bool allPeriods);
// The workbook's number format of a column ("" general).
std::string NumberFormatOf(const std::string& column);
// A number as CSV and JSON write it, with a "." point.
std::string NumberText(Digits digits, double value);
// A figure as the text output shows it: to one decimal where the workbook shows one, else the shortest text.
std::string ShownText(const ResultField& field, double value);
// The text line of an energy figure: "energy saved: 450.8 kWh".
std::string TextLine(const ResultField& field, double value);
// The autonomy in whole percent as the text output shows it: "28%"; its line "daylight autonomy: 28%".
std::string AutonomyText(double autonomy);
std::string AutonomyLine(double autonomy);

// The JSON members of a result: "percent", "fraction", "autonomy", "error" (and "energy" when present; under
// a weather file "sky", "weather", its "site" and "derivedHours").
nlohmann::ordered_json ResultJson(const RoomResult& result);
// {"number": ..., "source": ..., "description": ...}, or null.
nlohmann::ordered_json ErrorJson(const std::optional<VbError>& e);
// JSON text of a value: ", " between members and ": " after keys, numbers as their fields say, strings with
// every control character escaped. elementLines: the elements of a top-level array one a line.
std::string JsonText(const nlohmann::ordered_json& value, bool elementLines = false);

} // namespace korvane::cli
