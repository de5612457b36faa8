#pragma once
// Shared by the engine tests: asserting raised errors and setting up a parameter set.

#include "QLists.h"
#include "VbError.h"
#include "clsInputOutput.h"
#include "modLangConstants.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace korvane::test {

// The error that f raises, or nothing.
inline std::optional<VbError> ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        return e;
    }
    return std::nullopt;
}

#define EXPECT_VB_ERROR(statement, number)                                                                   \
    do {                                                                                                     \
        auto raised_ = ::korvane::test::ErrorOf([&] { (void)(statement); });                                 \
        ASSERT_TRUE(raised_.has_value()) << #statement " raised nothing";                                    \
        EXPECT_EQ(raised_->Number(), (number)) << raised_->Description();                                    \
    } while (0)

// Model messages are compared in English.
class InEnglish : public ::testing::Test {
  protected:
    void SetUp() override {
        gLanguage = 2;
        gCalcErrorText.clear();
    }
    void TearDown() override { gLanguage = 0; }
};

// The main window's start values: side windows, 60 % band, Frankfurt am Main, the whole year.
inline clsInputOutput StartValues() {
    clsInputOutput p;
    p.BeginHour = 8, p.EndHour = 17, p.NominalIlluminance = 500;
    p.RoomDepth = 4, p.RoomWidth = 5, p.RoomHeight = 4;
    p.Longitude = 8.68, p.Latitude = 50.11, p.TimeDiffGMT = 1;
    p.Transmittance = 80, p.WindowType = 1, p.WindowArray = 60, p.WindowHeight = 2;
    p.WindowArea = 1, p.WindowDistance = 2, p.WindowSlope = 90;
    return p;
}

} // namespace korvane::test
