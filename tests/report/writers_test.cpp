// Every kind of target each writer may meet, on a small tmpfs of the test's own: what is written, what is
// refused, and what is left in the folder afterwards.
#include "ReplacingFile.h"
#include "VbError.h"
#ifdef KORVANE_WINDOW_WRITER
#include "Seams.h"
#endif

#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
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
#include <sys/stat.h>
#include <sys/sysmacros.h>
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
struct Kind {
    const char* name;
    std::function<fs::path(const fs::path& folder)> make; // the target, with "old" in it where a file
    bool needsRoot;
    bool coreWrites, windowWrites; // or refuses, saying `says`
    const char* says;
};

fs::path Old(const fs::path& path, mode_t mode = 0640) {
    std::ofstream(path) << "old";
    ::chmod(path.c_str(), mode);
    return path;
}

const Kind kKinds[] = {
    {"new", [](auto& d) { return d / "new.svg"; }, false, true, true, ""},
    {"regular", [](auto& d) { return Old(d / "regular.svg"); }, false, true, true, ""},
    {"read-only", [](auto& d) { return Old(d / "read-only.svg", 0444); }, false, false, false,
     "Permission denied"},
    {"foreign in a sticky folder",
     [](auto& d) {
         fs::create_directory(d / "shared");
         ::chmod((d / "shared").c_str(), 01777);
         const fs::path file = Old(d / "shared" / "theirs.svg", 0666);
         EXPECT_EQ(::chown(file.c_str(), 65534, 65534), 0);
         return file;
     },
     true, false, false, "another user's file"},
    {"FIFO",
     [](auto& d) {
         ::mkfifo((d / "fifo").c_str(), 0644);
         return d / "fifo";
     },
     false, true, false, "not a regular file"},
    {"device",
     [](auto& d) {
         ::mknod((d / "null").c_str(), S_IFCHR | 0666, makedev(1, 3));
         return d / "null";
     },
     true, true, false, "not a regular file"},
    {"link to a file",
     [](auto& d) {
         Old(d / "behind.svg");
         fs::create_symlink("behind.svg", d / "link.svg");
         return d / "link.svg";
     },
     false, false, false, "symbolic link"},
    {"folder",
     [](auto& d) {
         fs::create_directory(d / "dir.svg");
         return d / "dir.svg";
     },
     false, false, false, "Is a directory"},
    // QSaveFile's temporary name adds 7 bytes to the target's: the window cannot write such a name.
    {"longest name", [](auto& d) { return Old(d / std::string(255, 'n')); }, false, true, false,
     "File name too long"},
    {"full disk", [](auto& d) { return Old(d / "full.svg"); }, true, false, false, "No space left on device"},
};

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
    const fs::path target = kind.make(base);
    const bool window = std::string(writerName) == "window";
    const bool written = window ? kind.windowWrites : kind.coreWrites;
    const std::set<std::string> names = Names(base);
    const std::string bytes = std::string(kind.name) == "full disk" ? std::string(128 << 10, 'x') : "new";
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
        writers[window ? 2 : std::string(writerName) == "by name" ? 1 : 0](target, bytes);
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
    if (S_ISREG(after.st_mode) || S_ISLNK(after.st_mode)) {
        EXPECT_EQ(Read(target), written ? bytes : std::string("old"));
    }
    if (S_ISREG(after.st_mode)) {
        EXPECT_EQ(after.st_mode & 0777, before.st_mode ? before.st_mode & 0777 : 0666 & ~Umask());
    }
    if (S_ISFIFO(after.st_mode) && !window) {
        EXPECT_EQ(piped, bytes);
    }
    auto expected = names;
    expected.insert(target.string());
    EXPECT_EQ(Names(base), expected);
    fs::remove_all(base.parent_path());
}

std::vector<Row> Rows() {
    std::vector<Row> rows;
    for (const char* writer : {"bytes", "by name"
#ifdef KORVANE_WINDOW_WRITER
                               ,
                               "window"
#endif
         })
        for (const Kind& kind : kKinds)
            rows.push_back({writer, kind});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(EachTarget, Writers, ::testing::ValuesIn(Rows()), [](const auto& info) {
    std::string name = std::string(info.param.writer) + "_" + info.param.kind.name;
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
});

} // namespace
} // namespace korvane
