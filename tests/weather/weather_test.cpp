// The weather sky against figures worked out independently of this code (one hour's diffuse efficacy step by
// step, the sample year's hours and the start room's savings), against the standard overcast sky where a
// weather file holds that sky's own illuminance, and the reader against hostile files.
#include "EpwFile.h"
#include "Perez.h"
#include "WeatherSky.h"
#include "clsInputOutput.h"
#include "daylight.h"
#include "modLangConstants.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <charconv>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <tuple>
#include <vector>

namespace korvane::weather {
namespace {

const std::string kSample = std::string(KORVANE_WEATHER_DATA) + "/PVGIS_45.000N_8.000E_2005-2023.epw";

std::string Digits17(double value) {
    std::array<char, 40> buf{};
    return std::string(
        buf.data(),
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 17).ptr);
}

// An EPW year at a site whose record hour k of day N has the diffuse illuminance lux(N, k), or none (999999)
// where it is negative; a leap year adds 29 February.
std::string EpwText(double lon, double lat, int zone, const std::function<double(int, int)>& lux,
                    bool leap = false) {
    std::string text = "LOCATION,Test,-,XX,synthetic,000000," + Digits17(lat) + "," + Digits17(lon) + "," +
                       std::to_string(zone) + ",100\n";
    for (const char* line : {"DESIGN CONDITIONS,0", "TYPICAL/EXTREME PERIODS,0", "GROUND TEMPERATURES,0",
                             "HOLIDAYS/DAYLIGHT SAVING,No,0,0,0", "COMMENTS 1,", "COMMENTS 2,",
                             "DATA PERIODS,1,1,Data,Sunday, 1/ 1,12/31"})
        text.append(line).append("\n");
    for (int month = 1; month <= 12; ++month) {
        const int days = daylight::GetDaysOfMonth(static_cast<int16_t>(month)) + (leap && month == 2);
        for (int day = 1; day <= days; ++day) {
            const int N = month == 2 && day == 29 ? 0
                                                  : daylight::GetDayOfYear(static_cast<int16_t>(day),
                                                                           static_cast<int16_t>(month));
            for (int k = 1; k <= 24; ++k) {
                const double E = N ? lux(N, k) : 1.0;
                text += "2001," + std::to_string(month) + "," + std::to_string(day) + "," +
                        std::to_string(k) + ",0,?,10,5.5,80,100000,9999,9999,300,200,300,120,999999,999999," +
                        (E < 0 ? std::string("999999") : Digits17(E)) + "\n";
            }
        }
    }
    return text;
}

double Error(const std::function<void()>& f, std::string* description = nullptr) {
    try {
        f();
    } catch (const VbError& e) {
        if (description)
            *description = e.Description();
        return e.Number();
    }
    return 0;
}

// Day 172, record hour 13 of the sample file, and its published steps.
TEST(DiffuseEfficacy, MatchesAnHourWorkedOutStepByStep) {
    const auto e = GetDiffuseEfficacy({45.0, 8.0, 1.0}, 172, 13, {173.00, 814.42, 12.15});
    EXPECT_NEAR(e.cosZenith, 0.929968394400, 1e-12);
    EXPECT_NEAR(e.airMass, 1.074800607285, 1e-12);
    EXPECT_NEAR(e.extraterrestrial, 1322.623890049, 1e-9);
    EXPECT_NEAR(e.brightness, 0.140584565619, 1e-12);
    EXPECT_NEAR(e.clearness, 5.459907348214, 1e-11);
    EXPECT_EQ(e.bin, 7);
    EXPECT_NEAR(e.water, 2.171677694616, 1e-12);
    EXPECT_NEAR(e.efficacy, 124.020773815, 1e-8);
    EXPECT_NEAR(e.illuminance, 21455.593870, 1e-6);
    // No direct light: the clearest bin's opposite; the sun down, no diffuse light or no dew point.
    EXPECT_EQ(GetDiffuseEfficacy({45.0, 8.0, 1.0}, 172, 13, {173.00, std::nullopt, 12.15}).bin, 1);
    EXPECT_EQ(GetDiffuseEfficacy({45.0, 8.0, 1.0}, 172, 1, {10.0, 0.0, 12.15}).cosZenith, 0.0);
    EXPECT_EQ(GetDiffuseEfficacy({45.0, 8.0, 1.0}, 172, 13, {0.0, 500.0, 12.15}).illuminance, 0.0);
    EXPECT_EQ(GetDiffuseEfficacy({45.0, 8.0, 1.0}, 172, 13, {173.0, 814.42, std::nullopt}).water, 2.0);
}

clsInputOutput StartRoom() {
    clsInputOutput p;
    p.BeginHour = 8, p.EndHour = 17, p.NominalIlluminance = 500, p.RoomDepth = 4, p.RoomWidth = 5;
    p.RoomHeight = 4, p.Transmittance = 80, p.WindowType = 1, p.WindowArray = 60, p.WindowHeight = 2;
    p.WindowArea = 1, p.WindowDistance = 2, p.WindowSlope = 90;
    return p;
}

TEST(SampleFile, GivesTheIndependentlyWorkedHoursAndSavings) {
    const WeatherYear year = ReadEpwFile(kSample);
    EXPECT_EQ(year.site.observer.latitude, 45.0);
    EXPECT_EQ(year.site.observer.longitude, 8.0);
    EXPECT_EQ(year.site.observer.timeZone, 1.0);
    EXPECT_EQ(year.derivedHours, kYearRecords);
    const std::tuple<int, int, double> hours[] = {
        {172, 13, 21455.593870}, {1, 12, 15421.1371093}, {355, 9, 3570.9689109}, {80, 17, 10715.3396697}};
    for (const auto& [N, k, lux] : hours)
        EXPECT_NEAR(year.illuminance[static_cast<size_t>((N - 1) * 24 + k - 1)], lux, 1e-6) << N << " " << k;
    const auto all = CalculateAllPeriods(StartRoom(), GetWeatherSkyHours(year, 8, 17, 0));
    const std::tuple<size_t, double> savings[] = {
        {0, 0.8503672676788611}, {1, 0.58547329165075}, {6, 0.9914332290965526}, {12, 0.5620029730202694}};
    for (const auto& [period, saving] : savings)
        EXPECT_NEAR(all[period].fraction.value_or(-1), saving, 1e-12) << period;
    EXPECT_NEAR(all[0].autonomy.value_or(-1), 0.6398782343987823, 1e-12);
    EXPECT_EQ(all[0].percent, 85);
}

// Rooms of every window type, with and without dimming gear, at random sites, for every period: a weather
// file that holds the standard sky's illuminance gives the standard sky's saving and autonomy.
TEST(WeatherSky, AFileOfTheStandardSkysOwnIlluminanceGivesTheStandardSkysResults) {
    std::mt19937 random(21);
    const auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    gLanguage = 2;
    for (int site = 0; site < 4; ++site) {
        const double lon = uniform(-180, 180), lat = uniform(-66, 66);
        const auto zone = static_cast<int16_t>(std::lround(lon / 15));
        std::istringstream text(EpwText(lon, lat, zone, [&](int N, int k) {
            return daylight::GetSkyIlluminance(lon, lat, zone, static_cast<int16_t>(N),
                                               static_cast<int16_t>(k - 1));
        }));
        const WeatherYear year = ReadEpw(text, "identity.epw");
        for (int room = 0; room < 12; ++room) {
            clsInputOutput p = StartRoom();
            p.Longitude = lon, p.Latitude = lat, p.TimeDiffGMT = zone;
            p.WindowType = static_cast<int16_t>(1 + room % 3);
            p.RoomDepth = uniform(2, 12), p.RoomWidth = uniform(3, 30), p.Transmittance = 50 + room;
            p.BeginHour = static_cast<int16_t>(random() % 12);
            p.EndHour = static_cast<int16_t>(p.BeginHour + 1 + random() % (24 - p.BeginHour));
            p.NominalIlluminance = 200 + static_cast<int32_t>(random() % 800);
            if (room % 4 == 3)
                p.DimmingLimits = {0.2, 0.1, Dimming::Control::ContinuousOff};
            const auto weather = CalculateAllPeriods(p, GetWeatherSkyHours(year, p.BeginHour, p.EndHour, 0));
            const auto standard = CalculateAllPeriods(p);
            for (int16_t period = 0; period < kPeriodCount; ++period) {
                const auto& w = weather[static_cast<size_t>(period)];
                const auto& s = standard[static_cast<size_t>(period)];
                ASSERT_EQ(w.fraction.has_value(), s.fraction.has_value()) << room << " " << period;
                EXPECT_EQ(w.error.has_value(), s.error.has_value()) << room << " " << period;
                if (!s.fraction)
                    continue;
                EXPECT_NEAR(*w.fraction, *s.fraction, 1e-12) << room << " " << period;
                EXPECT_EQ(w.autonomy, s.autonomy) << room << " " << period;
                clsInputOutput single = p;
                single.CalcPeriod = period;
                Error([&] {
                    single.CalculateEnergySaving(GetWeatherSkyHours(year, p.BeginHour, p.EndHour, period));
                });
                EXPECT_NEAR(single.SavedFraction().value_or(-1), *s.fraction, 1e-12) << room << " " << period;
            }
        }
    }
}

// Record line L of a year is line L + 8 of the file: day N, hour k is line 8 + (N - 1) x 24 + k.
std::string Replaced(std::string text, size_t line, const std::string& by) {
    size_t at = 0;
    for (size_t i = 1; i < line; ++i)
        at = text.find('\n', at) + 1;
    return text.replace(at, text.find('\n', at) + 1 - at, by);
}

std::string WithCrLf(std::string text) {
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
        text.insert(at, 1, '\r');
    return text;
}

TEST(EpwReader, RefusesHostileFilesNamingTheLineAndReadsLeapYearsAndLineEnds) {
    const auto flat = [](int, int k) { return k == 12 ? -1.0 : 1000.0 * k; };
    const std::string good = EpwText(8, 45, 1, flat);
    const size_t july = good.find("2001,7,1,1,");
    const std::string record10 =
        "2001,1,1,2,0,?,10,5.5,80,100000,9999,9999,300,200,300,120,999999,999999,2000";
    struct Row {
        const char* what;
        std::string text;
        int error;
        const char* says; // part of the description
    };
    const Row rows[] = {
        {"leap year", EpwText(8, 45, 1, flat, true), 0, ""},
        {"CR LF line ends", WithCrLf(good), 0, ""},
        {"truncated", good.substr(0, july), ErrTypeMismatch,
         "ends without a record for month 7, day 1, hour 1"},
        {"cut in a record", good.substr(0, july + 8), ErrTypeMismatch, "line 4353: a record of 3 fields"},
        {"missing hour", Replaced(good, 10, ""), ErrTypeMismatch,
         "line 8767: the file ends without a record for month 1, day 1, hour 2"},
        {"doubled hour", Replaced(good, 11, record10 + "\n"), ErrTypeMismatch,
         "line 11, field 4: month 1, day 1, hour 2 came before, on line 10"},
        {"8784 records without 29 February", good + good.substr(good.find("2001,12,31,1,")), ErrTypeMismatch,
         "line 8769, field 4: month 12, day 31, hour 1 came before, on line 8745"},
        {"no number", Replaced(good, 9, "2001,1,1,1,0,?,10,x5,80,100000,9999,9999,300,200,300,120,0,0,0\n"),
         ErrTypeMismatch, "line 9, field 8: 'x5' is not a number"},
        {"hour 25", Replaced(good, 9, "2001,1,1,25,0,?,10,5,80,100000,9999,9999,300,200,300,120,0,0,0\n"),
         ErrTypeMismatch, "line 9, field 4: '25' is outside 1 to 24"},
        {"short record", Replaced(good, 9, "2001,1,1,1,0\n"), ErrTypeMismatch,
         "line 9: a record of 5 fields"},
        {"no light at all",
         Replaced(good, 20, "2001,1,1,12,0,?,10,5,80,100000,9999,9999,300,200,300,9999,0,0,999999\n"),
         ErrTypeMismatch, "line 20, field 16: neither"},
        {"another format", "time(UTC),T2m,RH\n20050101:0010,1.2,90\n", ErrTypeMismatch,
         "line 1, field 1: no EPW weather file"},
        {"latitude 91", Replaced(good, 1, "LOCATION,a,b,c,d,e,91,8,1,0\n"), ErrTypeMismatch,
         "line 1, field 7: '91' is outside -90 to 90"},
        {"only a header", good.substr(0, good.find("2001,")), ErrTypeMismatch,
         "line 8: the file ends without a record for month 1, day 1, hour 1"},
        {"16 MiB of junk", std::string(kMaxEpwBytes + 1, 'x'), ErrPathFileAccess,
         "larger than 16777216 bytes"},
    };
    for (const Row& row : rows) {
        std::string description;
        std::istringstream in(row.text);
        WeatherYear year;
        EXPECT_EQ(Error([&] { year = ReadEpw(in, "t.epw"); }, &description), row.error)
            << row.what << ": " << description;
        EXPECT_NE(description.find(row.says), std::string::npos) << row.what << ": " << description;
        if (!row.error) { // the hour without illuminance from its irradiance, all others as written
            EXPECT_EQ(year.derivedHours, 365) << row.what;
            EXPECT_EQ(year.illuminance[24 * 59 + 12], 13000.0) << row.what;
        }
    }
}

// A record's fields as they are usually written are read by a quicker way than fields with blanks; both
// must accept, refuse and read the same. Line 20 is the hour without illuminance, so every field counts.
TEST(EpwReader, ReadsAFieldTheSameWithOrWithoutBlanks) {
    const std::string good = EpwText(8, 45, 1, [](int, int k) { return k == 12 ? -1.0 : 1000.0 * k; });
    const std::pair<size_t, std::vector<std::string>> rows[] = {
        {19,
         {"-0.00", "1000000", "1000001", "99999.99", "12345678", "00012", "1.234567", ".5", "5.", "1e3",
          "1.2.3", "-1", "2000,7,0"}},
        {8, {"-100.01", "-0.5", "100.0", "12.3456"}},
        {15, {"-0.01"}},
        {16, {"9998.99", "10000.01"}},
        {2, {"01"}},
        {3, {"0", "32"}},
        {4, {"012", "1.0"}},
        {6, {std::string(150, '?'), std::string(190, '?')}}, // commas past byte 128, and past byte 256
    };
    for (const auto& [field, texts] : rows) {
        for (const std::string& text : texts) {
            std::vector<std::string> fields{"2001", "1",   "1",      "12",     "0",     "?",   "10",
                                            "5.5",  "80",  "100000", "9999",   "9999",  "300", "200",
                                            "300",  "120", "999999", "999999", "999999"};
            fields[field - 1] = text;
            std::array<std::tuple<double, double, std::string>, 2> read; // error, illuminance, description
            for (size_t blanks = 0; blanks < 2; ++blanks) {
                double& lux = std::get<1>(read[blanks]); // no structured binding: clang 14 cannot capture one
                std::string record = fields[0];
                for (size_t i = 1; i < fields.size(); ++i)
                    record += (blanks ? ", " : ",") + fields[i];
                std::get<0>(read[blanks]) =
                    Error([&] { lux = ReadEpw(Replaced(good, 20, record + "\n"), "t").illuminance[11]; },
                          &std::get<2>(read[blanks]));
            }
            EXPECT_EQ(read[0], read[1])
                << text << ": " << std::get<2>(read[0]) << " / " << std::get<2>(read[1]);
        }
    }
}

TEST(EpwReader, RefusesWhatIsNoRegularFileBeforeReadingIt) {
    const auto dir = std::filesystem::temp_directory_path() / ("korvane-weather-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string fifo = (dir / "fifo.epw").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& name : {fifo, std::string("/dev/zero"), dir.string()})
        EXPECT_EQ(Error([&] { ReadEpwFile(name); }), ErrPathFileAccess) << name;
    EXPECT_EQ(Error([&] { ReadEpwFile((dir / "none.epw").string()); }), ErrFileNotFound);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace korvane::weather
