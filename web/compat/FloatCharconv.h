#pragma once
// Emscripten 3.1.6's libc++ declares chars_format but has no floating-point from_chars and to_chars; the core
// and the calculator's batch writer use both. These fill the gap for the browser build with the C library,
// whose strtod and printf round exactly and know only the "C" locale here. Only the forms used: plain decimal
// text in; out, a precision in any format, the shortest fixed form that reads back to the same value, and the
// shortest form of all.

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

inline to_chars_result CopyOut(char* first, char* last, const std::string& text) {
    if (static_cast<ptrdiff_t>(text.size()) > last - first)
        return {last, errc::value_too_large};
    for (size_t i = 0; i < text.size(); ++i)
        first[i] = text[i];
    return {first + text.size(), errc()};
}

inline to_chars_result to_chars(char* first, char* last, double value, chars_format format, int precision) {
    const char* form = format == chars_format::scientific ? "%.*e"
                       : format == chars_format::fixed    ? "%.*f"
                       : format == chars_format::general  ? "%.*g"
                                                          : nullptr;
    const int needed = form ? snprintf(nullptr, 0, form, precision, value) : -1;
    if (needed < 0)
        return {last, errc::value_too_large};
    std::string text(static_cast<size_t>(needed) + 1, '\0');
    snprintf(text.data(), text.size(), form, precision, value);
    text.resize(static_cast<size_t>(needed));
    return CopyOut(first, last, text);
}

// The shortest form: fixed or scientific, whichever is shorter, fixed on a tie.
to_chars_result to_chars(char* first, char* last, double value, chars_format format);
inline to_chars_result to_chars(char* first, char* last, double value) {
    if (!isfinite(value))
        return to_chars(first, last, value, chars_format::general, 6);
    char fixed[400];
    const char* end = to_chars(fixed, fixed + sizeof fixed, value, chars_format::fixed).ptr;
    const std::string plain(fixed, static_cast<size_t>(end - fixed));
    // The same digits with an exponent: the shortest scientific form that reads back.
    char scientific[40];
    for (int precision = 0; precision <= 16; ++precision) {
        snprintf(scientific, sizeof scientific, "%.*e", precision, value);
        if (strtod(scientific, nullptr) == value)
            break;
    }
    const std::string exponent(scientific);
    return CopyOut(first, last, exponent.size() < plain.size() ? exponent : plain);
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
    return CopyOut(first, last, fixed);
}

} // namespace std
