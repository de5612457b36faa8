// Room files saved by the window, read by the calculator: beneath the options given, per run and per row.
#include "CliTestSupport.h"
#include "RoomFile.h"

namespace korvane::cli {
namespace {

using namespace test;

class RoomFileCli : public WithFile {
  protected:
    std::string Room(int period, std::optional<std::string> site = std::nullopt) {
        room::Room r;
        r.beginHour = 8, r.endHour = 17, r.period = period, r.depth = 6, r.width = 5, r.illuminance = 500;
        r.siteName = std::move(site), r.longitude = 25, r.latitude = 60, r.timeDiffGMT = 1;
        r.transmittance = 80, r.band = 90, r.windowHeight = 2;
        return Write(room::WriteRoom(r));
    }
    const Args same_{"--period", "6",           "--depth", "6",          "--band",
                     "90",       "--longitude", "25",      "--latitude", "60"};
};

TEST_F(RoomFileCli, GivesItsInputsAndOptionsGivenExplicitlyWin) {
    const std::string file = Room(6, "Frankfurt am Main"); // the coordinates count, not the name
    EXPECT_EQ(Cli({"--room", file}).out, Cli(same_).out);
    const auto mixed = Cli({"--room", file, "--band", "30", "--site", "münchen"}).out;
    EXPECT_EQ(mixed, Cli({"--period", "6", "--depth", "6", "--band", "30", "--site", "münchen"}).out);
    EXPECT_NE(
        mixed,
        Cli({"--period", "6", "--depth", "6", "--band", "30", "--longitude", "25", "--latitude", "60"}).out);
    std::ofstream(path_.string() + ".csv") << "room-file,band\n" << file << ",\n" << file << ",30\n";
    const auto batch = Lines(Cli({"--batch", path_.string() + ".csv", "--period", "1"}).out);
    Args january = same_;
    january[1] = "1";
    ASSERT_EQ(batch.size(), 3u);
    EXPECT_EQ(batch[1].substr(batch[1].find(",,") + 2, 3), Cli(january).out.substr(0, 2) + ",");
    std::filesystem::remove(path_.string() + ".csv");
}

TEST_F(RoomFileCli, AFileThatIsNoRoomIsAUsageError) {
    Write("{\"format\": \"korvane-energy-room\", \"version\": 7}");
    const auto r = Cli({"--room", path_.string()});
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "korvane-energy-cli: --room: '" + path_.string() +
                                                     "': version: 7 is newer than this program's 1");
}

} // namespace
} // namespace korvane::cli
