// Sun and sky model against published solar figures (tolerances stated per quantity).
#include "EngineTestSupport.h"
#include "daylight.h"

#include <cmath>
#include <limits>

namespace korvane {
namespace {

using namespace daylight;

constexpr double kLon = 8.68, kLat = 50.11; // Frankfurt am Main
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double Degrees(double radians) {
    return radians * 180.0 / kPi;
}

// Declination and altitude within a hundredth of a degree; the equation of time is in hours, not minutes.
TEST(Sun, MatchesTheSolarTablesAtFrankfurtInMidsummer) {
    EXPECT_NEAR(Degrees(GetDeclination(172 / 365.0)), 23.44, 0.01);
    EXPECT_NEAR(Degrees(GetDeclination(355 / 365.0)), -23.46, 0.01);
    EXPECT_NEAR(Degrees(GetDeclination(1 / 365.0)), -23.07, 0.01);
    EXPECT_NEAR(GetEquationOfTime(1.0), -0.0468, 1e-9);
    EXPECT_NEAR(GetEquationOfTime(307 / 365.0), 0.273, 0.001);
    EXPECT_NEAR(GetEquationOfTime(80 / 365.0), -0.125, 0.001);
    EXPECT_NEAR(Degrees(GetHourAngle(kLon, 1, 172, 12)), 5.96, 0.01);
    EXPECT_NEAR(Degrees(GetSunAltitude(kLon, kLat, 1, 172, 12)), 62.93, 0.01);
    EXPECT_NEAR(Degrees(GetHourAngle(kLon, 1, 172, 13)), -9.04, 0.01);
    EXPECT_NEAR(Degrees(GetSunAltitude(kLon, kLat, 1, 172, 13)), 62.41, 0.01);
}

TEST(SkyIlluminance, About19000LuxAtMidsummerNoonAndExactly300WithTheSunDown) {
    EXPECT_NEAR(GetSkyIlluminance(kLon, kLat, 1, 172, 12), 18999.0, 1.0);
    EXPECT_EQ(GetSunAltitude(kLon, kLat, 1, 355, 8), 0.0);
    EXPECT_EQ(GetSkyIlluminance(kLon, kLat, 1, 355, 8), 300.0);
    EXPECT_EQ(GetSkyIlluminance(kLon, kLat, 1, 172, 0), 300.0);
}

TEST(ArcSin, ClampsToTheUpperQuadrantAndNeverRaises) {
    const std::pair<double, double> cases[] = {{-0.5, 0.0},    {0.5, kPi / 6}, {1.0, kPi / 2},
                                               {1.5, kPi / 2}, {kNaN, 0.0},    {-INFINITY, 0.0}};
    for (const auto& [s, expected] : cases)
        EXPECT_NEAR(ArcSinClamped(s), expected, 1e-14) << s;
}

TEST(ArtificialLight, TopsDaylightUpToTheNominalIlluminanceAndNeverGoesNegative) {
    EXPECT_EQ(GetArtificialLight(kLon, kLat, 1, 0.0, 500, 172, 12), 500.0);
    EXPECT_EQ(GetArtificialLight(kLon, kLat, 1, 0.1, 500, 172, 12), 0.0);
    EXPECT_DOUBLE_EQ(GetArtificialLight(kLon, kLat, 1, 0.01, 500, 1, 2), 497.0); // night: 1 % of 300 lx
}

TEST(Calendar, UsesA365DayYear) {
    const int16_t cases[][4] = {{1, 1, 1, 31},    {1, 2, 32, 28}, {1, 3, 60, 31}, {31, 12, 365, 31},
                                {1, 12, 335, 31}, {1, 13, 0, 0},  {1, 0, 0, 0},   {1, -1, 0, 0}};
    for (const auto& [day, month, dayOfYear, daysOfMonth] : cases) {
        EXPECT_EQ(GetDayOfYear(day, month), dayOfYear) << day << "." << month;
        EXPECT_EQ(GetDaysOfMonth(month), daysOfMonth) << month;
    }
}

TEST(DaylightErrors, SixteenBitOverflowsAndNonNumbersAreRaised) {
    EXPECT_VB_ERROR(GetDayOfYear(32767, 12), ErrOverflow);
    EXPECT_VB_ERROR(GetHourAngle(kLon, 1, 172, -32768), ErrOverflow);
    EXPECT_VB_ERROR(GetHourAngle(1e308, 1, 172, 12), ErrOverflow);
    EXPECT_VB_ERROR(GetSunAltitude(kLon, kNaN, 1, 172, 12), ErrOverflow);
    EXPECT_VB_ERROR(GetArtificialLight(kLon, kLat, 1, 1e305, 500, 172, 12), ErrOverflow);
}

} // namespace
} // namespace korvane
