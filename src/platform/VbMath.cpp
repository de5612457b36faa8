#include "VbMath.h"

namespace korvane::vb {

void RaiseOverflow() {
    RaiseRuntime(ErrOverflow, kRuntimeSource);
}
void RaiseDivisionByZero() {
    RaiseRuntime(ErrDivisionByZero, kRuntimeSource);
}
void RaiseInvalidCall() {
    RaiseRuntime(ErrInvalidCall, kRuntimeSource);
}

void RaiseDivisionError(double a, double b) {
    if (b == 0.0 && std::isfinite(a) && a != 0.0)
        RaiseDivisionByZero();
    RaiseOverflow();
}

} // namespace korvane::vb
