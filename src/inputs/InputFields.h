#pragma once
// Every input of a calculation as data: the window's numeric fields (the characters each takes, how many a
// person can type, the range checked on leaving it, its room-file member and its calculator option) and its
// lists of choices. The window, the room files, the calculator and the browser all ask this table, and one
// conversion here turns a room's texts into a calculation, so that no front end computes what another refuses.

#include "GeoEntry.h"
#include "VbError.h"
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
inline constexpr size_t kFieldSlots = 17; // field indexes 0..16

// How the window converts the field's text.
enum class Reading : int8_t { Real, Int16, Int32 };

struct FieldRule {
    FieldId id;
    int16_t maxLength;          // characters a person can type; text put in by the program is held whole
    bool minusAllowed;          // besides digits and the decimal separator
    std::optional<double> low;  // inclusive; absent: no bound
    std::optional<double> high; // inclusive; absent: no bound
    Reading reading;
    int16_t windowType;    // 0: read for every window type; else the type whose panel holds the field
    int16_t labelId;       // base id of the window's label for the field
    const char* member;    // in a room file: "group.name"
    const char* option;    // the calculator's option (without dashes) and batch column
    const char* startText; // the window's text at start
};

// Every field, in index order.
std::span<const FieldRule> FieldRules();
// Raises 340 for an index that names no field; so does CheckField.
const FieldRule& RuleOf(FieldId id);
// The field that an option or batch column stands for under a window type; nullptr for none.
const FieldRule* FieldOfOption(std::string_view option, int windowType);

// The lists of choices: the period list, the window-type tabs, the glazing list and the two option groups.
enum class ChoiceId : int8_t { Period, WindowType, Glazing, Band, Slope };
inline constexpr size_t kChoiceCount = 5;

struct ChoiceRule {
    ChoiceId id;
    const char* member; // in a room file
    const char* option; // the calculator's option; nullptr: none
    std::span<const int> allowed;
    int startValue;  // the window's choice at start
    bool leadsGroup; // written before the fields of its room-file group
    int16_t labelId; // base id of the window's text for it
};

std::span<const ChoiceRule> ChoiceRules();
const ChoiceRule& RuleOf(ChoiceId id);
// The choice a text names ("60"), or nothing when it is not one of the allowed values.
std::optional<int> ChoiceOf(ChoiceId id, std::string_view text);
// The allowed values as one line: "30, 60, 90".
std::string AllowedText(ChoiceId id);

// The transmittance, in %, of the glazing list's entry; nothing for entry 0, the user-defined glazing.
std::optional<int16_t> GlazingPreset(int choice);

// The key filter: the character a key types into the field ("," and "." type the separator's first
// character), or 0 when the field refuses it. Backspace is the caller's.
char32_t TypedCharacter(FieldId id, char32_t key, std::string_view decimalSeparator);
// The check on leaving: true when the text is a number outside the field's range. Empty or unreadable
// text passes; the calculation reports it.
bool RefusedOnLeave(FieldId id, std::string_view text, std::string_view decimalSeparator);

// At most one problem is told, the first of: no text, no number, a character the field's key filter refuses
// (a minus sign that makes the value fall below the field's bound counts as Range), a value outside the
// field's range. The length is no problem: it limits typing only.
enum class ProblemKind { Empty, NotANumber, Character, Range };

struct FieldProblem {
    ProblemKind kind;
    // One English line naming the text and what the field allows: "'150' is outside 0 to 100".
    std::string why;
};

std::optional<FieldProblem> CheckField(FieldId id, std::string_view text, std::string_view decimalSeparator);
// The field's and the choice's label in the window, in the current language, as one line ("Depth of room").
std::string FieldLabel(FieldId id);
std::string ChoiceLabel(ChoiceId id);
// What is wrong, in the current language, naming the field by its label in the window:
// "Depth of room '-1' is out of range (0 …)".
std::string SaidInLanguage(FieldId id, ProblemKind kind, std::string_view text);
// The same for a value outside a list of choices.
std::string ChoiceSaidInLanguage(ChoiceId id, std::string_view text);

// The number of the message that refuses working hours whose start is not before their end; nothing when they
// are in order.
std::optional<int16_t> CheckWorkingHours(int16_t begin, int16_t end);

// One room as the window holds it: the fields' texts, the choices and the site chosen from the site list.
struct RoomTexts {
    std::array<std::string, kFieldSlots> fields{}; // by field index; slot 8 unused
    std::array<int, kChoiceCount> choices{};       // by ChoiceId
    std::optional<std::string> siteName;           // nothing: the user-defined site, typed in fields 5 to 7
    std::string separator = ".";                   // the decimal separator of the texts

    std::string& Field(FieldId id) { return fields[static_cast<size_t>(id)]; }
    const std::string& Field(FieldId id) const { return fields[static_cast<size_t>(id)]; }
    int& Choice(ChoiceId id) { return choices[static_cast<size_t>(id)]; }
    int Choice(ChoiceId id) const { return choices[static_cast<size_t>(id)]; }
    bool operator==(const RoomTexts&) const = default;
};

// The window's room at start: its fields' start texts and choices, no site chosen.
RoomTexts StartRoom();

// Why a room cannot be calculated: the window's message (146 a field empty or no number, 153 the working
// hours out of order, 0 a value outside its field's range, which the window refuses with a beep), the field
// concerned and the problem. The error number is 13 for a text that is no number, else 5.
class InputRefusal : public VbError {
  public:
    InputRefusal(int16_t message, FieldId field, ProblemKind kind, std::string why);
    int16_t Message() const { return message_; }
    FieldId Field() const { return field_; }
    ProblemKind Kind() const { return kind_; }

  private:
    int16_t message_;
    FieldId field_;
    ProblemKind kind_;
};

inline constexpr int16_t kMsgIncomplete = 146;
inline constexpr int16_t kMsgHoursOutOfOrder = 153;

// The one conversion of a room into a calculation, as the window's calculation run does it with its
// fields, for every front end: a named site that `sites` holds gives that site's coordinates (else the
// room's texts of fields 5 to 7 are read), a glazing preset its transmittance (else field 9), and only the
// chosen window type's own geometry fields are read. The texts are checked as the fields check them
// (characters and ranges, not lengths) and converted as the window converts them, in its order. Raises
// InputRefusal for the first field that stops the run; the engine is not called.
clsInputOutput ToCalculation(const RoomTexts& room, std::span<const GeoEntry> sites);

// Transmittance of the glazing list's entries, %: entry 0 is user-defined, 1 to 3 the presets.
inline constexpr std::array<std::optional<int16_t>, 4> kGlazingPresets{std::nullopt, 80, 50, 30};

} // namespace korvane::inputs
