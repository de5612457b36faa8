// Rooms whose calculation fails part-way through the period, some of them found by the engine's fuzzer:
// over shared sky hours the calculation raises what it raises without them, from the same hour on.
#include "EngineTestSupport.h"
#include "JahrEnergie.h"
#include "modLangConstants.h"

#include <functional>
#include <limits>
#include <ostream>

namespace korvane {
namespace {

using test::ErrorOf;
using test::StartValues;

struct Edge {
    const char* name;
    std::function<void(clsInputOutput&)> change;
    int32_t error; // what both calculations raise
};

void PrintTo(const Edge& edge, std::ostream* os) {
    *os << edge.name;
}

class SharedSkyEdge : public testing::TestWithParam<Edge> {
  protected:
    void SetUp() override { gLanguage = 2; }
    void TearDown() override { gLanguage = 0; }
};

TEST_P(SharedSkyEdge, RaisesWhatTheSiteRaises) {
    clsInputOutput own = StartValues();
    GetParam().change(own);
    clsInputOutput shared = own;
    const auto sky = JahrEnergie::GetSkyHours(own.Longitude, own.Latitude, own.TimeDiffGMT, own.BeginHour,
                                              own.EndHour, own.CalcPeriod);
    const auto ownError = ErrorOf([&] { own.CalculateEnergySaving(); });
    const auto sharedError = ErrorOf([&] { shared.CalculateEnergySaving(sky); });
    ASSERT_TRUE(ownError.has_value() && sharedError.has_value());
    EXPECT_EQ(ownError->Number(), GetParam().error) << ownError->Description();
    EXPECT_EQ(sharedError->Number(), ownError->Number()) << sharedError->Description();
    EXPECT_EQ(sharedError->Description(), ownError->Description());
    EXPECT_EQ(sharedError->Source(), ownError->Source());
}

// gmt -32768 makes the clock hour minus the GMT difference overflow 16 bits from some hour on; without any
// illuminance to reach, a dimmed hour divides by zero as soon as it needs light.
INSTANTIATE_TEST_SUITE_P(
    Rooms, SharedSkyEdge,
    testing::Values(Edge{"DimmedDivisionBeforeTheHourOverflows",
                         [](clsInputOutput& p) {
                             p.BeginHour = -2;
                             p.TimeDiffGMT = -32768;
                             p.NominalIlluminance = 0;
                             p.Transmittance = -80; // light is needed at every hour
                             p.DimmingLimits = {0.3, 0.1, Dimming::Control::Continuous};
                         },
                         ErrDivisionByZero},
                    Edge{"HourOverflowsAtTheFirstHour",
                         [](clsInputOutput& p) {
                             p.TimeDiffGMT = -32768;
                             p.DimmingLimits = {0.3, 0.1, Dimming::Control::ContinuousOff};
                         },
                         ErrOverflow},
                    Edge{"HourOverflowsPartWayThroughTheDay",
                         [](clsInputOutput& p) {
                             p.BeginHour = -2;
                             p.TimeDiffGMT = -32768;
                         },
                         ErrOverflow},
                    Edge{"NoWorkingHoursInAMonthThatDoesNotExist",
                         [](clsInputOutput& p) { p.CalcPeriod = 13; }, ErrOverflow},
                    Edge{"LongitudeNotANumber",
                         [](clsInputOutput& p) { p.Longitude = std::numeric_limits<double>::quiet_NaN(); },
                         ErrOverflow}),
    [](const testing::TestParamInfo<Edge>& info) { return std::string(info.param.name); });

} // namespace
} // namespace korvane
