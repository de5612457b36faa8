#pragma once
// Reader of geographic data files (.geo): comment lines start with "*", every other line is a site
// "name;longitude;latitude;GMT difference" with decimal commas; fields after the fourth are ignored.

#include "GeoEntry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

class clsGeoFile {
  public:
    // The largest site file read: 32767 sites of a hundred characters, far beyond every real site list. A
    // larger file, or one that is no regular file (a device, a pipe, a folder), is refused before reading.
    static constexpr uintmax_t kMaxFileBytes = 4 * 1024 * 1024;

    // Reads the file's sites into target entries 1 to n, in file order, and drops any further entries;
    // target entry 0 belongs to the caller and stays. A failed read leaves the target exactly as it was.
    // Errors leave with the source "clsGeoFile:OpenGeoFile" and the file's name, and the line's number where
    // one line is at fault, after the error's own description: 53 missing file, 75 no regular file or one
    // larger than kMaxFileBytes, 13 a field that is no number (an empty line too), 9 no site at all, 6 a GMT
    // difference beyond 16 bits, a line longer than 32767 characters or more than 32767 sites.
    void OpenGeoFile(const std::string& fileName, std::vector<GeoEntry>& target);
    // The same for the bytes of a file already in memory; fileName only names it in errors.
    void ReadGeoData(std::string_view bytes, std::vector<GeoEntry>& target, std::string_view fileName = "");

    // Adds the site of one data line at the next index of EntryArray (the first at 1). The decimal commas
    // of its number fields are read by the locale's separator; the name keeps its commas. A line that fails
    // adds nothing.
    void AddEntryToArray(std::string_view line);

    // The decimal separator of the user's locale; empty when it cannot be read.
    std::string GetDecSeparator() const;

    // Every occurrence of search, found without regard to the case of ASCII letters, replaced; the text
    // unchanged when search is empty or equal to the replacement. Raises 6 for texts longer than 32767
    // characters.
    static std::string ReplaceChar(std::string_view text, std::string_view search,
                                   std::string_view replacement);

    // The sites read so far, from index 1; index 0 is never filled.
    const std::vector<GeoEntry>& EntryArray() const { return entryArray_; }

  private:
    std::string NumberSeparator() const;

    std::vector<GeoEntry> entryArray_;
};

} // namespace korvane
