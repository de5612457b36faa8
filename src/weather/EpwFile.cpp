#include "EpwFile.h"

#include "TextInput.h"
#include "VbError.h"
#include "daylight.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

namespace korvane::weather {

namespace {

constexpr const char* kSource = "weather:ReadEpw";
constexpr size_t kHeaderLines = 8;
constexpr size_t kLocationFields = 10;
// Fields by their 1-based number in a record.
constexpr size_t kMonth = 2, kDay = 3, kHour = 4, kDewPoint = 8, kDirectNormal = 15, kDiffuse = 16,
                 kDiffuseIlluminance = 19;
constexpr double kMissingDewPoint = 99.9, kMissingIrradiance = 9999, kMissingIlluminance = 999900;

[[noreturn]] void Fault(const std::string& name, size_t line, size_t field, const std::string& why) {
    std::string where = name + ": line " + std::to_string(line);
    if (field)
        where += ", field " + std::to_string(field);
    Raise(ErrTypeMismatch, kSource, where + ": " + why);
}

[[noreturn]] void TooLarge(const std::string& name) {
    Raise(ErrPathFileAccess, kSource, name + ": larger than " + std::to_string(kMaxEpwBytes) + " bytes");
}

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    if (!text.empty() && !blank(text.front()) && !blank(text.back()))
        return text; // the usual field
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The first N fields of a line split at commas; the count of fields found, at most N.
template <size_t N> size_t SplitFields(std::string_view line, std::array<std::string_view, N>& fields) {
    // Eight bytes at a time: a weather record's fields are short, and its line long.
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full, kCommas = 0x2C2C2C2C2C2C2C2Cull;
    const char* const begin = line.data();
    const char* const end = begin + line.size();
    const char* start = begin;
    size_t count = 0;
    const auto comma = [&](const char* at) {
        fields[count++] = std::string_view(start, static_cast<size_t>(at - start)); // trimmed where read
        start = at + 1;
    };
    const char* at = begin;
    constexpr bool kLittle = std::endian::native == std::endian::little; // the first byte lowest
    for (; kLittle && count + 1 < N && end - at >= 8; at += 8) {
        uint64_t word;
        std::memcpy(&word, at, 8);
        // The high bit of each byte that is a comma, exactly (no borrow between bytes).
        const uint64_t x = word ^ kCommas;
        uint64_t found = ~(((x & kLow7) + kLow7) | x | kLow7);
        while (found && count + 1 < N) {
            comma(at + std::countr_zero(found) / 8);
            found &= found - 1;
        }
    }
    for (; count + 1 < N && at < end; ++at) {
        if (*at == ',')
            comma(at);
    }
    const char* last = start;
    while (last != end && *last != ',')
        ++last;
    fields[count++] = std::string_view(start, static_cast<size_t>(last - start));
    return count;
}

// The digits of t as an unsigned number, if t is one to nine digits and nothing else.
std::optional<uint32_t> SmallDigits(std::string_view t) {
    if (t.empty() || t.size() > 9)
        return std::nullopt;
    uint32_t value = 0;
    for (const char c : t) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    return value;
}

// A decimal of the plain form -?digits[.digits] exactly as std::from_chars reads it, or nothing for any other
// text. With at most 15 significant digits and 22 decimals, both the digits and the power of ten are exact
// doubles, and their quotient is the correctly rounded value.
std::optional<double> PlainDecimal(std::string_view t) {
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* at = t.data();
    const char* const end = at + t.size();
    const bool negative = at != end && *at == '-';
    at += negative ? 1 : 0;
    if (at == end || static_cast<unsigned>(*at - '0') > 9)
        return std::nullopt; // no digit before a point
    uint64_t digits = 0;
    int count = 0, decimals = -1; // -1: no point yet
    for (; at != end; ++at) {
        const auto digit = static_cast<unsigned>(*at - '0');
        if (digit <= 9) {
            digits = digits * 10 + digit;
            ++count;
            decimals += decimals >= 0 ? 1 : 0;
        } else if (*at == '.' && decimals < 0) {
            decimals = 0;
        } else {
            return std::nullopt;
        }
    }
    if (count > 15 || decimals == 0)
        return std::nullopt;
    const double value = static_cast<double>(digits) / kPow10[decimals < 0 ? 0 : decimals];
    return negative ? -value : value;
}

// The lines of the text one at a time, counted from 1.
class Lines {
  public:
    explicit Lines(std::string_view text) : rest_(text) {}
    bool Next(std::string_view& line) {
        if (rest_.empty())
            return false;
        const size_t end = rest_.find('\n');
        line = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        ++number_;
        return true;
    }
    size_t Number() const { return number_; }

  private:
    std::string_view rest_;
    size_t number_ = 0;
};

// A line's fields by number, each read as a number or refused naming the line and the field.
template <size_t N> struct Fields {
    const std::string& name;
    size_t line;
    std::array<std::string_view, N> text{};

    double Number(size_t field, double low, double high) const {
        const std::string_view t = Trimmed(text[field - 1]);
        double value = 0;
        if (const auto plain = PlainDecimal(t)) {
            value = *plain;
        } else {
            const auto r = std::from_chars(t.data(), t.data() + t.size(), value, std::chars_format::general);
            if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(value))
                Fault(name, line, field, "'" + std::string(t) + "' is not a number");
        }
        if (value < low || value > high)
            Fault(name, line, field,
                  "'" + std::string(t) + "' is outside " + ShortText(low) + " to " + ShortText(high));
        return value;
    }
    int Whole(size_t field, int low, int high) const {
        const std::string_view t = Trimmed(text[field - 1]);
        int value = 0;
        if (const auto small = SmallDigits(t)) {
            value = static_cast<int>(*small);
        } else {
            const auto r = std::from_chars(t.data(), t.data() + t.size(), value);
            if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size())
                Fault(name, line, field, "'" + std::string(t) + "' is not a whole number");
        }
        if (value < low || value > high)
            Fault(name, line, field,
                  "'" + std::string(t) + "' is outside " + std::to_string(low) + " to " +
                      std::to_string(high));
        return value;
    }
    // Fixed notation, which every standard library the core is built with can write.
    static std::string ShortText(double value) {
        std::array<char, 400> buf{};
        const auto end =
            std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed).ptr;
        return std::string(buf.data(), end);
    }
};

WeatherSite ReadLocation(Lines& lines, const std::string& name) {
    std::string_view line;
    if (!lines.Next(line))
        Fault(name, 1, 0, "an empty file, no EPW weather file");
    if (line.starts_with("\xEF\xBB\xBF"))
        line.remove_prefix(3);
    Fields<kLocationFields> f{name, 1};
    const size_t count = SplitFields(line, f.text);
    if (Trimmed(f.text[0]) != "LOCATION")
        Fault(name, 1, 1, "no EPW weather file: its first line does not begin with LOCATION");
    if (count < kLocationFields)
        Fault(name, 1, 0, "the LOCATION line has " + std::to_string(count) + " fields, not 10");
    WeatherSite site;
    site.city = DecodeText(Trimmed(f.text[1]));
    site.observer.latitude = f.Number(7, -90, 90);
    site.observer.longitude = f.Number(8, -180, 180);
    site.observer.timeZone = f.Number(9, -24, 24);
    site.elevation = f.Number(10, -1e4, 1e5);
    for (size_t i = 2; i <= kHeaderLines; ++i) {
        if (!lines.Next(line))
            Fault(name, lines.Number(), 0, "the file ends within its 8 header lines");
    }
    return site;
}

// One record as read: the illuminance, or the irradiance to derive it from.
struct Record {
    size_t line = 0; // 0: no record for this hour
    std::optional<double> illuminance;
    Irradiance irradiance{};
};

// The day of the year of a month's day, or 0 for 29 February.
int DayOfYear(int month, int day) {
    return month == 2 && day == 29
               ? 0
               : daylight::GetDayOfYear(static_cast<int16_t>(day), static_cast<int16_t>(month));
}

void ReadRecord(std::string_view line, size_t number, const std::string& name, std::vector<Record>& year) {
    Fields<kDiffuseIlluminance> f{name, number};
    const size_t count = SplitFields(line, f.text);
    if (count < kDiffuseIlluminance)
        Fault(name, number, 0, "a record of " + std::to_string(count) + " fields, not at least 19");
    const int month = f.Whole(kMonth, 1, 12);
    const int day = f.Whole(kDay, 1, month == 2 ? 29 : daylight::GetDaysOfMonth(static_cast<int16_t>(month)));
    const int hour = f.Whole(kHour, 1, kRecordHours);
    const double dewPoint = f.Number(kDewPoint, -100, 100);
    const double directNormal = f.Number(kDirectNormal, -1e4, 1e4);
    const double diffuse = f.Number(kDiffuse, -1e4, 1e4);
    const double illuminance = f.Number(kDiffuseIlluminance, 0, 1e6);
    const int N = DayOfYear(month, day);
    if (N == 0)
        return; // the engine's year has 365 days
    Record& r = year[static_cast<size_t>((N - 1) * kRecordHours + hour - 1)];
    if (r.line)
        Fault(name, number, kHour,
              "month " + std::to_string(month) + ", day " + std::to_string(day) + ", hour " +
                  std::to_string(hour) + " came before, on line " + std::to_string(r.line));
    r.line = number;
    if (illuminance < kMissingIlluminance)
        r.illuminance = illuminance;
    if (directNormal < kMissingIrradiance)
        r.irradiance.directNormal = directNormal;
    if (dewPoint < kMissingDewPoint)
        r.irradiance.dewPoint = dewPoint;
    r.irradiance.diffuseHorizontal = diffuse;
    if (!r.illuminance && diffuse >= kMissingIrradiance)
        Fault(name, number, kDiffuse, "neither the diffuse illuminance nor the diffuse irradiance is given");
}

std::string MonthDay(int N) {
    int month = 1;
    while (month < 12 && N > daylight::GetDayOfYear(1, static_cast<int16_t>(month + 1)) - 1)
        ++month;
    return "month " + std::to_string(month) + ", day " +
           std::to_string(N - daylight::GetDayOfYear(1, static_cast<int16_t>(month)) + 1);
}

} // namespace

void CheckEpwSize(uintmax_t bytes, const std::string& name) {
    if (bytes > kMaxEpwBytes)
        TooLarge(name);
}

WeatherYear ReadEpw(std::string_view text, const std::string& name) {
    CheckEpwSize(text.size(), name);
    Lines lines(text);
    WeatherYear result;
    result.site = ReadLocation(lines, name);
    std::vector<Record> year(kYearRecords);
    for (std::string_view line; lines.Next(line);) {
        if (!Trimmed(line).empty())
            ReadRecord(line, lines.Number(), name, year);
    }
    result.illuminance.resize(kYearRecords);
    SolarDay day{};
    for (size_t i = 0; i < year.size(); ++i) {
        const Record& r = year[i];
        const int N = static_cast<int>(i / kRecordHours) + 1, k = static_cast<int>(i % kRecordHours) + 1;
        if (!r.line)
            Fault(name, lines.Number(), 0,
                  "the file ends without a record for " + MonthDay(N) + ", hour " + std::to_string(k));
        if (r.illuminance) {
            result.illuminance[i] = *r.illuminance;
            continue;
        }
        ++result.derivedHours;
        if (!(r.irradiance.diffuseHorizontal > 0.0))
            continue; // no diffuse light, no illuminance: the night's hours need no sun
        if (day.N != N)
            day = GetSolarDay(result.site.observer, static_cast<int16_t>(N));
        result.illuminance[i] =
            GetDiffuseEfficacy(result.site.observer, day, static_cast<int16_t>(k), r.irradiance).illuminance;
    }
    return result;
}

WeatherYear ReadEpw(std::istream& in, const std::string& name) {
    std::string text;
    std::array<char, 1 << 16> chunk;
    while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
        text.append(chunk.data(), static_cast<size_t>(in.gcount()));
        if (text.size() > kMaxEpwBytes)
            TooLarge(name); // before a device that never ends fills the memory
    }
    return ReadEpw(std::string_view(text), name);
}

WeatherYear ReadEpwFile(const std::string& fileName) {
    const std::string bytes = PassOn(kSource, [&] { return ReadFileBytes(fileName, kMaxEpwBytes); });
    return ReadEpw(std::string_view(bytes), fileName);
}

} // namespace korvane::weather
