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

// The rows after the header line: a record ends at a line end outside quotes, a quote opens only where a
// field holds nothing but blanks so far, and a quote still open at the end makes the record's first line one
// row and each later line that is not blank one more.
size_t RowsOf(std::string_view csv, char delimiter) {
    if (csv.starts_with("\xEF\xBB\xBF"))
        csv.remove_prefix(3);
    size_t at = csv.find_first_of("\r\n", csv.find_first_not_of("\r\n")), rows = 0;
    for (bool quoted = false; (at = csv.find_first_not_of("\r\n", at)) != std::string_view::npos; ++rows) {
        const size_t start = at;
        for (bool blanks = true; !quoted && at < csv.size() && csv[at] != '\r' && csv[at] != '\n'; ++at) {
            const char c = csv[at];
            if (c == '"' && blanks) { // to the closing quote, past doubled ones
                while (++at < csv.size() && (csv[at] != '"' || (at + 1 < csv.size() && csv[at + 1] == '"')))
                    at += csv[at] == '"';
                if ((quoted = at >= csv.size()))
                    break;
            }
            blanks = c == delimiter || (blanks && (c == ' ' || c == '\t'));
        }
        if (quoted)
            at = csv.find_first_of("\r\n", start); // a row a line from here on
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
        const std::u32string text = QString::fromStdString(line).toStdU32String();
        Check(std::none_of(text.begin(), text.end(),
                           [](char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }));
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
