#include "CliFormat.h"

#include "TextInput.h"

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
    std::string out;
    AppendJsonString(out, text);
    return out;
}

void AppendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (static_cast<unsigned char>(c) >= 0x80) {
            // Batch files are often not UTF-8 (a spreadsheet's Windows-1252, say); JSON must be.
            const size_t length = Utf8SequenceLength(text.substr(at));
            if (length == 0) {
                out += "\\ufffd";
            } else if (length == 2 && static_cast<unsigned char>(c) == 0xC2 &&
                       static_cast<unsigned char>(text[at + 1]) < 0xA0) {
                out += "\\u00"; // a C1 control, which terminals take as the start of a command
                out += kHex[(text[at + 1] >> 4) & 0xF];
                out += kHex[text[at + 1] & 0xF];
                ++at;
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
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                out += "\\u00";
                out += kHex[(c >> 4) & 0xF];
                out += kHex[c & 0xF];
            } else {
                out += c;
            }
        }
    }
    out += '"';
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

std::string WithoutControls(std::string_view text, bool keepLineEnds) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9F &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80;
        if (c1 || c == 0x7F || (c < 0x20 && !(keepLineEnds && (c == '\t' || c == '\r' || c == '\n')))) {
            out += "\xEF\xBF\xBD";
            i += c1 ? 1 : 0;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace korvane::cli
