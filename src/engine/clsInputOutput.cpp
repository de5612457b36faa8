#include "clsInputOutput.h"

#include "Dimming.h"
#include "QLists.h"
#include "VbMath.h"
#include "modErrors.h"

#include <algorithm>
#include <cmath>
#include <functional>

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

int16_t clsInputOutput::Calculate(const JahrEnergie::Sky& sky) {
    gCalcErrorText.clear();
    storedPercent_.reset();
    savedFraction_.reset();
    autonomy_.reset();
    const double f = DaylightRatio();
    const auto figures = JahrEnergie::CalculatePeriod(sky, f, NominalIlluminance, CalcPeriod, DimmingLimits);
    const int16_t percent = PercentOf(figures.saving);
    storedPercent_ = percent;
    savedFraction_ = figures.saving;
    autonomy_ = figures.autonomy;
    if (!gCalcErrorText.empty())
        Raise(modErrors::GetErrNumber(kErrModelMessage), kSource, gCalcErrorText);
    return percent;
}

int16_t clsInputOutput::CalculateEnergySaving() {
    return Calculate(OvercastSky());
}

int16_t clsInputOutput::CalculateEnergySaving(const JahrEnergie::SkyHours& sky) {
    return Calculate(std::cref(sky));
}

namespace {

// Each period's outcome from the savings of all periods, in the order a single run raises: what the window
// model or the period's hours raise stops every period; a saving that cannot be shown as a percent stores
// nothing; the model's message follows a stored result.
std::array<PeriodOutcome, kPeriodCount> OutcomesOf(const clsInputOutput& inputs,
                                                   const JahrEnergie::Sky& sky) {
    std::array<PeriodOutcome, kPeriodCount> outcomes;
    JahrEnergie::YearAndMonths s;
    gCalcErrorText.clear();
    try {
        s = JahrEnergie::CalculateYearAndMonths(sky, inputs.DaylightRatio(), inputs.NominalIlluminance,
                                                inputs.DimmingLimits);
    } catch (const VbError& e) {
        for (auto& outcome : outcomes)
            outcome.error = e;
        return outcomes;
    }
    for (size_t p = 0; p < outcomes.size(); ++p) {
        PeriodOutcome& outcome = outcomes[p];
        if (s.error[p]) {
            outcome.error = s.error[p];
            continue;
        }
        try {
            outcome.percent = PercentOf(s.value[p].saving);
            outcome.fraction = s.value[p].saving;
            outcome.autonomy = s.value[p].autonomy;
        } catch (const VbError& e) {
            outcome.error = e;
            continue;
        }
        if (!gCalcErrorText.empty())
            outcome.error = VbError(modErrors::GetErrNumber(kErrModelMessage), kSource, gCalcErrorText);
    }
    return outcomes;
}

} // namespace

std::array<PeriodOutcome, kPeriodCount> CalculateAllPeriods(const clsInputOutput& in) {
    return OutcomesOf(in, in.OvercastSky());
}

std::array<PeriodOutcome, kPeriodCount> CalculateAllPeriods(const clsInputOutput& in,
                                                            const JahrEnergie::SkyHours& yearSky) {
    return OutcomesOf(in, std::cref(yearSky));
}

} // namespace korvane
