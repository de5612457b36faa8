#include "DataFiles.h"

#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif
#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

#ifndef KORVANE_DATA_FROM_PROGRAM
#define KORVANE_DATA_FROM_PROGRAM "../share/korvane-energy"
#endif

namespace korvane {

std::filesystem::path FindDataFile(const std::filesystem::path& programDir, std::string_view name) {
    const std::filesystem::path beside = programDir / name;
    const std::filesystem::path installed =
        (programDir / KORVANE_DATA_FROM_PROGRAM / name).lexically_normal();
    std::error_code ec;
    if (!std::filesystem::exists(beside, ec) && std::filesystem::is_regular_file(installed, ec))
        return installed;
    return beside;
}

namespace {

// The program itself, links resolved, so that a link in <prefix>/bin leads to <prefix>/lib/korvane-energy.
std::filesystem::path Resolved(const std::filesystem::path& program) {
    std::error_code ec;
    std::filesystem::path resolved = std::filesystem::canonical(program, ec);
    return ec ? std::filesystem::path() : resolved;
}

} // namespace

std::filesystem::path ProgramFromArgv0(std::string_view argv0, std::string_view searchPath) {
    if (argv0.empty())
        return {};
    if (argv0.find('/') != std::string_view::npos)
        return Resolved(Utf8Path(argv0));
    while (true) {
        const size_t colon = searchPath.find(':');
        const std::string_view folder = searchPath.substr(0, colon);
        const std::filesystem::path candidate = Utf8Path(folder.empty() ? "." : folder) / Utf8Path(argv0);
        std::error_code ec;
#ifndef _WIN32
        if (std::filesystem::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0)
            return Resolved(candidate);
#endif
        if (colon == std::string_view::npos)
            return {};
        searchPath.remove_prefix(colon + 1);
    }
}

std::filesystem::path ProgramFolder(const char* argv0) {
#ifdef _WIN32
    (void)argv0;
    std::wstring buffer(MAX_PATH, L'\0');
    while (true) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) // else it was cut short
            return std::filesystem::path(buffer.substr(0, length)).parent_path();
        buffer.resize(buffer.size() * 2);
    }
#else
#ifdef __APPLE__
    uint32_t size = 0;
    ::_NSGetExecutablePath(nullptr, &size);
    std::string own(size, '\0');
    if (::_NSGetExecutablePath(own.data(), &size) == 0)
        return Resolved(own.c_str()).parent_path();
#endif
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return exe.parent_path();
    const char* searchPath = std::getenv("PATH");
    return ProgramFromArgv0(argv0 ? argv0 : "", searchPath ? searchPath : "").parent_path();
#endif
}

std::filesystem::path Utf8Path(std::string_view utf8) {
#ifdef _WIN32
    // Bytes that are no UTF-8 become U+FFFD, a name no file has, rather than an exception.
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
#else
    return std::filesystem::path(utf8);
#endif
}

std::string Utf8String(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
#else
    return path.string();
#endif
}

} // namespace korvane
