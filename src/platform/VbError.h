#pragma once
// Errors are raised as exceptions that carry the classic run-time triple: number, source and description.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace korvane {

// Run-time error numbers used throughout the program.
enum RuntimeError : int32_t {
    ErrInvalidCall = 5,
    ErrOverflow = 6,
    ErrSubscript = 9,
    ErrDivisionByZero = 11,
    ErrTypeMismatch = 13,
    ErrFileNotFound = 53,
    ErrPermissionDenied = 70,
    ErrPathFileAccess = 75,
    ErrResourceNotFound = 326,
    ErrControlArray = 340,
    ErrPrinter = 482,
};

class VbError : public std::runtime_error {
  public:
    VbError(int32_t number, std::string source, std::string description);

    int32_t Number() const noexcept { return number_; }
    const std::string& Source() const noexcept { return source_; }
    const std::string& Description() const noexcept { return description_; }

    // The same error passed on under a new source label, as each trapping procedure does.
    VbError WithSource(std::string source) const { return VbError(number_, std::move(source), description_); }

  private:
    int32_t number_;
    std::string source_;
    std::string description_;
};

// The standard description of a run-time error number ("Overflow" for 6); empty for numbers we do not know.
std::string RuntimeDescription(int32_t number);

[[noreturn]] void Raise(int32_t number, std::string source, std::string description);
// Raises a run-time error with its standard description.
[[noreturn]] void RaiseRuntime(int32_t number, std::string source);
// 326 "Resource with identifier '<id>' not found".
[[noreturn]] void RaiseResourceNotFound(int32_t id, std::string source);
// 340 "Control array element '<index>' doesn't exist".
[[noreturn]] void RaiseNoControlArrayElement(int32_t index, std::string source);

// Runs f; any VbError leaving it is passed on with `source` as its new source, keeping number and
// description.
template <class F> decltype(auto) PassOn(const char* source, F&& f) {
    try {
        return f();
    } catch (const VbError& e) {
        throw e.WithSource(source);
    }
}

} // namespace korvane
