#include "SiteAliases.h"

#include "DataFiles.h"
#include "VbError.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace korvane::sites {

namespace {

constexpr const char* kSource = "SiteAliases:ReadSiteAliases";

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

std::vector<SiteAlias> ReadSiteAliases(std::string_view bytes, const std::string& fileName) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    std::vector<SiteAlias> aliases;
    size_t lineNumber = 0;
    while (!bytes.empty()) {
        const size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        ++lineNumber;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (Trimmed(line).empty() || line.starts_with('#'))
            continue;
        const size_t semicolon = line.find(';');
        const std::string_view spelling = Trimmed(line.substr(0, semicolon));
        const std::string_view site =
            semicolon == std::string_view::npos ? std::string_view() : Trimmed(line.substr(semicolon + 1));
        if (spelling.empty() || site.empty())
            Raise(ErrTypeMismatch, kSource,
                  fileName + ", line " + std::to_string(lineNumber) + ": not \"spelling;site name\"");
        aliases.push_back({std::string(spelling), std::string(site)});
    }
    return aliases;
}

std::vector<SiteAlias> ReadSiteAliasFile(const std::string& fileName) {
    std::error_code error;
    const auto status = std::filesystem::status(Utf8Path(fileName), error);
    if (status.type() == std::filesystem::file_type::not_found)
        return {};
    if (status.type() != std::filesystem::file_type::regular ||
        std::filesystem::file_size(Utf8Path(fileName), error) > kMaxAliasFileBytes || error)
        Raise(ErrPathFileAccess, kSource,
              fileName + ": not a regular file of at most " + std::to_string(kMaxAliasFileBytes) + " bytes");
    std::ifstream file(fileName, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    if (!file)
        Raise(ErrPathFileAccess, kSource, fileName + ": cannot be read");
    return ReadSiteAliases(bytes.str(), fileName);
}

} // namespace korvane::sites
