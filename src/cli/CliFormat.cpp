#include "CliFormat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace korvane::cli {

namespace {

std::string_view WithoutPlus(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    return text;
}

// The length of the well-formed UTF-8 sequence at the start of text, or 0 when none starts there (a stray
// continuation byte, a truncated or overlong sequence, a surrogate or a code point beyond U+10FFFF).
size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

} // namespace

std::string FormatShortest(double value) {
    std::array<char, 64> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    return std::string(buf.data(), r.ptr);
}

std::string FormatJsonFraction(double value) {
    std::array<char, 64> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 17);
    std::string text(buf.data(), r.ptr);
    if (text.find_first_of(".e") == std::string::npos)
        text += ".0";
    return text;
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (static_cast<unsigned char>(c) >= 0x80) {
            // Batch files are often not UTF-8 (a spreadsheet's Windows-1252, say); JSON must be.
            const size_t length = Utf8SequenceLength(text.substr(at));
            if (length == 0) {
                out += "\\ufffd";
            } else {
                out += text.substr(at, length);
                at += length - 1;
            }
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                static constexpr char kHex[] = "0123456789abcdef";
                out += "\\u00";
                out += kHex[(c >> 4) & 0xF];
                out += kHex[c & 0xF];
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

template <class T> std::optional<T> ParseWhole(std::string_view text) {
    const std::string_view digits = WithoutPlus(text);
    if (digits.empty() || digits.front() == '+')
        return std::nullopt;
    int64_t value = 0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (r.ec != std::errc() || r.ptr != digits.data() + digits.size())
        return std::nullopt;
    if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max())
        return std::nullopt;
    return static_cast<T>(value);
}

template std::optional<int16_t> ParseWhole<int16_t>(std::string_view);
template std::optional<int32_t> ParseWhole<int32_t>(std::string_view);

std::optional<double> ParseReal(std::string_view text) {
    const std::string_view number = WithoutPlus(text);
    if (number.empty() || number.front() == '+')
        return std::nullopt;
    double value = 0;
    const auto r =
        std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != number.data() + number.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace korvane::cli
