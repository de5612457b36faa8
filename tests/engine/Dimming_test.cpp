// Dimming limits: the power curve at single hours, and whole periods that can be worked out by hand.
#include "Dimming.h"
#include "EngineTestSupport.h"
#include "JahrEnergie.h"

namespace korvane {
namespace {

using Dimming::Control;
using Dimming::Limits;

constexpr Limits kPlain{};
constexpr Limits kGear{0.1, 0.2, Control::Continuous};
constexpr Limits kGearOff{0.1, 0.2, Control::ContinuousOff};

TEST(PowerCurve, RisesFromTheMinimumToFullPower) {
    // Gear: idles at its minimum up to the minimum light level, then 0.1 + 0.4 x 0.9 / 0.8 at 0.6.
    const std::tuple<double, Limits, double> cases[] = {{0.5, kPlain, 0.5},
                                                        {0.0, kPlain, 0.0},
                                                        {1.0, kPlain, 1.0},
                                                        {0.0, kGear, 0.1},
                                                        {0.2, kGear, 0.1},
                                                        {0.6, kGear, 0.55},
                                                        {1.0, kGear, 1.0},
                                                        {0.0, kGearOff, 0.0},
                                                        {0.1, kGearOff, 0.1},
                                                        {0.6, kGearOff, 0.55},
                                                        {0.0, Limits{0, 0, Control::ContinuousOff}, 0.0}};
    for (const auto& [needed, limits, power] : cases)
        EXPECT_DOUBLE_EQ(Dimming::PowerFraction(needed, limits), power)
            << needed << " " << limits.minPowerFraction << " " << int(limits.control);
}

double Saving(double f, int32_t En, int16_t period, const Limits& limits, int16_t begin = 8,
              int16_t end = 17) {
    return Dimming::CalculatePeriodSavingDimmed(8.68, 50.11, 1, begin, end, f, En, period, limits);
}

TEST(DimmedPeriod, PlainLimitsAreTheModelsOwnResultToTheBit) {
    for (int16_t period : {0, 1, 6, 12})
        for (double f : {0.0, 0.01, 0.0349, 0.2})
            EXPECT_EQ(Saving(f, 500, period, kPlain),
                      JahrEnergie::CalculatePeriodSaving(8.68, 50.11, 1, 8, 17, f, 500, period));
}

TEST(DimmedPeriod, WorkedOutByHandAndLimitCases) {
    // From 0:00 to 1:00 the sky gives 300 lx all year: f = 0.5 leaves 350 of 500 lx, FL = 0.7.
    EXPECT_NEAR(Saving(0.5, 500, 0, kPlain, 0, 1), 0.3, 1e-12);
    EXPECT_NEAR(Saving(0.5, 500, 0, kGear, 0, 1), 1 - (0.1 + 0.5 * 0.9 / 0.8), 1e-12);
    EXPECT_NEAR(Saving(0.5, 500, 2, kGearOff, 0, 1), 1 - (0.1 + 0.5 * 0.9 / 0.8), 1e-12);
    EXPECT_EQ(Saving(0.0, 500, 0, kGear), 0.0);          // no daylight: full power every hour
    EXPECT_NEAR(Saving(5.0, 500, 0, kGear), 0.9, 1e-12); // daylight always enough: the minimum power remains
    EXPECT_EQ(Saving(5.0, 500, 0, kGearOff), 1.0);       // ... unless the gear switches off
    // Gear that draws more than its light share when dimmed saves less than the model; switching off helps.
    constexpr Limits lossy{0.2, 0.1, Control::Continuous}, lossyOff{0.2, 0.1, Control::ContinuousOff};
    EXPECT_LT(Saving(0.0349, 500, 0, lossy), Saving(0.0349, 500, 0, kPlain));
    EXPECT_GT(Saving(0.0349, 500, 6, lossyOff), Saving(0.0349, 500, 6, lossy));
}

TEST(DimmedPeriod, ErrorsMatchTheModel) {
    EXPECT_VB_ERROR(Saving(0.02, 0, 0, kGear), ErrOverflow);              // 0 / 0 at the first hour
    EXPECT_VB_ERROR(Saving(0.02, 500, 13, kGear), ErrOverflow);           // no working hours at all
    EXPECT_VB_ERROR(Saving(0.02, 500, 0, kGear, 0, -32768), ErrOverflow); // 16-bit working hours
}

} // namespace
} // namespace korvane
