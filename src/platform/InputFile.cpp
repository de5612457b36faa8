#include "InputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace korvane {

namespace {

#ifdef _WIN32
constexpr int kOpenFlags = _O_RDONLY | _O_BINARY;
#else
// Without O_NONBLOCK, opening a FIFO waits for a writer before the check below could refuse it.
constexpr int kOpenFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
#endif

InputFile::Failure FailureOf(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return InputFile::Failure::NotFound;
    case EACCES:
    case EPERM:
        return InputFile::Failure::PermissionDenied;
    default:
        return InputFile::Failure::Other;
    }
}

} // namespace

InputFile::InputFile(const std::string& path) {
    const int fd = ::open(path.c_str(), kOpenFlags);
    if (fd < 0) {
        const int error = errno;
        Refuse(FailureOf(error), std::strerror(error));
        return;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || (info.st_mode & S_IFMT) != S_IFREG) {
        ::close(fd);
        Refuse(Failure::NotRegular, "not a regular file");
        return;
    }
#ifndef _WIN32
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
#endif
    fd_ = fd;
    size_ = static_cast<uintmax_t>(info.st_size);
}

InputFile::~InputFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

void InputFile::Refuse(Failure failure, std::string reason) {
    failure_ = failure;
    reason_ = std::move(reason);
}

bool InputFile::ReadAtMost(uintmax_t maxBytes, std::string& bytes) {
    char buffer[65536];
    while (fd_ >= 0 && maxBytes > 0) {
        // Straight into what the caller reserved, in one read; beyond it a chunk at a time.
        const size_t held = bytes.size(), room = bytes.capacity() - held;
        const auto wanted =
            static_cast<unsigned>(std::min<uintmax_t>({maxBytes, room ? room : sizeof buffer, 1u << 30}));
        if (room)
            bytes.resize(held + wanted);
        const auto got = ::read(fd_, room ? bytes.data() + held : buffer, wanted);
        if (room)
            bytes.resize(held + static_cast<size_t>(std::max<decltype(got)>(got, 0)));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            Refuse(Failure::Other, std::strerror(errno));
            return false;
        }
        if (got == 0)
            break;
        if (!room)
            bytes.append(buffer, static_cast<size_t>(got));
        maxBytes -= static_cast<uintmax_t>(got);
    }
    return fd_ >= 0;
}

int InputFile::Release() {
    return std::exchange(fd_, -1);
}

} // namespace korvane
