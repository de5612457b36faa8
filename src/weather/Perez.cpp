#include "Perez.h"

#include "daylight.h"

#include <array>
#include <cmath>

namespace korvane::weather {

namespace {

using daylight::kPi;

// Table 4, "diffuse": the lower bound of each clearness bin and its coefficients.
constexpr std::array<double, 8> kClearnessFrom{1.0, 1.065, 1.230, 1.500, 1.950, 2.800, 4.500, 6.200};
constexpr std::array<double, 8> kA{97.24, 107.22, 104.97, 102.39, 100.71, 106.42, 141.88, 152.23};
constexpr std::array<double, 8> kB{-0.46, 1.15, 2.96, 5.59, 5.94, 3.83, 1.90, 0.35};
constexpr std::array<double, 8> kC{12.00, 0.59, -5.53, -13.95, -22.75, -36.15, -53.24, -45.27};
constexpr std::array<double, 8> kD{-8.91, -3.95, -8.77, -13.90, -23.74, -28.83, -14.03, -7.98};
constexpr double kSolarConstant = 1367.0;   // W/m²
constexpr double kWaterWithoutDewPoint = 2; // cm

// Cosine of the zenith angle at clock time k - 0.5, held at 0 with the sun down.
double CosZenith(const Observer& site, const SolarDay& day, int16_t k) {
    const double T = site.longitude * 4.0 / 60.0 + (k - 0.5 - site.timeZone) - day.equationOfTime;
    const double omega = daylight::DegToRad((12.0 - T) * 15.0);
    const double cosZ = day.cosLatCosDecl * std::cos(omega) + day.sinLatSinDecl;
    return cosZ < 0.0 ? 0.0 : (cosZ > 1.0 ? 1.0 : cosZ);
}

} // namespace

SolarDay GetSolarDay(const Observer& site, int16_t N) {
    const double x = static_cast<double>(N) / 365.0;
    const double phi = daylight::DegToRad(site.latitude), delta = daylight::GetDeclination(x);
    return {N, daylight::GetEquationOfTime(x), std::cos(phi) * std::cos(delta),
            std::sin(phi) * std::sin(delta),
            kSolarConstant * (1.0 + 0.033 * std::cos(2.0 * kPi * N / 365.0))};
}

DiffuseEfficacy GetDiffuseEfficacy(const Observer& site, int16_t N, int16_t k, const Irradiance& hour) {
    return GetDiffuseEfficacy(site, GetSolarDay(site, N), k, hour);
}

DiffuseEfficacy GetDiffuseEfficacy(const Observer& site, const SolarDay& day, int16_t k,
                                   const Irradiance& hour) {
    DiffuseEfficacy e{};
    const double Dh = hour.diffuseHorizontal;
    e.cosZenith = CosZenith(site, day, k);
    e.extraterrestrial = day.extraterrestrial;
    if (!(Dh > 0.0))
        return e; // no diffuse light, no illuminance
    const double Z = std::acos(e.cosZenith);
    const double zenithDegrees = Z * 180.0 / kPi;
    e.airMass = 1.0 / (e.cosZenith + 0.50572 * std::pow(96.07995 - zenithDegrees, -1.6364));
    e.water = hour.dewPoint ? std::exp(0.07 * *hour.dewPoint - 0.075) : kWaterWithoutDewPoint;
    e.brightness = Dh * e.airMass / e.extraterrestrial;
    const double direct = hour.directNormal && *hour.directNormal > 0.0 ? *hour.directNormal : 0.0;
    const double z3 = 1.041 * Z * Z * Z;
    e.clearness = ((Dh + direct) / Dh + z3) / (1.0 + z3);
    e.bin = 1;
    for (size_t i = 1; i < kClearnessFrom.size(); ++i)
        e.bin = e.clearness >= kClearnessFrom[i] ? static_cast<int>(i + 1) : e.bin;
    if (!(e.brightness > 0.0))
        return e;
    const auto i = static_cast<size_t>(e.bin - 1);
    e.efficacy = kA[i] + kB[i] * e.water + kC[i] * e.cosZenith + kD[i] * std::log(e.brightness);
    const double E = Dh * e.efficacy;
    e.illuminance = E > 0.0 ? E : 0.0;
    return e;
}

} // namespace korvane::weather
