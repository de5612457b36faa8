#include "CliBatch.h"

#include "CliColumns.h"
#include "CliFormat.h"
#include "CliReport.h"
#include "CliRoomFile.h"
#include "CliWeather.h"
#include "CsvReader.h"
#include "ResultSchema.h"
#include "SkyHoursCache.h"
#include "TextInput.h"
#include "modLangConstants.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

namespace korvane::cli {

namespace {

constexpr const char* kCliSource = "korvane-energy-cli";
// Input held at once, fields counted at what they take in memory, so that rows of many empty fields count.
constexpr size_t kChunkBytes = 1 << 20;

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

std::string Folded(std::string_view text) {
    std::string name = Trimmed(text);
    for (char& c : name)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return name;
}

bool IsNumberOption(std::string_view name) {
    return name != "site" && name != "control" && name != kRoomFileColumn && name != kWeatherOption;
}

// A column that sets an input of the room: an option, or the room file the row starts from.
bool IsInputColumn(std::string_view name) {
    return IsRoomOption(name) || name == kRoomFileColumn;
}

// The sky hours and weather years the rows share.
class SkyCache : public JahrEnergie::SkyHoursCache {
  public:
    WeatherFiles weatherFiles; // the years of the weather files rows name
};

struct Layout {
    std::vector<std::string> names;       // as written, decoded, for the output
    std::vector<std::string> optionNames; // the option a column sets, or empty for a column passed through
    bool energy = false;                  // the output carries energy columns
    bool decimalComma = false;            // numbers of the input may have a decimal comma
    char inputDelimiter = ',';
    char delimiter = ',';   // of the output
    char decimalMark = '.'; // of the output's numbers
};

// What one row gives: the result of its period, or of the year and each month.
struct RowResults {
    std::optional<VbError> inputError;
    bool namesAnOutput = false; // a file the row would read is one the batch writes
    std::vector<RoomResult> periods; // one, or the year and the twelve months
};

RowResults Compute(const Layout& layout, const CsvRecord& record, const BatchSettings& settings,
                   SkyCache& skies) {
    RowResults results;
    const auto inputError = [&](int32_t number, const std::string& why) {
        results.inputError = VbError(number, kCliSource, why);
        return results;
    };
    if (!record.error.empty())
        return inputError(ErrTypeMismatch, "line " + std::to_string(record.line) + ": " + record.error);
    if (record.fields.size() != layout.names.size()) {
        return inputError(ErrTypeMismatch, "line " + std::to_string(record.line) + ": " +
                                               std::to_string(record.fields.size()) +
                                               " fields where the header has " +
                                               std::to_string(layout.names.size()));
    }
    OptionTexts texts;
    for (size_t i = 0; i < layout.names.size(); ++i) {
        const std::string& name = layout.optionNames[i];
        if (name.empty())
            continue;
        std::string text = Trimmed(record.fields[i]);
        if (layout.decimalComma && IsNumberOption(name) && text.find(',') != std::string::npos) {
            if (text.find('.') != std::string::npos || text.find(',') != text.rfind(','))
                return inputError(ErrTypeMismatch,
                                  name + ": '" + text +
                                      "' is not a number (a decimal comma or point, no groups)");
            text[text.find(',')] = '.';
        }
        texts[name] = std::move(text);
    }
    try {
        const std::string line = " (line " + std::to_string(record.line) + ")";
        // The workbook is open by now, so a row naming it as an input is refused rather than the file.
        const auto clash = [&](const std::string& column, const std::string& path) {
            const std::string why = SameFileClash(settings.outputs, {{column + line, path}});
            if (!why.empty()) {
                results.namesAnOutput = true;
                throw OptionError{ErrInvalidCall, why + ", which is not read"};
            }
        };
        clash(kRoomFileColumn, texts[kRoomFileColumn]);
        const auto file = ReadRoomFile(texts[kRoomFileColumn], kRoomFileColumn + line);
        const std::vector<RoomLayer> layers{{settings.commandLine, settings.commandLineRoom},
                                            {&texts, file ? &*file : nullptr}};
        if (const auto conflict = WeatherSiteConflict({settings.commandLine, &texts}, "", StartFile(layers)))
            return inputError(ErrInvalidCall, *conflict);
        const RoomSpec room = BuildRoom(layers, *settings.sites);
        clash(kWeatherOption, room.weatherFile);
        if (!room.weatherFile.empty()) {
            if (settings.allPeriods) {
                const auto periods = CalculatePeriodsUnderWeather(room, skies.weatherFiles);
                results.periods.assign(periods.begin(), periods.end());
            } else {
                results.periods.push_back(CalculateUnderWeather(room, skies.weatherFiles));
            }
            return results;
        }
        if (!settings.allPeriods) {
            results.periods.push_back(Calculate(room, skies.For(room.params).get()));
            return results;
        }
        clsInputOutput year = room.params;
        year.CalcPeriod = 0; // the months share the year's sky hours
        const auto periods = CalculatePeriods(room, skies.For(year).get());
        results.periods.assign(periods.begin(), periods.end());
    } catch (const OptionError& e) {
        return inputError(e.number, e.why);
    } catch (const VbError& e) {
        results.inputError = e;
    }
    return results;
}

// The row's error: its input's, else the first period's, named.
std::optional<VbError> FirstError(const RowResults& r, bool allPeriods) {
    if (r.inputError)
        return r.inputError;
    for (size_t period = 0; period < r.periods.size(); ++period) {
        if (const auto& e = r.periods[period].error) {
            if (!allPeriods)
                return e;
            return VbError(e->Number(), e->Source(),
                           PeriodName(static_cast<int16_t>(period)) + ": " + e->Description());
        }
    }
    return std::nullopt;
}

std::string JsonLine(const Layout& layout, const CsvRecord& record, size_t row, const BatchSettings& settings,
                     const RowResults& r) {
    nlohmann::ordered_json input = nlohmann::ordered_json::object();
    for (size_t i = 0; i < layout.names.size(); ++i)
        input[layout.names[i]] = i < record.fields.size() ? record.fields[i] : std::string();
    nlohmann::ordered_json line{{"row", row}, {"input", std::move(input)}};
    if (!settings.allPeriods) {
        RoomResult result = r.periods.empty() ? RoomResult{} : r.periods.front();
        if (r.inputError)
            result.error = r.inputError;
        line.update(ResultJson(result));
        return JsonText(line) + "\n";
    }
    std::vector<PeriodRow> rows;
    for (int16_t period = 0; period < static_cast<int16_t>(r.periods.size()); ++period)
        rows.push_back({period, PeriodName(period), r.periods[static_cast<size_t>(period)]});
    line["error"] = ErrorJson(r.inputError);
    line["periods"] = PeriodsJson(rows);
    return JsonText(line) + "\n";
}

// One result cell: its text with a "." decimal point, and whether the output's decimal mark applies to it.
struct Cell {
    std::string text;
    bool number = false;
};

// The row's result columns, as ResultColumns names them.
std::vector<Cell> ResultCells(const Layout& layout, const BatchSettings& settings, const RowResults& r) {
    std::vector<Cell> cells;
    const auto percent = [&](const RoomResult& result) {
        cells.push_back({result.percent ? std::to_string(*result.percent) : "", true});
    };
    const RoomResult none;
    const auto& first = r.periods.empty() ? none : r.periods.front();
    if (settings.allPeriods) {
        for (int16_t period = 0; period < kPeriodCount; ++period)
            percent(r.periods.empty() ? none : r.periods[static_cast<size_t>(period)]);
    } else {
        percent(first);
        cells.push_back({first.fraction ? NumberText(kFraction.digits, *first.fraction) : "", true});
    }
    const auto error = FirstError(r, settings.allPeriods);
    cells.push_back({error ? std::to_string(error->Number()) : ""});
    cells.push_back({error ? error->Description() : ""});
    if (layout.energy) {
        const auto energy = [&](const RoomResult& result, const ResultField& field) {
            cells.push_back(
                {result.energy ? NumberText(field.digits, (*result.energy).*field.energy) : "", true});
        };
        if (settings.allPeriods) {
            for (int16_t period = 0; period < kPeriodCount; ++period)
                energy(r.periods.empty() ? none : r.periods[static_cast<size_t>(period)], kSaved);
        } else {
            for (const auto& field : kEnergyFields)
                energy(first, field);
        }
    }
    const auto autonomy = [&](const RoomResult& result) {
        cells.push_back({result.autonomy ? NumberText(kAutonomy.digits, *result.autonomy) : "", true});
    };
    if (settings.allPeriods) {
        for (int16_t period = 0; period < kPeriodCount; ++period)
            autonomy(r.periods.empty() ? none : r.periods[static_cast<size_t>(period)]);
    } else {
        autonomy(first);
    }
    return cells;
}

// The input columns as read, as many as the header has, so the output stays rectangular.
std::string InputCell(const CsvRecord& record, size_t i) {
    return i < record.fields.size() ? record.fields[i] : std::string();
}

std::string CsvLine(const Layout& layout, const CsvRecord& record, const std::vector<Cell>& results) {
    const char delimiter = layout.delimiter;
    std::string line;
    for (size_t i = 0; i < layout.names.size(); ++i)
        line += CsvField(InputCell(record, i), delimiter) + delimiter;
    for (size_t i = 0; i < results.size(); ++i) {
        std::string text = results[i].text;
        if (results[i].number)
            std::replace(text.begin(), text.end(), '.', layout.decimalMark);
        line += (i ? std::string(1, delimiter) : "") + CsvField(text, delimiter);
    }
    return line + "\n";
}

struct OutputRow {
    std::string text;               // as written to the output
    std::vector<std::string> cells; // for the row sink, when there is one
};

void ComputeChunk(const Layout& layout, const std::vector<CsvRecord>& records, size_t firstRow,
                  std::vector<OutputRow>& lines, const BatchSettings& settings, SkyCache& skies,
                  std::atomic<size_t>& failed, std::atomic<size_t>& namingOutputs) {
    lines.assign(records.size(), OutputRow());
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < records.size(); i = next++) {
            const RowResults r = Compute(layout, records[i], settings, skies);
            if (FirstError(r, false))
                ++failed;
            if (r.namesAnOutput)
                ++namingOutputs;
            // The cells feed the CSV line and the workbook; a JSON line without a workbook needs none.
            const std::vector<Cell> results =
                settings.json && !settings.rows ? std::vector<Cell>() : ResultCells(layout, settings, r);
            OutputRow& line = lines[i];
            line.text = settings.json ? JsonLine(layout, records[i], firstRow + i, settings, r)
                                      : CsvLine(layout, records[i], results);
            if (settings.rows) {
                for (size_t c = 0; c < layout.names.size(); ++c)
                    line.cells.push_back(InputCell(records[i], c));
                for (const Cell& cell : results)
                    line.cells.push_back(cell.text);
            }
        }
    };
    const unsigned threads =
        std::max(1u, settings.threads ? settings.threads : std::thread::hardware_concurrency());
    // Joined on the way out as std::jthread would be, which the browser build's library lacks.
    struct Pool {
        std::vector<std::thread> threads;
        ~Pool() {
            for (std::thread& thread : threads)
                thread.join();
        }
    } pool;
    for (unsigned t = 1; t < std::min<size_t>(threads, records.size()); ++t)
        pool.threads.emplace_back(work);
    work();
}

// Fields as UTF-8: each that is not valid UTF-8 read as Windows-1252, as the site files are.
void Decode(CsvRecord& record) {
    for (auto& field : record.fields) {
        if (std::any_of(field.begin(), field.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            field = DecodeText(field);
    }
}

size_t MemoryOf(const CsvRecord& record) {
    size_t bytes = sizeof(CsvRecord) + record.fields.capacity() * sizeof(std::string);
    for (const auto& field : record.fields)
        bytes += field.capacity();
    return bytes;
}

std::string DelimiterName(char c) {
    return c == '\t' ? "TAB" : std::string("'") + c + "'";
}

// The delimiter that splits the header line into the most option names, or the one given; false with `why`
// when two split it equally well.
bool FindDelimiter(const std::string& line, const BatchSettings& settings, char& delimiter,
                   std::string& why) {
    delimiter = settings.delimiter.value_or(',');
    if (settings.delimiter)
        return true;
    const auto known = [](const CsvRecord& header) {
        return std::count_if(header.fields.begin(), header.fields.end(),
                             [](const std::string& name) { return IsInputColumn(Folded(DecodeText(name))); });
    };
    std::ptrdiff_t best = 0;
    std::string tied;
    for (const char candidate : {',', ';', '\t'}) {
        const CsvRecord header = CsvReader::ParseLine(line, candidate);
        if (!header.error.empty() || header.fields.size() < 2)
            continue;
        const auto count = known(header);
        if (count > best)
            best = count, delimiter = candidate, tied.clear();
        else if (count == best && count > 0)
            tied = DelimiterName(candidate);
    }
    if (tied.empty())
        return true;
    why = "the header line splits into option names at " + DelimiterName(delimiter) + " and at " + tied +
          ": say which with --delimiter , | ; | tab";
    return false;
}

// Names no passed-through column may take: every result column of any batch.
const std::set<std::string, std::less<>>& ReservedNames() {
    static const std::set<std::string, std::less<>> reserved = [] {
        std::set<std::string, std::less<>> names;
        for (const bool all : {false, true}) {
            for (auto& name : ResultColumns(true, all))
                names.insert(name);
        }
        return names;
    }();
    return reserved;
}

// What each column of the header is: the option it sets, or passed through (with a warning when it looks like
// a misspelt option); false with `why` when the header cannot be used.
bool ReadColumns(const CsvRecord& header, const BatchSettings& settings, Layout& layout, std::ostream& err,
                 std::string& why) {
    std::set<std::string, std::less<>> options, passed, warned;
    std::string clashes;
    for (const auto& raw : header.fields) {
        const std::string name = Folded(raw);
        layout.names.push_back(raw);
        if (IsInputColumn(name)) {
            if (!options.insert(name).second) {
                why = "the batch file names the column '" + name + "' twice";
                return false;
            }
            layout.optionNames.push_back(name);
            continue;
        }
        layout.optionNames.emplace_back();
        if (ReservedNames().count(name) || !passed.insert(name).second)
            clashes += (clashes.empty() ? "'" : ", '") + WithoutControls(Trimmed(raw), false) + "'";
        else if (const auto warning = MisspeltColumnWarning(name, Trimmed(raw));
                 warning && warned.insert(name).second)
            err << "korvane-energy-cli: warning: " << *warning << "\n";
    }
    if (options.empty())
        why = "the batch file's header names no option (window-type, begin, end, period, depth, width, ...)";
    else if (!clashes.empty())
        why = "the batch file's columns " + clashes +
              " have the name of another column or of a result column: rename them";
    else if (settings.allPeriods && options.count("period"))
        why = "--period all computes every period: the batch file's 'period' column cannot be used with it";
    layout.energy = options.count("power-density") > 0 || settings.commandLine->count("power-density") > 0;
    return why.empty();
}

// Reads the header line and finds the delimiter and what each column is; false with `why` when it cannot.
bool ReadHeader(CsvReader& reader, const BatchSettings& settings, Layout& layout, std::ostream& err,
                std::string& why) {
    std::string line, error;
    if (!reader.NextLine(line, error)) {
        why = "the batch file has no header line";
        return false;
    }
    if (!error.empty()) {
        why = "the batch file's header line: " + error;
        return false;
    }
    char delimiter = ',';
    if (!FindDelimiter(line, settings, delimiter, why))
        return false;
    reader.SetDelimiter(delimiter);
    CsvRecord header = CsvReader::ParseLine(line, delimiter);
    if (!header.error.empty()) {
        why = "the batch file's header line: " + header.error;
        return false;
    }
    Decode(header);
    layout.decimalComma = delimiter != ',';
    layout.inputDelimiter = delimiter;
    layout.delimiter = settings.outputDelimiter.value_or(delimiter);
    return ReadColumns(header, settings, layout, err, why);
}

// The decimal mark of the first number of these rows that has one, or none.
std::optional<char> DecimalMarkOf(const Layout& layout, const std::vector<CsvRecord>& records) {
    for (const auto& record : records) {
        for (size_t i = 0; i < record.fields.size() && i < layout.optionNames.size(); ++i) {
            if (layout.optionNames[i].empty() || !IsNumberOption(layout.optionNames[i]))
                continue;
            if (const auto at = record.fields[i].find_first_of(".,"); at != std::string::npos)
                return record.fields[i][at];
        }
    }
    return std::nullopt;
}

// The output's columns, once, to the row sink.
void GiveColumns(const Layout& layout, const BatchSettings& settings) {
    std::vector<std::string> names = layout.names;
    const auto results = ResultColumns(layout.energy, settings.allPeriods);
    names.insert(names.end(), results.begin(), results.end());
    std::vector<bool> passedThrough(names.size(), false);
    for (size_t i = 0; i < layout.names.size(); ++i)
        passedThrough[i] = layout.optionNames[i].empty();
    settings.rows->Columns(names, passedThrough);
}

// The next records, up to a chunk's rows and bytes; false when the input has ended.
bool ReadChunk(CsvReader& reader, const BatchSettings& settings, std::vector<CsvRecord>& records) {
    records.clear();
    size_t memory = 0;
    while (records.size() < settings.chunkRows && memory < kChunkBytes) {
        // What is computed goes out before the reader waits for a slow producer.
        if (!records.empty() && reader.WouldWait())
            return true;
        CsvRecord record;
        if (!reader.Next(record))
            return false;
        Decode(record);
        memory += MemoryOf(record);
        records.push_back(std::move(record));
    }
    return true;
}

// The CSV header line; the output's decimal mark is settled by the first rows.
void WriteCsvHeader(Layout& layout, const BatchSettings& settings, const std::vector<CsvRecord>& records,
                    std::ostream& out) {
    const auto mark = layout.decimalComma ? DecimalMarkOf(layout, records) : std::nullopt;
    layout.decimalMark =
        settings.outputDecimalMark.value_or(mark.value_or(layout.inputDelimiter == ';' ? ',' : '.'));
    for (const auto& name : layout.names)
        out << CsvField(name, layout.delimiter) << layout.delimiter;
    const auto results = ResultColumns(layout.energy, settings.allPeriods);
    for (size_t i = 0; i < results.size(); ++i)
        out << (i ? std::string(1, layout.delimiter) : "") << results[i];
    out << "\n";
}

// The rooms done so far on err, once the batch has taken more than a second.
class Progress {
  public:
    Progress(const BatchSettings& settings, std::ostream& err) : settings_(settings), err_(err) {}
    void ClearBeforeOutput() {
        if (shown_ && settings_.progressSharesOutput)
            err_ << "\r\033[K" << std::flush;
    }
    void Show(size_t done) {
        shown_ = settings_.progress && std::chrono::steady_clock::now() - start_ > std::chrono::seconds(1);
        if (shown_)
            err_ << "\r" << done << " rooms" << std::flush;
    }
    void Done(size_t done) {
        if (shown_)
            err_ << "\r" << done << " rooms, done\n";
    }

  private:
    const BatchSettings& settings_;
    std::ostream& err_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    bool shown_ = false;
};

} // namespace

bool RunBatch(std::istream& in, const BatchSettings& settings, std::ostream& out, std::ostream& err,
              std::string& why, BatchCounts& counts) {
    CsvReader reader(in);
    Layout layout;
    if (!ReadHeader(reader, settings, layout, err, why))
        return false;
    // Read the site file now, once, so that the rows share it read-only; a file that cannot be read ends the
    // batch.
    if (std::find(layout.optionNames.begin(), layout.optionNames.end(), "site") != layout.optionNames.end() ||
        settings.commandLine->count("site") > 0)
        settings.sites->Sites();
    if (settings.rows)
        GiveColumns(layout, settings);

    Progress progress(settings, err);
    SkyCache skies;
    std::atomic<size_t> failed{0}, namingOutputs{0};
    std::vector<CsvRecord> records;
    std::vector<OutputRow> lines;
    size_t done = 0;
    bool headerWritten = settings.json;
    for (bool more = true; more && !counts.outputFailed;) {
        more = ReadChunk(reader, settings, records);
        if (!headerWritten)
            WriteCsvHeader(layout, settings, records, out);
        headerWritten = true;
        ComputeChunk(layout, records, done + 1, lines, settings, skies, failed, namingOutputs);
        progress.ClearBeforeOutput();
        for (const auto& line : lines) {
            out << line.text;
            if (settings.rows)
                settings.rows->Row(line.cells);
        }
        out.flush();
        counts.outputFailed = !out;
        done += records.size();
        progress.Show(done);
    }
    progress.Done(done);
    counts.rows = done;
    counts.failed = failed;
    counts.namingOutputs = namingOutputs;
    return true;
}

} // namespace korvane::cli
