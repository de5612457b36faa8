#pragma once
// A building at once: one room per row of a delimited file, computed in parallel, written in input order as
// it is ready.

#include "CliRoom.h"
#include "CliSameFile.h"

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace korvane::cli {

// Receives the output table as it is written: the column names once, then each row's cells in input order,
// unquoted, numbers with "." whatever the output's decimal mark.
struct BatchRowSink {
    virtual ~BatchRowSink() = default;
    // passedThrough[i]: column i is an input column that sets no option, text whatever it looks like.
    virtual void Columns(const std::vector<std::string>& names, const std::vector<bool>& passedThrough) = 0;
    virtual void Row(const std::vector<std::string>& cells) = 0;
};


struct BatchSettings {
    const OptionTexts* commandLine; // values for the columns a row leaves out
    SiteList* sites;
    bool json = false;
    bool progress = false; // a progress line on err when the batch takes more than a moment
    unsigned threads = 0;  // 0: one per core
    size_t chunkRows = 1024;
    BatchRowSink* rows = nullptr;                   // also given every row, e.g. for a workbook
    const RoomFileTexts* commandLineRoom = nullptr; // --room: the room a row without a room file starts from
    // The files the batch writes, opened before the rows are read: a row reading one is refused.
    std::vector<NamedFile> outputs = {};
    bool allPeriods = false;            // the year and the twelve months per row
    bool progressSharesOutput = false;  // err and out are the same terminal: the progress line is cleared
    std::optional<char> delimiter = {}; // unset: found from the header line
    std::optional<char> outputDelimiter = {};   // unset: the input's
    std::optional<char> outputDecimalMark = {}; // unset: the one the input's numbers use
};

struct BatchCounts {
    size_t rows = 0;
    size_t failed = 0;         // rows whose output carries an error
    size_t namingOutputs = 0;  // rows refused for naming an output as their room or weather file
    bool outputFailed = false; // a write failed, and the batch stopped there
};

// Returns false with `why` set when the header cannot be used (a usage error); row errors go into the output.
// A site file that cannot be read raises its error.
bool RunBatch(std::istream& in, const BatchSettings& settings, std::ostream& out, std::ostream& err,
              std::string& why, BatchCounts& counts);

} // namespace korvane::cli
