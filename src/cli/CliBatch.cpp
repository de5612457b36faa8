#include "CliBatch.h"

#include "CliRoomFile.h"

#include "CliFormat.h"
#include "CliReport.h"
#include "CsvReader.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>

namespace korvane::cli {

namespace {

constexpr const char* kCliSource = "korvane-energy-cli";

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

// Sky hours by site, working hours and period, shared by the rows that have them in common. A key's hours are
// computed when it comes up a second time, so rooms at sites of their own cost no more than a single run; the
// cache is bounded, so a batch of rooms at ever new sites does not grow without end.
class SkyCache {
  public:
    std::shared_ptr<const JahrEnergie::SkyHours> For(const clsInputOutput& p) {
        const Key key{std::bit_cast<uint64_t>(p.Longitude),
                      std::bit_cast<uint64_t>(p.Latitude),
                      p.TimeDiffGMT,
                      p.BeginHour,
                      p.EndHour,
                      p.CalcPeriod};
        {
            std::lock_guard lock(mutex_);
            if (const auto it = entries_.find(key); it != entries_.end())
                return it->second;
            if (seenOnce_.size() >= kMaxKeys)
                seenOnce_.clear();
            if (seenOnce_.insert(key).second)
                return nullptr;
        }
        auto sky = std::make_shared<const JahrEnergie::SkyHours>(JahrEnergie::GetSkyHours(
            p.Longitude, p.Latitude, p.TimeDiffGMT, p.BeginHour, p.EndHour, p.CalcPeriod));
        std::lock_guard lock(mutex_);
        if (entries_.size() >= kMaxTables)
            entries_.clear();
        return entries_.try_emplace(key, std::move(sky)).first->second;
    }

  private:
    static constexpr size_t kMaxTables = 256; // about 26 kB each for a year of nine-hour days
    static constexpr size_t kMaxKeys = 16384;
    using Key = std::tuple<uint64_t, uint64_t, int16_t, int16_t, int16_t, int16_t>;
    std::mutex mutex_;
    std::set<Key> seenOnce_;
    std::map<Key, std::shared_ptr<const JahrEnergie::SkyHours>> entries_;
};

struct Header {
    std::vector<std::string> names;       // as written, for the output
    std::vector<std::string> optionNames; // the option a column sets, or empty for a column passed through
    bool energy = false;                  // the output carries energy columns
};

// The result columns of a row, unquoted, and their names.
std::vector<std::string> ResultCells(const RoomResult& r, bool energy) {
    std::vector<std::string> cells{
        r.percent ? std::to_string(*r.percent) : "", r.fraction ? FormatJsonFraction(*r.fraction) : "",
        r.error ? std::to_string(r.error->Number()) : "", r.error ? r.error->Description() : ""};
    if (energy && r.energy) {
        const auto& e = *r.energy;
        for (const double figure : {e.floorArea, e.workingHours, e.withoutControl, e.withControl, e.saved})
            cells.push_back(FormatShortest(figure));
    } else if (energy) {
        cells.resize(cells.size() + 5);
    }
    return cells;
}

std::vector<std::string> ResultNames(bool energy) {
    std::vector<std::string> names{"percent", "fraction", "error_number", "error_description"};
    if (energy)
        names.insert(names.end(), {"floor_area_m2", "working_hours", "kwh_without_control",
                                   "kwh_with_control", "kwh_saved"});
    return names;
}

struct OutputRow {
    std::string text;               // as written to the output
    std::vector<std::string> cells; // for the row sink, when there is one
};

// One output line for one record.
OutputRow Line(const Header& header, const CsvRecord& record, size_t row, const BatchSettings& settings,
               SkyCache& skies, std::atomic<size_t>& failed) {
    RoomResult result;
    if (!record.error.empty()) {
        result.error =
            VbError(ErrTypeMismatch, kCliSource, "line " + std::to_string(record.line) + ": " + record.error);
    } else if (record.fields.size() != header.names.size()) {
        result.error =
            VbError(ErrTypeMismatch, kCliSource,
                    "line " + std::to_string(record.line) + ": " + std::to_string(record.fields.size()) +
                        " fields where the header has " + std::to_string(header.names.size()));
    } else {
        OptionTexts texts;
        for (size_t i = 0; i < header.names.size(); ++i) {
            if (!header.optionNames[i].empty())
                texts[header.optionNames[i]] = Trimmed(record.fields[i]);
        }
        try {
            texts = WithRoomFile(texts, texts[kRoomFileColumn], kRoomFileColumn, settings.explicitOptions);
            const RoomSpec room = BuildRoom({settings.commandLine, &texts}, *settings.sites);
            result = Calculate(room, skies.For(room.params).get());
        } catch (const OptionError& e) {
            result.error = VbError(e.number, kCliSource, e.why);
        } catch (const VbError& e) {
            result.error = e;
        }
    }

    if (result.error)
        ++failed;
    // The input columns as read, as many as the header has, so the output stays rectangular.
    std::vector<std::string> cells;
    for (size_t i = 0; i < header.names.size(); ++i)
        cells.push_back(i < record.fields.size() ? record.fields[i] : std::string());
    const std::vector<std::string> results = ResultCells(result, header.energy);
    cells.insert(cells.end(), results.begin(), results.end());
    std::string line;
    if (settings.json) {
        line = "{\"row\": " + std::to_string(row) + ", \"input\": {";
        for (size_t i = 0; i < header.names.size(); ++i) {
            const std::string value = i < record.fields.size() ? record.fields[i] : std::string();
            line += (i ? ", " : "") + JsonString(header.names[i]) + ": " + JsonString(value);
        }
        line += "}, " + JsonResultMembers(result) + "}\n";
    } else {
        for (size_t i = 0; i < cells.size(); ++i)
            line += (i ? "," : "") + CsvField(cells[i]);
        line += "\n";
    }
    return {std::move(line), settings.rows ? std::move(cells) : std::vector<std::string>()};
}

void ComputeChunk(const Header& header, const std::vector<CsvRecord>& records, size_t firstRow,
                  std::vector<OutputRow>& lines, const BatchSettings& settings, SkyCache& skies,
                  std::atomic<size_t>& failed) {
    lines.assign(records.size(), OutputRow());
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < records.size(); i = next++)
            lines[i] = Line(header, records[i], firstRow + i, settings, skies, failed);
    };
    const unsigned threads =
        std::max(1u, settings.threads ? settings.threads : std::thread::hardware_concurrency());
    std::vector<std::jthread> pool;
    for (unsigned t = 1; t < std::min<size_t>(threads, records.size()); ++t)
        pool.emplace_back(work);
    work();
}

} // namespace

bool RunBatch(std::istream& in, const BatchSettings& settings, std::ostream& out, std::ostream& err,
              std::string& why, BatchCounts& counts) {
    CsvReader reader(in);
    CsvRecord headerRecord;
    if (!reader.Next(headerRecord)) {
        why = "the batch file has no header line";
        return false;
    }
    if (!headerRecord.error.empty()) {
        why = "the batch file's header line: " + headerRecord.error;
        return false;
    }
    Header header;
    std::set<std::string, std::less<>> seen;
    bool known = false;
    for (const auto& raw : headerRecord.fields) {
        const std::string name = Trimmed(raw);
        header.names.push_back(raw);
        if (IsRoomOption(name) || name == kRoomFileColumn) {
            if (!seen.insert(name).second) {
                why = "the batch file names the column '" + name + "' twice";
                return false;
            }
            header.optionNames.push_back(name);
            known = true;
        } else {
            header.optionNames.emplace_back();
        }
    }
    if (!known) {
        why = "the batch file's header names no option (window-type, begin, end, period, depth, width, ...)";
        return false;
    }
    header.energy = seen.count("power-density") > 0 || settings.commandLine->count("power-density") > 0;
    // Read the site file now, once, so that the rows share it read-only; a file that cannot be read ends the
    // batch.
    if (seen.count("site") > 0 || settings.commandLine->count("site") > 0)
        settings.sites->Sites();

    std::vector<std::string> names = header.names;
    const std::vector<std::string> resultNames = ResultNames(header.energy);
    names.insert(names.end(), resultNames.begin(), resultNames.end());
    if (!settings.json) {
        for (size_t i = 0; i < names.size(); ++i)
            out << (i ? "," : "") << CsvField(names[i]);
        out << "\n";
    }
    if (settings.rows) {
        std::vector<bool> passedThrough(names.size(), false);
        for (size_t i = 0; i < header.names.size(); ++i)
            passedThrough[i] = header.optionNames[i].empty();
        settings.rows->Columns(names, passedThrough);
    }

    const auto start = std::chrono::steady_clock::now();
    SkyCache skies;
    std::atomic<size_t> failed{0};
    std::vector<CsvRecord> records;
    std::vector<OutputRow> lines;
    size_t done = 0;
    bool more = true;
    while (more) {
        records.clear();
        CsvRecord record;
        while (records.size() < settings.chunkRows && (more = reader.Next(record)))
            records.push_back(std::move(record));
        if (records.empty())
            break;
        ComputeChunk(header, records, done + 1, lines, settings, skies, failed);
        for (const auto& line : lines) {
            out << line.text;
            if (settings.rows)
                settings.rows->Row(line.cells);
        }
        out.flush();
        done += records.size();
        if (settings.progress && std::chrono::steady_clock::now() - start > std::chrono::seconds(1))
            err << "\r" << done << " rooms" << std::flush;
    }
    if (settings.progress && std::chrono::steady_clock::now() - start > std::chrono::seconds(1))
        err << "\r" << done << " rooms, done\n";
    counts = {done, failed};
    return true;
}

} // namespace korvane::cli
