#include "GeoTestSupport.h"
#include "clsGeoFile.h"
#include "modStringHandler.h"

#include <gtest/gtest.h>

#include <string>

using namespace korvane;

namespace {

struct Field {
    const char* text;
    const char* delimiter;
    int32_t number;
    const char* expected;
};

class GetParameterFields : public testing::TestWithParam<Field> {};

TEST_P(GetParameterFields, SplitAtTheDelimiter) {
    const Field& c = GetParam();
    EXPECT_EQ(GetParameter(c.text, c.delimiter, c.number), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Fields, GetParameterFields,
                         testing::Values(Field{"a;b;c", ";", 1, "a"}, Field{"a;b;c", ";", 2, "b"},
                                         Field{"a;b;c", ";", 3, "c"}, Field{"a;b;c", ";", 7, "c"},
                                         Field{"a;b;c", ";", 0, "c"}, Field{"a;b;c", ";", -3, "c"},
                                         Field{"a;;c", ";", 2, ""}, Field{";b", ";", 1, ""},
                                         Field{"a;", ";", 2, ""}, Field{"abc", ";", 1, "abc"},
                                         Field{"abc", ";", 4, "abc"}, Field{"abc", ";", 0, "abc"},
                                         Field{" Bad Tölz ;11,56", ";", 1, " Bad Tölz "},
                                         Field{"a::b::c", "::", 2, "b"}, Field{"a:b::c", "::", 1, "a:b"}));

struct Replacement {
    const char* text;
    const char* search;
    const char* replacement;
    const char* expected;
};

class ReplaceCharTexts : public testing::TestWithParam<Replacement> {};

TEST_P(ReplaceCharTexts, ReplaceEveryOccurrence) {
    const Replacement& c = GetParam();
    EXPECT_EQ(clsGeoFile::ReplaceChar(c.text, c.search, c.replacement), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReplaceCharTexts,
    testing::Values(Replacement{"Wien;16,37;48,21;1", ",", ",", "Wien;16,37;48,21;1"},
                    Replacement{"Wien;16,37;48,21;1", ",", ".", "Wien;16.37;48.21;1"},
                    Replacement{"8,68", ",", "\xD9\xAB",
                                "8\xD9\xAB"
                                "68"},
                    Replacement{"Aachen", "a", "x", "xxchen"}, Replacement{"abcABC", "Bc", "-", "a-A-"},
                    Replacement{",,1,,", ",", "", "1"}, Replacement{"a,b", ",", ",,", "a,,b"},
                    Replacement{"aa", "a", "aa", "aaaa"}, Replacement{"text", "", "x", "text"},
                    Replacement{"", ",", ".", ""}, Replacement{"no commas", ",", ".", "no commas"}));

TEST(LongTexts, PositionsBeyondSixteenBitsOverflow) {
    const std::string longest(32767, ',');
    const std::string tooLong(32768, 'x');
    std::string umlauts; // 32767 characters in twice as many bytes
    for (int i = 0; i < 32767; ++i)
        umlauts += "\xC3\xA4";

    EXPECT_EQ(clsGeoFile::ReplaceChar(longest, ",", "."), std::string(32767, '.'));
    const std::string withComma = umlauts.substr(2) + ",";
    EXPECT_EQ(clsGeoFile::ReplaceChar(withComma, ",", ""), umlauts.substr(2));
    EXPECT_EQ(GetParameter(umlauts, ";", 1), umlauts);
    EXPECT_EQ(GetParameter(longest, ",", 32767), "");

    RaisedError e = ErrorOf([&] { clsGeoFile::ReplaceChar(tooLong, ",", "."); });
    EXPECT_EQ(e.number, ErrOverflow);
    EXPECT_EQ(e.source, "clsGeoFile:ReplaceChar");
    e = ErrorOf([&] { clsGeoFile::ReplaceChar(std::string(20000, ','), ",", ".."); });
    EXPECT_EQ(e.number, ErrOverflow) << "the replaced text is too long";
    e = ErrorOf([&] { GetParameter(tooLong, ";", 1); });
    EXPECT_EQ(e.number, ErrOverflow);
    EXPECT_EQ(e.source, "modStringHandler:GetParameter");
    EXPECT_EQ(clsGeoFile::ReplaceChar(tooLong, "x", "x"), tooLong) << "nothing to replace, nothing to count";
}

} // namespace
