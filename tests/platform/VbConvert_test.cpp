#include "VbConvert.h"
#include "VbError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

using namespace korvane;

namespace {

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

struct Accepted {
    const char* text;
    const char* separator;
    double value;
};

class AcceptedSpelling : public testing::TestWithParam<Accepted> {};

TEST_P(AcceptedSpelling, IsNumericAndConverts) {
    const Accepted& c = GetParam();
    EXPECT_TRUE(IsNumeric(c.text, c.separator));
    EXPECT_DOUBLE_EQ(CDbl(c.text, c.separator), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    BothSeparators, AcceptedSpelling,
    testing::Values(Accepted{"8,68", ",", 8.68}, Accepted{"8.68", ".", 8.68}, Accepted{"-16,37", ",", -16.37},
                    Accepted{"+3", ",", 3.0}, Accepted{"  50,11\t", ",", 50.11}, Accepted{",5", ",", 0.5},
                    Accepted{"5,", ",", 5.0}, Accepted{".25", ".", 0.25}, Accepted{"-0", ".", 0.0},
                    Accepted{"1E3", ",", 1000.0}, Accepted{"2,5e-2", ",", 0.025},
                    Accepted{"1e+2", ".", 100.0}, Accepted{"007", ".", 7.0}, Accepted{"1e-400", ".", 0.0},
                    Accepted{"1,7976931348623157E308", ",", std::numeric_limits<double>::max()},
                    Accepted{"4,9E-324", ",", std::numeric_limits<double>::denorm_min()},
                    Accepted{"0,1000000000000000000000000000001", ",", 0.1}));

struct Refused {
    const char* text;
    const char* separator;
};

class RefusedSpelling : public testing::TestWithParam<Refused> {};

TEST_P(RefusedSpelling, IsNotNumericAndRaisesTypeMismatch) {
    const Refused& c = GetParam();
    EXPECT_FALSE(IsNumeric(c.text, c.separator));
    std::string source;
    EXPECT_EQ(ErrorOf([&] { CDbl(c.text, c.separator); }, &source), ErrTypeMismatch);
    EXPECT_EQ(source, "KORVANE Energy");
    EXPECT_EQ(ErrorOf([&] { CInt(c.text, c.separator); }), ErrTypeMismatch);
    EXPECT_EQ(ErrorOf([&] { CLng(c.text, c.separator); }), ErrTypeMismatch);
}

INSTANTIATE_TEST_SUITE_P(
    BothSeparators, RefusedSpelling,
    testing::Values(Refused{"", ","}, Refused{"   ", "."}, Refused{",", ","}, Refused{"-", ","},
                    Refused{"+", "."}, Refused{"1.5", ","}, Refused{"1,5", "."}, Refused{"1.000,5", ","},
                    Refused{"1,000.5", "."}, Refused{"1,2,3", ","}, Refused{"--1", "."}, Refused{"+-1", "."},
                    Refused{"1-", "."}, Refused{"1 000", "."}, Refused{"$5", "."}, Refused{"5 €", ","},
                    Refused{"0x1A", "."}, Refused{"&H1A", "."}, Refused{"(5)", "."}, Refused{"1e", "."},
                    Refused{"1e+", "."}, Refused{"e5", "."}, Refused{",e5", ","}, Refused{"inf", "."},
                    Refused{"nan", "."}, Refused{"1d5", "."}, Refused{"1\n", "."}, Refused{"1,5", ""},
                    Refused{"- 1", "."}, Refused{"1 e5", "."}));

TEST(Conversion, ValuesBeyondTheTypeOverflow) {
    struct Case {
        std::function<void()> call;
        int32_t error;
    };
    const Case cases[] = {
        {[] { CDbl("1E309", "."); }, ErrOverflow},
        {[] { CDbl("-1,8E308", ","); }, ErrOverflow},
        {[] { CInt("32768", "."); }, ErrOverflow},
        {[] { CInt("-32769", "."); }, ErrOverflow},
        {[] { CInt("32767,5", ","); }, ErrOverflow},
        {[] { CLng("2147483648", "."); }, ErrOverflow},
        {[] { CLng("-2147483649", "."); }, ErrOverflow},
        {[] { CLng(2147483647.5); }, ErrOverflow},
        {[] { CInt(1e300); }, ErrOverflow},
        {[] { CInt(std::nan("")); }, ErrOverflow},
        {[] { CInt("32767,49", ","); }, 0},
        {[] { CInt("-32768,5", ","); }, 0},
        {[] { CLng(-2147483648.5); }, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ErrorOf(cases[i].call), cases[i].error) << "case " << i;
    EXPECT_FALSE(IsNumeric("1E309", "."));
}

struct Rounding {
    double value;
    int32_t expected;
};

class HalfToEven : public testing::TestWithParam<Rounding> {};

TEST_P(HalfToEven, FromDoubleAndFromText) {
    const Rounding& c = GetParam();
    EXPECT_EQ(CLng(c.value), c.expected);
    EXPECT_EQ(CInt(c.value), c.expected);
    const std::string text = CStr(c.value, ",");
    if (CDbl(text, ",") == c.value) { // the text path only where 15 digits hold the value
        EXPECT_EQ(CInt(text, ","), c.expected) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Halves, HalfToEven,
                         testing::Values(Rounding{2.5, 2}, Rounding{3.5, 4}, Rounding{-2.5, -2},
                                         Rounding{-3.5, -4}, Rounding{0.5, 0}, Rounding{1.5, 2},
                                         Rounding{-0.5, 0}, Rounding{0.49999999999999994, 0},
                                         Rounding{2.5000000000000004, 3}, Rounding{-0.50000000000000011, -1},
                                         Rounding{7.5, 8}, Rounding{-1.4, -1}, Rounding{24.0, 24},
                                         Rounding{-32767.6, -32768}));

struct Written {
    double value;
    const char* separator;
    const char* text;
};

class NumberToText : public testing::TestWithParam<Written> {};

TEST_P(NumberToText, WritesAsThePlatform) {
    const Written& c = GetParam();
    EXPECT_EQ(CStr(c.value, c.separator), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    BothSeparators, NumberToText,
    testing::Values(Written{8.68, ",", "8,68"}, Written{8.68, ".", "8.68"}, Written{-16.37, ",", "-16,37"},
                    Written{1.0, ",", "1"}, Written{-24.0, ",", "-24"}, Written{0.0, ",", "0"},
                    Written{-0.0, ",", "0"}, Written{0.1 + 0.2, ",", "0,3"},
                    Written{1.0 / 3.0, ".", "0.333333333333333"},
                    Written{2.0 / 3.0, ",", "0,666666666666667"}, Written{1234567.891, ",", "1234567,891"},
                    Written{123456789012345.0, ".", "123456789012345"}, Written{1e15, ".", "1E+15"},
                    Written{1.5e15, ",", "1,5E+15"}, Written{0.0001, ",", "0,0001"},
                    Written{0.00001, ",", "1E-05"}, Written{-2.5e-10, ".", "-2.5E-10"},
                    Written{1e100, ".", "1E+100"},
                    Written{std::numeric_limits<double>::max(), ",", "1,79769313486232E+308"},
                    Written{9.9999999999999999, ".", "10"}, Written{999999999999999.9, ".", "1E+15"},
                    Written{100.0, ".", "100"},
                    Written{50.11, "\xD9\xAB",
                            "50\xD9\xAB"
                            "11"}));

} // namespace
