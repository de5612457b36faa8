#pragma once
// A streaming reader of comma-separated records: quoted fields with "" for a quote and line ends inside
// quotes, CR LF, LF or CR between records, a leading byte-order mark dropped. Damaged records are reported,
// not thrown.

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

namespace korvane::cli {

struct CsvRecord {
    std::vector<std::string> fields;
    std::string error; // empty for a sound record
    size_t line = 0;   // line of the file where the record starts, from 1
};

class CsvReader {
  public:
    static constexpr size_t kMaxFieldBytes = 1 << 20;
    static constexpr size_t kMaxFields = 4096;

    explicit CsvReader(std::istream& in) : in_(in) {}
    // The next record; false at the end of the input. Blank lines are skipped.
    bool Next(CsvRecord& record);

  private:
    int Get();
    int Peek();

    std::istream& in_;
    size_t line_ = 1;
    bool started_ = false;
};

// Text of one output field, quoted when it holds a comma, a quote or a line end.
std::string CsvField(const std::string& text);

} // namespace korvane::cli
