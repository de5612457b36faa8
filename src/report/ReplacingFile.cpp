#include "ReplacingFile.h"

#include "DataFiles.h"
#include "OutputTarget.h"
#include "UnfinishedFiles.h"
#include "VbError.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <io.h>
#include <share.h>
#include <windows.h>
#endif

namespace korvane::report {

namespace {

// A temporary name for target: ".name.XXXXXX" within the folder's limit on a name's length, the name cut
// short (at the start of a character) where it would go past it.
std::string TemporaryPattern(const std::filesystem::path& folder, const std::string& name) {
#ifdef _WIN32
    long limit = MAX_PATH - 1;
#else
    long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
#endif
    if (limit <= 0)
        limit = 255;
    constexpr size_t kAdded = 8; // the leading "." and ".XXXXXX"
    size_t keep = name.size();
    if (keep + kAdded > static_cast<size_t>(limit)) {
        keep = static_cast<size_t>(limit) > kAdded ? static_cast<size_t>(limit) - kAdded : 0;
        while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
            --keep;
    }
    // Appended piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict) about "." + std::string.
    return Utf8String(folder / Utf8Path(std::string(".").append(name, 0, keep).append(".XXXXXX")));
}

#ifndef _WIN32
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
#endif

} // namespace

ReplacingFile::ReplacingFile(std::filesystem::path target, const char* source)
    : target_(std::move(target)), source_(source) {
    const OutputTarget now = ExamineTarget(Utf8String(target_));
    if (now.kind == OutputTarget::Kind::Refused)
        Fail(now.reason);
    if (now.kind == OutputTarget::Kind::Stream) {
#ifdef _WIN32
        Fail("not a regular file");
#else
        stream_ = true;
        fd_ = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        struct stat info {};
        if (fd_ < 0 || ::fstat(fd_, &info) != 0)
            Fail(std::strerror(errno));
        if (S_ISREG(info.st_mode)) // swapped for a file since it was looked at, which is not written over
            Fail("not a stream any more");
        return;
#endif
    }
    const std::filesystem::path folder = target_.parent_path().empty() ? "." : target_.parent_path();
    std::string pattern = TemporaryPattern(folder, Utf8String(target_.filename()));
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0)
        Fail(std::strerror(errno));
    temporary_ = Utf8Path(pattern);
#ifdef _WIN32
    // mkstemp's file is shut to other openers there; a writer by name opens it again.
    ::_close(fd_);
    fd_ = ::_wsopen(temporary_.c_str(), _O_WRONLY | _O_BINARY, _SH_DENYNO, _S_IREAD | _S_IWRITE);
    if (fd_ < 0) {
        const int error = errno;
        ::_wunlink(temporary_.c_str());
        Fail(std::strerror(error));
    }
    RegisterUnfinished(pattern);
#else
    RegisterUnfinished(pattern);
    if (now.kind == OutputTarget::Kind::Regular && ::geteuid() == 0)
        (void)!::fchown(fd_, now.owner, now.group); // root keeps a user's file the user's
    ::fchmod(fd_, now.kind == OutputTarget::Kind::Regular ? now.mode : NewFileMode());
#endif
}

ReplacingFile::~ReplacingFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !temporary_.empty()) {
        UnregisterUnfinished(Utf8String(temporary_));
        std::remove(Utf8String(temporary_).c_str());
    }
}

const std::filesystem::path& ReplacingFile::TemporaryPath() {
    if (stream_ && temporary_.empty()) {
        std::error_code ec;
        std::string pattern = Utf8String(std::filesystem::temp_directory_path(ec) / "korvane-energy.XXXXXX");
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            Fail(std::strerror(errno));
        ::close(fd);
        temporary_ = Utf8Path(pattern);
        RegisterUnfinished(pattern);
    }
    return temporary_;
}

void ReplacingFile::WriteTo(int fd, std::string_view bytes) const {
    while (!bytes.empty()) {
#ifdef _WIN32
        const int written =
            ::_write(fd, bytes.data(), static_cast<unsigned>(std::min<size_t>(bytes.size(), 1u << 30)));
#else
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
#endif
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            Fail(std::strerror(written < 0 ? errno : EIO));
        bytes.remove_prefix(static_cast<size_t>(written));
    }
}

void ReplacingFile::Write(std::string_view bytes) {
    WriteTo(fd_, bytes);
}

void ReplacingFile::Commit() {
#ifndef _WIN32 // no streams there: ExamineTarget finds only files
    if (stream_) {
        if (!temporary_.empty()) { // what a writer by name left in the temporary folder
            const int in = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
            if (in < 0)
                Fail(std::strerror(errno));
            char buffer[65536];
            ssize_t got;
            while ((got = ::read(in, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
                if (got > 0)
                    WriteTo(fd_, std::string_view(buffer, static_cast<size_t>(got)));
            }
            const int readError = errno;
            ::close(in);
            if (got < 0)
                Fail(std::strerror(readError));
        }
        const int fd = std::exchange(fd_, -1);
        if (::close(fd) != 0 && errno != EINTR)
            Fail(std::strerror(errno));
        return; // the temporary copy goes with the destructor
    }
#endif
    // A full disk may show only here, when the data reach it; the old file is still in place then.
#ifdef _WIN32
    if (::_commit(fd_) != 0)
#else
    if (::fsync(fd_) != 0)
#endif
        Fail(std::strerror(errno));
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0 && errno != EINTR)
        Fail(std::strerror(errno));
    // Whatever took the target's place meanwhile is looked at again: a FIFO or a link is not replaced.
    const OutputTarget now = ExamineTarget(Utf8String(target_));
    if (now.kind == OutputTarget::Kind::Refused || now.kind == OutputTarget::Kind::Stream)
        Fail(now.kind == OutputTarget::Kind::Stream ? std::string("not a regular file any more")
                                                    : now.reason);
#ifdef _WIN32
    // Windows' rename() refuses a target that exists.
    if (!::MoveFileExA(Utf8String(temporary_).c_str(), Utf8String(target_).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        Fail("cannot replace it (Windows error " + std::to_string(::GetLastError()) + ")");
    committed_ = true;
    UnregisterUnfinished(Utf8String(temporary_));
#else
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0)
        Fail(std::strerror(errno));
    committed_ = true;
    UnregisterUnfinished(temporary_.string());
    SyncFolderOf(target_.string());
#endif
}

void ReplacingFile::Fail(const std::string& reason) const {
    Raise(ErrPathFileAccess, source_, "cannot write '" + Utf8String(target_) + "': " + reason);
}

void WriteFileReplacing(const std::filesystem::path& target, std::string_view bytes, const char* source) {
    ReplacingFile file(target, source);
    file.Write(bytes);
    file.Commit();
}

} // namespace korvane::report
