// The weather sky's costs: reading a weather file (the PVGIS sample, every hour from irradiance) and a year
// under the weather sky, filling its hours included, next to the same year under the standard overcast sky.
#include "EpwFile.h"
#include "WeatherSky.h"
#include "clsInputOutput.h"
#include "modLangConstants.h"

#include <benchmark/benchmark.h>

namespace {

using korvane::clsInputOutput;

const std::string kSample = KORVANE_WEATHER_SAMPLE;

clsInputOutput StartRoom() {
    clsInputOutput p;
    p.BeginHour = 8, p.EndHour = 17, p.RoomDepth = 4, p.RoomWidth = 5, p.NominalIlluminance = 500;
    p.Longitude = 8, p.Latitude = 45, p.TimeDiffGMT = 1, p.Transmittance = 80, p.WindowType = 1;
    p.WindowArray = 60, p.WindowHeight = 2, p.RoomHeight = 4, p.WindowArea = 1, p.WindowDistance = 2;
    p.WindowSlope = 90;
    return p;
}

void BM_ReadSample(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(korvane::weather::ReadEpwFile(kSample));
}
BENCHMARK(BM_ReadSample)->Unit(benchmark::kMillisecond);

void BM_StandardYear(benchmark::State& state) {
    korvane::gLanguage = 2;
    for (auto _ : state) {
        auto p = StartRoom();
        benchmark::DoNotOptimize(p.CalculateEnergySaving());
    }
}
BENCHMARK(BM_StandardYear);

void BM_WeatherYear(benchmark::State& state) {
    korvane::gLanguage = 2;
    const auto year = korvane::weather::ReadEpwFile(kSample);
    for (auto _ : state) {
        auto p = StartRoom();
        benchmark::DoNotOptimize(
            p.CalculateEnergySaving(korvane::weather::GetWeatherSkyHours(year, p.BeginHour, p.EndHour, 0)));
    }
}
BENCHMARK(BM_WeatherYear);

} // namespace
