#pragma once
// The window's checks of its number fields, for the page.

#include <span>
#include <string>
#include <string_view>

namespace korvane::web {

struct FieldCheck {
    int index;         // the window's field number
    int maxLength;     // characters that can be typed
    bool minusAllowed; // the site fields only
    double low;        // inclusive bounds checked on leaving the field
    double high;
};

std::span<const FieldCheck> FieldChecks();

// The character the field receives for the typed one ("," and "." become the separator), or "" when refused.
std::string FilterKey(int index, std::string_view typed, std::string_view separator);

// False when the field's text is a number outside its bounds; text that is no number passes.
bool AcceptOnLeave(int index, std::string_view text, std::string_view separator);

} // namespace korvane::web
