// Window models against the worked examples of the daylight tables.
#include "EngineTestSupport.h"

#include <string>
#include <tuple>

namespace korvane {
namespace {

using namespace QLists;
using WindowModel = test::InEnglish;

// On a node, between width classes, exactly 7 m and 10 m, first node (no message), last node (already
// outside), extrapolated below the first node, band 30 and 90 between nodes, an inner node, an unknown band.
TEST_F(WindowModel, SideWindowsGiveTwiceTheTabulatedRatio) {
    const std::string tooLow =
        "The active height of the window is too small in relation to the depth of the room";
    const std::tuple<double, double, double, int16_t, double, std::string> cases[] = {
        {5, 4, 2, 60, 0.0436, ""},
        {8.5, 4, 2, 60, 0.05, ""},
        {7, 4, 2, 60, 0.0436, ""},
        {10, 4, 2, 60, 0.0564, ""},
        {5, 2.8, 2, 60, 0.0846, ""},
        {5, 10, 2, 30, 0.0068, tooLow},
        {5, 2.4, 2, 60, 0.1036, tooLow},
        {5, 6, 2, 30, 0.0134, ""},
        {12, 3, 2, 90, 0.1355, ""},
        {5, 3.6, 2, 60, 0.052, ""},
        {5, 4, 2, 45, 0.0, "Windowpart not correct"}};
    for (const auto& [W, D, h, band, expected, message] : cases) {
        gCalcErrorText.clear();
        EXPECT_NEAR(GetSideWindowFactor(W, D, h, band), expected, 1e-12) << W << " " << D << " " << band;
        EXPECT_EQ(gCalcErrorText, message) << W << " " << D << " " << band;
    }
    gLanguage = 1;
    GetSideWindowFactor(5, 12, 2, 60);
    EXPECT_EQ(gCalcErrorText, "Die aktive Fensterhöhe ist im Vergleich zur angegeben Raumtiefe sehr klein");
}

TEST_F(WindowModel, RoofModelsInterpolateOverTheRoomIndex) {
    // Type (2 flat roof, 3 sawtooth), W, D, H, A or hg, d, slope, expected factor, message.
    const std::tuple<int, double, double, double, double, double, int16_t, double, const char*> cases[] = {
        {2, 5, 4, 4, 1, 2, 0, 0.087061, ""},
        {2, 1.5, 5, 1.8, 1, 2.5, 0, 2.0 / 7.5 * 0.42649, ""}, // narrow: one light
        {2, 1.5, 3, 1.8, 1, 1, 0, 3.0 / 4.5 * 0.42649, ""},   // index exactly 1.5
        {2, 100, 1, 1.8, 1, 1, 0, 0.8325, ""},
        {2, 250, 1, 1.8, 1, 1, 0, 0.8325, ""},
        {2, 1, 4, 3, 1, 2, 0, 0.0, "Out of Data Space"},
        {3, 5, 4, 4, 1, 5, 90, 0.0323658, ""},
        {3, 5, 4, 4, 1, 5, 60, 0.0323658, ""},
        {3, 100, 4, 1.8, 1, 5, 90, 0.2 * 0.31888, ""},
        {3, 2, 4, 4, 1, 5, 90, 0.0, "Data out of space"},
        {3, 5, 4, 4, 1, 5, 75, 0.0, "Window Angle unknown"}};
    for (const auto& [type, W, D, H, A, d, slope, expected, message] : cases) {
        gCalcErrorText.clear();
        EXPECT_NEAR(type == 2 ? GetFlatRoofFactor(W, D, H, A, d) : GetSawtoothFactor(W, D, H, A, d, slope),
                    expected, 1e-6)
            << type << " " << W << " " << D << " " << slope;
        EXPECT_EQ(gCalcErrorText, message) << type << " " << W << " " << D << " " << slope;
    }
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

} // namespace
} // namespace korvane
