// Any bytes as a batch file of the command line: the batch is refused with a reason, or every row gets one
// output record in input order, as CSV of one width or as one JSON line each, with a percent from 0 to 100
// or none and finite numbers only. The first byte picks JSON or CSV and what the command line adds.
#include "CliBatch.h"
#include "CliFormat.h"
#include "CsvReader.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

using namespace korvane;
using namespace korvane::cli;

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Working days of thousands of hours are correct but slow; the engine's own target covers such hours.
bool HasLongDays(const std::string& csv) {
    std::istringstream in(csv);
    CsvReader reader(in);
    CsvRecord header;
    if (!reader.Next(header))
        return false;
    long begin = -1, end = -1;
    for (size_t i = 0; i < header.fields.size(); ++i) {
        const std::string_view name = Trim(header.fields[i]);
        begin = name == "begin" ? static_cast<long>(i) : begin;
        end = name == "end" ? static_cast<long>(i) : end;
    }
    const auto hour = [](const CsvRecord& row, long column, int16_t fallback) {
        if (column < 0 || static_cast<size_t>(column) >= row.fields.size())
            return std::optional<int16_t>(fallback);
        const std::string_view text = Trim(row.fields[static_cast<size_t>(column)]);
        return text.empty() ? std::optional<int16_t>(fallback) : ParseWhole<int16_t>(text);
    };
    for (CsvRecord row; reader.Next(row);) {
        const auto b = hour(row, begin, 8), e = hour(row, end, 17);
        if (b && e && *e - *b > 48)
            return true;
    }
    return false;
}

bool IsNumber(std::string_view text) {
    return ParseReal(text).has_value();
}

// One JSON value: strings, plain numbers, null, objects; no NaN or infinity can pass.
class Json {
  public:
    explicit Json(std::string_view text) : text_(text) {}

    // The top-level object's members named `percent` and `fraction`, as text; false for malformed JSON.
    bool Row(std::string& percent, std::string& fraction) {
        if (!Eat('{'))
            return false;
        for (bool first = true; !Eat('}'); first = false) {
            std::string key;
            if ((!first && !Eat(',')) || !String(&key) || !Eat(':'))
                return false;
            Blanks();
            const size_t start = at_;
            if (!Value())
                return false;
            if (key == "percent")
                percent = std::string(text_.substr(start, at_ - start));
            if (key == "fraction")
                fraction = std::string(text_.substr(start, at_ - start));
        }
        return at_ == text_.size();
    }

  private:
    void Blanks() {
        while (at_ < text_.size() && text_[at_] == ' ')
            ++at_;
    }
    bool Eat(char c) {
        Blanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool String(std::string* out) {
        if (!Eat('"'))
            return false;
        for (; at_ < text_.size(); ++at_) {
            const char c = text_[at_];
            if (c == '"') {
                ++at_;
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c == '\\')
                ++at_;
            if (out)
                *out += text_[at_];
        }
        return false;
    }
    bool Value() {
        Blanks();
        if (at_ >= text_.size())
            return false;
        if (text_[at_] == '"')
            return String(nullptr);
        if (text_[at_] == '{')
            return Object();
        if (text_.substr(at_, 4) == "null") {
            at_ += 4;
            return true;
        }
        const size_t start = at_;
        while (at_ < text_.size() &&
               std::string_view("+-.0123456789eE").find(text_[at_]) != std::string_view::npos)
            ++at_;
        return at_ > start && IsNumber(text_.substr(start, at_ - start));
    }
    bool Object() {
        if (!Eat('{'))
            return false;
        for (bool first = true; !Eat('}'); first = false) {
            if ((!first && !Eat(',')) || !String(nullptr) || !Eat(':') || !Value())
                return false;
        }
        return true;
    }

    std::string_view text_;
    size_t at_ = 0;
};

void CheckPercent(std::string_view text) {
    if (text.empty() || text == "null")
        return;
    const auto percent = ParseWhole<int16_t>(text);
    Check(percent && *percent >= 0 && *percent <= 100);
}

void CheckJson(const std::string& out, size_t rows) {
    size_t row = 0;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        ++row;
        Check(line.starts_with("{\"row\": " + std::to_string(row) + ", "));
        std::string percent, fraction;
        Check(Json(line).Row(percent, fraction));
        CheckPercent(percent);
        Check(fraction == "null" || IsNumber(fraction));
    }
    Check(row == rows);
}

// The output read back: one record per row after the header, all as wide as the header, the result
// columns empty or numbers.
void CheckCsv(const std::string& out, size_t rows) {
    std::istringstream in(out);
    CsvReader reader(in);
    CsvRecord header;
    Check(reader.Next(header) && header.error.empty() && !header.fields.empty());
    const size_t results = header.fields.back() == "kwh_saved" ? 9 : 4;
    Check(header.fields.size() > results);
    const size_t first = header.fields.size() - results;
    size_t count = 0;
    for (CsvRecord record; reader.Next(record); ++count) {
        Check(record.error.empty() && record.fields.size() == header.fields.size());
        CheckPercent(record.fields[first]);
        for (size_t i = first + 1; i < record.fields.size(); ++i) {
            if (i != first + 3) // the error's description
                Check(record.fields[i].empty() || IsNumber(record.fields[i]));
        }
    }
    Check(count == rows);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string csv(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (HasLongDays(csv))
        return -1;
    const bool json = data[0] & 1;
    OptionTexts commandLine;
    if (data[0] & 2)
        commandLine["power-density"] = "12.5";
    if (data[0] & 4)
        commandLine["site"] = "frankfurt";
    static SiteList sites(KORVANE_DEFAULT_GEO);

    std::istringstream in(csv);
    std::ostringstream out, err;
    std::string why;
    BatchCounts counts;
    BatchSettings settings{&commandLine, &sites, json, false, 1};
    if (!RunBatch(in, settings, out, err, why, counts)) {
        Check(!why.empty() && out.str().empty());
        return 0;
    }
    Check(counts.failed <= counts.rows);
    if (json)
        CheckJson(out.str(), counts.rows);
    else
        CheckCsv(out.str(), counts.rows);
    return 0;
}
