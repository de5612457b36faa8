// Any bytes as a batch file of the command line: the batch is refused with a reason, or every row gets one
// output record in input order, as CSV of one width or as one JSON line each, with a percent from 0 to 100
// or none and finite numbers only. The first byte picks JSON or CSV and what the command line adds.
#include "CliBatch.h"
#include "CliFormat.h"
#include "CsvReader.h"
#include "FuzzCheck.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <utility>

using namespace korvane;
using namespace korvane::cli;

namespace {

std::string_view Trim(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
    return text.substr(0, text.find_last_not_of(" \t") + 1);
}

// Working days of thousands of hours are correct but slow; the engine's own target covers such hours.
bool HasLongDays(const std::string& csv) {
    std::istringstream in(csv);
    CsvReader reader(in);
    CsvRecord header;
    const auto hour = [&](const CsvRecord& row, std::string_view name, int16_t fallback) {
        for (size_t i = 0; i < header.fields.size() && i < row.fields.size(); ++i) {
            if (Trim(header.fields[i]) == name && !Trim(row.fields[i]).empty())
                return ParseWhole<int16_t>(Trim(row.fields[i]));
        }
        return std::optional<int16_t>(fallback);
    };
    reader.Next(header); // none at all: no rows either
    for (CsvRecord row; reader.Next(row);) {
        const auto begin = hour(row, "begin", 8), end = hour(row, "end", 17);
        if (begin && end && *end - *begin > 48)
            return true;
    }
    return false;
}

bool IsNumber(std::string_view text) {
    return ParseReal(text).has_value();
}

bool IsPercent(std::string_view text) {
    const auto percent = ParseWhole<int16_t>(text);
    return text.empty() || text == "null" || (percent && *percent >= 0 && *percent <= 100);
}

bool Eat(std::string_view s, size_t& at, char c) {
    while (at < s.size() && s[at] == ' ')
        ++at;
    return at < s.size() && s[at] == c && ++at;
}

// A JSON string at `at`, its text with escapes as written into `out`.
bool String(std::string_view s, size_t& at, std::string& out) {
    if (!Eat(s, at, '"'))
        return false;
    for (; at < s.size() && s[at] != '"'; ++at) {
        if (static_cast<unsigned char>(s[at]) < 0x20 || (s[at] == '\\' && ++at == s.size()))
            return false;
        out += s[at];
    }
    return at < s.size() && ++at;
}

// One JSON value at `at`: a string, a plain number, null or an object, whose members go to `members` as
// text; no NaN or infinity can pass.
bool Value(std::string_view s, size_t& at, std::map<std::string, std::string>& members) {
    std::string text;
    if (s.substr(at, 1) == "\"")
        return String(s, at, text);
    if (s.substr(at, 4) == "null")
        return (at += 4) > 0;
    if (!Eat(s, at, '{')) {
        const size_t start = at;
        at = std::min(s.find_first_not_of("+-.0123456789eE", at), s.size());
        return IsNumber(s.substr(start, at - start));
    }
    std::map<std::string, std::string> inner;
    for (bool first = true; !Eat(s, at, '}'); first = false) {
        if ((!first && !Eat(s, at, ',')) || !String(s, at, text) || !Eat(s, at, ':'))
            return false;
        at = std::min(s.find_first_not_of(' ', at), s.size());
        const size_t start = at;
        if (!Value(s, at, inner))
            return false;
        members[std::exchange(text, "")] = s.substr(start, at - start);
    }
    return true;
}

void CheckJson(const std::string& out, size_t rows) {
    std::istringstream lines(out);
    size_t row = 0, at = 0;
    for (std::string line; std::getline(lines, line); at = 0) {
        std::map<std::string, std::string> members;
        Check(line.starts_with("{\"row\": " + std::to_string(++row) + ", "));
        Check(Value(line, at, members) && at == line.size() && IsPercent(members["percent"]));
        Check(members["fraction"] == "null" || IsNumber(members["fraction"]));
    }
    Check(row == rows);
}

// The output read back: one record per row after the header, all as wide as the header, the result
// columns empty or numbers but for the error's description.
void CheckCsv(const std::string& out, size_t rows) {
    std::istringstream in(out);
    CsvReader reader(in);
    CsvRecord header;
    Check(reader.Next(header) && header.error.empty());
    const size_t results = header.fields.back() == "kwh_saved" ? 9 : 4;
    Check(header.fields.size() > results);
    const size_t first = header.fields.size() - results;
    size_t count = 0;
    for (CsvRecord record; reader.Next(record); ++count) {
        Check(record.error.empty() && record.fields.size() == header.fields.size() &&
              IsPercent(record.fields[first]));
        for (size_t i = first + 1; i < record.fields.size(); ++i)
            Check(i == first + 3 || record.fields[i].empty() || IsNumber(record.fields[i]));
    }
    Check(count == rows);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    if (HasLongDays(in.str()))
        return -1;
    const bool json = data[0] & 1;
    OptionTexts commandLine;
    if (data[0] & 2)
        commandLine["power-density"] = "12.5";
    if (data[0] & 4)
        commandLine["site"] = "frankfurt";
    static SiteList sites(KORVANE_DEFAULT_GEO);
    std::ostringstream out, err;
    std::string why;
    BatchCounts counts;
    if (!RunBatch(in, {&commandLine, &sites, json, false, 1}, out, err, why, counts)) {
        Check(!why.empty() && out.str().empty());
        return 0;
    }
    Check(counts.failed <= counts.rows);
    (json ? CheckJson : CheckCsv)(out.str(), counts.rows);
    return 0;
}
