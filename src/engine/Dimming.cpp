#include "Dimming.h"

#include "VbMath.h"

namespace korvane::Dimming {

double PowerFraction(double neededFraction, const Limits& limits) {
    const double P = limits.minPowerFraction;
    const double L = limits.minLightFraction;
    if (limits.control == Control::ContinuousOff && neededFraction <= 0.0)
        return 0.0;
    if (neededFraction <= L)
        return P;
    return vb::Add(P, vb::Div(vb::Mul(vb::Sub(neededFraction, L), vb::Sub(1.0, P)), vb::Sub(1.0, L)));
}

} // namespace korvane::Dimming
