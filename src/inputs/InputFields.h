#pragma once
// The window's numeric input fields as data: which characters each can hold, how many, and the range it
// checks when it is left. The command line and the browser ask the same table, so that no front end computes
// a value the window would refuse.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace korvane::inputs {

// The index of the field in the window's control array; there is no field 8.
enum class FieldId : int16_t {
    BeginHour = 0,
    EndHour = 1,
    RoomDepth = 2,
    RoomWidth = 3,
    NominalIlluminance = 4,
    Longitude = 5,
    Latitude = 6,
    TimeDiffGMT = 7,
    Transmittance = 9,
    FlatRoofRoomHeight = 10,
    WindowHeight = 11,
    WindowArea = 12,
    WindowDistance = 13,
    SawtoothGlassHeight = 14,
    SawtoothRoomHeight = 15,
    SawtoothDistance = 16,
};

struct FieldRule {
    FieldId id;
    int16_t maxLength;          // characters
    bool minusAllowed;          // besides digits and the decimal separator
    std::optional<double> low;  // inclusive; absent: no bound
    std::optional<double> high; // inclusive; absent: no bound
};

// Every field, in index order.
std::span<const FieldRule> FieldRules();
const FieldRule& RuleOf(FieldId id);

enum class ProblemKind {
    Character, // a character the field's key filter refuses
    Length,    // more characters than the field holds
    NotANumber,
    Range,
};

struct FieldProblem {
    ProblemKind kind;
    std::string
        why; // one English line naming the text and what the field allows: "'150' is outside 0 to 100"
};

// What the field could not hold or would refuse when left; nothing when the text is a number the field
// takes. Unlike the window, which lets an empty or unreadable field pass until the calculation, an empty
// text or one that is no number is a problem here: there is no later step to catch it.
std::optional<FieldProblem> CheckField(FieldId id, std::string_view text, std::string_view decimalSeparator);

// The number of the message that refuses working hours whose start is not before their end; nothing when they
// are in order.
std::optional<int16_t> CheckWorkingHours(int16_t begin, int16_t end);

} // namespace korvane::inputs
