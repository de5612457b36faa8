// Any bytes as a batch file of the command line: the batch is refused with a reason, or every row gets one
// output record in input order, as CSV of one width or as one JSON line each, with a percent from 0 to 100
// or none and finite numbers only. The first byte picks JSON or CSV and what the command line adds.
#include "CliBatch.h"
#include "CliFormat.h"
#include "CsvReader.h"
#include "FuzzCheck.h"

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
        const qint64 percent = object["percent"].toInteger(-1);
        Check(object["percent"].isNull() || (percent >= 0 && percent <= 100));
        Check(object["fraction"].isNull() || object["fraction"].isDouble());
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
        Check(record.error.empty() && record.fields.size() == header.fields.size());
        const auto percent = ParseWhole<int16_t>(record.fields[first]);
        Check(record.fields[first].empty() || (percent && *percent >= 0 && *percent <= 100));
        for (size_t i = first + 1; i < record.fields.size(); ++i)
            Check(i == first + 3 || record.fields[i].empty() || ParseReal(record.fields[i]));
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
