#include "TextInput.h"

#include "InputFile.h"
#include "VbError.h"
#include "VbMath.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace korvane {
namespace {

// Windows-1252 at 0x80 to 0x9F; the five bytes it leaves undefined keep their C1 control code, as Windows
// itself decodes them.
constexpr char32_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool IsValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const size_t length = Utf8SequenceLength(bytes);
        if (length == 0)
            return false;
        bytes.remove_prefix(length);
    }
    return true;
}

} // namespace

size_t Utf8SequenceLength(std::string_view bytes) {
    if (bytes.empty())
        return 0;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

namespace {

[[noreturn]] void FileFault(const std::string& fileName, int32_t number, const std::string& why) {
    Raise(number, vb::kRuntimeSource, RuntimeDescription(number) + ": " + fileName + why);
}

// Refuses what ReadFileBytes refuses before it reads a byte.
void CheckOpened(const InputFile& file, const std::string& fileName, uintmax_t maxBytes) {
    using Failure = InputFile::Failure;
    if (file.Refusal() == Failure::NotFound)
        FileFault(fileName, ErrFileNotFound, "");
    if (file.Refusal() == Failure::PermissionDenied)
        FileFault(fileName, ErrPermissionDenied, "");
    if (file.Refusal() == Failure::NotRegular)
        FileFault(fileName, ErrPathFileAccess, " is not a regular file");
    if (!file.IsOpen())
        FileFault(fileName, ErrPathFileAccess, ": " + file.Reason());
    CheckFileSize(fileName, file.Size(), maxBytes);
}

} // namespace

std::string ReadFileBytes(const std::string& fileName, uintmax_t maxBytes) {
    InputFile file(fileName);
    CheckOpened(file, fileName, maxBytes);
    std::string bytes, more;
    // Growing piece by piece would cost more than parsing a weather file.
    bytes.reserve(static_cast<size_t>(file.Size()));
    // A file that grows while it is read stops at the limit all the same.
    if (!file.ReadAtMost(maxBytes, bytes) || !file.ReadAtMost(1, more))
        FileFault(fileName, ErrPathFileAccess, ": " + file.Reason());
    if (!more.empty())
        CheckFileSize(fileName, UINTMAX_MAX, maxBytes);
    return bytes;
}

void ReadFileChunks(const std::string& fileName, uintmax_t maxBytes,
                    const std::function<void(std::string_view)>& take) {
    constexpr size_t kChunkBytes = 1 << 16;
    InputFile file(fileName);
    CheckOpened(file, fileName, maxBytes);
    std::string chunk;
    chunk.reserve(kChunkBytes);
    for (uintmax_t read = 0;;) {
        chunk.clear();
        // One byte past the limit tells a file that grew while it was read.
        const uintmax_t left = maxBytes - read;
        if (!file.ReadAtMost(left < kChunkBytes ? left + 1 : kChunkBytes, chunk))
            FileFault(fileName, ErrPathFileAccess, ": " + file.Reason());
        if (chunk.empty())
            return;
        read += chunk.size();
        if (read > maxBytes)
            CheckFileSize(fileName, UINTMAX_MAX, maxBytes);
        take(chunk);
    }
}

void CheckFileSize(const std::string& fileName, uintmax_t size, uintmax_t maxBytes) {
    if (size > maxBytes)
        Raise(ErrPathFileAccess, vb::kRuntimeSource,
              RuntimeDescription(ErrPathFileAccess) + ": " + fileName + " is larger than " +
                  std::to_string(maxBytes) + " bytes");
}

std::string DecodeText(std::string_view bytes) {
    if (IsValidUtf8(bytes)) {
        if (bytes.starts_with("\xEF\xBB\xBF"))
            bytes.remove_prefix(3);
        return std::string(bytes);
    }
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 4);
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        AppendUtf8(text, b >= 0x80 && b <= 0x9F ? kWindows1252High[b - 0x80] : char32_t{b});
    }
    return text;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find_first_of("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        const size_t next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
        text.remove_prefix(next);
    }
    return lines;
}

size_t CharacterCount(std::string_view utf8) {
    size_t count = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

} // namespace korvane
