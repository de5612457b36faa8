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

constexpr int32_t kWrongWindowType = -2147220991;
constexpr int32_t kModelMessage = -2147220982;
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

TEST_F(Driver, StartValuesGive69Percent) {
    auto p = StartValues();
    EXPECT_EQ(p.CalculateEnergySaving(), 69);
    EXPECT_EQ(p.StoredPercent(), 69);
    ASSERT_TRUE(p.SavedFraction().has_value());
    EXPECT_NEAR(*p.SavedFraction(), 0.69, 0.005);
}

TEST_F(Driver, DaylightSavingFlagDoesNotChangeTheResult) {
    auto a = StartValues();
    auto b = StartValues();
    b.DaylightSavingTime = true;
    a.CalculateEnergySaving();
    b.CalculateEnergySaving();
    EXPECT_EQ(a.SavedFraction(), b.SavedFraction());
}

TEST_F(Driver, ZeroTransmittanceSavesNothingWithoutError) {
    auto p = StartValues();
    p.Transmittance = 0;
    EXPECT_EQ(p.CalculateEnergySaving(), 0);
    EXPECT_EQ(p.SavedFraction(), 0.0);
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

struct MessageCase {
    const char* name;
    int16_t type;
    double width, depth, roomHeight, windowHeight;
    int16_t band, slope;
    const char* message;
    bool storesZero;
};

class ModelMessages : public Driver, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(ModelMessages, AreRaisedAfterTheResultIsStored) {
    const auto c = GetParam();
    auto p = StartValues();
    p.WindowType = c.type;
    p.RoomWidth = c.width;
    p.RoomDepth = c.depth;
    p.RoomHeight = c.roomHeight;
    p.WindowHeight = c.windowHeight;
    p.WindowArray = c.band;
    p.WindowSlope = c.slope;
    if (c.type == 3)
        p.WindowDistance = 5;
    auto e = ErrorOf([&] { p.CalculateEnergySaving(); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Number(), kModelMessage);
    EXPECT_EQ(e->Source(), kDriver);
    EXPECT_EQ(e->Description(), c.message);
    ASSERT_TRUE(p.StoredPercent().has_value());
    if (c.storesZero)
        EXPECT_EQ(*p.StoredPercent(), 0);
    else
        EXPECT_GT(*p.StoredPercent(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Models, ModelMessages,
    ::testing::Values(MessageCase{"FlatRoofLowIndex", 2, 1, 4, 3, 2, 60, 90, "Out of Data Space", true},
                      MessageCase{
                          "SideWindowTooDeep", 1, 5, 10, 4, 2, 60, 90,
                          "The active height of the window is too small in relation to the depth of the room",
                          false},
                      MessageCase{"SideWindowBand", 1, 5, 4, 4, 2, 45, 90, "Windowpart not correct", true},
                      MessageCase{"SawtoothSlope75", 3, 5, 4, 4, 1, 60, 75, "Window Angle unknown", true},
                      MessageCase{"SawtoothLowIndex", 3, 2, 4, 4, 1, 60, 90, "Data out of space", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Driver, ASecondCalculationStartsWithoutTheOldMessage) {
    auto bad = StartValues();
    bad.WindowArray = 45;
    EXPECT_TRUE(ErrorOf([&] { bad.CalculateEnergySaving(); }));
    auto good = StartValues();
    EXPECT_EQ(good.CalculateEnergySaving(), 69);
    EXPECT_EQ(gCalcErrorText, "");
}

TEST_F(Driver, RunTimeErrorsPassUnchangedAndStoreNothing) {
    auto p = StartValues();
    p.WindowType = 2;
    p.WindowDistance = 0;
    auto e = ErrorOf([&] { p.CalculateEnergySaving(); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Number(), ErrDivisionByZero);
    EXPECT_EQ(e->Description(), "Division by zero");
    EXPECT_FALSE(p.StoredPercent().has_value());
    EXPECT_FALSE(p.SavedFraction().has_value());

    auto q = StartValues();
    q.BeginHour = 9;
    q.EndHour = 9;
    EXPECT_VB_ERROR(q.CalculateEnergySaving(), ErrOverflow);
}

struct PercentCase {
    double fraction;
    int16_t percent;
};
class Percent : public ::testing::TestWithParam<PercentCase> {};

TEST_P(Percent, RoundsHalvesAwayFromZeroAndNeverBelowZero) {
    EXPECT_EQ(PercentOf(GetParam().fraction), GetParam().percent);
}
INSTANTIATE_TEST_SUITE_P(Fractions, Percent,
                         ::testing::Values(PercentCase{0.4249, 42}, PercentCase{0.4251, 43},
                                           PercentCase{0.125, 13}, PercentCase{0.005, 1}, PercentCase{0.0, 0},
                                           PercentCase{1.0, 100}, PercentCase{-0.004, 0},
                                           PercentCase{-0.3, 0}, PercentCase{2.13, 100}));

TEST(PercentOverflow, ATextBeyondSixteenBitsIsAnOverflow) {
    EXPECT_VB_ERROR(PercentOf(-400.0), ErrOverflow);
    EXPECT_VB_ERROR(PercentOf(400.0), ErrOverflow);
}

TEST_F(Driver, NegativeTransmittanceAndIlluminanceTogetherStillGiveAtMost100) {
    auto p = StartValues();
    p.Transmittance = -80;
    p.NominalIlluminance = -100;
    EXPECT_EQ(p.CalculateEnergySaving(), 100);
    EXPECT_GT(*p.SavedFraction(), 1.0);
}

// Any parameter set ends in a percent 0..100 or a raised error with a number and a source; never NaN, no
// crash.
TEST_F(Driver, RandomParameterSetsEndInAPercentOrAnError) {
    std::mt19937_64 rng(20261206);
    auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto whole = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int results = 0;
    int errors = 0;
    for (int i = 0; i < 400; ++i) {
        clsInputOutput p;
        p.BeginHour = static_cast<int16_t>(whole(-2, 25));
        p.EndHour = static_cast<int16_t>(whole(-2, 25));
        p.CalcPeriod = static_cast<int16_t>(whole(-1, 13));
        p.RoomDepth = real(-1, 30);
        p.RoomWidth = real(-1, 30);
        p.NominalIlluminance = whole(-100, 2000);
        p.Longitude = real(-180, 180);
        p.Latitude = real(-90, 90);
        p.TimeDiffGMT = static_cast<int16_t>(whole(-12, 14));
        p.Transmittance = static_cast<int16_t>(whole(-10, 110));
        p.WindowType = static_cast<int16_t>(whole(0, 4));
        p.WindowArray = static_cast<int16_t>(whole(0, 3) * 30);
        p.WindowHeight = real(0, 5);
        p.RoomHeight = real(0, 8);
        p.WindowArea = real(0, 5);
        p.WindowDistance = real(0, 10);
        p.WindowSlope = static_cast<int16_t>(whole(4, 6) * 15);
        try {
            const int16_t percent = p.CalculateEnergySaving();
            EXPECT_GE(percent, 0);
            EXPECT_LE(percent, 100);
            ASSERT_TRUE(p.SavedFraction().has_value());
            EXPECT_TRUE(std::isfinite(*p.SavedFraction()));
            ++results;
        } catch (const VbError& e) {
            EXPECT_NE(e.Number(), 0);
            EXPECT_FALSE(e.Source().empty());
            EXPECT_FALSE(e.Description().empty());
            if (p.StoredPercent()) {
                EXPECT_GE(*p.StoredPercent(), 0);
                EXPECT_LE(*p.StoredPercent(), 100);
            }
            ++errors;
        }
    }
    EXPECT_GT(results, 40); // the sweep must reach the integration, not only the error paths
    EXPECT_GT(errors, 40);
}

} // namespace
} // namespace korvane

namespace korvane {
namespace {

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
TEST(SharedSky, GivesTheEnginesOwnResultForRandomRooms) {
    gLanguage = 2;
    std::mt19937_64 rng(424242);
    auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto whole = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const double extremes[] = {1e308, -1e308, std::numeric_limits<double>::quiet_NaN(), 0.0, 1e-300};
    int errors = 0;
    for (int i = 0; i < 300; ++i) {
        clsInputOutput p;
        p.BeginHour = static_cast<int16_t>(whole(0, 12));
        p.EndHour = static_cast<int16_t>(whole(6, 24));
        p.CalcPeriod = static_cast<int16_t>(whole(0, 13));
        p.RoomDepth = real(1, 15);
        p.RoomWidth = real(1, 30);
        p.NominalIlluminance = whole(0, 3) ? whole(100, 1500) : whole(-5, 5);
        p.Longitude = whole(0, 9) ? real(-180, 180) : extremes[whole(0, 4)];
        p.Latitude = real(-80, 80);
        p.TimeDiffGMT = static_cast<int16_t>(whole(0, 20) ? whole(-12, 14) : -32768);
        p.Transmittance = static_cast<int16_t>(whole(0, 100));
        p.WindowType = static_cast<int16_t>(whole(0, 3));
        p.WindowArray = static_cast<int16_t>(whole(1, 3) * 30);
        p.WindowHeight = real(0.5, 4);
        p.RoomHeight = real(1, 10);
        p.WindowArea = real(0.2, 5);
        p.WindowDistance = real(0.5, 10);
        p.WindowSlope = static_cast<int16_t>(whole(0, 1) ? 90 : 60);
        if (whole(0, 2) == 0)
            p.DimmingLimits = {real(0, 0.6), real(0, 0.6),
                               whole(0, 1) ? Dimming::Control::Continuous : Dimming::Control::ContinuousOff};
        const auto sky = JahrEnergie::GetSkyHours(p.Longitude, p.Latitude, p.TimeDiffGMT, p.BeginHour,
                                                  p.EndHour, p.CalcPeriod);
        const Outcome own = OutcomeOf(p, [](clsInputOutput& q) { q.CalculateEnergySaving(); });
        const Outcome shared = OutcomeOf(p, [&](clsInputOutput& q) { q.CalculateEnergySaving(sky); });
        EXPECT_EQ(own, shared) << "room " << i;
        errors += own.error != 0;
    }
    EXPECT_GT(errors, 20);
    EXPECT_LT(errors, 200);
    gLanguage = 0;
}

} // namespace
} // namespace korvane
