// Room files saved by the window, read by the calculator beneath the options given, per run and per row.
#include "CliTestSupport.h"
#include "RoomFile.h"

#include <functional>

namespace korvane::cli {
namespace {

using namespace test;

room::Room Office() {
    room::Room r;
    r.beginHour = 8, r.endHour = 17, r.depth = 4, r.width = 5, r.illuminance = 500;
    r.siteName = "Frankfurt am Main", r.longitude = 25, r.latitude = 60, r.timeDiffGMT = 1;
    r.transmittance = 80, r.windowHeight = 2;
    r.flatRoomHeight = 4, r.windowArea = 1, r.roofLightDistance = 2;
    r.glassHeight = 1.5, r.sawtoothRoomHeight = 4, r.rowDistance = 5;
    return r;
}

// A room file, what is given besides it, and either the options that give the same output or the first line
// on stderr.
struct RoomRun {
    const char* name;
    std::function<void(room::Room&)> edit;
    Args args;
    Args same;
    std::string err; // "FILE" stands for the file's path
};

class RoomFileCli : public WithFile, public ::testing::WithParamInterface<RoomRun> {};

TEST_P(RoomFileCli, IsReadAsTheWindowReadsIt) {
    const RoomRun& run = GetParam();
    room::Room r = Office();
    run.edit(r);
    const std::string file = Write(room::WriteRoom(r));
    Args args{"--room", file};
    args.insert(args.end(), run.args.begin(), run.args.end());
    const auto got = Cli(args);
    if (run.err.empty()) {
        EXPECT_EQ(got.err, "");
        EXPECT_EQ(got.out, Cli(run.same).out);
        return;
    }
    std::string err = "korvane-energy-cli: " + run.err;
    if (const size_t at = err.find("FILE"); at != std::string::npos)
        err.replace(at, 4, file);
    EXPECT_EQ(got.code, kExitUsage);
    EXPECT_EQ(got.out, "");
    EXPECT_EQ(got.err.substr(0, got.err.find('\n')), err);
}

const auto kAsSaved = [](room::Room&) {};

INSTANTIATE_TEST_SUITE_P(
    Rooms, RoomFileCli,
    ::testing::Values(
        RoomRun{"NamedSiteOfTheList", kAsSaved, {}, {"--site", "Frankfurt am Main"}, ""},
        RoomRun{"SiteTheListLacks", [](room::Room& r) { r.siteName = "Atlantis"; }, {},
                {"--longitude", "25", "--latitude", "60"}, ""},
        RoomRun{"OptionsWinOverTheFile", kAsSaved, {"--band", "30", "--latitude", "40"},
                {"--band", "30", "--latitude", "40"}, ""},
        // Each window type reads its own panel: the sawtooth's glass height is no facade window height.
        RoomRun{"WindowTypeGivenReadsItsOwnFields", [](room::Room& r) { r.windowType = 3; },
                {"--window-type", "1"}, {"--site", "Frankfurt am Main"}, ""},
        RoomRun{"SawtoothPanel", [](room::Room& r) { r.windowType = 3; }, {},
                {"--window-type", "3", "--window-height", "1.5"}, ""},
        RoomRun{"UserDefinedGlazing", [](room::Room& r) { r.glazing = 0, r.transmittance = 50; }, {},
                {"--transmittance", "50"}, ""},
        RoomRun{"PresetGlazing", [](room::Room& r) { r.glazing = 3, r.transmittance = 99; }, {},
                {"--transmittance", "30"}, ""},
        // An empty field is never the calculator's default.
        RoomRun{"EmptyDepth", [](room::Room& r) { r.depth.reset(); }, {}, {},
                "--room: 'FILE': Depth of room is empty"},
        RoomRun{"EmptyDepthInItalian", [](room::Room& r) { r.depth.reset(); }, {"--language", "4"}, {},
                "--room: 'FILE': Profondità del locale è vuoto"},
        RoomRun{"HoursOutOfOrder", [](room::Room& r) { r.beginHour = 17, r.endHour = 8; }, {}, {},
                "--room: 'FILE': Beginning '17' and Ending '8': Ending must be later than beginning"},
        RoomRun{"OptionCheckedAsTheField", kAsSaved, {"--depth", "-1"}, {}, "--depth: '-1' is below 0"},
        RoomRun{"OptionChoiceChecked", kAsSaved, {"--slope", "75"}, {}, "--slope: '75' is not one of 60, 90"}),
    [](const auto& info) { return info.param.name; });

TEST_F(WithFile, RoomFilesOfABatchAndTheirFaultsAreNamed) {
    room::Room r = Office();
    r.depth = 6, r.band = 90;
    const std::string file = Write(room::WriteRoom(r));
    std::ofstream(file + ".csv") << "room-file,band\n" << file << ",30\n";
    const auto rows = Lines(Cli({"--batch", file + ".csv", "--site", "münchen"}).out);
    const auto mixed = Cli({"--depth", "6", "--band", "30", "--site", "münchen"}).out;
    EXPECT_TRUE(rows.at(1).starts_with(file + ",30," + mixed.substr(0, 2) + ",")) << rows.at(1);
    Write("{\"format\": \"korvane-energy-room\", \"version\": 7}");
    const auto refused = Lines(Cli({"--batch", file + ".csv"}).out);
    // The fault ends before the autonomy cell, which stays empty.
    EXPECT_TRUE(refused.at(1).ends_with(",321,room-file (line 2): '" + file +
                                        "': version: 7 is newer than this program's 1,"))
        << refused.at(1);
    std::filesystem::remove(file + ".csv");
}

} // namespace
} // namespace korvane::cli
