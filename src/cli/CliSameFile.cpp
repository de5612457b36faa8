#include "CliSameFile.h"

#include "DataFiles.h"

#include <filesystem>
#include <system_error>

namespace korvane::cli {

std::string SameFileClash(const std::vector<NamedFile>& outputs, const std::vector<NamedFile>& inputs) {
    const auto path = [](const NamedFile& f) { return f.path == "-" ? std::string("/dev/stdin") : f.path; };
    std::vector<NamedFile> seen = inputs;
    for (const NamedFile& output : outputs) {
        if (output.path.empty() || output.path == "-")
            continue;
        for (const NamedFile& other : seen) {
            std::error_code ec;
            // Files not there yet are the same when their names are.
            const auto name = [&ec](const std::string& p) {
                return std::filesystem::absolute(Utf8Path(p), ec).lexically_normal();
            };
            if (!other.path.empty() &&
                (std::filesystem::equivalent(Utf8Path(output.path), Utf8Path(path(other)), ec) ||
                 name(output.path) == name(path(other))))
                return output.option + " '" + output.path + "' is the same file as " + other.option + " '" +
                       other.path + "'";
        }
        seen.push_back(output);
    }
    return {};
}

} // namespace korvane::cli
