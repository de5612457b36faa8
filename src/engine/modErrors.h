#pragma once
#include <cstdint>

namespace korvane::modErrors {

// Application error numbers: n + 512 + the application error base (hex 80040000), in checked 32-bit
// arithmetic.
int32_t GetErrNumber(int32_t n);

} // namespace korvane::modErrors
