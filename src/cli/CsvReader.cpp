#include "CsvReader.h"

#include "CliFormat.h"

#include <sstream>

namespace korvane::cli {

int CsvReader::Get() {
    if (pendingAt_ < pending_.size())
        return static_cast<unsigned char>(pending_[pendingAt_++]);
    const auto c = in_.sbumpc();
    return c == std::char_traits<char>::eof() ? -1 : c;
}

int CsvReader::Peek() {
    if (pendingAt_ < pending_.size())
        return static_cast<unsigned char>(pending_[pendingAt_]);
    const auto c = in_.sgetc();
    return c == std::char_traits<char>::eof() ? -1 : c;
}

bool CsvReader::WouldWait() {
    return pendingAt_ >= pending_.size() && in_.in_avail() == 0;
}

void CsvReader::Start() {
    if (started_)
        return;
    started_ = true;
    std::string first;
    for (int c; first.size() < 3 && (c = Get()) >= 0;)
        first += static_cast<char>(c);
    if (first != "\xEF\xBB\xBF")
        pending_ = std::move(first); // a part of a byte-order mark is text
}

void CsvReader::SkipBlankLines() {
    while (Peek() == '\r' || Peek() == '\n') {
        if (Get() == '\r' && Peek() == '\n')
            Get();
        ++line_;
    }
}

void CsvReader::SkipRestOfLine() {
    for (int c; (c = Get()) >= 0;) {
        if (c == '\n' || c == '\r') {
            if (c == '\r' && Peek() == '\n')
                Get();
            break;
        }
    }
    ++line_;
}

bool CsvReader::NextLine(std::string& line, std::string& error) {
    Start();
    SkipBlankLines();
    line.clear();
    error.clear();
    if (Peek() < 0)
        return false;
    for (int c; (c = Peek()) >= 0 && c != '\r' && c != '\n'; Get()) {
        if (line.size() == kMaxRecordBytes) {
            error = "the line is longer than " + std::to_string(kMaxRecordBytes) + " bytes";
            break;
        }
        line += static_cast<char>(c);
    }
    SkipRestOfLine();
    return true;
}

// The record's first line is damaged; the lines after it are read again, each a record of its own.
bool CsvReader::Recover(CsvRecord& record, const std::string& why) {
    record.fields.clear();
    record.error = why;
    line_ = record.line + 1;
    const size_t end = raw_.find_first_of("\r\n");
    if (end == std::string::npos) {
        SkipRestOfLine();
        line_ = record.line + 1;
        return true;
    }
    size_t rest = end + 1;
    if (raw_[end] == '\r' && rest < raw_.size() && raw_[rest] == '\n')
        ++rest;
    record.bytes = rest;
    pending_ = raw_.substr(rest) + pending_.substr(pendingAt_);
    pendingAt_ = 0;
    strict_ = true;
    return true;
}

namespace {

void Fail(CsvRecord& record, const std::string& why) {
    if (record.error.empty())
        record.error = why;
}

bool IsLineEnd(int c) {
    return c == '\r' || c == '\n';
}

} // namespace

int CsvReader::Take(Reading& r) {
    const int c = Get();
    if (c >= 0) {
        ++r.record.bytes;
        if (!strict_ && raw_.size() <= kMaxRecordBytes)
            raw_ += static_cast<char>(c);
    }
    return c;
}

void CsvReader::EndField(Reading& r) {
    if (r.record.fields.size() < kMaxFields)
        r.record.fields.push_back(std::move(r.field));
    else
        Fail(r.record, "more than " + std::to_string(kMaxFields) + " fields");
    r.field.clear();
    r.state = FieldState::Unquoted;
}

void CsvReader::EndLine(Reading& r, int c) {
    if (c == '\r' && Peek() == '\n')
        Take(r);
    ++line_;
}

bool CsvReader::AtInputEnd(Reading& r) {
    if (r.state == FieldState::Quoted && !strict_)
        return Recover(r.record, "a quoted field is not closed before the end of the file");
    if (r.state == FieldState::Quoted)
        Fail(r.record, "a quoted field is not closed on its line");
    EndField(r);
    return true;
}

bool CsvReader::OverBound(Reading& r, int c) {
    if (r.state == FieldState::Quoted && !strict_)
        return Recover(r.record,
                       "a quoted field is not closed within " + std::to_string(kMaxRecordBytes) + " bytes");
    r.record.fields.clear();
    r.record.error = "the record is longer than " + std::to_string(kMaxRecordBytes) + " bytes";
    if (IsLineEnd(c))
        EndLine(r, c);
    else
        SkipRestOfLine();
    return true;
}

bool CsvReader::InQuotes(Reading& r, int c) {
    if (c == '"') {
        if (Peek() == '"')
            r.field += static_cast<char>(Take(r));
        else
            r.state = FieldState::Closed;
    } else if (IsLineEnd(c) && strict_) {
        Fail(r.record, "a quoted field is not closed on its line");
        EndLine(r, c);
        EndField(r);
        return true;
    } else {
        if (c == '\n' || (c == '\r' && Peek() != '\n'))
            ++line_;
        r.field += static_cast<char>(c);
    }
    return false;
}

bool CsvReader::OutsideQuotes(Reading& r, int c) {
    if (c == delimiter_) {
        EndField(r);
    } else if (IsLineEnd(c)) {
        EndLine(r, c);
        EndField(r);
        return true;
    } else if (r.state == FieldState::Closed) {
        if (c != ' ' && c != '\t')
            Fail(r.record,
                 "text after the closing quote of field " + std::to_string(r.record.fields.size() + 1));
    } else if (c == '"' && r.field.find_first_not_of(" \t") == std::string::npos) {
        r.state = FieldState::Quoted;
        r.field.clear();
    } else {
        r.field += static_cast<char>(c);
    }
    return false;
}

bool CsvReader::Next(CsvRecord& record) {
    Start();
    if (pendingAt_ >= pending_.size()) {
        pending_.clear();
        pendingAt_ = 0;
        strict_ = false;
    }
    record = CsvRecord{};
    SkipBlankLines();
    if (Peek() < 0)
        return false;
    record.line = line_;
    raw_.clear();
    Reading r{record, {}};
    for (;;) {
        const int c = Take(r);
        const bool ended = c < 0                            ? AtInputEnd(r)
                           : record.bytes > kMaxRecordBytes ? OverBound(r, c)
                           : r.state == FieldState::Quoted  ? InQuotes(r, c)
                                                            : OutsideQuotes(r, c);
        if (ended)
            return true;
    }
}

CsvRecord CsvReader::ParseLine(std::string_view line, char delimiter) {
    std::istringstream nothing;
    CsvReader reader(nothing, delimiter);
    reader.started_ = true;
    reader.pending_ = std::string(line) + "\n";
    reader.strict_ = true;
    CsvRecord record;
    reader.Next(record);
    return record;
}

std::string CsvField(const std::string& text, char delimiter) {
    std::string clean = WithoutControls(text, true);
    if (clean.find_first_of(std::string("\"\t\r\n") + delimiter) == std::string::npos)
        return clean;
    std::string out = "\"";
    for (const char c : clean) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

} // namespace korvane::cli
