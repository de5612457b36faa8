#pragma once
// Dimming limits of real control gear, for studies beyond the plain model in which the lighting dims
// continuously down to nothing. Used by the command line only; the window never sets them.

namespace korvane::Dimming {

enum class Control {
    Continuous,    // the gear stays on at its minimum even when daylight alone is enough
    ContinuousOff, // the gear switches off in hours where daylight alone reaches the nominal illuminance
};

struct Limits {
    double minPowerFraction = 0.0; // P: power drawn at the lowest dimming level, as a fraction of full power
    double minLightFraction = 0.0; // L: light given at the lowest dimming level, as a fraction of full light
    Control control = Control::Continuous;

    // The model's own gear: continuous dimming down to nothing.
    bool IsPlain() const {
        return minPowerFraction == 0.0 && minLightFraction == 0.0 && control == Control::Continuous;
    }
};

// Power drawn, as a fraction of full power, when the fraction FL (0..1) of the nominal light is still needed:
// P up to FL = L, then a straight line to full power at FL = 1; 0 with ContinuousOff when FL is 0.
double PowerFraction(double neededFraction, const Limits& limits);

} // namespace korvane::Dimming
