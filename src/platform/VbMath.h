#pragma once
// Checked arithmetic with the classic runtime's rules: 16- and 32-bit signed integers raise 6 "Overflow"
// instead of wrapping, and a Double never carries NaN or infinity: x/0 raises 11, 0/0 and any overflow or
// invalid result raise 6, a square root or logarithm outside its domain raises 5.

#include "PortableTrig.h"
#include "VbError.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace korvane::vb {

// Source of run-time errors raised by plain arithmetic, as the classic runtime labels them: the program.
inline constexpr const char* kRuntimeSource = "KORVANE Energy";

[[noreturn]] void RaiseOverflow();
[[noreturn]] void RaiseDivisionByZero();
[[noreturn]] void RaiseInvalidCall();

template <class T> constexpr T Narrow(int64_t v) {
    if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max())
        RaiseOverflow();
    return static_cast<T>(v);
}

constexpr int16_t Add16(int64_t a, int64_t b) {
    return Narrow<int16_t>(a + b);
}
constexpr int16_t Sub16(int64_t a, int64_t b) {
    return Narrow<int16_t>(a - b);
}
constexpr int16_t Mul16(int64_t a, int64_t b) {
    return Narrow<int16_t>(a * b);
}
constexpr int32_t Add32(int64_t a, int64_t b) {
    return Narrow<int32_t>(a + b);
}
constexpr int32_t Sub32(int64_t a, int64_t b) {
    return Narrow<int32_t>(a - b);
}
constexpr int32_t Mul32(int64_t a, int64_t b) {
    return Narrow<int32_t>(a * b);
}

// A Double result that must be an ordinary number.
inline double Checked(double r) {
    if (!std::isfinite(r)) [[unlikely]]
        RaiseOverflow();
    return r;
}

inline double Add(double a, double b) {
    return Checked(a + b);
}
inline double Sub(double a, double b) {
    return Checked(a - b);
}
inline double Mul(double a, double b) {
    return Checked(a * b);
}

// The error of a quotient that was not an ordinary number: x/0 is 11, anything else (0/0, overflow, an
// operand that is not finite) is 6.
[[noreturn]] void RaiseDivisionError(double a, double b);

inline double Div(double a, double b) {
    const double r = a / b;
    // A finite, non-zero divisor and a finite quotient imply a finite dividend.
    if (!std::isfinite(r) || !std::isfinite(b) || b == 0.0) [[unlikely]]
        RaiseDivisionError(a, b);
    return r;
}

inline double Sqrt(double x) {
    if (std::isnan(x) || x < 0.0)
        RaiseInvalidCall();
    return Checked(std::sqrt(x));
}

inline double Log(double x) {
    if (std::isnan(x) || x <= 0.0)
        RaiseInvalidCall();
    return Checked(std::log(x));
}

inline double Sin(double x) {
    return Checked(trig::Sin(Checked(x)));
}
inline double Cos(double x) {
    return Checked(trig::Cos(Checked(x)));
}
inline double Atn(double x) {
    return trig::Atan(Checked(x));
}

} // namespace korvane::vb
