#include "ReplacingFile.h"

#include "DataFiles.h"
#include "VbError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <windows.h>
#endif

namespace korvane::report {

ReplacingFile::ReplacingFile(std::filesystem::path target, const char* source)
    : target_(std::move(target)), source_(source) {
    const std::filesystem::path folder = target_.parent_path().empty() ? "." : target_.parent_path();
    // Appended piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict) about "." + std::string.
    std::string pattern = Utf8String(
        folder / Utf8Path(std::string(".").append(Utf8String(target_.filename())).append(".XXXXXX")));
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        Fail(std::strerror(errno));
    ::close(fd);
    // mkstemp makes it private; the result should get the permissions any new file gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(pattern.c_str(), 0666 & ~mask);
    temporary_ = Utf8Path(pattern);
}

ReplacingFile::~ReplacingFile() {
    if (!committed_ && !temporary_.empty())
        std::remove(Utf8String(temporary_).c_str());
}

void ReplacingFile::Commit() {
#ifdef _WIN32
    // Windows' rename() refuses a target that exists.
    if (!::MoveFileExA(Utf8String(temporary_).c_str(), Utf8String(target_).c_str(), MOVEFILE_REPLACE_EXISTING))
        Fail("cannot replace it (Windows error " + std::to_string(::GetLastError()) + ")");
#else
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0)
        Fail(std::strerror(errno));
#endif
    committed_ = true;
}

void ReplacingFile::Fail(const std::string& reason) const {
    Raise(ErrPathFileAccess, source_, "cannot write '" + Utf8String(target_) + "': " + reason);
}

void WriteFileReplacing(const std::filesystem::path& target, std::string_view bytes, const char* source) {
    ReplacingFile file(target, source);
    std::FILE* out = std::fopen(Utf8String(file.TemporaryPath()).c_str(), "wb");
    if (!out)
        file.Fail(std::strerror(errno));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const int writeErrno = errno;
    // A full disk may only show when the buffer goes out at close.
    if (std::fclose(out) != 0 || !written)
        file.Fail(std::strerror(written ? errno : writeErrno));
    file.Commit();
}

} // namespace korvane::report
