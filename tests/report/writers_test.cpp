// Every kind of target each writer may meet, on a small tmpfs of the test's own: what is written, what is
// refused, and what is left in the folder afterwards.
#include "ReplacingFile.h"
#include "UnfinishedFiles.h"
#include "VbError.h"
#ifdef KORVANE_WINDOW_WRITER
#include "Seams.h"
#endif

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <thread>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvane {
namespace {

namespace fs = std::filesystem;

// The folder the rows write into. Where the test runs as root, the temporary folder is a 64 KiB tmpfs of
// its own, in a mount namespace of this process, so devices and other owners touch nothing outside.
fs::path Folder(bool& privateMount) {
    static const bool mounted =
        ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
        ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
        ::mount("tmpfs", fs::temp_directory_path().c_str(), "tmpfs", 0, "size=64k") == 0;
    privateMount = mounted;
    return fs::temp_directory_path() / ("korvane_writers_" + std::to_string(::getpid()));
}

mode_t Umask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.insert(entry.path().string());
    return names;
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

using Writer = std::function<void(const fs::path&, const std::string&)>;
fs::path Old(const fs::path& path, mode_t mode = 0640) {
    std::ofstream(path) << "old";
    ::chmod(path.c_str(), mode);
    return path;
}

struct Kind {
    const char* name;
    bool needsRoot, coreWrites, windowWrites; // or refuses, saying `says`
    const char* says;
};
const Kind kKinds[] = {
    {"new", false, true, true, ""},
    {"regular", false, true, true, ""},
    {"read_only", false, false, false, "Permission denied"},
    {"foreign_in_a_sticky_folder", true, false, false, "another user's file"},
    {"FIFO", false, true, false, "not a regular file"},
    {"device", true, true, false, "not a regular file"},
    {"link_to_a_file", false, false, false, "symbolic link"},
    {"folder", false, false, false, "Is a directory"},
    {"longest_name", false, true, true, ""},
    {"full_disk", true, false, false, "No space left on device"},
    {"interrupted", false, false, false, "Terminated"},
};

// The write in a process of its own, which the programs' handler ends at SIGTERM, sent by the first byte
// past a size limit of zero: the signal's name, or how the process ended otherwise.
std::string Interrupted(const std::function<void()>& write) {
    const pid_t child = ::fork();
    if (child == 0) {
        EndCleanlyOnSignals();
        std::signal(SIGXFSZ, [](int) { std::raise(SIGTERM); });
        const rlimit none{0, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &none);
        try {
            write();
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) ? ::strsignal(WTERMSIG(status))
                               : "exit " + std::to_string(WEXITSTATUS(status));
}

// The target of a kind in folder d, with "old" in it where it is a file.
fs::path Make(const std::string& kind, const fs::path& d) {
    if (kind == "foreign_in_a_sticky_folder") {
        fs::create_directory(d / "shared");
        ::chmod((d / "shared").c_str(), 01777);
        EXPECT_EQ(::chown(Old(d / "shared" / "theirs", 0666).c_str(), 65534, 65534), 0);
        return d / "shared" / "theirs";
    }
    if (kind == "link_to_a_file")
        fs::create_symlink(Old(d / "behind").filename(), d / kind);
    if (kind == "FIFO")
        ::mkfifo((d / kind).c_str(), 0644);
    if (kind == "device")
        ::mknod((d / kind).c_str(), S_IFCHR | 0666, makedev(1, 3)); // a null device of the test's own
    if (kind == "folder")
        fs::create_directory(d / kind);
    if (kind == "regular" || kind == "read_only" || kind == "longest_name" || kind == "full_disk" ||
        kind == "interrupted")
        return Old(d / (kind == "longest_name" ? std::string(255, 'n') : kind),
                   kind == "read_only" ? 0444 : 0640);
    return d / kind;
}

struct Row {
    const char* writer;
    Kind kind;
};

class Writers : public ::testing::TestWithParam<Row> {};

TEST_P(Writers, ReplaceOnlyWhatMayBeReplaced) {
    const auto& [writerName, kind] = GetParam();
    bool root = false;
    const fs::path base = Folder(root) / writerName;
    if (kind.needsRoot && !root)
        GTEST_SKIP() << "needs root and a private mount namespace for a tmpfs, devices and other owners";
    fs::create_directories(base);
    const fs::path target = Make(kind.name, base);
    const bool window = std::string(writerName) == "window", byName = std::string(writerName) == "by_name";
    const bool written = window ? kind.windowWrites : kind.coreWrites;
    const std::set<std::string> names = Names(base);
    const std::string bytes = std::string(kind.name) == "full_disk" ? std::string(128 << 10, 'x') : "new";
    struct stat before {};
    ::lstat(target.c_str(), &before);
    // A FIFO is read at the other end, as a pipe's reader would.
    std::string piped;
    std::thread reader;
    if (S_ISFIFO(before.st_mode) && !window)
        reader = std::thread([&] { piped = Read(target); });
    std::string reason;
    try {
        const Writer writers[] = {
            [](auto& t, auto& b) { report::WriteFileReplacing(t, b, "test"); },
            [](auto& t, auto& b) { // as the workbook library writes: by the temporary file's name
                report::ReplacingFile file(t, "test");
                std::FILE* out = std::fopen(file.TemporaryPath().c_str(), "wb");
                const bool whole = out && std::fwrite(b.data(), 1, b.size(), out) == b.size();
                if ((out && std::fclose(out) != 0) || !whole)
                    file.Fail(std::strerror(errno));
                file.Commit();
            },
#ifdef KORVANE_WINDOW_WRITER
            [](auto& t, auto& b) { ui::QtFileWriter().WriteFile(t.c_str(), QByteArray::fromStdString(b)); },
#endif
        };
        const auto write = [&] {
            writers[window ? 2 : byName ? 1 : 0](target, bytes); // clang 14 captures no structured binding
        };
        if (std::string(kind.name) == "interrupted")
            reason = Interrupted(write);
        else
            write();
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), ErrPathFileAccess);
        reason = e.Description();
    }
    if (reader.joinable())
        reader.join();
    EXPECT_EQ(reason.empty(), written) << reason;
    EXPECT_NE(reason.find(written ? "" : kind.says), std::string::npos) << reason;
    struct stat after {};
    ASSERT_EQ(::lstat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode ? before.st_mode & S_IFMT : S_IFREG);
    const bool file = S_ISREG(after.st_mode) || S_ISLNK(after.st_mode);
    EXPECT_EQ(file ? Read(target) : "", file ? written ? bytes : "old" : "");
    const mode_t mode = before.st_mode ? before.st_mode & 0777 : 0666 & ~Umask();
    EXPECT_EQ(after.st_mode & 0777, S_ISREG(after.st_mode) ? mode : after.st_mode & 0777);
    EXPECT_EQ(piped, S_ISFIFO(after.st_mode) && !window ? bytes : "");
    auto expected = names;
    expected.insert(target.string());
    EXPECT_EQ(Names(base), expected);
    fs::remove_all(base.parent_path());
}

std::vector<Row> Rows() {
    std::vector<Row> rows;
    for (const char* writer : {"bytes", "by_name", "window"})
        for (const Kind& kind : kKinds)
            rows.push_back({writer, kind});
#ifndef KORVANE_WINDOW_WRITER
    rows.resize(rows.size() * 2 / 3);
#endif
    return rows;
}
INSTANTIATE_TEST_SUITE_P(EachTarget, Writers, ::testing::ValuesIn(Rows()),
                         [](const auto& i) { return std::string(i.param.writer) + "_" + i.param.kind.name; });

} // namespace
} // namespace korvane
