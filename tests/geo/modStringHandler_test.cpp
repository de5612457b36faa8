#include "GeoTestSupport.h"
#include "clsGeoFile.h"
#include "modStringHandler.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace korvane;

namespace {

using F = std::tuple<const char*, const char*, int32_t, const char*>;     // text, delimiter, number, field
using R = std::tuple<const char*, const char*, const char*, const char*>; // text, search, replacement, result

TEST(GetParameter, SplitsAtTheDelimiter) {
    for (const auto& [text, delimiter, number, expected] :
         {F{"a;b;c", ";", 1, "a"}, F{"a;b;c", ";", 2, "b"}, F{"a;b;c", ";", 3, "c"}, F{"a;b;c", ";", 7, "c"},
          F{"a;b;c", ";", 0, "c"}, F{"a;b;c", ";", -3, "c"}, F{"a;;c", ";", 2, ""}, F{";b", ";", 1, ""},
          F{"a;", ";", 2, ""}, F{"abc", ";", 1, "abc"}, F{"abc", ";", 4, "abc"}, F{"abc", ";", 0, "abc"},
          F{" Bad Tölz ;11,56", ";", 1, " Bad Tölz "}, F{"a::b::c", "::", 2, "b"},
          F{"a:b::c", "::", 1, "a:b"}})
        EXPECT_EQ(GetParameter(text, delimiter, number), expected) << text << " " << number;
}

TEST(ReplaceChar, ReplacesEveryOccurrence) {
    for (const auto& [text, search, replacement, expected] :
         {R{"Wien;16,37;48,21;1", ",", ",", "Wien;16,37;48,21;1"},
          R{"Wien;16,37;48,21;1", ",", ".", "Wien;16.37;48.21;1"},
          R{"8,68", ",", "\xD9\xAB",
            "8\xD9\xAB"
            "68"},
          R{"Aachen", "a", "x", "xxchen"}, R{"abcABC", "Bc", "-", "a-A-"}, R{",,1,,", ",", "", "1"},
          R{"a,b", ",", ",,", "a,,b"}, R{"aa", "a", "aa", "aaaa"}, R{"text", "", "x", "text"},
          R{"", ",", ".", ""}, R{"no commas", ",", ".", "no commas"}})
        EXPECT_EQ(clsGeoFile::ReplaceChar(text, search, replacement), expected) << text << " " << search;
}

TEST(LongTexts, PositionsBeyondSixteenBitsOverflow) {
    const std::string longest(32767, ',');
    const std::string tooLong(32768, 'x');
    std::string umlauts; // 32767 characters in twice as many bytes
    for (int i = 0; i < 32767; ++i)
        umlauts += "\xC3\xA4";

    EXPECT_EQ(clsGeoFile::ReplaceChar(longest, ",", "."), std::string(32767, '.'));
    EXPECT_EQ(clsGeoFile::ReplaceChar(umlauts.substr(2) + ",", ",", ""), umlauts.substr(2));
    EXPECT_EQ(GetParameter(umlauts, ";", 1), umlauts);
    EXPECT_EQ(GetParameter(longest, ",", 32767), "");
    EXPECT_EQ(clsGeoFile::ReplaceChar(tooLong, "x", "x"), tooLong) << "nothing to replace, nothing to count";

    RaisedError e = ErrorOf([&] { clsGeoFile::ReplaceChar(tooLong, ",", "."); });
    EXPECT_EQ(e.number, ErrOverflow);
    EXPECT_EQ(e.source, "clsGeoFile:ReplaceChar");
    EXPECT_EQ(ErrorOf([&] { clsGeoFile::ReplaceChar(std::string(20000, ','), ",", ".."); }).number,
              ErrOverflow)
        << "the replaced text is too long";
    e = ErrorOf([&] { GetParameter(tooLong, ";", 1); });
    EXPECT_EQ(e.number, ErrOverflow);
    EXPECT_EQ(e.source, "modStringHandler:GetParameter");
}

} // namespace
