#include "CsvReader.h"

namespace korvane::cli {

int CsvReader::Get() {
    const int c = in_.get();
    return c == std::char_traits<char>::eof() ? -1 : c;
}

int CsvReader::Peek() {
    const int c = in_.peek();
    return c == std::char_traits<char>::eof() ? -1 : c;
}

bool CsvReader::Next(CsvRecord& record) {
    if (!started_) {
        started_ = true;
        if (Peek() == 0xEF) { // UTF-8 byte-order mark
            in_.get();
            if (Peek() == 0xBB) {
                in_.get();
                if (Peek() == 0xBF)
                    in_.get();
            }
        }
    }
    record = CsvRecord{};
    // Skip blank lines between records.
    while (Peek() == '\r' || Peek() == '\n') {
        if (Get() == '\r' && Peek() == '\n')
            Get();
        ++line_;
    }
    if (Peek() < 0)
        return false;
    record.line = line_;

    std::string field;
    bool quoted = false; // inside a quoted part of the field
    bool overlong = false;
    bool dropping = false; // the field is over the limit: the rest of it is skipped, and it ends empty
    const auto endField = [&] {
        dropping = false;
        if (record.fields.size() < kMaxFields)
            record.fields.push_back(std::move(field));
        else if (record.error.empty())
            record.error = "more than " + std::to_string(kMaxFields) + " fields";
        field.clear();
    };
    for (;;) {
        const int c = Get();
        if (c < 0) {
            if (quoted && record.error.empty())
                record.error = "a quoted field is not closed before the end of the file";
            endField();
            break;
        }
        if (quoted) {
            if (c == '"') {
                if (Peek() == '"') {
                    Get();
                    field += '"';
                } else {
                    quoted = false;
                }
            } else {
                if (c == '\n' || (c == '\r' && Peek() != '\n'))
                    ++line_;
                field += static_cast<char>(c);
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            endField();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && Peek() == '\n')
                Get();
            ++line_;
            endField();
            break;
        } else {
            field += static_cast<char>(c);
        }
        if (dropping || field.size() > kMaxFieldBytes) {
            overlong = dropping = true;
            field.clear(); // keep reading to the end of the field without holding it
        }
    }
    if (overlong && record.error.empty())
        record.error = "a field is longer than " + std::to_string(kMaxFieldBytes) + " bytes";
    return true;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

} // namespace korvane::cli
