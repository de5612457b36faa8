#include "VbConvert.h"

#include "VbError.h"
#include "VbMath.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <system_error>

namespace korvane {
namespace {

struct NumberParts {
    bool negative = false;
    std::string_view intDigits;
    std::string_view fracDigits;
    bool expNegative = false;
    std::string_view expDigits;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The one scanner behind both IsNumeric and the conversions, so that they cannot disagree.
std::optional<NumberParts> Scan(std::string_view text, std::string_view separator) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);

    NumberParts parts;
    auto digits = [&text]() {
        size_t n = 0;
        while (n < text.size() && IsDigit(text[n]))
            ++n;
        std::string_view run = text.substr(0, n);
        text.remove_prefix(n);
        return run;
    };

    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        parts.negative = text.front() == '-';
        text.remove_prefix(1);
    }
    parts.intDigits = digits();
    if (!separator.empty() && text.starts_with(separator)) {
        text.remove_prefix(separator.size());
        parts.fracDigits = digits();
    }
    if (parts.intDigits.empty() && parts.fracDigits.empty())
        return std::nullopt;
    if (!text.empty() && (text.front() == 'E' || text.front() == 'e')) {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
            parts.expNegative = text.front() == '-';
            text.remove_prefix(1);
        }
        parts.expDigits = digits();
        if (parts.expDigits.empty())
            return std::nullopt;
    }
    if (!text.empty())
        return std::nullopt;
    return parts;
}

// Decimal exponent of the leading significant digit, saturated; only its sign matters to the caller.
int64_t MagnitudeOf(const NumberParts& p) {
    constexpr int64_t kLimit = 1'000'000'000;
    int64_t exponent = 0;
    for (char c : p.expDigits) {
        exponent = exponent * 10 + (c - '0');
        if (exponent > kLimit) {
            exponent = kLimit;
            break;
        }
    }
    if (p.expNegative)
        exponent = -exponent;
    const auto firstNonZero = [](std::string_view s) { return s.find_first_not_of('0'); };
    const size_t inInt = firstNonZero(p.intDigits);
    if (inInt != std::string_view::npos)
        return exponent + static_cast<int64_t>(p.intDigits.size() - inInt);
    const size_t inFrac = firstNonZero(p.fracDigits);
    return exponent - static_cast<int64_t>(inFrac);
}

// Parses accepted text; nothing when the text is no number; raises 6 when the value is beyond a Double.
std::optional<double> Parse(std::string_view text, std::string_view separator) {
    const std::optional<NumberParts> parts = Scan(text, separator);
    if (!parts)
        return std::nullopt;
    const NumberParts& p = *parts;
    if (p.intDigits.find_first_not_of('0') == std::string_view::npos &&
        p.fracDigits.find_first_not_of('0') == std::string_view::npos)
        return 0.0;

    std::string plain;
    plain.reserve(p.intDigits.size() + p.fracDigits.size() + p.expDigits.size() + 4);
    plain.append(p.intDigits.empty() ? std::string_view("0") : p.intDigits);
    plain.push_back('.');
    plain.append(p.fracDigits);
    if (!p.expDigits.empty()) {
        plain.push_back('e');
        if (p.expNegative)
            plain.push_back('-');
        plain.append(p.expDigits);
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (MagnitudeOf(p) > 0)
            RaiseRuntime(ErrOverflow, vb::kRuntimeSource);
        value = 0.0;
    } else if (ec != std::errc() || end != plain.data() + plain.size()) {
        return std::nullopt;
    }
    return p.negative ? -value : value;
}

// Rounds to the nearest whole number, halves to the even one; exact for every Double.
double RoundHalfEven(double value) {
    const double magnitude = std::fabs(value);
    double whole = std::floor(magnitude);
    const double fraction = magnitude - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    return std::copysign(whole, value);
}

template <class T> T RoundTo(double value) {
    if (std::isnan(value))
        RaiseRuntime(ErrOverflow, vb::kRuntimeSource);
    const double rounded = RoundHalfEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<T>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<T>::max()))
        RaiseRuntime(ErrOverflow, vb::kRuntimeSource);
    return static_cast<T>(rounded);
}

} // namespace

bool IsNumeric(std::string_view text, std::string_view decimalSeparator) {
    try {
        return Parse(text, decimalSeparator).has_value();
    } catch (const VbError&) {
        return false;
    }
}

double CDbl(std::string_view text, std::string_view decimalSeparator) {
    const std::optional<double> value = Parse(text, decimalSeparator);
    if (!value)
        RaiseRuntime(ErrTypeMismatch, vb::kRuntimeSource);
    return *value;
}

int16_t CInt(std::string_view text, std::string_view decimalSeparator) {
    return CInt(CDbl(text, decimalSeparator));
}

int32_t CLng(std::string_view text, std::string_view decimalSeparator) {
    return CLng(CDbl(text, decimalSeparator));
}

int16_t CInt(double value) {
    return RoundTo<int16_t>(value);
}

int32_t CLng(double value) {
    return RoundTo<int32_t>(value);
}

std::string CStr(double value, std::string_view decimalSeparator) {
    if (!std::isfinite(value))
        RaiseRuntime(ErrOverflow, vb::kRuntimeSource);
    if (value == 0.0)
        return "0";

    // "d.dddddddddddddde+XX": the value rounded to 15 significant digits.
    char buffer[40];
    const std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14);
    const std::string_view text(buffer, static_cast<size_t>(written.ptr - buffer));
    const size_t e = text.find('e');
    std::string digits;
    digits.push_back(text[0]);
    digits.append(text.substr(2, e - 2));
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    int exponent = 0;
    std::from_chars(text.data() + e + 2, text.data() + text.size(), exponent);
    if (text[e + 1] == '-')
        exponent = -exponent;

    std::string out = value < 0 ? "-" : "";
    if (exponent < -4 || exponent >= 15) {
        out.push_back(digits[0]);
        if (digits.size() > 1) {
            out.append(decimalSeparator);
            out.append(digits, 1);
        }
        out.push_back('E');
        out.push_back(exponent < 0 ? '-' : '+');
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10)
            out.push_back('0');
        out.append(std::to_string(magnitude));
    } else if (exponent < 0) {
        out.push_back('0');
        out.append(decimalSeparator);
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out.append(digits);
    } else {
        const size_t wholeDigits = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= wholeDigits) {
            out.append(digits);
            out.append(wholeDigits - digits.size(), '0');
        } else {
            out.append(digits, 0, wholeDigits);
            out.append(decimalSeparator);
            out.append(digits, wholeDigits);
        }
    }
    return out;
}

} // namespace korvane
