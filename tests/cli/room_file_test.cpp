// Room files saved by the window, read by the calculator beneath the options given, per run and per row.
#include "CliTestSupport.h"
#include "RoomFile.h"

namespace korvane::cli {
namespace {

using namespace test;
using RoomFileCli = WithFile;

TEST_F(RoomFileCli, GivesItsInputsBeneathTheOptionsGiven) {
    room::Room r;
    r.beginHour = 8, r.endHour = 17, r.period = 6, r.depth = 6, r.width = 5, r.illuminance = 500, r.band = 90;
    r.siteName = "Frankfurt am Main", r.longitude = 25, r.latitude = 60,
    r.timeDiffGMT = 1; // coordinates count
    r.transmittance = 80, r.windowHeight = 2;
    const std::string file = Write(room::WriteRoom(r));
    const Args room{"--period", "6", "--depth", "6", "--band", "90", "--longitude", "25", "--latitude", "60"};
    const Args mixed{"--period", "6", "--depth", "6", "--band", "30", "--site", "münchen"};
    EXPECT_EQ(Cli({"--room", file}).out, Cli(room).out);
    EXPECT_EQ(Cli({"--room", file, "--band", "30", "--site", "münchen"}).out, Cli(mixed).out);
    std::ofstream(file + ".csv") << "room-file,band\n" << file << ",30\n";
    const auto rows = Lines(Cli({"--batch", file + ".csv", "--site", "münchen"}).out);
    EXPECT_TRUE(rows.at(1).starts_with(file + ",30," + Cli(mixed).out.substr(0, 2) + ",")) << rows.at(1);
    std::filesystem::remove(file + ".csv");

    Write("{\"format\": \"korvane-energy-room\", \"version\": 7}");
    const auto newer = Cli({"--room", file});
    EXPECT_EQ(newer.code, kExitUsage);
    EXPECT_TRUE(newer.err.starts_with("korvane-energy-cli: --room: '" + file +
                                      "': version: 7 is newer than this program's 1\n"));
}

} // namespace
} // namespace korvane::cli
