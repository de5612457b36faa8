// Annual calculations at the start values, one per window type, next to the same year's bare arithmetic
// (unchecked doubles, no error handling) as the yardstick for what the checks cost; and a building of 10,000
// rooms, the year alone against the year and its twelve months.
#include "clsInputOutput.h"
#include "modLangConstants.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using korvane::clsInputOutput;

clsInputOutput StartValues(int16_t windowType) {
    clsInputOutput p;
    p.BeginHour = 8;
    p.EndHour = 17;
    p.RoomDepth = 4;
    p.RoomWidth = 5;
    p.NominalIlluminance = 500;
    p.Longitude = 8.68;
    p.Latitude = 50.11;
    p.TimeDiffGMT = 1;
    p.Transmittance = 80;
    p.WindowType = windowType;
    p.WindowArray = 60;
    p.WindowHeight = windowType == 3 ? 1 : 2;
    p.RoomHeight = 4;
    p.WindowArea = 1;
    p.WindowDistance = windowType == 3 ? 5 : 2;
    p.WindowSlope = 90;
    return p;
}

void BM_Year(benchmark::State& state) {
    korvane::gLanguage = 2;
    const auto type = static_cast<int16_t>(state.range(0));
    for (auto _ : state) {
        auto p = StartValues(type);
        benchmark::DoNotOptimize(p.CalculateEnergySaving());
    }
}
BENCHMARK(BM_Year)->Name("Year/SideWindows")->Arg(1);
BENCHMARK(BM_Year)->Name("Year/FlatRoof")->Arg(2);
BENCHMARK(BM_Year)->Name("Year/Sawtooth")->Arg(3);

// Rooms of every type and of many sizes, spread over Europe.
std::vector<clsInputOutput> Building() {
    std::vector<clsInputOutput> rooms;
    for (int i = 0; i < 10000; ++i) {
        auto p = StartValues(static_cast<int16_t>(1 + i % 3));
        p.RoomDepth = 3 + i % 7 * 0.5;
        p.RoomWidth = 4 + i % 11;
        p.Longitude = -9 + i % 37;
        p.Latitude = 36 + i % 29 * 0.9;
        rooms.push_back(p);
    }
    return rooms;
}

void BM_BuildingYear(benchmark::State& state) {
    korvane::gLanguage = 2;
    const auto rooms = Building();
    for (auto _ : state) {
        for (auto p : rooms) {
            try {
                benchmark::DoNotOptimize(p.CalculateEnergySaving());
            } catch (const korvane::VbError&) { // a model message; the result is stored all the same
            }
        }
    }
}
BENCHMARK(BM_BuildingYear)->Unit(benchmark::kMillisecond);

void BM_BuildingAllPeriods(benchmark::State& state) {
    korvane::gLanguage = 2;
    const auto rooms = Building();
    for (auto _ : state) {
        for (const auto& p : rooms)
            benchmark::DoNotOptimize(korvane::CalculateAllPeriods(p));
    }
}
BENCHMARK(BM_BuildingAllPeriods)->Unit(benchmark::kMillisecond);

// The same year with raw doubles: both series once a day, and 3285 hour evaluations with the hour angle,
// the altitude and the sky each.
double BareYear(double lon, double lat, int g, double f, int En) {
    constexpr double pi = 3.14159265358979;
    const double phi = lat * pi / 180;
    const double cosPhi = std::cos(phi);
    const double sinPhi = std::sin(phi);
    double sum = 0.0;
    for (int N = 1; N <= 365; ++N) {
        const double x = N / 365.0;
        const double J = 2 * x * pi;
        const double decl =
            (0.33281 - 22.984 * std::cos(J) - 0.3499 * std::cos(2 * J) - 0.1398 * std::cos(3 * J) +
             3.7872 * std::sin(J) + 0.03205 * std::sin(2 * J) + 0.07185 * std::sin(3 * J)) *
            pi / 180;
        const double E = 0.0072 * std::cos(J) - 0.0528 * std::cos(2 * J) - 0.0012 * std::cos(3 * J) -
                         0.1229 * std::sin(J) - 0.1565 * std::sin(2 * J) - 0.0041 * std::sin(3 * J);
        const double cc = cosPhi * std::cos(decl);
        const double ss = sinPhi * std::sin(decl);
        double day = 0.0;
        for (int h = 8; h < 17; ++h) {
            const double T = lon * 4 / 60 + (h - g) - E;
            const double w = (12 - T) * 15 * pi / 180;
            double s = cc * std::cos(w) + ss;
            s = s < 0 ? 0 : (s > 1 ? 1 : s);
            const double gamma = s >= 1 ? pi / 2 : std::atan(s / std::sqrt(1 - s * s));
            const double need = En - (300 + 21000 * std::sin(gamma)) * f;
            day += need > 0 ? need : 0;
        }
        sum += day;
    }
    return 1 - sum / (9.0 * 365 * En);
}

void BM_BareArithmeticYear(benchmark::State& state) {
    double lon = 8.68;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lon);
        benchmark::DoNotOptimize(BareYear(lon, 50.11, 1, 0.03488, 500));
    }
}
BENCHMARK(BM_BareArithmeticYear);

} // namespace
