#include "VbConvert.h"
#include "VbError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <tuple>
#include <utility>

using namespace korvane;

namespace {

constexpr double kMax = std::numeric_limits<double>::max();

// The number and source of the error that f raises; 0 when it raises none.
int32_t ErrorOf(const std::function<void()>& f, std::string* source = nullptr) {
    try {
        f();
    } catch (const VbError& e) {
        if (source)
            *source = e.Source();
        return e.Number();
    }
    return 0;
}

// Rows: a text under a separator and its value; a refused text; a conversion and its error; a value and its
// rounding; a value, a separator and its text.
using A = std::tuple<const char*, const char*, double>;
using T = std::pair<const char*, const char*>;
using O = std::pair<std::function<void()>, int32_t>;
using H = std::pair<double, int32_t>;
using W = std::tuple<double, const char*, const char*>;

TEST(Conversion, AcceptedSpellingsUnderBothSeparators) {
    for (const auto& [text, separator, value] :
         {A{"8,68", ",", 8.68}, A{"8.68", ".", 8.68}, A{"-16,37", ",", -16.37}, A{"+3", ",", 3.0},
          A{"  50,11\t", ",", 50.11}, A{",5", ",", 0.5}, A{"5,", ",", 5.0}, A{".25", ".", 0.25},
          A{"-0", ".", 0.0}, A{"1E3", ",", 1000.0}, A{"2,5e-2", ",", 0.025}, A{"1e+2", ".", 100.0},
          A{"007", ".", 7.0}, A{"1e-400", ".", 0.0}, A{"1,7976931348623157E308", ",", kMax},
          A{"4,9E-324", ",", std::numeric_limits<double>::denorm_min()},
          A{"0,1000000000000000000000000000001", ",", 0.1}}) {
        EXPECT_TRUE(IsNumeric(text, separator)) << text;
        EXPECT_DOUBLE_EQ(CDbl(text, separator), value) << text;
    }
}

TEST(Conversion, RefusedSpellingsAreNotNumericAndRaiseTypeMismatch) {
    for (const T& row :
         {T{"", ","},    T{"   ", "."},  T{",", ","},       T{"-", ","},       T{"+", "."},
          T{"1.5", ","}, T{"1,5", "."},  T{"1.000,5", ","}, T{"1,000.5", "."}, T{"1,2,3", ","},
          T{"--1", "."}, T{"+-1", "."},  T{"1-", "."},      T{"1 000", "."},   T{"$5", "."},
          T{"5 €", ","}, T{"0x1A", "."}, T{"&H1A", "."},    T{"(5)", "."},     T{"1e", "."},
          T{"1e+", "."}, T{"e5", "."},   T{",e5", ","},     T{"inf", "."},     T{"nan", "."},
          T{"1d5", "."}, T{"1\n", "."},  T{"1,5", ""},      T{"- 1", "."},     T{"1 e5", "."}}) {
        // Plain names: clang 14 lambdas cannot capture structured bindings.
        const char* text = row.first;
        const char* separator = row.second;
        EXPECT_FALSE(IsNumeric(text, separator)) << text;
        std::string source;
        EXPECT_EQ(ErrorOf([&] { CDbl(text, separator); }, &source), ErrTypeMismatch) << text;
        EXPECT_EQ(source, "KORVANE Energy");
        EXPECT_EQ(ErrorOf([&] { CInt(text, separator); }), ErrTypeMismatch) << text;
        EXPECT_EQ(ErrorOf([&] { CLng(text, separator); }), ErrTypeMismatch) << text;
    }
}

TEST(Conversion, ValuesBeyondTheTypeOverflow) {
    int i = 0;
    for (const auto& [call, error] :
         {O{[] { CDbl("1E309", "."); }, ErrOverflow}, O{[] { CDbl("-1,8E308", ","); }, ErrOverflow},
          O{[] { CInt("32768", "."); }, ErrOverflow}, O{[] { CInt("-32769", "."); }, ErrOverflow},
          O{[] { CInt("32767,5", ","); }, ErrOverflow}, O{[] { CLng("2147483648", "."); }, ErrOverflow},
          O{[] { CLng("-2147483649", "."); }, ErrOverflow}, O{[] { CLng(2147483647.5); }, ErrOverflow},
          O{[] { CInt(1e300); }, ErrOverflow}, O{[] { CInt(std::nan("")); }, ErrOverflow},
          O{[] { CInt("32767,49", ","); }, 0}, O{[] { CInt("-32768,5", ","); }, 0},
          O{[] { CLng(-2147483648.5); }, 0}})
        EXPECT_EQ(ErrorOf(call), error) << "case " << i++;
    EXPECT_FALSE(IsNumeric("1E309", "."));
}

TEST(Conversion, RoundsHalfToEvenFromDoubleAndFromText) {
    for (const auto& [value, expected] :
         {H{2.5, 2}, H{3.5, 4}, H{-2.5, -2}, H{-3.5, -4}, H{0.5, 0}, H{1.5, 2}, H{-0.5, 0},
          H{0.49999999999999994, 0}, H{2.5000000000000004, 3}, H{-0.50000000000000011, -1}, H{7.5, 8},
          H{-1.4, -1}, H{24.0, 24}, H{-32767.6, -32768}}) {
        EXPECT_EQ(CLng(value), expected) << value;
        EXPECT_EQ(CInt(value), expected) << value;
        const std::string text = CStr(value, ",");
        if (CDbl(text, ",") == value) { // the text path only where 15 digits hold the value
            EXPECT_EQ(CInt(text, ","), expected) << text;
        }
    }
}

TEST(Conversion, NumberToTextAsThePlatformWritesIt) {
    for (const auto& [value, separator, text] : {W{8.68, ",", "8,68"},
                                                 W{8.68, ".", "8.68"},
                                                 W{-16.37, ",", "-16,37"},
                                                 W{1.0, ",", "1"},
                                                 W{-24.0, ",", "-24"},
                                                 W{0.0, ",", "0"},
                                                 W{-0.0, ",", "0"},
                                                 W{0.1 + 0.2, ",", "0,3"},
                                                 W{1.0 / 3.0, ".", "0.333333333333333"},
                                                 W{2.0 / 3.0, ",", "0,666666666666667"},
                                                 W{1234567.891, ",", "1234567,891"},
                                                 W{123456789012345.0, ".", "123456789012345"},
                                                 W{1e15, ".", "1E+15"},
                                                 W{1.5e15, ",", "1,5E+15"},
                                                 W{0.0001, ",", "0,0001"},
                                                 W{0.00001, ",", "1E-05"},
                                                 W{-2.5e-10, ".", "-2.5E-10"},
                                                 W{1e100, ".", "1E+100"},
                                                 W{kMax, ",", "1,79769313486232E+308"},
                                                 W{9.9999999999999999, ".", "10"},
                                                 W{999999999999999.9, ".", "1E+15"},
                                                 W{100.0, ".", "100"},
                                                 W{50.11, "\xD9\xAB",
                                                   "50\xD9\xAB"
                                                   "11"}})
        EXPECT_EQ(CStr(value, separator), text) << value;
}

} // namespace
