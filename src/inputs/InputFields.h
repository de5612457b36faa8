#pragma once
// The window's numeric input fields as data: which characters each can hold, how many, and the range it
// checks when it is left. The command line and the browser ask the same table, so that no front end computes
// a value the window would refuse.

#include "clsInputOutput.h"

#include <array>
#include <cstdint>
#include <functional>
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
// Raises 340 for an index that names no field; so does CheckField.
const FieldRule& RuleOf(FieldId id);

// At most one problem is told, the first of: no number at all, a character the field's key filter refuses
// (a minus sign that makes the value fall below the field's bound counts as Range), too many characters, a
// value outside the field's range.
enum class ProblemKind { NotANumber, Character, Length, Range };

struct FieldProblem {
    ProblemKind kind;
    // One English line naming the text and what the field allows: "'150' is outside 0 to 100".
    std::string why;
};

// What the field could not hold or would refuse when left; nothing when the text is a number the field
// takes. Unlike the window, which lets an empty or unreadable field pass until the calculation, an empty
// text or one that is no number is a problem here: there is no later step to catch it.
std::optional<FieldProblem> CheckField(FieldId id, std::string_view text, std::string_view decimalSeparator);

// The number of the message that refuses working hours whose start is not before their end; nothing when they
// are in order.
std::optional<int16_t> CheckWorkingHours(int16_t begin, int16_t end);

// Sets a calculation's room, site, glazing and window-type inputs from the fields' texts (`text` of a field
// index), converted as the window converts them and in its order, so that the first text that is no number
// raises 13; only the chosen window type's own fields are read.
void SetFieldInputs(clsInputOutput& io, const std::function<std::string(int)>& text, int windowType,
                    std::string_view decimalSeparator);

// Transmittance of the glazing list's entries, %: entry 0 is user-defined, 1 to 3 the presets.
inline constexpr std::array<std::optional<int16_t>, 4> kGlazingPresets{std::nullopt, 80, 50, 30};

} // namespace korvane::inputs
