#pragma once
// Files named as inputs (room files, site files, batch tables, weather files) are read only when they are
// regular files. A FIFO would hold the reader until some writer comes, a device such as /dev/zero never
// ends and a folder reads as nothing, so each is refused before a byte is read. The file is opened without
// waiting and then looked at, so nothing can be swapped in between the check and the reading. Every reader
// of a named file opens it here.

#include <cstdint>
#include <string>

namespace korvane {

class InputFile {
  public:
    enum class Failure { None, NotFound, PermissionDenied, NotRegular, Other };

    // Opens path for reading when it names a regular file; never throws and never blocks.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // Why the file is not open, or why the last read failed.
    Failure Refusal() const { return failure_; }
    // The system's words for it ("No such file or directory", "not a regular file").
    const std::string& Reason() const { return reason_; }
    // Bytes the file had when it was opened.
    uintmax_t Size() const { return size_; }
    // Appends up to maxBytes more bytes of the file to bytes; false on a read error.
    bool ReadAtMost(uintmax_t maxBytes, std::string& bytes);
    // The open descriptor, which the caller closes from now on.
    int Release();

  private:
    void Refuse(Failure failure, std::string reason);

    int fd_ = -1;
    Failure failure_ = Failure::None;
    std::string reason_;
    uintmax_t size_ = 0;
};

} // namespace korvane
