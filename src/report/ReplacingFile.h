#pragma once
// A file written under a temporary name beside its target and renamed over it only once it is complete, so a
// failed write never leaves a partial file where the user looks for the result.

#include <filesystem>

namespace korvane::report {

class ReplacingFile {
  public:
    // Creates the temporary file; raises 75 "Path/File access error" (with the reason) when the target's
    // folder cannot take it.
    ReplacingFile(std::filesystem::path target, const char* source);
    ~ReplacingFile(); // removes the temporary file unless it was committed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    const std::filesystem::path& TemporaryPath() const { return temporary_; }
    // Puts the finished file in the target's place; raises 75 when that fails.
    void Commit();
    // Raises 75 for the target with the reason given.
    [[noreturn]] void Fail(const std::string& reason) const;

  private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    const char* source_;
    bool committed_ = false;
};

// Writes bytes to target through a ReplacingFile.
void WriteFileReplacing(const std::filesystem::path& target, std::string_view bytes, const char* source);

} // namespace korvane::report
