#include "daylight.h"

#include "VbMath.h"

#include <array>
#include <cmath>

namespace korvane::daylight {

using vb::Add;
using vb::Cos;
using vb::Div;
using vb::Mul;
using vb::Sin;
using vb::Sub;

namespace {

constexpr std::array<int16_t, 12> kDaysBeforeMonth{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr std::array<int16_t, 12> kDaysInMonth{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Day angle J = 2 x pi, shared by both series.
double DayAngle(double x) {
    return Mul(Mul(2.0, x), kPi);
}

double YearFraction(int16_t N) {
    return Div(static_cast<double>(N), 365.0);
}

} // namespace

double GetDeclination(double x) {
    const double J = DayAngle(x);
    const double J2 = Mul(2.0, J);
    const double J3 = Mul(3.0, J);
    double d = 0.33281;
    d = Sub(d, Mul(22.984, Cos(J)));
    d = Sub(d, Mul(0.3499, Cos(J2)));
    d = Sub(d, Mul(0.1398, Cos(J3)));
    d = Add(d, Mul(3.7872, Sin(J)));
    d = Add(d, Mul(0.03205, Sin(J2)));
    d = Add(d, Mul(0.07185, Sin(J3)));
    return DegToRad(d);
}

double GetEquationOfTime(double x) {
    const double J = DayAngle(x);
    const double J2 = Mul(2.0, J);
    const double J3 = Mul(3.0, J);
    double e = Mul(0.0072, Cos(J));
    e = Sub(e, Mul(0.0528, Cos(J2)));
    e = Sub(e, Mul(0.0012, Cos(J3)));
    e = Sub(e, Mul(0.1229, Sin(J)));
    e = Sub(e, Mul(0.1565, Sin(J2)));
    e = Sub(e, Mul(0.0041, Sin(J3)));
    return e;
}

namespace {

double LongitudeHours(double longitude) {
    return Div(Mul(longitude, 4.0), 60.0);
}

} // namespace

SiteTerms GetSiteTerms(double longitude, double latitude) {
    const double phi = DegToRad(latitude);
    return {LongitudeHours(longitude), Cos(phi), Sin(phi)};
}

DayTerms GetDayTerms(const SiteTerms& site, int16_t N) {
    const double x = YearFraction(N);
    const double delta = GetDeclination(x);
    return {GetEquationOfTime(x), Mul(site.cosLatitude, Cos(delta)), Mul(site.sinLatitude, Sin(delta))};
}

double GetHourAngle(double longitude, int16_t g, int16_t N, int16_t h) {
    return detail::HourAngleFrom(LongitudeHours(longitude), GetEquationOfTime(YearFraction(N)), g, h);
}

double GetSunAltitude(double longitude, double latitude, int16_t g, int16_t N, int16_t h) {
    const SiteTerms site = GetSiteTerms(longitude, latitude);
    const DayTerms day = GetDayTerms(site, N);
    return detail::SunAltitudeFrom(day, detail::HourAngleFrom(site.longitudeHours, day.equationOfTime, g, h));
}

double GetSkyIlluminance(double longitude, double latitude, int16_t g, int16_t N, int16_t h) {
    return detail::SkyIlluminanceFrom(GetSunAltitude(longitude, latitude, g, N, h));
}

double GetArtificialLight(double longitude, double latitude, int16_t g, double f, int32_t En, int16_t N,
                          int16_t h) {
    return detail::ArtificialLightFrom(GetSkyIlluminance(longitude, latitude, g, N, h), f, En);
}

int16_t GetDayOfYear(int16_t day, int16_t month) {
    if (month < 1 || month > 12)
        return 0;
    return vb::Add16(kDaysBeforeMonth[static_cast<size_t>(month - 1)], day);
}

int16_t GetDaysOfMonth(int16_t month) {
    if (month < 1 || month > 12)
        return 0;
    return kDaysInMonth[static_cast<size_t>(month - 1)];
}

} // namespace korvane::daylight
