#pragma once
// Locale-free text for every output of a room: numbers with "." whatever the user's locale, JSON pieces,
// text with no control character a terminal could take as a command.

#include <optional>
#include <string>
#include <string_view>

namespace korvane::cli {

// Shortest text that reads back to the same Double ("8.68", "50.11", "1e-07").
std::string FormatShortest(double value);
// 17 significant digits, always with a decimal point or exponent, for JSON ("0.0", "0.69123456789012345").
std::string FormatJsonFraction(double value);
// A JSON string literal, quotes included.
std::string JsonString(std::string_view text);
// The same, added to out without a copy between: echoed fields may be long.
void AppendJsonString(std::string& out, std::string_view text);

// "8", "+8", "-1": digits with an optional sign, within the range of T.
template <class T> std::optional<T> ParseWhole(std::string_view text);
// A finite decimal number with "." ("4", "-0.5", "2.5e1").
std::optional<double> ParseReal(std::string_view text);

// UTF-8 text with every control character (C1 included) replaced by U+FFFD, but TAB, CR and LF when
// keepLineEnds.
std::string WithoutControls(std::string_view text, bool keepLineEnds);

} // namespace korvane::cli
