// Checked arithmetic: the classic runtime's errors instead of wrapped integers, NaN or infinity.
#include "VbError.h"
#include "VbMath.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace korvane {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The number raised by f (0: none); every raised error carries the runtime's description and source.
int32_t ErrorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        EXPECT_EQ(e.Description(), RuntimeDescription(e.Number()));
        EXPECT_EQ(e.Source(), vb::kRuntimeSource);
        return e.Number();
    }
    return 0;
}

TEST(Arithmetic, RaisesInsteadOfWrappingOrPassingNaNOrInfinity) {
    const struct {
        std::function<void()> op;
        int32_t error;
    } cases[] = {
        {[] { vb::Add16(32767, 0); }, 0},
        {[] { vb::Add16(32767, 1); }, ErrOverflow},
        {[] { vb::Sub16(-32767, 1); }, 0},
        {[] { vb::Sub16(-32768, 1); }, ErrOverflow},
        {[] { vb::Mul16(182, 181); }, ErrOverflow},
        {[] { vb::Mul16(181, 181); }, 0},
        {[] { vb::Mul32(65536, 32768); }, ErrOverflow},
        {[] { vb::Mul32(-65536, 32768); }, 0},
        {[] { vb::Add32(2147483647, 1); }, ErrOverflow},
        {[] { vb::Div(1.0, 0.0); }, ErrDivisionByZero},
        {[] { vb::Div(-3.0, -0.0); }, ErrDivisionByZero},
        {[] { vb::Div(0.0, 0.0); }, ErrOverflow},
        {[] { vb::Div(1e300, 1e-300); }, ErrOverflow},
        {[] { vb::Div(1.0, kInf); }, ErrOverflow},
        {[] { vb::Div(kNaN, 1.0); }, ErrOverflow},
        {[] { vb::Mul(1e200, 1e200); }, ErrOverflow},
        {[] { vb::Add(1.7e308, 1.7e308); }, ErrOverflow},
        {[] { vb::Sub(kInf, kInf); }, ErrOverflow},
        {[] { vb::Mul(1e-300, 1e-300); }, 0}, // underflow is no error
        {[] { vb::Sqrt(-1.0); }, ErrInvalidCall},
        {[] { vb::Sqrt(0.0); }, 0},
        {[] { vb::Log(0.0); }, ErrInvalidCall},
        {[] { vb::Cos(kInf); }, ErrOverflow},
        {[] { vb::Sin(kNaN); }, ErrOverflow},
        {[] { vb::Atn(kNaN); }, ErrOverflow},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ErrorNumber(cases[i].op), cases[i].error) << "case " << i;
}

// Number, description and source of what f raises.
std::string Raised(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        return std::to_string(e.Number()) + " " + e.Description() + " @" + e.Source();
    }
    return "nothing raised";
}

TEST(Errors, PassOnKeepsNumberAndDescriptionAndNumberedDescriptionsNameTheirId) {
    EXPECT_EQ(Raised([] {
                  PassOn("clsGeoFile:OpenGeoFile",
                         [] { RaiseRuntime(ErrTypeMismatch, "modStringHandler:GetParameter"); });
              }),
              "13 Type mismatch @clsGeoFile:OpenGeoFile");
    EXPECT_EQ(Raised([] { RaiseResourceNotFound(-900, "modLangConstants:GetLangString"); }),
              "326 Resource with identifier '-900' not found @modLangConstants:GetLangString");
    EXPECT_EQ(Raised([] { RaiseNoControlArrayElement(8, "frmMain:LoadSettings"); }),
              "340 Control array element '8' doesn't exist @frmMain:LoadSettings");
}

} // namespace
} // namespace korvane
