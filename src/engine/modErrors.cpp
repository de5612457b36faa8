#include "modErrors.h"

#include "VbMath.h"

namespace korvane::modErrors {

namespace {
constexpr int32_t kApplicationErrorBase = -2147221504; // 0x80040000 as a signed 32-bit number
}

int32_t GetErrNumber(int32_t n) {
    return vb::Add32(vb::Add32(n, 512), kApplicationErrorBase);
}

} // namespace korvane::modErrors
