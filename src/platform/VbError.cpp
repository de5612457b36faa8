#include "VbError.h"

#include <utility>

namespace korvane {

VbError::VbError(int32_t number, std::string source, std::string description)
    : std::runtime_error(description), number_(number), source_(std::move(source)),
      description_(std::move(description)) {}

std::string RuntimeDescription(int32_t number) {
    switch (number) {
    case ErrInvalidCall:
        return "Invalid procedure call or argument";
    case ErrOverflow:
        return "Overflow";
    case ErrSubscript:
        return "Subscript out of range";
    case ErrDivisionByZero:
        return "Division by zero";
    case ErrTypeMismatch:
        return "Type mismatch";
    case ErrFileNotFound:
        return "File not found";
    case ErrPermissionDenied:
        return "Permission denied";
    case ErrPathFileAccess:
        return "Path/File access error";
    case ErrPrinter:
        return "Printer error";
    default:
        return {};
    }
}

void Raise(int32_t number, std::string source, std::string description) {
    throw VbError(number, std::move(source), std::move(description));
}

void RaiseRuntime(int32_t number, std::string source) {
    throw VbError(number, std::move(source), RuntimeDescription(number));
}

void RaiseResourceNotFound(int32_t id, std::string source) {
    throw VbError(ErrResourceNotFound, std::move(source),
                  "Resource with identifier '" + std::to_string(id) + "' not found");
}

void RaiseNoControlArrayElement(int32_t index, std::string source) {
    throw VbError(ErrControlArray, std::move(source),
                  "Control array element '" + std::to_string(index) + "' doesn't exist");
}

} // namespace korvane
