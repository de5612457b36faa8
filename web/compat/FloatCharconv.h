#pragma once
// Emscripten 3.1.6's libc++ declares chars_format but has no floating-point from_chars and to_chars; the core
// uses both. These fill the gap for the browser build with the C library, whose strtod and printf round
// exactly and know only the "C" locale here. Only the forms the core uses: plain decimal text in; out,
// scientific with a precision and the shortest fixed form that reads back to the same value.

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

namespace std {

inline from_chars_result from_chars(const char* first, const char* last, double& value,
                                    chars_format = chars_format::general) {
    const std::string text(first, last);
    // strtod would also take blanks, a plus sign and hexadecimal; from_chars takes none of them.
    const size_t digit = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() <= digit || !(isdigit(static_cast<unsigned char>(text[digit])) || text[digit] == '.') ||
        text.compare(digit, 2, "0x") == 0 || text.compare(digit, 2, "0X") == 0)
        return {first, errc::invalid_argument};
    char* end = nullptr;
    errno = 0;
    const double parsed = strtod(text.c_str(), &end);
    if (end == text.c_str())
        return {first, errc::invalid_argument};
    const char* stop = first + (end - text.c_str());
    // The C library reports subnormal results as a range error too; from_chars keeps them.
    if (errno == ERANGE && (parsed == 0.0 || !isfinite(parsed)))
        return {stop, errc::result_out_of_range};
    value = parsed;
    return {stop, errc()};
}

inline to_chars_result to_chars(char* first, char* last, double value, chars_format format, int precision) {
    if (format != chars_format::scientific)
        return {last, errc::value_too_large};
    const int needed = snprintf(nullptr, 0, "%.*e", precision, value);
    if (needed < 0 || needed > last - first)
        return {last, errc::value_too_large};
    std::string text(static_cast<size_t>(needed) + 1, '\0');
    snprintf(text.data(), text.size(), "%.*e", precision, value);
    for (int i = 0; i < needed; ++i)
        first[i] = text[static_cast<size_t>(i)];
    return {first + needed, errc()};
}

inline to_chars_result to_chars(char* first, char* last, double value, chars_format format) {
    if (format != chars_format::fixed || !isfinite(value))
        return {last, errc::value_too_large};
    // The fewest significant digits that read back to the value, each count correctly rounded by printf.
    char scientific[40];
    for (int precision = 0; precision <= 16; ++precision) {
        snprintf(scientific, sizeof scientific, "%.*e", precision, value);
        if (strtod(scientific, nullptr) == value)
            break;
    }
    // "-d.ddde+XX" written out without the exponent.
    std::string text(scientific);
    const size_t e = text.find('e');
    const bool negative = text[0] == '-';
    std::string digits = text.substr(negative ? 1 : 0, e - (negative ? 1 : 0));
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    const int exponent = atoi(text.c_str() + e + 1);
    std::string fixed;
    if (exponent < 0) {
        fixed = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else if (static_cast<size_t>(exponent) + 1 >= digits.size()) {
        fixed = digits + std::string(static_cast<size_t>(exponent) + 1 - digits.size(), '0');
    } else {
        fixed = digits.substr(0, static_cast<size_t>(exponent) + 1) + "." +
                digits.substr(static_cast<size_t>(exponent) + 1);
    }
    if (negative)
        fixed.insert(0, "-");
    if (static_cast<ptrdiff_t>(fixed.size()) > last - first)
        return {last, errc::value_too_large};
    for (size_t i = 0; i < fixed.size(); ++i)
        first[i] = fixed[i];
    return {first + fixed.size(), errc()};
}

} // namespace std
