// Any bytes as a batch file of the command line: the batch is refused with a reason, or every row gets one
// output record in input order, as CSV of one width or as one JSON line each, with a percent from 0 to 100
// or none and finite numbers only, and as many records as the input has rows, counted here on their own.
// The first byte picks JSON or CSV, the delimiter, the periods and what the command line adds.
#include "CliBatch.h"
#include "CliFormat.h"
#include "CsvReader.h"
#include "FuzzCheck.h"
#include "modLangConstants.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <sstream>

using namespace korvane;
using namespace korvane::cli;

namespace {

std::string_view Trim(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
    return text.substr(0, text.find_last_not_of(" \t") + 1);
}

// Working days of thousands of hours are correct but slow; the engine's own target covers such hours.
bool HasLongDays(const std::string& csv, char delimiter) {
    std::istringstream in(csv);
    CsvReader reader(in, delimiter);
    CsvRecord header;
    const auto hour = [&](const CsvRecord& row, std::string_view name, int16_t fallback) {
        for (size_t i = 0; i < header.fields.size() && i < row.fields.size(); ++i) {
            const auto column = Trim(header.fields[i]);
            const bool named = std::equal(column.begin(), column.end(), name.begin(), name.end(),
                                          [](char a, char b) { return std::tolower(a) == b; });
            if (named && !Trim(row.fields[i]).empty())
                return ParseWhole<int16_t>(Trim(row.fields[i]));
        }
        return std::optional<int16_t>(fallback);
    };
    std::string line, error;
    reader.NextLine(line, error); // none at all: no rows either
    header = CsvReader::ParseLine(line, delimiter);
    for (CsvRecord row; reader.Next(row);) {
        const auto begin = hour(row, "begin", 8), end = hour(row, "end", 17);
        if (begin && end && *end - *begin > 48)
            return true;
    }
    return false;
}

// The rows after the header line: a record ends at a line end outside quotes, a quote opens only where a
// field holds nothing but blanks so far, and a quote still open at the end makes the record's first line one
// row and each later line that is not blank one more.
size_t RowsOf(std::string_view csv, char delimiter) {
    if (csv.starts_with("\xEF\xBB\xBF"))
        csv.remove_prefix(3);
    const auto lineEnd = [](char c) { return c == '\r' || c == '\n'; };
    size_t at = csv.find_first_not_of("\r\n");
    at = at == std::string_view::npos ? csv.size() : csv.find_first_of("\r\n", at); // the header line
    size_t rows = 0;
    while ((at = csv.find_first_not_of("\r\n", std::min(at, csv.size()))) != std::string_view::npos) {
        bool quoted = false, blanks = true;
        size_t end = at;
        for (; end < csv.size() && (quoted || !lineEnd(csv[end])); ++end) {
            const char c = csv[end];
            if (quoted && c == '"')
                quoted = end + 1 < csv.size() && csv[end + 1] == '"' ? (++end, true) : (blanks = false);
            else if (!quoted && c == delimiter)
                blanks = true;
            else if (!quoted && c == '"' && blanks)
                quoted = true;
            else if (!quoted && c != ' ' && c != '\t')
                blanks = false;
        }
        ++rows;
        if (quoted) {
            size_t line = csv.find_first_of("\r\n", at);
            while ((line = csv.find_first_not_of("\r\n", line)) != std::string_view::npos) {
                ++rows;
                line = csv.find_first_of("\r\n", line);
            }
            break;
        }
        at = end;
    }
    return rows;
}

// One JSON object a line, numbered from 1: Qt's parser refuses NaN, infinities, numbers beyond the Doubles
// and text that is not UTF-8, and no line holds a raw control character.
void CheckJson(const std::string& out, size_t rows) {
    std::istringstream lines(out);
    size_t row = 0;
    for (std::string line; std::getline(lines, line);) {
        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error).object();
        Check(error.error == QJsonParseError::NoError &&
              line.starts_with("{\"row\": " + std::to_string(++row) + ", "));
        Check(std::none_of(line.begin(), line.end(), [](unsigned char c) { return c < 0x20; }));
        const auto percents = object.contains("periods") ? object["periods"].toArray() : QJsonArray{object};
        Check(!object.contains("periods") || percents.size() == (object["error"].isNull() ? 13 : 0));
        for (const auto& period : percents) {
            const qint64 percent = period.toObject()["percent"].toInteger(-1);
            Check(period.toObject()["percent"].isNull() || (percent >= 0 && percent <= 100));
            Check(period.toObject()["fraction"].isNull() || period.toObject()["fraction"].isDouble());
        }
    }
    Check(row == rows);
}

// The output read back: one record per row after the header, all as wide as the header, the result
// columns empty or numbers but for the error's description.
void CheckCsv(const std::string& out, size_t rows, char delimiter) {
    std::istringstream in(out);
    CsvReader reader(in, delimiter);
    CsvRecord header;
    Check(reader.Next(header) && header.error.empty());
    const auto results =
        std::find_if(header.fields.begin(), header.fields.end(),
                     [](const std::string& name) { return name == "percent" || name == "percent_year"; });
    Check(results != header.fields.begin() && results != header.fields.end());
    const size_t first = static_cast<size_t>(results - header.fields.begin());
    size_t count = 0;
    for (CsvRecord record; reader.Next(record); ++count) {
        Check(record.error.empty() && record.fields.size() == header.fields.size());
        for (size_t i = first; i < record.fields.size(); ++i) {
            std::string value = record.fields[i];
            std::replace(value.begin(), value.end(), ',', '.');
            const auto percent = ParseWhole<int16_t>(value);
            if (header.fields[i].starts_with("percent"))
                Check(value.empty() || (percent && *percent >= 0 && *percent <= 100));
            else if (header.fields[i] != "error_description")
                Check(value.empty() || ParseReal(value));
        }
    }
    Check(count == rows);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    const char delimiters[] = {',', ';', '\t', 0};
    const char given = delimiters[(data[0] >> 3) & 3]; // 0: found from the header
    for (const char delimiter : {',', ';', '\t'}) {
        if ((!given || given == delimiter) && HasLongDays(in.str(), delimiter))
            return -1;
    }
    const bool json = data[0] & 1;
    OptionTexts commandLine;
    if (data[0] & 2)
        commandLine["power-density"] = "12.5";
    if (data[0] & 4)
        commandLine["site"] = "frankfurt";
    static SiteList sites(KORVANE_DEFAULT_GEO);
    gLanguage = 2; // the period names of --period all
    std::ostringstream out, err;
    std::string why;
    BatchCounts counts;
    BatchSettings settings{&commandLine, &sites, json, false, 1};
    settings.allPeriods = data[0] & 32;
    if (given)
        settings.delimiter = given;
    else
        settings.outputDelimiter = ',';
    if (!RunBatch(in, settings, out, err, why, counts)) {
        Check(!why.empty() && out.str().empty());
        return 0;
    }
    Check(counts.failed <= counts.rows && !counts.outputFailed);
    const std::string csv = in.str();
    Check(given ? counts.rows == RowsOf(csv, given)
                : counts.rows == RowsOf(csv, ',') || counts.rows == RowsOf(csv, ';') ||
                      counts.rows == RowsOf(csv, '\t'));
    if (json)
        CheckJson(out.str(), counts.rows);
    else
        CheckCsv(out.str(), counts.rows, given ? given : ',');
    return 0;
}
