// The calculation driver: results, stored percent and the errors a caller sees.
#include "EngineTestSupport.h"
#include "QLists.h"
#include "modErrors.h"
#include "modLangConstants.h"

#include <cmath>
#include <random>

namespace korvane {
namespace {

using test::ErrorOf;
using test::StartValues;

constexpr int32_t kWrongWindowType = -2147220991, kModelMessage = -2147220982;
constexpr const char* kDriver = "clsInputOutput:CalculateEnergySaving";

class Driver : public ::testing::Test {
  protected:
    void SetUp() override { gLanguage = 2; }
    void TearDown() override { gLanguage = 0; }
};

TEST(ErrNumber, AddsTheApplicationBase) {
    EXPECT_EQ(modErrors::GetErrNumber(1), kWrongWindowType);
    EXPECT_EQ(modErrors::GetErrNumber(10), kModelMessage);
    EXPECT_VB_ERROR(modErrors::GetErrNumber(std::numeric_limits<int32_t>::max()), ErrOverflow);
}

TEST_F(Driver, StartValuesGive69PercentWithOrWithoutDaylightSavingTime) {
    auto p = StartValues(), summer = StartValues();
    summer.DaylightSavingTime = true;
    EXPECT_EQ(p.CalculateEnergySaving(), 69);
    EXPECT_EQ(p.StoredPercent(), 69);
    ASSERT_TRUE(p.SavedFraction().has_value());
    EXPECT_NEAR(*p.SavedFraction(), 0.69, 0.005);
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

TEST_F(Driver, UnknownWindowTypeRaisesBeforeAnyModelRuns) {
    for (int16_t type : {0, 4, -1}) {
        auto p = StartValues();
        p.WindowType = type;
        p.WindowDistance = 0; // would divide by zero if a roof model ran
        auto e = ErrorOf([&] { p.CalculateEnergySaving(); });
        ASSERT_TRUE(e);
        EXPECT_EQ(e->Number(), kWrongWindowType);
        EXPECT_EQ(e->Source(), kDriver);
        EXPECT_EQ(e->Description(), "Wrong Window Type");
        EXPECT_FALSE(p.StoredPercent().has_value());
    }
}

// Window type, width, depth, room height, window height, band, slope, message, the percent stored before it.
using MessageCase =
    std::tuple<int16_t, double, double, double, double, int16_t, int16_t, const char*, int16_t>;
class ModelMessages : public Driver, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(ModelMessages, AreRaisedAfterTheResultIsStored) {
    auto p = StartValues();
    const char* message;
    int16_t percent;
    std::tie(p.WindowType, p.RoomWidth, p.RoomDepth, p.RoomHeight, p.WindowHeight, p.WindowArray,
             p.WindowSlope, message, percent) = GetParam();
    if (p.WindowType == 3)
        p.WindowDistance = 5;
    auto e = ErrorOf([&] { p.CalculateEnergySaving(); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Number(), kModelMessage);
    EXPECT_EQ(e->Source(), kDriver);
    EXPECT_EQ(e->Description(), message);
    EXPECT_EQ(p.StoredPercent(), percent);
}

INSTANTIATE_TEST_SUITE_P(
    Models, ModelMessages,
    ::testing::Values(
        MessageCase{2, 1, 4, 3, 2, 60, 90, "Out of Data Space", 0},
        MessageCase{1, 5, 10, 4, 2, 60, 90,
                    "The active height of the window is too small in relation to the depth of the room", 20},
        MessageCase{1, 5, 4, 4, 2, 45, 90, "Windowpart not correct", 0},
        MessageCase{3, 5, 4, 4, 1, 60, 75, "Window Angle unknown", 0},
        MessageCase{3, 2, 4, 4, 1, 60, 90, "Data out of space", 0}));

TEST_F(Driver, ASecondCalculationStartsWithoutTheOldMessage) {
    auto bad = StartValues(), good = StartValues();
    bad.WindowArray = 45;
    EXPECT_TRUE(ErrorOf([&] { bad.CalculateEnergySaving(); }));
    EXPECT_EQ(good.CalculateEnergySaving(), 69);
    EXPECT_EQ(gCalcErrorText, "");
}

TEST_F(Driver, RunTimeErrorsPassUnchangedAndStoreNothing) {
    auto p = StartValues(), q = StartValues();
    p.WindowType = 2;
    p.WindowDistance = 0;
    auto e = ErrorOf([&] { p.CalculateEnergySaving(); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Number(), ErrDivisionByZero);
    EXPECT_EQ(e->Description(), "Division by zero");
    EXPECT_FALSE(p.StoredPercent().has_value());
    EXPECT_FALSE(p.SavedFraction().has_value());
    q.BeginHour = q.EndHour = 9;
    EXPECT_VB_ERROR(q.CalculateEnergySaving(), ErrOverflow);
}

TEST(Percent, RoundsHalvesAwayFromZeroNeverBelowZeroAndOverflowsBeyondSixteenBits) {
    const std::pair<double, int16_t> cases[] = {{0.4249, 42}, {0.4251, 43}, {0.125, 13}, {0.005, 1}, {0.0, 0},
                                                {1.0, 100},   {-0.004, 0},  {-0.3, 0},   {2.13, 100}};
    for (const auto& [fraction, percent] : cases)
        EXPECT_EQ(PercentOf(fraction), percent) << fraction;
    EXPECT_VB_ERROR(PercentOf(-400.0), ErrOverflow);
    EXPECT_VB_ERROR(PercentOf(400.0), ErrOverflow);
}

struct Random {
    std::mt19937_64 rng;
    double Real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
    int Whole(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    int16_t Short(int lo, int hi) { return static_cast<int16_t>(Whole(lo, hi)); }

    // Wide: any value, nonsense included. Otherwise: plausible rooms, with extreme sites now and then.
    clsInputOutput Room(bool wide) {
        const double extremes[] = {1e308, -1e308, std::numeric_limits<double>::quiet_NaN(), 0.0, 1e-300};
        clsInputOutput p;
        p.BeginHour = wide ? Short(-2, 25) : Short(0, 12);
        p.EndHour = wide ? Short(-2, 25) : Short(6, 24);
        p.CalcPeriod = wide ? Short(-1, 13) : Short(0, 13);
        p.RoomDepth = wide ? Real(-1, 30) : Real(1, 15);
        p.RoomWidth = wide ? Real(-1, 30) : Real(1, 30);
        p.NominalIlluminance = wide ? Whole(-100, 2000) : Whole(0, 3) ? Whole(100, 1500) : Whole(-5, 5);
        p.Longitude = wide || Whole(0, 9) ? Real(-180, 180) : extremes[Whole(0, 4)];
        p.Latitude = wide ? Real(-90, 90) : Real(-80, 80);
        p.TimeDiffGMT = wide || Whole(0, 20) ? Short(-12, 14) : int16_t{-32768};
        p.Transmittance = wide ? Short(-10, 110) : Short(0, 100);
        p.WindowType = wide ? Short(0, 4) : Short(0, 3);
        p.WindowArray = (wide ? Short(0, 3) : Short(1, 3)) * 30;
        p.WindowHeight = wide ? Real(0, 5) : Real(0.5, 4);
        p.RoomHeight = wide ? Real(0, 8) : Real(1, 10);
        p.WindowArea = wide ? Real(0, 5) : Real(0.2, 5);
        p.WindowDistance = wide ? Real(0, 10) : Real(0.5, 10);
        p.WindowSlope = wide ? Short(4, 6) * 15 : Whole(0, 1) ? 90 : 60;
        if (!wide && Whole(0, 2) == 0)
            p.DimmingLimits = {Real(0, 0.6), Real(0, 0.6),
                               Whole(0, 1) ? Dimming::Control::Continuous : Dimming::Control::ContinuousOff};
        return p;
    }
};

// Any parameter set ends in a percent 0..100 or a raised error with a number and a source; never NaN, no
// crash.
TEST_F(Driver, RandomParameterSetsEndInAPercentOrAnError) {
    Random r{std::mt19937_64(20261206)};
    int results = 0, errors = 0;
    for (int i = 0; i < 400; ++i) {
        clsInputOutput p = r.Room(true);
        try {
            const int16_t percent = p.CalculateEnergySaving();
            EXPECT_TRUE(percent >= 0 && percent <= 100) << percent;
            ASSERT_TRUE(p.SavedFraction().has_value());
            EXPECT_TRUE(std::isfinite(*p.SavedFraction()));
            ++results;
        } catch (const VbError& e) {
            EXPECT_NE(e.Number(), 0);
            EXPECT_FALSE(e.Source().empty());
            EXPECT_FALSE(e.Description().empty());
            EXPECT_TRUE(p.StoredPercent().value_or(0) >= 0 && p.StoredPercent().value_or(0) <= 100);
            ++errors;
        }
    }
    EXPECT_GT(results, 40); // the sweep must reach the integration, not only the error paths
    EXPECT_GT(errors, 40);
}

struct Outcome {
    std::optional<int16_t> percent;
    std::optional<double> fraction;
    int32_t error = 0;
    std::string description;
    bool operator==(const Outcome&) const = default;
};

template <class Run> Outcome OutcomeOf(clsInputOutput p, Run run) {
    Outcome o;
    try {
        run(p);
    } catch (const VbError& e) {
        o.error = e.Number();
        o.description = e.Description();
    }
    o.percent = p.StoredPercent();
    o.fraction = p.SavedFraction();
    return o;
}

// Rooms that share a site may share its sky hours: every outcome must be the engine's own, to the bit.
TEST_F(Driver, SharedSkyGivesTheEnginesOwnResultForRandomRooms) {
    Random r{std::mt19937_64(424242)};
    int errors = 0;
    for (int i = 0; i < 300; ++i) {
        const clsInputOutput p = r.Room(false);
        const auto sky = JahrEnergie::GetSkyHours(p.Longitude, p.Latitude, p.TimeDiffGMT, p.BeginHour,
                                                  p.EndHour, p.CalcPeriod);
        const Outcome own = OutcomeOf(p, [](clsInputOutput& q) { q.CalculateEnergySaving(); });
        EXPECT_EQ(own, OutcomeOf(p, [&](clsInputOutput& q) { q.CalculateEnergySaving(sky); }))
            << "room " << i;
        errors += own.error != 0;
    }
    EXPECT_GT(errors, 20);
    EXPECT_LT(errors, 200);
}

} // namespace
} // namespace korvane
