// The calculation driver: results, stored percent, the errors a caller sees, and the same outcome over
// shared sky hours.
#include "EngineTestSupport.h"
#include "JahrEnergie.h"
#include "modErrors.h"

#include <limits>
#include <string>
#include <tuple>

namespace korvane {
namespace {

using test::ErrorOf;
using test::StartValues;
using Driver = test::InEnglish;

constexpr int32_t kWrongWindowType = -2147220991, kModelMessage = -2147220982;

TEST(ErrNumber, AddsTheApplicationBase) {
    EXPECT_EQ(modErrors::GetErrNumber(1), kWrongWindowType);
    EXPECT_EQ(modErrors::GetErrNumber(10), kModelMessage);
    EXPECT_VB_ERROR(modErrors::GetErrNumber(std::numeric_limits<int32_t>::max()), ErrOverflow);
}

TEST_F(Driver, StartValuesGive69PercentAfterAFailedRunAndWithDaylightSavingTime) {
    auto bad = StartValues(), p = StartValues(), summer = StartValues();
    bad.WindowArray = 45;
    EXPECT_TRUE(ErrorOf([&] { bad.CalculateEnergySaving(); }));
    EXPECT_EQ(p.CalculateEnergySaving(), 69);
    EXPECT_EQ(gCalcErrorText, "") << "the failed run's message is left over";
    EXPECT_EQ(p.StoredPercent(), 69);
    EXPECT_NEAR(p.SavedFraction().value_or(-1), 0.69, 0.005);
    summer.DaylightSavingTime = true;
    summer.CalculateEnergySaving();
    EXPECT_EQ(summer.SavedFraction(), p.SavedFraction());
}

TEST_F(Driver, TransmittanceAndIlluminanceLimits) {
    auto dark = StartValues(), negative = StartValues();
    dark.Transmittance = 0; // saves nothing, without an error
    EXPECT_EQ(dark.CalculateEnergySaving(), 0);
    EXPECT_EQ(dark.SavedFraction(), 0.0);
    negative.Transmittance = -80; // both negative: more than everything saved, shown as 100
    negative.NominalIlluminance = -100;
    EXPECT_EQ(negative.CalculateEnergySaving(), 100);
    EXPECT_GT(*negative.SavedFraction(), 1.0);
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
    for (const ErrorCase& c : cases) {
        auto p = StartValues();
        int32_t error;
        std::string text, source;
        std::optional<int16_t> kept;
        std::tie(p.WindowType, p.RoomWidth, p.RoomDepth, p.RoomHeight, p.WindowHeight, p.WindowArray,
                 p.WindowSlope, p.WindowDistance, error, text, source, kept) = c;
        const auto e = ErrorOf([&] { p.CalculateEnergySaving(); });
        ASSERT_TRUE(e) << text;
        EXPECT_EQ(e->Number(), error) << text;
        EXPECT_EQ(e->Description(), text);
        EXPECT_EQ(e->Source(), source) << text;
        EXPECT_EQ(p.StoredPercent(), kept) << text;
        EXPECT_EQ(p.SavedFraction().has_value(), kept.has_value()) << text;
    }
}

TEST(Percent, RoundsHalvesAwayFromZeroNeverBelowZeroAndOverflowsBeyondSixteenBits) {
    const std::pair<double, int16_t> cases[] = {{0.4249, 42}, {0.4251, 43}, {0.125, 13}, {0.005, 1}, {0.0, 0},
                                                {1.0, 100},   {-0.004, 0},  {-0.3, 0},   {2.13, 100}};
    for (const auto& [fraction, percent] : cases)
        EXPECT_EQ(PercentOf(fraction), percent) << fraction;
    EXPECT_VB_ERROR(PercentOf(-400.0), ErrOverflow);
    EXPECT_VB_ERROR(PercentOf(400.0), ErrOverflow);
}

// What a calculation leaves: the stored percent and fraction, and the number, text and source of its error.
template <class Run> auto OutcomeOf(clsInputOutput p, Run run) {
    const auto e = ErrorOf([&] { run(p); });
    return std::tuple(p.StoredPercent(), p.SavedFraction(), e ? e->Number() : 0, e ? e->Description() : "",
                      e ? e->Source() : "");
}

// Rooms that share a site may share its sky hours: the outcome must be the engine's own, an error raised at
// the same hour included. gmt -32768 makes the clock hour minus the GMT difference overflow 16 bits from some
// hour on; without any illuminance to reach, a dimmed hour divides by zero as soon as it needs light.
TEST_F(Driver, SharedSkyHoursGiveTheEnginesOwnOutcome) {
    using Dimming::Control;
    const struct Room { // start values unless named
        int16_t begin = 8, end = 17, gmt = 1, period = 0, transmittance = 80;
        int32_t illuminance = 500;
        double depth = 4, longitude = 8.68;
        Dimming::Limits limits{};
        int32_t error = 0;
    } rooms[] = {
        {},
        {.limits = {0.3, 0.1, Control::Continuous}},
        {.period = 6, .limits = {0.2, 0.3, Control::ContinuousOff}},
        {.depth = 10, .error = kModelMessage},
        // Light is needed at every hour: the dimmed division comes before the hour overflows.
        {.begin = -2,
         .gmt = -32768,
         .transmittance = -80,
         .illuminance = 0,
         .limits = {0.3, 0.1, Control::Continuous},
         .error = ErrDivisionByZero},
        {.gmt = -32768,
         .limits = {0.3, 0.1, Control::ContinuousOff},
         .error = ErrOverflow},                             // at the first hour
        {.begin = -2, .gmt = -32768, .error = ErrOverflow}, // part-way through the day
        {.end = 8, .error = ErrOverflow},                   // no working hours
        {.period = 13, .error = ErrOverflow},
        {.longitude = std::numeric_limits<double>::quiet_NaN(), .error = ErrOverflow},
    };
    for (const Room& r : rooms) {
        clsInputOutput p = StartValues();
        p.BeginHour = r.begin, p.EndHour = r.end, p.TimeDiffGMT = r.gmt, p.CalcPeriod = r.period;
        p.Transmittance = r.transmittance, p.NominalIlluminance = r.illuminance, p.RoomDepth = r.depth;
        p.Longitude = r.longitude, p.DimmingLimits = r.limits;
        const auto sky = JahrEnergie::GetSkyHours(p.Longitude, p.Latitude, p.TimeDiffGMT, p.BeginHour,
                                                  p.EndHour, p.CalcPeriod);
        const auto own = OutcomeOf(p, [](clsInputOutput& q) { q.CalculateEnergySaving(); });
        const auto where = "room " + std::to_string(&r - rooms);
        EXPECT_EQ(std::get<2>(own), r.error) << where << ": " << std::get<3>(own);
        EXPECT_TRUE(OutcomeOf(p, [&](clsInputOutput& q) { q.CalculateEnergySaving(sky); }) == own) << where;
    }
}

} // namespace
} // namespace korvane
