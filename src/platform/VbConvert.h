#pragma once
// Conversions between text and numbers under a locale's decimal separator, independent of the C library's
// locale (the window toolkit changes that at start-up).
//
// Accepted text: blanks (space, tab) around the number, one leading "+" or "-", digits with at most one
// decimal separator and a digit on at least one side of it, and an optional exponent ("E" or "e", an
// optional sign, digits). Group separators, currency signs, hexadecimal and parentheses are refused:
// accepting group separators would silently read "1.5" as 15 under a comma locale.
//
// Errors carry the program's run-time source: 13 "Type mismatch" for text that is no number, 6 "Overflow"
// for a value outside the target type. Integers round to the nearest, halves to the even neighbour.

#include <cstdint>
#include <string>
#include <string_view>

namespace korvane {

// True when the text is an accepted spelling of a number that a Double can hold; exactly then CDbl succeeds.
bool IsNumeric(std::string_view text, std::string_view decimalSeparator);

// A number smaller than the smallest Double becomes 0; one larger than the largest raises 6.
double CDbl(std::string_view text, std::string_view decimalSeparator);
int16_t CInt(std::string_view text, std::string_view decimalSeparator);
int32_t CLng(std::string_view text, std::string_view decimalSeparator);

int16_t CInt(double value);
int32_t CLng(double value);

// Up to 15 significant digits, the given separator, no grouping; exponent form ("1E+15", "1E-05") only
// below 0.0001 and from 1E+15 on. Whole numbers come out plain ("3", "-24").
std::string CStr(double value, std::string_view decimalSeparator);

} // namespace korvane
