// The engine against worked values: published solar figures, the daylight tables' examples, reference savings
// for Frankfurt am Main, and the driver's results and errors. All periods in one pass and over shared sky
// hours against single runs are left to the engine fuzzer, which checks them on every input.
#include "Dimming.h"
#include "JahrEnergie.h"
#include "QLists.h"
#include "VbError.h"
#include "clsInputOutput.h"
#include "daylight.h"
#include "modErrors.h"
#include "modLangConstants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <tuple>

namespace korvane {
namespace {

// The error that f raises, or nothing.
std::optional<VbError> ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        return e;
    }
    return std::nullopt;
}

#define EXPECT_VB_ERROR(statement, number)                                                                   \
    do {                                                                                                     \
        auto raised_ = ErrorOf([&] { (void)(statement); });                                                  \
        ASSERT_TRUE(raised_.has_value()) << #statement " raised nothing";                                    \
        EXPECT_EQ(raised_->Number(), (number)) << raised_->Description();                                    \
    } while (0)

// Model messages are compared in English.
class InEnglish : public ::testing::Test {
  protected:
    void SetUp() override {
        gLanguage = 2;
        gCalcErrorText.clear();
    }
    void TearDown() override { gLanguage = 0; }
};

// The main window's start values: side windows, 60 % band, Frankfurt am Main, the whole year.
clsInputOutput StartValues() {
    clsInputOutput p;
    p.BeginHour = 8, p.EndHour = 17, p.NominalIlluminance = 500;
    p.RoomDepth = 4, p.RoomWidth = 5, p.RoomHeight = 4;
    p.Longitude = 8.68, p.Latitude = 50.11, p.TimeDiffGMT = 1;
    p.Transmittance = 80, p.WindowType = 1, p.WindowArray = 60, p.WindowHeight = 2;
    p.WindowArea = 1, p.WindowDistance = 2, p.WindowSlope = 90;
    return p;
}

using namespace daylight;
using namespace QLists;
using Dimming::Control;
using Dimming::Limits;
using WindowModel = InEnglish;

constexpr double kLon = 8.68, kLat = 50.11; // Frankfurt am Main
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int32_t kMaxLong = std::numeric_limits<int32_t>::max();
constexpr Limits kPlain{}, kGear{0.1, 0.2, Control::Continuous}, kGearOff{0.1, 0.2, Control::ContinuousOff},
    kBareOff{0, 0, Control::ContinuousOff};

constexpr double kDegrees = 180.0 / kPi;

// Declination and altitude within a hundredth of a degree; the equation of time is in hours, not minutes.
TEST(SunAndSky, MatchTheSolarTablesAtFrankfurtInMidsummerClampAndRaise) {
    EXPECT_NEAR(GetDeclination(172 / 365.0) * kDegrees, 23.44, 0.01);
    EXPECT_NEAR(GetDeclination(355 / 365.0) * kDegrees, -23.46, 0.01);
    EXPECT_NEAR(GetDeclination(1 / 365.0) * kDegrees, -23.07, 0.01);
    EXPECT_NEAR(GetEquationOfTime(1.0), -0.0468, 1e-9);
    EXPECT_NEAR(GetEquationOfTime(307 / 365.0), 0.273, 0.001);
    EXPECT_NEAR(GetEquationOfTime(80 / 365.0), -0.125, 0.001);
    EXPECT_NEAR(GetHourAngle(kLon, 1, 172, 12) * kDegrees, 5.96, 0.01);
    EXPECT_NEAR(GetSunAltitude(kLon, kLat, 1, 172, 12) * kDegrees, 62.93, 0.01);
    EXPECT_NEAR(GetHourAngle(kLon, 1, 172, 13) * kDegrees, -9.04, 0.01);
    EXPECT_NEAR(GetSunAltitude(kLon, kLat, 1, 172, 13) * kDegrees, 62.41, 0.01);
    // About 19000 lx at midsummer noon and exactly 300 with the sun down; artificial light tops daylight up
    // to the nominal illuminance and never goes negative.
    EXPECT_NEAR(GetSkyIlluminance(kLon, kLat, 1, 172, 12), 18999.0, 1.0);
    EXPECT_EQ(GetSunAltitude(kLon, kLat, 1, 355, 8), 0.0);
    EXPECT_EQ(GetSkyIlluminance(kLon, kLat, 1, 355, 8), 300.0);
    EXPECT_EQ(GetSkyIlluminance(kLon, kLat, 1, 172, 0), 300.0);
    EXPECT_EQ(GetArtificialLight(kLon, kLat, 1, 0.0, 500, 172, 12), 500.0);
    EXPECT_EQ(GetArtificialLight(kLon, kLat, 1, 0.1, 500, 172, 12), 0.0);
    EXPECT_DOUBLE_EQ(GetArtificialLight(kLon, kLat, 1, 0.01, 500, 1, 2), 497.0); // night: 1 % of 300 lx
    // The arcsine clamps to the upper quadrant and never raises; 16-bit overflows and non-numbers raise.
    const std::pair<double, double> cases[] = {{-0.5, 0.0},    {0.5, kPi / 6}, {1.0, kPi / 2},
                                               {1.5, kPi / 2}, {kNaN, 0.0},    {-INFINITY, 0.0}};
    for (const auto& [s, expected] : cases)
        EXPECT_NEAR(ArcSinClamped(s), expected, 1e-14) << s;
    EXPECT_VB_ERROR(GetDayOfYear(32767, 12), ErrOverflow);
    EXPECT_VB_ERROR(GetHourAngle(kLon, 1, 172, -32768), ErrOverflow);
    EXPECT_VB_ERROR(GetHourAngle(1e308, 1, 172, 12), ErrOverflow);
    EXPECT_VB_ERROR(GetSunAltitude(kLon, kNaN, 1, 172, 12), ErrOverflow);
    EXPECT_VB_ERROR(GetArtificialLight(kLon, kLat, 1, 1e305, 500, 172, 12), ErrOverflow);
}

// On a node, between width classes, exactly 7 m and 10 m, first node (no message), last node (already
// outside: the depth-ratio message), extrapolated below the first node, band 30 and 90 between nodes, an
// inner node.
TEST_F(WindowModel, SideWindowsGiveTwiceTheTabulatedRatio) {
    const std::tuple<double, double, double, int16_t, double, bool> cases[] = {
        {5, 4, 2, 60, 0.0436, false},  {8.5, 4, 2, 60, 0.05, false},   {7, 4, 2, 60, 0.0436, false},
        {10, 4, 2, 60, 0.0564, false}, {5, 2.8, 2, 60, 0.0846, false}, {5, 10, 2, 30, 0.0068, true},
        {5, 2.4, 2, 60, 0.1036, true}, {5, 6, 2, 30, 0.0134, false},   {12, 3, 2, 90, 0.1355, false},
        {5, 3.6, 2, 60, 0.052, false}};
    for (const auto& [W, D, h, band, expected, tooLow] : cases) {
        gCalcErrorText.clear();
        EXPECT_NEAR(GetSideWindowFactor(W, D, h, band), expected, 1e-12) << W << " " << D << " " << band;
        EXPECT_EQ(gCalcErrorText,
                  tooLow ? "The active height of the window is too small in relation to the depth of the room"
                         : "")
            << W << " " << D << " " << band;
    }
    EXPECT_EQ(GetSideWindowFactor(5, 4, 2, 45), 0.0);
    EXPECT_EQ(gCalcErrorText, "Windowpart not correct");
    gLanguage = 1;
    GetSideWindowFactor(5, 12, 2, 60);
    EXPECT_EQ(gCalcErrorText, "Die aktive Fensterhöhe ist im Vergleich zur angegeben Raumtiefe sehr klein");
}

// Type (2 flat roof, 3 sawtooth), W, D, H, A or hg, d, slope, expected factor. Flat roofs: a node, a narrow
// room with one light (2 / 7.5 of the first node), an index of exactly 1.5 (3 / 4.5 of it), the last node and
// beyond; sawtooth roofs: a node at 90 and 60 degrees, the last node (a fifth of it). Inputs outside the
// tables are the driver's message cases.
TEST_F(WindowModel, RoofModelsInterpolateOverTheRoomIndex) {
    const std::tuple<int, double, double, double, double, double, int16_t, double> cases[] = {
        {2, 5, 4, 4, 1, 2, 0, 0.087061},      {2, 1.5, 5, 1.8, 1, 2.5, 0, 0.1137307},
        {2, 1.5, 3, 1.8, 1, 1, 0, 0.2843267}, {2, 100, 1, 1.8, 1, 1, 0, 0.8325},
        {2, 250, 1, 1.8, 1, 1, 0, 0.8325},    {3, 5, 4, 4, 1, 5, 90, 0.0323658},
        {3, 5, 4, 4, 1, 5, 60, 0.0323658},    {3, 100, 4, 1.8, 1, 5, 90, 0.063776}};
    for (const auto& [type, W, D, H, A, d, slope, expected] : cases)
        EXPECT_NEAR(type == 2 ? GetFlatRoofFactor(W, D, H, A, d) : GetSawtoothFactor(W, D, H, A, d, slope),
                    expected, 1e-6)
            << type << " " << W << " " << D << " " << slope;
    EXPECT_EQ(gCalcErrorText, "");
}

TEST_F(WindowModel, ArithmeticFaultsAreRaisedBeforeAnyMessage) {
    EXPECT_VB_ERROR(GetFlatRoofFactor(5, 4, 4, 1, 0), ErrDivisionByZero);
    EXPECT_VB_ERROR(GetSawtoothFactor(5, 4, 4, 1, 0, 90), ErrDivisionByZero);
    EXPECT_VB_ERROR(GetSawtoothFactor(5, 4, 0.8, 1, 5, 90), ErrDivisionByZero);
    EXPECT_VB_ERROR(GetFlatRoofFactor(0, 4, 4, 1, 2), ErrDivisionByZero); // no floor area
    EXPECT_VB_ERROR(GetSideWindowFactor(5, 4, 0, 60), ErrDivisionByZero);
    EXPECT_VB_ERROR(GetSideWindowFactor(5, 0, 0, 60), ErrOverflow);   // 0 / 0
    EXPECT_VB_ERROR(GetFlatRoofFactor(5, 1e6, 4, 1, 1), ErrOverflow); // more rows than 16 bits hold
    EXPECT_EQ(gCalcErrorText, "");
}

double Dimmed(double f, int32_t En, int16_t period, const Limits& limits, int16_t begin = 8,
              int16_t end = 17) {
    const JahrEnergie::StandardOvercastSky sky{kLon, kLat, 1, begin, end};
    return JahrEnergie::CalculatePeriod(sky, f, En, period, limits).saving;
}

// f, En, period, working hours, limits; the saving within a tolerance, or NaN for 6 "Overflow". Reference
// figures, exact limit cases (no daylight, a negative En, 300 lx x 2 already above 500 lx), night hours that
// see only the overcast minimum (a begin hour of 0 counts once), hand-worked gear (0:00 to 1:00 with f = 0.5
// leaves 350 of 500 lx: FL = 0.7), and the zero normalisers and integer overflows, dimmed or not.
TEST(PeriodSaving, MatchesTheReferenceFiguresAndHandWorkedCasesOrRaisesAndMonthsMakeTheYear) {
    const double byHand = 1 - (0.1 + 0.5 * 0.9 / 0.8);
    const std::tuple<double, int32_t, int16_t, int16_t, int16_t, Limits, double, double> cases[] = {
        {0.02, 500, 0, 8, 17, kPlain, 0.420, 5e-4},     {0.02, 500, 1, 8, 17, kPlain, 0.180, 5e-4},
        {0.02, 500, 6, 8, 17, kPlain, 0.652, 5e-4},     {0.02, 500, 12, 8, 17, kPlain, 0.153, 5e-4},
        {0.0, 500, 0, 8, 17, kPlain, 0.0, 0},           {0.02, -500, 0, 8, 17, kPlain, 1.0, 0},
        {2.0, 500, 0, 8, 17, kPlain, 1.0, 0},           {2.0, 500, 2, 8, 17, kPlain, 1.0, 0},
        {0.02, 500, 0, 0, 1, kPlain, 0.012, 1e-12},     {0.02, 500, 0, 0, 2, kPlain, 0.012, 1e-12},
        {0.5, 500, 0, 0, 1, kPlain, 0.3, 1e-12},        {0.5, 500, 0, 0, 1, kGear, byHand, 1e-12},
        {0.5, 500, 2, 0, 1, kGearOff, byHand, 1e-12},   {0.0, 500, 0, 8, 17, kGear, 0.0, 0},
        {5.0, 500, 0, 8, 17, kGear, 0.9, 1e-12},        {5.0, 500, 0, 8, 17, kGearOff, 1.0, 0},
        {0.02, 500, 0, 8, 8, kPlain, kNaN, 0},          {0.02, 0, 0, 8, 17, kPlain, kNaN, 0},
        {0.02, 500, 13, 8, 17, kPlain, kNaN, 0},        {0.02, 500, -1, 8, 17, kPlain, kNaN, 0},
        {0.02, 500, 0, -32768, 17, kPlain, kNaN, 0},    {0.02, kMaxLong, 1, 8, 17, kPlain, kNaN, 0},
        {kNaN, 500, 1, 8, 17, kPlain, kNaN, 0},         {0.02, 0, 0, 8, 17, kGear, kNaN, 0},
        {0.02, 500, 13, 8, 17, kGear, kNaN, 0},         {0.02, 500, 0, 0, -32768, kGear, kNaN, 0},
        {0.02, kMaxLong, 0, 8, 17, kPlain, 5e-6, 5e-6}, // the year's normaliser is a double: no overflow
    };
    for (const auto& [f, En, period, begin, end, limits, expected, tolerance] : cases) {
        // Copies, since clang 14 lets no lambda capture a structured binding. Plain limits: the model.
        const auto run = [f = f, En = En, period = period, limits = limits, begin = begin, end = end] {
            return Dimmed(f, En, period, limits, begin, end);
        };
        if (std::isnan(expected))
            EXPECT_VB_ERROR(run(), ErrOverflow);
        else
            EXPECT_NEAR(run(), expected, tolerance) << f << " " << En << " " << period << " " << begin;
    }
    double weighted = 0.0; // each month divides by its own hours; weighted by their days they give the year
    const int16_t days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int16_t m = 1; m <= 12; ++m)
        weighted += Dimmed(0.03, 500, m, kPlain) * days[m - 1];
    EXPECT_NEAR(weighted / 365.0, Dimmed(0.03, 500, 0, kPlain), 1e-12);
}

TEST(PowerCurve, RisesFromTheMinimumToFullPower) {
    // Gear: idles at its minimum up to the minimum light level, then 0.1 + 0.4 x 0.9 / 0.8 at 0.6.
    const std::tuple<double, Limits, double> cases[] = {
        {0.5, kPlain, 0.5},   {0.0, kPlain, 0.0},    {1.0, kPlain, 1.0},  {0.0, kGear, 0.1},
        {0.2, kGear, 0.1},    {0.6, kGear, 0.55},    {1.0, kGear, 1.0},   {0.0, kGearOff, 0.0},
        {0.1, kGearOff, 0.1}, {0.6, kGearOff, 0.55}, {0.0, kBareOff, 0.0}};
    for (const auto& [needed, limits, power] : cases)
        EXPECT_DOUBLE_EQ(Dimming::PowerFraction(needed, limits), power)
            << needed << " " << limits.minPowerFraction << " " << int(limits.control);
}

// Gear that draws more than its light share when dimmed saves less than the model; switching off helps.
TEST(DimmedPeriod, LossyGearSavesLess) {
    constexpr Limits lossy{0.2, 0.1, Control::Continuous}, lossyOff{0.2, 0.1, Control::ContinuousOff};
    EXPECT_LT(Dimmed(0.0349, 500, 0, lossy), Dimmed(0.0349, 500, 0, kPlain));
    EXPECT_GT(Dimmed(0.0349, 500, 6, lossyOff), Dimmed(0.0349, 500, 6, lossy));
}

using Driver = InEnglish;

constexpr int32_t kWrongWindowType = -2147220991, kModelMessage = -2147220982;

TEST_F(Driver, StartValuesGive69PercentAfterAFailedRunWithOrWithoutDaylightSavingTime) {
    auto bad = StartValues(), p = StartValues(), summer = StartValues();
    bad.WindowArray = 45;
    EXPECT_TRUE(ErrorOf([&] { bad.CalculateEnergySaving(); }));
    EXPECT_EQ(p.CalculateEnergySaving(), 69);
    EXPECT_EQ(gCalcErrorText, "") << "the failed run's message is left over";
    EXPECT_NEAR(p.SavedFraction().value_or(-1), 0.69, 0.005);
    summer.DaylightSavingTime = true;
    summer.CalculateEnergySaving();
    EXPECT_EQ(summer.SavedFraction(), p.SavedFraction());
    p.Transmittance = -80, p.NominalIlluminance = -100; // more than everything saved, shown as 100
    EXPECT_EQ(p.CalculateEnergySaving(), 100);
    EXPECT_GT(*p.SavedFraction(), 1.0);
    p.Transmittance = 0, p.NominalIlluminance = 500; // saves nothing, without an error
    EXPECT_EQ(p.CalculateEnergySaving(), 0);
    EXPECT_EQ(p.SavedFraction(), 0.0);
}

// Window type, W, D, room height, window height, band, slope, distance; the error, its text and source, and
// the percent stored before it.
using ErrorCase = std::tuple<int16_t, double, double, double, double, int16_t, int16_t, double, int32_t,
                             const char*, const char*, std::optional<int16_t>>;

TEST_F(Driver, ModelMessagesComeAfterTheResultIsStoredOtherErrorsStoreNothing) {
    constexpr const char* kDriver = "clsInputOutput:CalculateEnergySaving";
    const char* const tooLow =
        "The active height of the window is too small in relation to the depth of the room";
    const ErrorCase cases[] = {
        {2, 1, 4, 3, 2, 60, 90, 2, kModelMessage, "Out of Data Space", kDriver, 0},
        {1, 5, 10, 4, 2, 60, 90, 2, kModelMessage, tooLow, kDriver, 20},
        {1, 5, 4, 4, 2, 45, 90, 2, kModelMessage, "Windowpart not correct", kDriver, 0},
        {3, 5, 4, 4, 1, 60, 75, 5, kModelMessage, "Window Angle unknown", kDriver, 0},
        {3, 2, 4, 4, 1, 60, 90, 5, kModelMessage, "Data out of space", kDriver, 0},
        // Distance 0 would divide by zero if a roof model ran before the type is checked.
        {0, 5, 4, 4, 2, 60, 90, 0, kWrongWindowType, "Wrong Window Type", kDriver, {}},
        {4, 5, 4, 4, 2, 60, 90, 0, kWrongWindowType, "Wrong Window Type", kDriver, {}},
        {-1, 5, 4, 4, 2, 60, 90, 0, kWrongWindowType, "Wrong Window Type", kDriver, {}},
        // Run-time errors pass unchanged.
        {2, 5, 4, 4, 2, 60, 90, 0, ErrDivisionByZero, "Division by zero", vb::kRuntimeSource, {}},
    };
    for (const auto& [type, W, D, H, h, band, slope, d, error, text, source, kept] : cases) {
        auto p = StartValues();
        p.WindowType = type, p.RoomWidth = W, p.RoomDepth = D, p.RoomHeight = H, p.WindowHeight = h;
        p.WindowArray = band, p.WindowSlope = slope, p.WindowDistance = d;
        const auto e = ErrorOf([&] { p.CalculateEnergySaving(); });
        ASSERT_TRUE(e) << text;
        EXPECT_EQ(e->Number(), error) << text;
        EXPECT_EQ(e->Description(), text);
        EXPECT_EQ(e->Source(), source) << text;
        EXPECT_EQ(p.StoredPercent(), kept) << text;
        EXPECT_EQ(p.SavedFraction().has_value(), kept.has_value()) << text;
    }
}

// A sky of one working hour a day (12:00) whose illuminance is 100 lx x the day of the year: with f = 1 and
// 500 lx, days 1 to 4 need 400, 300, 200 and 100 lx and every later day is lit by daylight alone.
TEST(SharedSky, AnySkyFillingTheHoursGivesTheSavingAndTheAutonomyAndAPartialYearIsAnError) {
    JahrEnergie::SkyHours sky;
    sky.sky = JahrEnergie::SkyName::Weather;
    sky.hours = JahrEnergie::GetPeriodHours(12, 13, 0);
    sky.hoursKnown = true;
    for (int N = 1; N <= 365; ++N)
        sky.illuminance.push_back(100.0 * N);
    const auto year = JahrEnergie::CalculateYearAndMonths(std::cref(sky), 1.0, 500);
    EXPECT_EQ(year.value[0].saving, 1 - 1000 / (365 * 500.0));
    EXPECT_EQ(year.value[0].autonomy, 361 / 365.0);
    EXPECT_EQ(year.value[1].saving, 1 - 1000 / (31 * 500.0));
    EXPECT_EQ(year.value[1].autonomy, 27 / 31.0);
    EXPECT_EQ(year.value[2].saving, 1.0);
    EXPECT_EQ(year.value[2].autonomy, 1.0);
    EXPECT_EQ(JahrEnergie::CalculatePeriod(std::cref(sky), 1.0, 500, 0).saving, year.value[0].saving);
    // Hours of another period, or a year cut short without an error, are never made up.
    EXPECT_VB_ERROR(JahrEnergie::CalculatePeriod(std::cref(sky), 1.0, 500, 1), ErrInvalidCall);
    sky.illuminance.pop_back();
    EXPECT_VB_ERROR(JahrEnergie::CalculateYearAndMonths(std::cref(sky), 1.0, 500), ErrInvalidCall);
    for (const auto& outcome : CalculateAllPeriods(StartValues(), sky))
        EXPECT_EQ(outcome.error.value_or(VbError(0, "", "")).Number(), ErrInvalidCall);
}

// The error numbers themselves are checked with the driver's errors.
TEST(Percent, RoundsHalvesAwayFromZeroNeverBelowZeroAndOverflowsLikeTheErrorNumbers) {
    const std::pair<double, int16_t> cases[] = {{0.4249, 42}, {0.4251, 43}, {0.125, 13}, {0.005, 1}, {0.0, 0},
                                                {1.0, 100},   {-0.004, 0},  {-0.3, 0},   {2.13, 100}};
    for (const auto& [fraction, percent] : cases)
        EXPECT_EQ(PercentOf(fraction), percent) << fraction;
    EXPECT_VB_ERROR(PercentOf(-400.0), ErrOverflow);
    EXPECT_VB_ERROR(PercentOf(400.0), ErrOverflow);
    EXPECT_VB_ERROR(modErrors::GetErrNumber(std::numeric_limits<int32_t>::max()), ErrOverflow);
}

} // namespace
} // namespace korvane
