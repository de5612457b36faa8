#pragma once
// Other spellings of sites ("Munich" for "München"), kept apart from the site file so that its format and the
// window's list stay as they are. The file is UTF-8 text, one alias a line: the other spelling, a ";", and
// the site's name exactly as the site file has it. Blank lines and lines starting with "#" are skipped; a
// byte-order mark is dropped; CR LF or LF end the lines.

#include <string>
#include <string_view>
#include <vector>

namespace korvane::sites {

struct SiteAlias {
    std::string spelling;
    std::string siteName;
};

// The largest alias file read; real ones are a few kB.
inline constexpr size_t kMaxAliasFileBytes = 1 << 20;

// The aliases in these bytes. Raises 13 naming the file and the line for a line without a spelling, a ";"
// or a site name.
std::vector<SiteAlias> ReadSiteAliases(std::string_view bytes, const std::string& fileName);
// The aliases of a file; none when it does not exist. Raises 75 for something that is not a regular file
// or is larger than kMaxAliasFileBytes, and what ReadSiteAliases raises.
std::vector<SiteAlias> ReadSiteAliasFile(const std::string& fileName);

} // namespace korvane::sites
