#pragma once
// Sine, cosine and arctangent that give the same bits in every build (glibc, mingw-w64 and the browser's
// musl differ in the last bit for some arguments), ported from musl. Sin and Cos reduce arguments up to
// 2^20 x pi/2 (about 1.6e6; the engine's stay below 20) and raise 5 beyond; Atan takes any argument.
// A NaN or infinite argument gives NaN as the C library's do.

namespace korvane::trig {

double Sin(double x);
double Cos(double x);
double Atan(double x);

} // namespace korvane::trig
