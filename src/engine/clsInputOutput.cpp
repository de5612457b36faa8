#include "clsInputOutput.h"

#include "Dimming.h"
#include "QLists.h"
#include "VbMath.h"
#include "modErrors.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

constexpr const char* kSource = "clsInputOutput:CalculateEnergySaving";
constexpr int32_t kErrWrongWindowType = 1;
constexpr int32_t kErrModelMessage = 10;

} // namespace

double clsInputOutput::DaylightRatio() const {
    double m = 0.0;
    switch (WindowType) {
    case 1:
        m = QLists::GetSideWindowFactor(RoomWidth, RoomDepth, WindowHeight, WindowArray);
        break;
    case 2:
        m = QLists::GetFlatRoofFactor(RoomWidth, RoomDepth, RoomHeight, WindowArea, WindowDistance);
        break;
    case 3:
        m = QLists::GetSawtoothFactor(RoomWidth, RoomDepth, RoomHeight, WindowHeight, WindowDistance,
                                      WindowSlope);
        break;
    default:
        Raise(modErrors::GetErrNumber(kErrWrongWindowType), kSource, "Wrong Window Type");
    }
    return vb::Div(vb::Mul(static_cast<double>(Transmittance), m), 100.0);
}

int16_t PercentOf(double savedFraction) {
    // The format "0" rounds halves away from zero; the text then converts to a 16-bit integer.
    const double rounded = std::round(vb::Mul(savedFraction, 100.0));
    const int16_t percent = vb::Narrow<int16_t>(static_cast<int64_t>(std::clamp(rounded, -1e18, 1e18)));
    // A fraction above 1 needs a negative transmittance and a negative illuminance together; a saving can
    // never exceed everything, so such nonsense is held at 100 just as a negative saving is held at 0.
    return std::clamp<int16_t>(percent, 0, 100);
}

template <class Integrate> int16_t clsInputOutput::Calculate(Integrate&& integrate) {
    gCalcErrorText.clear();
    storedPercent_.reset();
    savedFraction_.reset();
    const double f = DaylightRatio();
    const double s = integrate(f);
    const int16_t percent = PercentOf(s);
    storedPercent_ = percent;
    savedFraction_ = s;
    if (!gCalcErrorText.empty())
        Raise(modErrors::GetErrNumber(kErrModelMessage), kSource, gCalcErrorText);
    return percent;
}

int16_t clsInputOutput::CalculateEnergySaving() {
    return Calculate([&](double f) {
        return Dimming::CalculatePeriodSavingDimmed(Longitude, Latitude, TimeDiffGMT, BeginHour, EndHour, f,
                                                    NominalIlluminance, CalcPeriod, DimmingLimits);
    });
}

int16_t clsInputOutput::CalculateEnergySaving(const JahrEnergie::SkyHours& sky) {
    return Calculate([&](double f) {
        return Dimming::CalculatePeriodSavingDimmed(sky, f, NominalIlluminance, CalcPeriod, DimmingLimits);
    });
}

std::array<PeriodOutcome, kPeriodCount> CalculateAllPeriods(const clsInputOutput& inputs) {
    std::array<PeriodOutcome, kPeriodCount> outcomes;
    for (int16_t period = 0; period < kPeriodCount; ++period) {
        clsInputOutput run = inputs;
        run.CalcPeriod = period;
        PeriodOutcome& outcome = outcomes[static_cast<size_t>(period)];
        try {
            run.CalculateEnergySaving();
        } catch (const VbError& e) {
            outcome.error = e;
        }
        outcome.percent = run.StoredPercent();
        outcome.fraction = run.SavedFraction();
    }
    return outcomes;
}

} // namespace korvane
