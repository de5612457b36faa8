// Checked arithmetic: the classic runtime's errors instead of wrapped integers, NaN or infinity.
#include "VbError.h"
#include "VbMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace korvane {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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

struct IntegerCase {
    const char* name;
    std::function<void()> op;
    int32_t error;
};
class IntegerArithmetic : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerArithmetic, OverflowsRaiseSixAndNeverWrap) {
    EXPECT_EQ(ErrorNumber(GetParam().op), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, IntegerArithmetic,
    ::testing::Values(IntegerCase{"Add16AtMax", [] { vb::Add16(32767, 0); }, 0},
                      IntegerCase{"Add16Past", [] { vb::Add16(32767, 1); }, ErrOverflow},
                      IntegerCase{"Sub16AtMin", [] { vb::Sub16(-32767, 1); }, 0},
                      IntegerCase{"Sub16Past", [] { vb::Sub16(-32768, 1); }, ErrOverflow},
                      IntegerCase{"Mul16Past", [] { vb::Mul16(182, 181); }, ErrOverflow},
                      IntegerCase{"Mul16Inside", [] { vb::Mul16(181, 181); }, 0},
                      IntegerCase{"Mul32Past", [] { vb::Mul32(65536, 32768); }, ErrOverflow},
                      IntegerCase{"Mul32NegativeLimit", [] { vb::Mul32(-65536, 32768); }, 0},
                      IntegerCase{"Add32Past", [] { vb::Add32(2147483647, 1); }, ErrOverflow}),
    [](const auto& info) { return std::string(info.param.name); });

struct DoubleCase {
    const char* name;
    std::function<void()> op;
    int32_t error;
};
class DoubleArithmetic : public ::testing::TestWithParam<DoubleCase> {};

TEST_P(DoubleArithmetic, RaisesInsteadOfPassingNaNOrInfinityOn) {
    EXPECT_EQ(ErrorNumber(GetParam().op), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DoubleArithmetic,
    ::testing::Values(DoubleCase{"NonZeroOverZero", [] { vb::Div(1.0, 0.0); }, ErrDivisionByZero},
                      DoubleCase{"NegativeOverMinusZero", [] { vb::Div(-3.0, -0.0); }, ErrDivisionByZero},
                      DoubleCase{"ZeroOverZero", [] { vb::Div(0.0, 0.0); }, ErrOverflow},
                      DoubleCase{"QuotientOverflows", [] { vb::Div(1e300, 1e-300); }, ErrOverflow},
                      DoubleCase{"FiniteOverInfinity", [] { vb::Div(1.0, kInf); }, ErrOverflow},
                      DoubleCase{"NaNOverOne", [] { vb::Div(kNaN, 1.0); }, ErrOverflow},
                      DoubleCase{"ProductOverflows", [] { vb::Mul(1e200, 1e200); }, ErrOverflow},
                      DoubleCase{"SumOverflows", [] { vb::Add(1.7e308, 1.7e308); }, ErrOverflow},
                      DoubleCase{"InfinityMinusInfinity", [] { vb::Sub(kInf, kInf); }, ErrOverflow},
                      DoubleCase{"UnderflowIsNoError", [] { vb::Mul(1e-300, 1e-300); }, 0},
                      DoubleCase{"SqrtOfNegative", [] { vb::Sqrt(-1.0); }, ErrInvalidCall},
                      DoubleCase{"SqrtOfZero", [] { vb::Sqrt(0.0); }, 0},
                      DoubleCase{"LogOfZero", [] { vb::Log(0.0); }, ErrInvalidCall},
                      DoubleCase{"CosOfInfinity", [] { vb::Cos(kInf); }, ErrOverflow},
                      DoubleCase{"SinOfNaN", [] { vb::Sin(kNaN); }, ErrOverflow},
                      DoubleCase{"AtnOfNaN", [] { vb::Atn(kNaN); }, ErrOverflow}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Errors, PassOnKeepsNumberAndDescriptionUnderTheNewSource) {
    try {
        PassOn("clsGeoFile:OpenGeoFile",
               [] { RaiseRuntime(ErrTypeMismatch, "modStringHandler:GetParameter"); });
        FAIL() << "nothing raised";
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), ErrTypeMismatch);
        EXPECT_EQ(e.Description(), "Type mismatch");
        EXPECT_EQ(e.Source(), "clsGeoFile:OpenGeoFile");
    }
}

TEST(Errors, NumberedDescriptionsNameTheirIdOrIndex) {
    try {
        RaiseResourceNotFound(-900, "modLangConstants:GetLangString");
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), 326);
        EXPECT_EQ(e.Description(), "Resource with identifier '-900' not found");
    }
    try {
        RaiseNoControlArrayElement(8, "frmMain:LoadSettings");
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), 340);
        EXPECT_EQ(e.Description(), "Control array element '8' doesn't exist");
    }
}

} // namespace
} // namespace korvane
