// Period integration against the reference figures for Frankfurt am Main (tolerance 0.0005 on the fraction).
#include "EngineTestSupport.h"
#include "JahrEnergie.h"

#include <limits>

namespace korvane {
namespace {

double Frankfurt(double f, int32_t En, int16_t period, int16_t begin = 8, int16_t end = 17) {
    return JahrEnergie::CalculatePeriodSaving(8.68, 50.11, 1, begin, end, f, En, period);
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

TEST(PeriodSaving, ZeroNormaliserOrIntegerOverflowIsRaised) {
    EXPECT_VB_ERROR(Frankfurt(0.02, 500, 0, 8, 8), ErrOverflow); // 0 / 0
    EXPECT_VB_ERROR(Frankfurt(0.02, 0, 0), ErrOverflow);         // En = 0
    EXPECT_VB_ERROR(Frankfurt(0.02, 500, 13), ErrOverflow);      // no such month: nothing evaluated
    EXPECT_VB_ERROR(Frankfurt(0.02, 500, -1), ErrOverflow);
    EXPECT_VB_ERROR(Frankfurt(0.02, 500, 0, -32768, 17), ErrOverflow);                     // nH
    EXPECT_VB_ERROR(Frankfurt(0.02, std::numeric_limits<int32_t>::max(), 1), ErrOverflow); // days x nH x En
    EXPECT_VB_ERROR(Frankfurt(std::numeric_limits<double>::quiet_NaN(), 500, 1), ErrOverflow);
    // The year's normaliser is a double and does not overflow.
    const double s = Frankfurt(0.02, std::numeric_limits<int32_t>::max(), 0);
    EXPECT_GE(s, 0.0);
    EXPECT_LT(s, 1e-5);
}

} // namespace
} // namespace korvane
