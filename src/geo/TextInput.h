#pragma once
// Sequential text input: a file's bytes as UTF-8 text, split into lines.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The whole file's bytes. Raises 53 "File not found" when it does not exist, 70 "Permission denied" when it
// may not be read and 75 "Path/File access error" for anything but a regular file (a folder, a device, a
// pipe), for a file of more than maxBytes, checked before reading, and for any other failure; with the
// program's run-time source and the file's name in the description.
std::string ReadFileBytes(const std::string& fileName, uintmax_t maxBytes = UINTMAX_MAX);

// The same file handed to take in pieces of at most 64 KiB, one buffer reused, with ReadFileBytes's errors;
// for a reader that need not hold the whole file.
void ReadFileChunks(const std::string& fileName, uintmax_t maxBytes,
                    const std::function<void(std::string_view)>& take);

// Raises ReadFileBytes's 75 for a file of more than maxBytes, for a reader that is given a file's size alone.
void CheckFileSize(const std::string& fileName, uintmax_t size, uintmax_t maxBytes);

// Bytes that are valid UTF-8 stay as they are, without a leading byte-order mark; anything else is read as
// Windows-1252, the code page such files were written in.
std::string DecodeText(std::string_view bytes);

// The length of the strict UTF-8 sequence at the start of bytes, or 0 when none starts there (a stray
// continuation byte, a truncated or overlong form, a surrogate, a code point above U+10FFFF, no bytes at
// all).
size_t Utf8SequenceLength(std::string_view bytes);

// Lines ended by CR LF, LF alone or CR alone; a last line without a line end counts, an end of the text right
// after a line end adds no empty line.
std::vector<std::string_view> SplitLines(std::string_view text);

// Number of characters (code points) of UTF-8 text.
size_t CharacterCount(std::string_view utf8);

} // namespace korvane
