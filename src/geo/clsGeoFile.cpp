#include "clsGeoFile.h"

#include "TextInput.h"
#include "VbConvert.h"
#include "VbError.h"
#include "VbMath.h"
#include "clsLocalInfo.h"
#include "modStringHandler.h"

#include <utility>

namespace korvane {
namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

size_t FindIgnoringCase(std::string_view text, std::string_view search, size_t from) {
    for (size_t i = from; i + search.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < search.size() && AsciiLower(text[i + k]) == AsciiLower(search[k]))
            ++k;
        if (k == search.size())
            return i;
    }
    return std::string_view::npos;
}

} // namespace

void clsGeoFile::OpenGeoFile(const std::string& fileName, std::vector<GeoEntry>& target) {
    const std::string bytes =
        PassOn("clsGeoFile:OpenGeoFile", [&] { return ReadFileBytes(fileName, kMaxFileBytes); });
    ReadGeoData(bytes, target, fileName);
}

void clsGeoFile::ReadGeoData(std::string_view bytes, std::vector<GeoEntry>& target,
                             std::string_view fileName) {
    const std::string file = fileName.empty() ? std::string("the site data") : std::string(fileName);
    // The error's own description first, so that the window's message reads as before, then where it arose.
    const auto at = [&](const VbError& e, const std::string& where) {
        return VbError(e.Number(), "clsGeoFile:OpenGeoFile", e.Description() + " " + where);
    };
    // A reader used for a second file must not carry the sites of the first.
    entryArray_.clear();
    const std::string text = DecodeText(bytes);
    size_t lineNumber = 0;
    for (std::string_view line : SplitLines(text)) {
        ++lineNumber;
        if (line.starts_with('*'))
            continue;
        try {
            AddEntryToArray(line);
        } catch (const VbError& e) {
            throw at(e, "in line " + std::to_string(lineNumber) + " of " + file);
        }
    }
    if (entryArray_.empty())
        throw at(VbError(ErrSubscript, "", RuntimeDescription(ErrSubscript)), "in " + file + ": no site");

    // Built aside and swapped in, so that the target changes completely or not at all.
    std::vector<GeoEntry> table;
    table.reserve(entryArray_.size());
    table.push_back(target.empty() ? GeoEntry{} : target.front());
    table.insert(table.end(), entryArray_.begin() + 1, entryArray_.end());
    target.swap(table);
}

void clsGeoFile::AddEntryToArray(std::string_view line) {
    PassOn("clsGeoFile:AddEntryToArray", [&] {
        const std::string separator = NumberSeparator();
        // Only the number fields: a comma in a name is part of the name, whatever the locale.
        const auto number = [&](int32_t field) {
            return ReplaceChar(GetParameter(line, ";", field), ",", separator);
        };
        GeoEntry entry;
        entry.Name = GetParameter(line, ";", 1);
        entry.Longitude = CDbl(number(2), separator);
        entry.Latitude = CDbl(number(3), separator);
        entry.TimeDiffGMT = CInt(number(4), separator);

        const int16_t index =
            entryArray_.empty() ? 1 : vb::Add16(static_cast<int64_t>(entryArray_.size()) - 1, 1);
        entryArray_.resize(static_cast<size_t>(index) + 1);
        entryArray_[static_cast<size_t>(index)] = std::move(entry);
    });
}

std::string clsGeoFile::GetDecSeparator() const {
    return PassOn("clsGeoFile:GetDecSeparator", [] {
        clsLocalInfo info;
        int32_t user = 1;
        info.SelectLocale(user);
        return info.DecimalSeparator();
    });
}

// Without a separator from the locale the file's own decimal comma is kept; deleting the commas would turn
// 8,68 into 868.
std::string clsGeoFile::NumberSeparator() const {
    std::string separator = GetDecSeparator();
    return separator.empty() ? "," : separator;
}

std::string clsGeoFile::ReplaceChar(std::string_view text, std::string_view search,
                                    std::string_view replacement) {
    return PassOn("clsGeoFile:ReplaceChar", [&]() -> std::string {
        if (search == replacement)
            return std::string(text);
        if (CharacterCount(text) > kMaxTextCharacters)
            RaiseRuntime(ErrOverflow, vb::kRuntimeSource);
        if (search.empty())
            return std::string(text);
        // The search goes on behind the inserted replacement, so a replacement that contains the search text
        // cannot be replaced again.
        std::string result;
        size_t from = 0;
        for (size_t found; (found = FindIgnoringCase(text, search, from)) != std::string_view::npos;) {
            result.append(text.substr(from, found - from)).append(replacement);
            from = found + search.size();
        }
        result.append(text.substr(from));
        if (CharacterCount(result) > kMaxTextCharacters)
            RaiseRuntime(ErrOverflow, vb::kRuntimeSource);
        return result;
    });
}

} // namespace korvane
