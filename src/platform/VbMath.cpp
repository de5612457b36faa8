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

} // namespace korvane::vb
