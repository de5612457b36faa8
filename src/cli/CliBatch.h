#pragma once
// A building at once: one room per CSV row, computed in parallel, written in input order as it is ready.

#include "CliRoom.h"

#include <istream>
#include <ostream>

namespace korvane::cli {

struct BatchSettings {
    const OptionTexts* commandLine; // values for the columns a row leaves out
    SiteList* sites;
    bool json = false;
    bool progress = false; // a progress line on err when the batch takes more than a moment
    unsigned threads = 0;  // 0: one per core
    size_t chunkRows = 1024;
    const OptionTexts* explicitOptions =
        nullptr; // what the command line names itself; beats a row's room file
};

struct BatchCounts {
    size_t rows = 0;
    size_t failed = 0; // rows whose output carries an error
};

// Returns false with `why` set when the header cannot be used (a usage error); row errors go into the output.
// A site file that cannot be read raises its error.
bool RunBatch(std::istream& in, const BatchSettings& settings, std::ostream& out, std::ostream& err,
              std::string& why, BatchCounts& counts);

} // namespace korvane::cli
