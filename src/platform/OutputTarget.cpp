#include "OutputTarget.h"

#include "DataFiles.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace korvane {

namespace {

OutputTarget Refused(std::string reason) {
    OutputTarget t;
    t.kind = OutputTarget::Kind::Refused;
    t.reason = std::move(reason);
    return t;
}

} // namespace

#ifdef _WIN32
void SyncFolderOf(const std::string&) {}

OutputTarget ExamineTarget(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(Utf8Path(path), ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return {};
    if (ec)
        return Refused(ec.message());
    if (status.type() != std::filesystem::file_type::regular)
        return Refused("not a regular file");
    if ((status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
        return Refused(std::strerror(EACCES));
    OutputTarget t;
    t.kind = OutputTarget::Kind::Regular;
    t.mode = static_cast<unsigned>(status.permissions()) & 0777u;
    return t;
}
#else
void SyncFolderOf(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

OutputTarget ExamineTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return errno == ENOENT ? OutputTarget{} : Refused(std::strerror(errno));
    if (S_ISLNK(info.st_mode)) {
        struct stat to {};
        if (::stat(path.c_str(), &to) == 0 && (S_ISFIFO(to.st_mode) || S_ISCHR(to.st_mode)))
            return {OutputTarget::Kind::Stream, 0, 0, 0, {}};
        return Refused("a symbolic link, which is not replaced");
    }
    if (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode))
        return {OutputTarget::Kind::Stream, 0, 0, 0, {}};
    if (S_ISDIR(info.st_mode))
        return Refused(std::strerror(EISDIR));
    if (!S_ISREG(info.st_mode))
        return Refused("not a regular file");
    // The system lets root write anything; a file without any write permission was made read-only on
    // purpose all the same.
    if ((info.st_mode & 0222) == 0)
        return Refused(std::strerror(EACCES));
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return Refused(std::strerror(errno));
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    struct stat shared {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &shared) == 0 && (shared.st_mode & S_ISVTX) &&
        info.st_uid != ::geteuid())
        return Refused(std::string(std::strerror(EPERM)) + ": another user's file in a shared folder");
    return {OutputTarget::Kind::Regular,
            static_cast<unsigned>(info.st_mode & 0777),
            info.st_uid,
            info.st_gid,
            {}};
}
#endif

} // namespace korvane
