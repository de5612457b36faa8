// The field table and the one conversion of a room's texts into a calculation.
#include "InputFields.h"
#include "modLangConstants.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace korvane::inputs {
namespace {

RoomTexts Typed() {
    RoomTexts room = StartRoom();
    room.Field(FieldId::Longitude) = "8.68", room.Field(FieldId::Latitude) = "50.11";
    room.Field(FieldId::TimeDiffGMT) = "1";
    return room;
}

const std::vector<GeoEntry> kSites{{"user", 0, 0, 0}, {"San Francisco", -122.42, 37.77, -8}, {"Nowhere", 999, 0, 0}};

// A room as typed, changed by `edit`: either the refusal (message and field) or what the calculation reads.
struct Conversion {
    const char* name;
    std::function<void(RoomTexts&)> edit;
    std::optional<int16_t> message; // refused with this message
    FieldId field = FieldId::BeginHour;
    std::function<void(const clsInputOutput&)> expect = {};
};

class Converts : public ::testing::TestWithParam<Conversion> {};

TEST_P(Converts, AsTheWindowsRunDoes) {
    gLanguage = 2;
    const Conversion& c = GetParam();
    RoomTexts room = Typed();
    c.edit(room);
    if (!c.message) {
        c.expect(ToCalculation(room, kSites));
        return;
    }
    try {
        ToCalculation(room, kSites);
        ADD_FAILURE() << "converted";
    } catch (const InputRefusal& e) {
        EXPECT_EQ(e.Message(), *c.message);
        EXPECT_EQ(e.Field(), c.field);
    }
}

using IO = const clsInputOutput&;
using T = RoomTexts&;
INSTANTIATE_TEST_SUITE_P(
    Rows, Converts,
    ::testing::Values(
        Conversion{"Start", [](T) {}, {}, {},
                   [](IO io) {
                       EXPECT_EQ(io.WindowType, 1); EXPECT_EQ(io.WindowHeight, 2); EXPECT_EQ(io.Transmittance, 80);
                       EXPECT_EQ(io.RoomHeight, 0); EXPECT_EQ(io.NominalIlluminance, 500);
                   }},
        Conversion{"EmptyFieldIsNoDefault", [](T r) { r.Field(FieldId::RoomDepth) = ""; }, kMsgIncomplete,
                   FieldId::RoomDepth},
        Conversion{"EndEmptyBeforeOrder", [](T r) { r.Field(FieldId::EndHour) = ""; }, kMsgIncomplete,
                   FieldId::EndHour},
        Conversion{"HoursEqual", [](T r) { r.Field(FieldId::EndHour) = "8"; }, kMsgHoursOutOfOrder},
        Conversion{"OutOfRangeBeeps", [](T r) { r.Field(FieldId::RoomWidth) = "-1"; }, int16_t{0},
                   FieldId::RoomWidth},
        Conversion{"Exponent", [](T r) { r.Field(FieldId::NominalIlluminance) = "1e3"; }, int16_t{0},
                   FieldId::NominalIlluminance},
        Conversion{"OverflowIsOutOfRange", [](T r) { r.Field(FieldId::NominalIlluminance) = "99999999999"; },
                   int16_t{0}, FieldId::NominalIlluminance},
        Conversion{"HalvesToEven",
                   [](T r) {
                       r.separator = ",", r.Field(FieldId::TimeDiffGMT) = "2,5";
                       r.Choice(ChoiceId::Glazing) = 0, r.Field(FieldId::Transmittance) = "7,5";
                       r.Field(FieldId::Longitude) = "8,68", r.Field(FieldId::Latitude) = "50,11";
                   },
                   {}, {},
                   [](IO io) {
                       EXPECT_EQ(io.TimeDiffGMT, 2); EXPECT_EQ(io.Transmittance, 8); EXPECT_EQ(io.Longitude, 8.68);
                   }},
        Conversion{"NamedSiteOfTheListWhole", [](T r) { r.siteName = "San Francisco"; }, {}, {},
                   [](IO io) { EXPECT_EQ(io.Longitude, -122.42); EXPECT_EQ(io.TimeDiffGMT, -8); }},
        Conversion{"SiteTheListLacks", [](T r) { r.siteName = "Atlantis"; }, {}, {},
                   [](IO io) { EXPECT_EQ(io.Longitude, 8.68); }},
        Conversion{"SiteFileCoordinatesChecked", [](T r) { r.siteName = "Nowhere"; }, int16_t{0},
                   FieldId::Longitude},
        Conversion{"PresetOverField",
                   [](T r) { r.Choice(ChoiceId::Glazing) = 2, r.Field(FieldId::Transmittance) = ""; }, {}, {},
                   [](IO io) { EXPECT_EQ(io.Transmittance, 50); }},
        Conversion{"UserGlazingEmpty", [](T r) { r.Choice(ChoiceId::Glazing) = 0; }, kMsgIncomplete,
                   FieldId::Transmittance},
        Conversion{"SawtoothReadsItsOwnPanel",
                   [](T r) {
                       r.Choice(ChoiceId::WindowType) = 3, r.Field(FieldId::WindowHeight) = "";
                       r.Field(FieldId::SawtoothGlassHeight) = "1.5";
                   },
                   {}, {},
                   [](IO io) {
                       EXPECT_EQ(io.WindowHeight, 1.5); EXPECT_EQ(io.WindowDistance, 5); EXPECT_EQ(io.WindowArea, 0);
                   }},
        Conversion{"FlatRoofNeedsItsFields",
                   [](T r) { r.Choice(ChoiceId::WindowType) = 2, r.Field(FieldId::WindowArea) = ""; },
                   kMsgIncomplete, FieldId::WindowArea}),
    [](const auto& info) { return info.param.name; });

TEST(Choices, OutsideTheListIsNoCalculation) {
    RoomTexts room = Typed();
    room.Choice(ChoiceId::Band) = 45;
    EXPECT_THROW(ToCalculation(room, {}), VbError);
    EXPECT_EQ(ChoiceOf(ChoiceId::Slope, "75"), std::nullopt);
    EXPECT_EQ(ChoiceOf(ChoiceId::Period, "12"), 12);
}

struct Key {
    FieldId field;
    char32_t key;
    const char* separator;
    char32_t typed;
};

class KeyFilter : public ::testing::TestWithParam<Key> {};

TEST_P(KeyFilter, TypesDigitsTheSeparatorAndTheMinusWhereAllowed) {
    const Key& k = GetParam();
    EXPECT_EQ(TypedCharacter(k.field, k.key, k.separator), k.typed);
}

// Digits and the minus sign of each field are typed in the field walk.
INSTANTIATE_TEST_SUITE_P(Keys, KeyFilter,
                         ::testing::Values(Key{FieldId::RoomDepth, '.', ",", ','},
                                           Key{FieldId::RoomDepth, ',', ".", '.'},
                                           Key{FieldId::RoomDepth, ',', "\xD9\xAB", U'\u066B'},
                                           Key{FieldId::RoomDepth, 'e', ".", 0}));

} // namespace
} // namespace korvane::inputs
