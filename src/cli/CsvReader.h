#pragma once
// A streaming reader of delimited records: a quote opens a quoted field only where the field begins ("" for
// a quote inside), line ends may stand inside quotes, CR LF, LF or CR between records, a complete leading
// byte-order mark dropped. Damaged records are reported, not thrown, and every line of the input lands in
// some record: a quote that is never closed (or not within the size bound) makes its first line a damaged
// record and the lines it would have swallowed records of their own.

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::cli {

struct CsvRecord {
    std::vector<std::string> fields; // the bytes as read, not yet decoded
    std::string error;               // empty for a sound record
    size_t line = 0;                 // line of the file where the record starts, from 1
    size_t bytes = 0;                // bytes the record took in the input
};

class CsvReader {
  public:
    static constexpr size_t kMaxRecordBytes = 1 << 20;
    static constexpr size_t kMaxFields = 4096;

    explicit CsvReader(std::istream& in, char delimiter = ',') : in_(*in.rdbuf()), delimiter_(delimiter) {}
    void SetDelimiter(char delimiter) { delimiter_ = delimiter; }
    // The first line that is not blank, as raw bytes; false at the end of the input. A line over the
    // record bound is read to its end and reported in `error`.
    bool NextLine(std::string& line, std::string& error);
    // The next record; false at the end of the input. Blank lines are skipped.
    bool Next(CsvRecord& record);
    // True when the next byte is not at hand yet: reading on would wait for the producer.
    bool WouldWait();
    // One line's record, its quotes closed within the line.
    static CsvRecord ParseLine(std::string_view line, char delimiter);

  private:
    int Get();
    int Peek();
    void Start();
    void SkipBlankLines();
    void SkipRestOfLine();
    bool Recover(CsvRecord& record, const std::string& why);

    // The record being read and the field at hand.
    enum class FieldState { Unquoted, Quoted, Closed }; // Closed: after the closing quote
    struct Reading {
        CsvRecord& record;
        std::string field;
        FieldState state = FieldState::Unquoted;
    };
    int Take(Reading& r);
    void EndField(Reading& r);
    void EndLine(Reading& r, int c);
    // One byte (or the input's end) in each state; true when it ends the record.
    bool AtInputEnd(Reading& r);
    bool OverBound(Reading& r, int c);
    bool InQuotes(Reading& r, int c);
    bool OutsideQuotes(Reading& r, int c);

    std::streambuf& in_;
    char delimiter_;
    std::string pending_; // bytes to read again before the stream's
    size_t pendingAt_ = 0;
    bool strict_ = false; // reading again: a line end always ends the record
    bool started_ = false;
    size_t line_ = 1;
    std::string raw_; // the current record's bytes, up to the bound, to read again after an unclosed quote
};

// Text of one output field, quoted when it holds the delimiter, a quote or a control character; control
// characters other than TAB, CR and LF become U+FFFD, so that no terminal takes them as commands.
std::string CsvField(const std::string& text, char delimiter = ',');

} // namespace korvane::cli
