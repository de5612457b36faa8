// Window models against the worked examples of the daylight tables.
#include "EngineTestSupport.h"
#include "QLists.h"
#include "modLangConstants.h"

#include <string>

namespace korvane {
namespace {

using namespace QLists;

const std::string kTooLowEnglish =
    "The active height of the window is too small in relation to the depth of the room";

class WindowModel : public ::testing::Test {
  protected:
    void SetUp() override {
        gLanguage = 2;
        gCalcErrorText.clear();
    }
    void TearDown() override { gLanguage = 0; }
};

struct SideCase {
    const char* name;
    double W, D, h;
    int16_t band;
    double expected;
    bool tooLow; // the depth-ratio message is left
};

class SideWindows : public WindowModel, public ::testing::WithParamInterface<SideCase> {};

TEST_P(SideWindows, ReturnsTwiceTheTabulatedRatio) {
    const auto c = GetParam();
    EXPECT_NEAR(GetSideWindowFactor(c.W, c.D, c.h, c.band), c.expected, 1e-12);
    EXPECT_EQ(gCalcErrorText, c.tooLow ? kTooLowEnglish : std::string());
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SideWindows,
    ::testing::Values(SideCase{"OnNode4", 5, 4, 2, 60, 0.0436, false},
                      SideCase{"BetweenWidthClasses", 8.5, 4, 2, 60, 0.05, false},
                      SideCase{"Exactly7mUses7mColumn", 7, 4, 2, 60, 0.0436, false},
                      SideCase{"Exactly10mUses10mColumn", 10, 4, 2, 60, 0.0564, false},
                      SideCase{"FirstNodeCarriesNoMessage", 5, 2.8, 2, 60, 0.0846, false},
                      SideCase{"LastNodeIsAlreadyOutside", 5, 10, 2, 30, 0.0068, true},
                      SideCase{"ExtrapolatedBelowFirstNode", 5, 2.4, 2, 60, 0.1036, true},
                      SideCase{"Band30Between", 5, 6, 2, 30, 0.0134, false},
                      SideCase{"Band90WideBetweenNodes", 12, 3, 2, 90, 0.1355, false},
                      SideCase{"OnInnerNode", 5, 3.6, 2, 60, 0.052, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowModel, UnknownBandShareLeavesItsMessageAndZero) {
    EXPECT_EQ(GetSideWindowFactor(5, 4, 2, 45), 0.0);
    EXPECT_EQ(gCalcErrorText, "Windowpart not correct");
}

TEST_F(WindowModel, DepthMessageFollowsTheCurrentLanguage) {
    gLanguage = 1;
    GetSideWindowFactor(5, 12, 2, 60);
    EXPECT_EQ(gCalcErrorText, "Die aktive Fensterhöhe ist im Vergleich zur angegeben Raumtiefe sehr klein");
}

struct RoofCase {
    const char* name;
    int type; // 2 flat roof, 3 sawtooth
    double W, D, H, A_or_hg, d;
    int16_t slope;
    double expected;
    const char* message;
};

class RoofModels : public WindowModel, public ::testing::WithParamInterface<RoofCase> {};

TEST_P(RoofModels, InterpolateOverTheRoomIndex) {
    const auto c = GetParam();
    const double m = c.type == 2 ? GetFlatRoofFactor(c.W, c.D, c.H, c.A_or_hg, c.d)
                                 : GetSawtoothFactor(c.W, c.D, c.H, c.A_or_hg, c.d, c.slope);
    EXPECT_NEAR(m, c.expected, 1e-6);
    EXPECT_EQ(gCalcErrorText, c.message);
}

// Flat roof: g = nx * A * ny / (W * D), k = W / (H - 0.8).
INSTANTIATE_TEST_SUITE_P(
    Examples, RoofModels,
    ::testing::Values(RoofCase{"FlatRoofExample", 2, 5, 4, 4, 1, 2, 0, 0.087061, ""},
                      RoofCase{"FlatRoofNarrowCountsOneLight", 2, 1.5, 5, 1.8, 1, 2.5, 0, 2.0 / 7.5 * 0.42649,
                               ""},
                      RoofCase{"FlatRoofIndexExactly1_5", 2, 1.5, 3, 1.8, 1, 1, 0, 3.0 / 4.5 * 0.42649, ""},
                      RoofCase{"FlatRoofIndexExactly100", 2, 100, 1, 1.8, 1, 1, 0, 0.8325, ""},
                      RoofCase{"FlatRoofIndex250", 2, 250, 1, 1.8, 1, 1, 0, 0.8325, ""},
                      RoofCase{"FlatRoofLowIndex", 2, 1, 4, 3, 1, 2, 0, 0.0, "Out of Data Space"},
                      RoofCase{"SawtoothExample90", 3, 5, 4, 4, 1, 5, 90, 0.0323658, ""},
                      RoofCase{"SawtoothExample60", 3, 5, 4, 4, 1, 5, 60, 0.0323658, ""},
                      RoofCase{"SawtoothIndex100", 3, 100, 4, 1.8, 1, 5, 90, 0.2 * 0.31888, ""},
                      RoofCase{"SawtoothLowIndex", 3, 2, 4, 4, 1, 5, 90, 0.0, "Data out of space"},
                      RoofCase{"SawtoothSlope75", 3, 5, 4, 4, 1, 5, 75, 0.0, "Window Angle unknown"}),
    [](const auto& info) { return std::string(info.param.name); });

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

} // namespace
} // namespace korvane
