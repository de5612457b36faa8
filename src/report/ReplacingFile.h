#pragma once
// The calculator's one writer of files. A regular file (or a new one) is written under a temporary name
// beside its target, flushed to disk and only then renamed over it, so a failed write never leaves a partial
// file and keeps the old one; a FIFO or a character device is written into directly; anything else is
// refused (OutputTarget). Every failure raises 75 "Path/File access error" with the system's reason. The
// temporary file is held for an interrupt to remove (UnfinishedFiles).

#include <filesystem>
#include <string>
#include <string_view>

namespace korvane::report {

class ReplacingFile {
  public:
    // Looks at the target and makes the temporary file beside it, or opens the stream; raises 75 when the
    // target is refused or its folder cannot take the file.
    ReplacingFile(std::filesystem::path target, const char* source);
    ~ReplacingFile(); // removes the temporary file unless it was committed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // For a writer that opens its file by name: what it is to write. For a stream target a file in the
    // temporary folder, copied into the stream at Commit.
    const std::filesystem::path& TemporaryPath();
    // Writes all of bytes (to the temporary file, or into the stream).
    void Write(std::string_view bytes);
    // Puts the finished file in the target's place: on disk first, then renamed over the target.
    void Commit();
    // Raises 75 for the target with the reason given.
    [[noreturn]] void Fail(const std::string& reason) const;

  private:
    void WriteTo(int fd, std::string_view bytes) const;

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    const char* source_;
    int fd_ = -1; // the temporary file, or the stream
    bool stream_ = false;
    bool committed_ = false;
};

// Writes bytes to target through a ReplacingFile.
void WriteFileReplacing(const std::filesystem::path& target, std::string_view bytes, const char* source);

} // namespace korvane::report
