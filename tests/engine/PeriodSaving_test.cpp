// Period integration against the reference figures for Frankfurt am Main (tolerance 0.0005 on the fraction),
// and dimming limits: the power curve at single hours, and whole periods that can be worked out by hand.
#include "Dimming.h"
#include "EngineTestSupport.h"
#include "JahrEnergie.h"

#include <limits>
#include <tuple>

namespace korvane {
namespace {

using Dimming::Control;
using Dimming::Limits;

constexpr Limits kPlain{}, kGear{0.1, 0.2, Control::Continuous}, kGearOff{0.1, 0.2, Control::ContinuousOff};
constexpr int32_t kMaxLong = std::numeric_limits<int32_t>::max();

double Frankfurt(double f, int32_t En, int16_t period, int16_t begin = 8, int16_t end = 17) {
    return JahrEnergie::CalculatePeriodSaving(8.68, 50.11, 1, begin, end, f, En, period);
}

double Dimmed(double f, int32_t En, int16_t period, const Limits& limits, int16_t begin = 8,
              int16_t end = 17) {
    return Dimming::CalculatePeriodSavingDimmed(8.68, 50.11, 1, begin, end, f, En, period, limits);
}

TEST(PeriodSaving, MatchesTheReferenceFiguresForTheYearAndMonths) {
    EXPECT_NEAR(Frankfurt(0.02, 500, 0), 0.420, 0.0005);
    EXPECT_NEAR(Frankfurt(0.02, 500, 1), 0.180, 0.0005);
    EXPECT_NEAR(Frankfurt(0.02, 500, 6), 0.652, 0.0005);
    EXPECT_NEAR(Frankfurt(0.02, 500, 12), 0.153, 0.0005);
}

TEST(PeriodSaving, LimitCasesAreExact) {
    EXPECT_EQ(Frankfurt(0.0, 500, 0), 0.0);   // no daylight reaches the room
    EXPECT_EQ(Frankfurt(0.02, -500, 0), 1.0); // a negative nominal illuminance needs nothing
    EXPECT_EQ(Frankfurt(2.0, 500, 0), 1.0);   // 300 lx x 2 already exceeds 500 lx
    EXPECT_EQ(Frankfurt(2.0, 500, 2), 1.0);
    // Night hours see only the overcast minimum; a begin hour of 0 counts once.
    EXPECT_NEAR(Frankfurt(0.02, 500, 0, 0, 1), 0.012, 1e-12);
    EXPECT_NEAR(Frankfurt(0.02, 500, 0, 0, 2), 0.012, 1e-12);
}

TEST(PeriodSaving, MonthsPartitionTheYearsWorkingHours) {
    double weighted = 0.0; // each month divides by its own hours; weighted by their days they give the year
    const int16_t days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int16_t m = 1; m <= 12; ++m)
        weighted += Frankfurt(0.03, 500, m) * days[m - 1];
    EXPECT_NEAR(weighted / 365.0, Frankfurt(0.03, 500, 0), 1e-12);
}

TEST(PeriodSaving, ZeroNormaliserOrIntegerOverflowIsRaisedDimmedOrNot) {
    EXPECT_VB_ERROR(Frankfurt(0.02, 500, 0, 8, 8), ErrOverflow); // 0 / 0
    EXPECT_VB_ERROR(Frankfurt(0.02, 0, 0), ErrOverflow);         // En = 0
    EXPECT_VB_ERROR(Frankfurt(0.02, 500, 13), ErrOverflow);      // no such month: nothing evaluated
    EXPECT_VB_ERROR(Frankfurt(0.02, 500, -1), ErrOverflow);
    EXPECT_VB_ERROR(Frankfurt(0.02, 500, 0, -32768, 17), ErrOverflow); // nH
    EXPECT_VB_ERROR(Frankfurt(0.02, kMaxLong, 1), ErrOverflow);        // days x nH x En
    EXPECT_VB_ERROR(Frankfurt(std::numeric_limits<double>::quiet_NaN(), 500, 1), ErrOverflow);
    EXPECT_VB_ERROR(Dimmed(0.02, 0, 0, kGear), ErrOverflow);              // 0 / 0 at the first hour
    EXPECT_VB_ERROR(Dimmed(0.02, 500, 13, kGear), ErrOverflow);           // no working hours at all
    EXPECT_VB_ERROR(Dimmed(0.02, 500, 0, kGear, 0, -32768), ErrOverflow); // 16-bit working hours
    // The year's normaliser is a double and does not overflow.
    const double s = Frankfurt(0.02, kMaxLong, 0);
    EXPECT_GE(s, 0.0);
    EXPECT_LT(s, 1e-5);
}

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

TEST(DimmedPeriod, PlainLimitsAreTheModelsOwnResultToTheBit) {
    for (int16_t period : {0, 1, 6, 12})
        for (double f : {0.0, 0.01, 0.0349, 0.2})
            EXPECT_EQ(Dimmed(f, 500, period, kPlain), Frankfurt(f, 500, period)) << period << " " << f;
}

TEST(DimmedPeriod, WorkedOutByHandAndLimitCases) {
    // From 0:00 to 1:00 the sky gives 300 lx all year: f = 0.5 leaves 350 of 500 lx, FL = 0.7.
    EXPECT_NEAR(Dimmed(0.5, 500, 0, kPlain, 0, 1), 0.3, 1e-12);
    EXPECT_NEAR(Dimmed(0.5, 500, 0, kGear, 0, 1), 1 - (0.1 + 0.5 * 0.9 / 0.8), 1e-12);
    EXPECT_NEAR(Dimmed(0.5, 500, 2, kGearOff, 0, 1), 1 - (0.1 + 0.5 * 0.9 / 0.8), 1e-12);
    EXPECT_EQ(Dimmed(0.0, 500, 0, kGear), 0.0);          // no daylight: full power every hour
    EXPECT_NEAR(Dimmed(5.0, 500, 0, kGear), 0.9, 1e-12); // daylight always enough: the minimum power remains
    EXPECT_EQ(Dimmed(5.0, 500, 0, kGearOff), 1.0);       // ... unless the gear switches off
    // Gear that draws more than its light share when dimmed saves less than the model; switching off helps.
    constexpr Limits lossy{0.2, 0.1, Control::Continuous}, lossyOff{0.2, 0.1, Control::ContinuousOff};
    EXPECT_LT(Dimmed(0.0349, 500, 0, lossy), Dimmed(0.0349, 500, 0, kPlain));
    EXPECT_GT(Dimmed(0.0349, 500, 6, lossyOff), Dimmed(0.0349, 500, 6, lossy));
}

} // namespace
} // namespace korvane
