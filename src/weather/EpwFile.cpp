#include "EpwFile.h"

#include "TextInput.h"
#include "VbError.h"
#include "daylight.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    size_t count = 0;
    for (size_t comma; count + 1 < N && (comma = line.find(',')) != std::string_view::npos;) {
        fields[count++] = line.substr(0, comma); // trimmed where read
        line.remove_prefix(comma + 1);
    }
    fields[count++] = line.substr(0, line.find(','));
    return count;
}

// The digits of t as an unsigned number, if t is one to nine digits and nothing else.
std::optional<uint32_t> SmallDigits(std::string_view t) {
    uint32_t value = 0;
    for (const char c : t) {
        if (static_cast<unsigned>(c - '0') > 9)
            return std::nullopt;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    return t.empty() || t.size() > 9 ? std::nullopt : std::optional(value);
}

// A decimal of the plain form -?digits[.digits], exactly as std::from_chars reads it, or nothing for any
// other form. With at most 15 significant digits and 22 decimals, both the digits and the power of ten are
// exact doubles, and their quotient is the correctly rounded value.
std::optional<double> PlainDecimal(std::string_view t) {
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const bool negative = t.starts_with('-');
    t.remove_prefix(negative ? 1 : 0);
    if (t.empty() || static_cast<unsigned>(t[0] - '0') > 9)
        return std::nullopt; // no digit before a point
    uint64_t digits = 0;
    int count = 0, decimals = -1; // -1: no point yet
    for (const char c : t) {
        const auto digit = static_cast<unsigned>(c - '0');
        if (digit <= 9) {
            digits = digits * 10 + digit;
            ++count;
            decimals += decimals >= 0 ? 1 : 0;
        } else if (c == '.' && decimals < 0) {
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

WeatherSite ReadLocation(std::string_view line, const std::string& name) {
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
    return site;
}

// What the year takes from one record, as written.
struct RecordValues {
    int month, day, hour;
    double dewPoint, directNormal, diffuse, illuminance;
};

// The quick reading of a record takes its bytes a word at a time, the first byte of the text the lowest.
static_assert(std::endian::native == std::endian::little, "the first byte of a word is its lowest");
constexpr uint64_t kEachByte = 0x0101010101010101ULL;

// The high bit of each byte of word that is c, and no other bit.
uint64_t BytesEqual(uint64_t word, char c) {
    constexpr uint64_t kLow7 = 0x7F * kEachByte;
    const uint64_t x = word ^ (uint64_t{static_cast<unsigned char>(c)} * kEachByte); // c's bytes are 0
    return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// Where the set bits of each 8-bit mask are, a byte each from the lowest, and how many there are.
struct BitPositions {
    std::array<uint64_t, 256> packed{};
    std::array<uint8_t, 256> count{};
};
constexpr BitPositions kBitPositions = [] {
    BitPositions table;
    for (unsigned mask = 0; mask < 256; ++mask) {
        for (unsigned bit = 0; bit < 8; ++bit) {
            if (mask >> bit & 1u)
                table.packed[mask] |= uint64_t{bit} << (8 * table.count[mask]++);
        }
    }
    return table;
}();

// Fields 1 to 19 end at the first 19 commas.
constexpr size_t kPlainCommas = kDiffuseIlluminance;

// The commas among the 16 bytes from p, a bit each, the first byte's the lowest.
unsigned CommaBits(const char* p) {
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(','))));
#else // the browser's build: eight bytes at a time, each comma's high bit gathered into the top byte
    unsigned bits = 0;
    for (unsigned half = 0; half < 16; half += 8) {
        uint64_t word;
        std::memcpy(&word, p + half, sizeof word);
        bits |= static_cast<unsigned>((BytesEqual(word, ',') >> 7) * 0x0102040810204080ULL >> 56) << half;
    }
    return bits;
#endif
}

// The places of the first 19 commas of a line's first 256 bytes; how many were found, more than 19 meaning
// at least 19. Sixteen bytes at a time, with no branch on where a comma falls.
size_t FindCommas(std::string_view line, std::array<uint8_t, 48>& at) {
    const size_t limit = std::min<size_t>(line.size(), 256);
    size_t count = 0;
    const auto take = [&](unsigned bits, size_t i) {
        for (size_t half = 0; half < 16; half += 8) {
            const unsigned b = bits >> half & 0xFF;
            const uint64_t places = kBitPositions.packed[b] + (i + half) * kEachByte;
            std::memcpy(at.data() + count, &places, sizeof places);
            count += kBitPositions.count[b];
        }
    };
    size_t i = 0;
    for (; i + 16 <= limit && count < kPlainCommas; i += 16)
        take(CommaBits(line.data() + i), i);
    if (i < limit && count < kPlainCommas) {
        char tail[16] = {};
        std::memcpy(tail, line.data() + i, limit - i);
        take(CommaBits(tail), i);
    }
    return count;
}

// A number as written: its digits without the point, how many follow the point, and its sign.
struct PlainNumber {
    uint32_t digits;
    int decimals;
    bool negative;
};

// The text line[begin, end) as -?digits[.digits], at most eight characters after the sign, read at once;
// false for any other text, which the field-by-field reading then judges.
bool ReadPlainNumber(std::string_view line, size_t begin, size_t end, PlainNumber& n) {
    constexpr uint64_t kZeros = 0x30 * kEachByte;
    n.negative = begin < end && line[begin] == '-';
    begin += n.negative ? 1 : 0;
    const size_t length = end - begin;
    if (length == 0 || length > 8)
        return false;
    // The eight bytes that end with the number, those before it made '0'.
    uint64_t word; // the line has eight bytes at least
    std::memcpy(&word, line.data() + (end >= 8 ? end - 8 : 0), sizeof word);
    word = end >= 8 ? word : word << (8 * (8 - end));
    const uint64_t own = ~uint64_t{0} << (8 * (8 - length));
    word = (word & own) | (kZeros & ~own);
    n.decimals = 0;
    if (const uint64_t point = BytesEqual(word, '.')) {
        const int at = std::countr_zero(point) / 8;
        if ((point & (point - 1)) || at == 7 || at == static_cast<int>(8 - length))
            return false; // two points, or no digit after or before it
        const uint64_t below = (uint64_t{1} << (8 * at)) - 1;
        word = (word & ~(below | uint64_t{0xFF} << (8 * at))) | (word & below) << 8 | 0x30;
        n.decimals = 7 - at;
    }
    if (((word & 0xF0F0F0F0F0F0F0F0ULL) | (((word + 0x0606060606060606ULL) & 0xF0F0F0F0F0F0F0F0ULL) >> 4)) !=
        0x3333333333333333ULL)
        return false; // a byte that is no digit
    word = (word & 0x0F0F0F0F0F0F0F0FULL) * 2561 >> 8;
    word = (word & 0x00FF00FF00FF00FFULL) * 6553601 >> 16;
    n.digits = static_cast<uint32_t>((word & 0x0000FFFF0000FFFFULL) * 42949672960001ULL >> 32);
    return true;
}

// Fields 1 to 19 of a record as they are nearly always written: plain numbers without blanks, in range. False
// leaves the record to ReadRecord, which names what is wrong.
bool ReadPlainRecord(std::string_view line, RecordValues& v) {
    std::array<uint8_t, 48> comma;
    const size_t commas = FindCommas(line, comma);
    if (commas < kPlainCommas - 1 || (commas == kPlainCommas - 1 && line.size() > 256))
        return false; // which also leaves ReadPlainNumber a line of more than eight bytes
    const auto number = [&](size_t field, PlainNumber& n) {
        const size_t end = field <= commas ? size_t{comma[field - 1]} : line.size();
        return ReadPlainNumber(line, comma[field - 2] + size_t{1}, end, n);
    };
    // One or two digits, which every month, day and hour is.
    const auto whole = [&](size_t field, int& value, int high) {
        const size_t begin = comma[field - 2] + size_t{1}, length = comma[field - 1] - begin;
        const auto digit = [&](size_t i) { return static_cast<unsigned>(line[begin + i] - '0'); };
        const unsigned first = digit(0), last = digit(length > 1 ? 1 : 0);
        value = static_cast<int>(length == 1 ? first : first * 10 + last);
        return (length == 1 || length == 2) && first <= 9 && last <= 9 && value >= 1 && value <= high;
    };
    // Judged by its digits, which are ready before the quotient is.
    const auto decimal = [&](size_t field, double& value, uint64_t bound, bool negativeZeroOnly = false) {
        static constexpr uint64_t kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
        PlainNumber n;
        if (!number(field, n) || n.digits > bound * kPow10[n.decimals] ||
            (negativeZeroOnly && n.negative && n.digits))
            return false;
        // Both exact doubles, so the quotient is the correctly rounded value that std::from_chars gives.
        value = n.decimals ? n.digits / static_cast<double>(kPow10[n.decimals]) : n.digits;
        value = n.negative ? -value : value;
        return true;
    };
    return whole(kMonth, v.month, 12) &&
           whole(kDay, v.day, v.month == 2 ? 29 : daylight::GetDaysOfMonth(static_cast<int16_t>(v.month))) &&
           whole(kHour, v.hour, kRecordHours) && decimal(kDewPoint, v.dewPoint, 100) &&
           decimal(kDirectNormal, v.directNormal, 10000) && decimal(kDiffuse, v.diffuse, 10000) &&
           decimal(kDiffuseIlluminance, v.illuminance, 1000000, true);
}

RecordValues ReadRecord(std::string_view line, size_t number, const std::string& name) {
    Fields<kDiffuseIlluminance> f{name, number};
    const size_t count = SplitFields(line, f.text);
    if (count < kDiffuseIlluminance)
        Fault(name, number, 0, "a record of " + std::to_string(count) + " fields, not at least 19");
    RecordValues v{};
    v.month = f.Whole(kMonth, 1, 12);
    v.day = f.Whole(kDay, 1, v.month == 2 ? 29 : daylight::GetDaysOfMonth(static_cast<int16_t>(v.month)));
    v.hour = f.Whole(kHour, 1, kRecordHours);
    v.dewPoint = f.Number(kDewPoint, -100, 100);
    v.directNormal = f.Number(kDirectNormal, -1e4, 1e4);
    v.diffuse = f.Number(kDiffuse, -1e4, 1e4);
    v.illuminance = f.Number(kDiffuseIlluminance, 0, 1e6);
    return v;
}

// The day of the year of a month's day, or 0 for 29 February.
int DayOfYear(int month, int day) {
    return month == 2 && day == 29
               ? 0
               : daylight::GetDayOfYear(static_cast<int16_t>(day), static_cast<int16_t>(month));
}

std::string MonthDay(int N) {
    int month = 1;
    while (month < 12 && N > daylight::GetDayOfYear(1, static_cast<int16_t>(month + 1)) - 1)
        ++month;
    return "month " + std::to_string(month) + ", day " +
           std::to_string(N - daylight::GetDayOfYear(1, static_cast<int16_t>(month)) + 1);
}

// A weather file's text taken in pieces of any size, each hour's illuminance worked out as its record is
// read, so that neither the whole text nor its records need be held.
class YearReader {
  public:
    explicit YearReader(const std::string& name) : name_(name), lineOf_(kYearRecords) {
        year_.illuminance.resize(kYearRecords);
    }

    void Take(std::string_view bytes) {
        bytes_ += bytes.size();
        CheckEpwSize(bytes_, name_); // before a device that never ends fills the memory
        for (size_t end; (end = bytes.find('\n')) != std::string_view::npos; bytes.remove_prefix(end + 1)) {
            if (pending_.empty()) {
                Line(bytes.substr(0, end));
            } else {
                pending_.append(bytes.substr(0, end));
                Line(pending_);
                pending_.clear();
            }
        }
        pending_.append(bytes);
    }

    WeatherYear Finish() {
        if (!pending_.empty())
            Line(pending_); // a last line without its line end
        if (lines_ == 0)
            Fault(name_, 1, 0, "an empty file, no EPW weather file");
        if (lines_ < kHeaderLines)
            Fault(name_, lines_, 0, "the file ends within its 8 header lines");
        for (size_t i = 0; i < lineOf_.size(); ++i) {
            if (!lineOf_[i])
                Fault(name_, lines_, 0,
                      "the file ends without a record for " +
                          MonthDay(static_cast<int>(i / kRecordHours) + 1) + ", hour " +
                          std::to_string(i % kRecordHours + 1));
        }
        return std::move(year_);
    }

  private:
    void Line(std::string_view line) {
        ++lines_;
        if (lines_ == 1)
            year_.site = ReadLocation(line, name_);
        else if (lines_ > kHeaderLines && !Trimmed(line).empty())
            Record(line);
    }

    void Record(std::string_view line) {
        RecordValues v;
        if (!ReadPlainRecord(line, v))
            v = ReadRecord(line, lines_, name_);
        const int N = DayOfYear(v.month, v.day);
        if (N == 0)
            return; // the engine's year has 365 days
        const auto i = static_cast<size_t>((N - 1) * kRecordHours + v.hour - 1);
        if (lineOf_[i])
            Fault(name_, lines_, kHour,
                  "month " + std::to_string(v.month) + ", day " + std::to_string(v.day) + ", hour " +
                      std::to_string(v.hour) + " came before, on line " + std::to_string(lineOf_[i]));
        lineOf_[i] = static_cast<uint32_t>(lines_); // a file within the size limit has fewer lines
        if (v.illuminance < kMissingIlluminance) {
            year_.illuminance[i] = v.illuminance;
            return;
        }
        if (v.diffuse >= kMissingIrradiance)
            Fault(name_, lines_, kDiffuse,
                  "neither the diffuse illuminance nor the diffuse irradiance is given");
        ++year_.derivedHours;
        if (!(v.diffuse > 0.0))
            return; // no diffuse light, no illuminance: the night's hours need no sun
        Irradiance hour{v.diffuse, std::nullopt, std::nullopt};
        if (v.directNormal < kMissingIrradiance)
            hour.directNormal = v.directNormal;
        if (v.dewPoint < kMissingDewPoint)
            hour.dewPoint = v.dewPoint;
        if (day_.N != N)
            day_ = GetSolarDay(year_.site.observer, static_cast<int16_t>(N));
        year_.illuminance[i] =
            GetDiffuseEfficacy(year_.site.observer, day_, static_cast<int16_t>(v.hour), hour).illuminance;
    }

    const std::string& name_;
    WeatherYear year_;
    std::vector<uint32_t> lineOf_; // the line of each hour's record, 0 for none yet
    size_t lines_ = 0;
    uintmax_t bytes_ = 0;
    std::string pending_; // the start of a line that goes on in the next piece
    SolarDay day_{};
};

} // namespace

void CheckEpwSize(uintmax_t bytes, const std::string& name) {
    if (bytes > kMaxEpwBytes)
        TooLarge(name);
}

WeatherYear ReadEpw(std::string_view text, const std::string& name) {
    CheckEpwSize(text.size(), name);
    YearReader reader(name);
    reader.Take(text);
    return reader.Finish();
}

WeatherYear ReadEpw(std::istream& in, const std::string& name) {
    YearReader reader(name);
    std::array<char, 1 << 16> chunk;
    while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0)
        reader.Take(std::string_view(chunk.data(), static_cast<size_t>(in.gcount())));
    return reader.Finish();
}

WeatherYear ReadEpwFile(const std::string& fileName) {
    YearReader reader(fileName);
    PassOn(kSource, [&] {
        ReadFileChunks(fileName, kMaxEpwBytes, [&](std::string_view bytes) { reader.Take(bytes); });
    });
    return reader.Finish();
}

} // namespace korvane::weather
