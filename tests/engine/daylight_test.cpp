// Sun and sky model against published solar figures (tolerances stated per quantity).
#include "EngineTestSupport.h"
#include "daylight.h"

#include <cmath>
#include <limits>

namespace korvane {
namespace {

using namespace daylight;
using test::ErrorOf;

constexpr double kFrankfurtLon = 8.68;
constexpr double kFrankfurtLat = 50.11;

double Degrees(double radians) {
    return radians * 180.0 / kPi;
}

struct DeclinationCase {
    int16_t day;
    double degrees;
};
class Declination : public ::testing::TestWithParam<DeclinationCase> {};

TEST_P(Declination, MatchesTheSolarTablesWithinOneHundredthDegree) {
    EXPECT_NEAR(Degrees(GetDeclination(GetParam().day / 365.0)), GetParam().degrees, 0.01);
}
INSTANTIATE_TEST_SUITE_P(Solstices, Declination,
                         ::testing::Values(DeclinationCase{172, 23.44}, DeclinationCase{355, -23.46},
                                           DeclinationCase{1, -23.07}));

struct EquationCase {
    double x;
    double hours;
    double tolerance;
};
class EquationOfTime : public ::testing::TestWithParam<EquationCase> {};

TEST_P(EquationOfTime, IsInHoursNotMinutes) {
    EXPECT_NEAR(GetEquationOfTime(GetParam().x), GetParam().hours, GetParam().tolerance);
}
INSTANTIATE_TEST_SUITE_P(Year, EquationOfTime,
                         ::testing::Values(EquationCase{1.0, -0.0468, 1e-9},
                                           EquationCase{307 / 365.0, 0.273, 0.001},
                                           EquationCase{80 / 365.0, -0.125, 0.001}));

struct AltitudeCase {
    int16_t day;
    int16_t hour;
    double hourAngleDeg;
    double altitudeDeg;
};
class SunAtFrankfurt : public ::testing::TestWithParam<AltitudeCase> {};

TEST_P(SunAtFrankfurt, HourAngleAndAltitudeWithinOneHundredthDegree) {
    const auto c = GetParam();
    EXPECT_NEAR(Degrees(GetHourAngle(kFrankfurtLon, 1, c.day, c.hour)), c.hourAngleDeg, 0.01);
    EXPECT_NEAR(Degrees(GetSunAltitude(kFrankfurtLon, kFrankfurtLat, 1, c.day, c.hour)), c.altitudeDeg, 0.01);
}
INSTANTIATE_TEST_SUITE_P(Midsummer, SunAtFrankfurt,
                         ::testing::Values(AltitudeCase{172, 12, 5.96, 62.93},
                                           AltitudeCase{172, 13, -9.04, 62.41}));

TEST(SkyIlluminance, MidsummerNoonAtFrankfurtIsAbout19000Lux) {
    EXPECT_NEAR(GetSkyIlluminance(kFrankfurtLon, kFrankfurtLat, 1, 172, 12), 18999.0, 1.0);
}

TEST(SkyIlluminance, IsExactly300LuxWithTheSunBelowTheHorizon) {
    EXPECT_EQ(GetSunAltitude(kFrankfurtLon, kFrankfurtLat, 1, 355, 8), 0.0);
    EXPECT_EQ(GetSkyIlluminance(kFrankfurtLon, kFrankfurtLat, 1, 355, 8), 300.0);
    EXPECT_EQ(GetSkyIlluminance(kFrankfurtLon, kFrankfurtLat, 1, 172, 0), 300.0);
}

struct ArcSinCase {
    double s;
    double expected;
};
class ArcSin : public ::testing::TestWithParam<ArcSinCase> {};

TEST_P(ArcSin, ClampsToTheUpperQuadrantAndNeverRaises) {
    EXPECT_NEAR(ArcSinClamped(GetParam().s), GetParam().expected, 1e-14);
}
INSTANTIATE_TEST_SUITE_P(Values, ArcSin,
                         ::testing::Values(ArcSinCase{-0.5, 0.0}, ArcSinCase{0.5, kPi / 6},
                                           ArcSinCase{0.0, 0.0}, ArcSinCase{1.0, kPi / 2},
                                           ArcSinCase{1.5, kPi / 2},
                                           ArcSinCase{std::numeric_limits<double>::quiet_NaN(), 0.0},
                                           ArcSinCase{-std::numeric_limits<double>::infinity(), 0.0}));

TEST(ArtificialLight, TopsDaylightUpToTheNominalIlluminanceAndNeverGoesNegative) {
    EXPECT_EQ(GetArtificialLight(kFrankfurtLon, kFrankfurtLat, 1, 0.0, 500, 172, 12), 500.0);
    EXPECT_EQ(GetArtificialLight(kFrankfurtLon, kFrankfurtLat, 1, 0.1, 500, 172, 12), 0.0);
    // A night hour: 300 lx outdoors at 1 % gives 3 lx.
    EXPECT_DOUBLE_EQ(GetArtificialLight(kFrankfurtLon, kFrankfurtLat, 1, 0.01, 500, 1, 2), 497.0);
}

struct CalendarCase {
    int16_t day;
    int16_t month;
    int16_t dayOfYear;
    int16_t daysOfMonth;
};
class Calendar : public ::testing::TestWithParam<CalendarCase> {};

TEST_P(Calendar, UsesA365DayYear) {
    const auto c = GetParam();
    EXPECT_EQ(GetDayOfYear(c.day, c.month), c.dayOfYear);
    EXPECT_EQ(GetDaysOfMonth(c.month), c.daysOfMonth);
}
INSTANTIATE_TEST_SUITE_P(Months, Calendar,
                         ::testing::Values(CalendarCase{1, 1, 1, 31}, CalendarCase{1, 2, 32, 28},
                                           CalendarCase{1, 3, 60, 31}, CalendarCase{31, 12, 365, 31},
                                           CalendarCase{1, 12, 335, 31}, CalendarCase{1, 13, 0, 0},
                                           CalendarCase{1, 0, 0, 0}, CalendarCase{1, -1, 0, 0}));

TEST(DaylightErrors, SixteenBitOverflowsAndNonNumbersAreRaised) {
    EXPECT_VB_ERROR(GetDayOfYear(32767, 12), ErrOverflow);
    EXPECT_VB_ERROR(GetHourAngle(kFrankfurtLon, 1, 172, -32768), ErrOverflow);
    EXPECT_VB_ERROR(GetHourAngle(1e308, 1, 172, 12), ErrOverflow);
    EXPECT_VB_ERROR(GetSunAltitude(kFrankfurtLon, std::numeric_limits<double>::quiet_NaN(), 1, 172, 12),
                    ErrOverflow);
    EXPECT_VB_ERROR(GetArtificialLight(kFrankfurtLon, kFrankfurtLat, 1, 1e305, 500, 172, 12), ErrOverflow);
}

} // namespace
} // namespace korvane
