// Room files: what the writer writes the reader gives back, and what it refuses is named by its field.
#include "RoomFile.h"
#include "modLangConstants.h"

#include <gtest/gtest.h>

namespace korvane::room {
namespace {

Room Office() {
    Room r;
    r.beginHour = 8, r.endHour = 17, r.depth = 12.345, r.width = 5, r.illuminance = 1000000;
    r.siteName = "San Francisco", r.longitude = -122.42, r.latitude = 37.77, r.timeDiffGMT = -8;
    r.glazing = 0, r.transmittance = 80, r.windowType = 3, r.band = 30, r.slope = 60;
    r.glassHeight = 1.5, r.weatherFile = "../weather/Torino.epw";
    return r;
}

TEST(RoomFile, GivesBackWhatItWroteWhateverItsLength) {
    EXPECT_EQ(ReadRoom(WriteRoom(Office())), Office());
    EXPECT_EQ(ReadRoom(WriteRoom(Room{})), Room{});
    EXPECT_EQ(WriteRoom(Room{}).find("weather"), std::string::npos); // files without one stay as they were
    Room fields = Office();
    fields.weatherFile.reset(); // the sky is not one of the window's fields
    EXPECT_EQ(RoomOf(TextsOf(Office())), fields);
    EXPECT_EQ(TextsOf(Office()).Field(inputs::FieldId::Longitude), "-122.42");
    // The members are where the window's files have them.
    EXPECT_NE(WriteRoom(Office()).find("\"sawtoothRoof\": {\n    \"glassHeight\": 1.5"), std::string::npos);
}

struct Refusal {
    const char* name;
    const char* from;
    const char* to;
    Fault fault;
    std::string description;
};

class Refuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refuses, NamingTheFieldByItsLabel) {
    gLanguage = 2;
    const Refusal& r = GetParam();
    std::string text = WriteRoom(Office());
    ASSERT_NE(text.find(r.from), std::string::npos) << r.from;
    text.replace(text.find(r.from), std::string(r.from).size(), r.to);
    try {
        ReadRoom(text);
        ADD_FAILURE() << "read";
    } catch (const RoomFileError& e) {
        EXPECT_EQ(e.WhatIsWrong(), r.fault);
        EXPECT_EQ(e.Description(), r.description);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Refuses,
    ::testing::Values(
        Refusal{"BeyondABound", "\"begin\": 8", "\"begin\": 25", Fault::WrongType,
                "Beginning '25' is out of range (0 … 24)"},
        Refusal{"BelowABound", "\"width\": 5", "\"width\": -5", Fault::WrongType,
                "Width of room '-5' is out of range (0 … )"},
        Refusal{"NoMinusToType", "\"glassHeight\": 1.5", "\"glassHeight\": -1", Fault::WrongType,
                "Glass height '-1' may hold only digits, the decimal separator and, where allowed, a minus sign"},
        Refusal{"TextForANumber", "\"width\": 5", "\"width\": \"5\"", Fault::WrongType,
                "Width of room '\"5\"' is not a number"},
        Refusal{"NotAChoice", "\"band\": 30", "\"band\": 45", Fault::WrongType,
                "facadeWindows.band '45' is not one of the choices (30, 60, 90)"},
        Refusal{"Missing", "\"depth\": 12.345,", "", Fault::WrongType, "Depth of room is missing"},
        Refusal{"SiteNameNoText", "\"San Francisco\"", "5", Fault::WrongType, "site.name is not a text"},
        Refusal{"WeatherNoText", "\"../weather/Torino.epw\"", "[]", Fault::WrongType, "weather is not a text"},
        Refusal{"Newer", "\"version\": 1", "\"version\": 2", Fault::Newer,
                "version: 2 is newer than this program's 1"},
        Refusal{"Foreign", "korvane-energy-room", "other", Fault::Foreign, "the file is not a room file"},
        Refusal{"Damaged", "}\n", "", Fault::Damaged, "the file is damaged or not JSON"}),
    [](const auto& info) { return info.param.name; });

TEST(RoomFile, SaysWhatIsWrongInTheWindowsLanguage) {
    gLanguage = 4;
    try {
        ReadRoom("{\"format\": \"korvane-energy-room\", \"version\": 1}");
        ADD_FAILURE() << "read";
    } catch (const RoomFileError& e) {
        EXPECT_EQ(FaultText(e), "Un valore manca, è di tipo errato o fuori intervallo: Inizio manca");
    }
    gLanguage = 2;
}

} // namespace
} // namespace korvane::room
