#pragma once
// Sun position and overcast-sky daylight for one site, day and clock hour.
//
// Units and signs at every interface: longitude in degrees, east of Greenwich positive; latitude in degrees,
// north positive; g = whole hours the site's standard time is ahead of GMT (no daylight-saving shift); N =
// day of year, 1 = 1 January .. 365 = 31 December, no leap days; h = whole clock hour of local standard time
// (8 = 8:00); angles passed between the functions in radians; illuminances in lux. All functions are pure.

#include "PortableTrig.h"
#include "VbMath.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace korvane::daylight {

// Deliberately fourteen decimals, not the full double: results must match the established figures bit for
// bit.
inline constexpr double kPi = 3.14159265358979;

// Degrees to radians, product first then quotient.
inline double DegToRad(double degrees) {
    return vb::Mul(degrees, kPi) / 180.0; // a finite product over 180 stays finite
}
// Solar declination in radians for the year fraction x = N / 365.
double GetDeclination(double x);
// Equation of time in hours (not minutes) for the year fraction x.
double GetEquationOfTime(double x);
// Hour angle in radians: positive before solar noon, negative after.
double GetHourAngle(double longitude, int16_t g, int16_t N, int16_t h);
// Solar altitude in radians, 0 .. pi/2; a sun below the horizon gives 0.
double GetSunAltitude(double longitude, double latitude, int16_t g, int16_t N, int16_t h);
// arcsin of s clamped to 0 .. 1 (NaN counts as 0), computed as atan(s / sqrt(1 - s^2)); pi/2 at s = 1.
// Never raises.
inline double ArcSinClamped(double s) {
    if (s > 1.0)
        s = 1.0;
    if (s < 0.0 || std::isnan(s))
        s = 0.0;
    if (s == 1.0)
        return kPi / 2.0; // the arctangent form divides by zero in the zenith
    return trig::Atan(s / std::sqrt(1.0 - s * s));
}
// Horizontal illuminance of the DIN 5034 overcast sky, lux: 300 + 21000 sin(altitude), so at least 300.
double GetSkyIlluminance(double longitude, double latitude, int16_t g, int16_t N, int16_t h);
// Artificial illuminance still needed (lux, 0 .. En) for daylight ratio f (transmittance included) and
// nominal En.
double GetArtificialLight(double longitude, double latitude, int16_t g, double f, int32_t En, int16_t N,
                          int16_t h);
// What every working hour of one day at one site shares. An hour computed from these terms is bit for bit the
// hour computed by the functions above, which are themselves built from them; the period integration uses
// them so that a year costs one set of series per day instead of one per hour.
struct SiteTerms {
    double longitudeHours; // longitude x 4 / 60: solar time gained east of Greenwich, hours
    double cosLatitude;
    double sinLatitude;
};
struct DayTerms {
    double equationOfTime; // hours
    double cosLatCosDecl;  // cos(latitude) x cos(declination)
    double sinLatSinDecl;  // sin(latitude) x sin(declination)
};
SiteTerms GetSiteTerms(double longitude, double latitude);
DayTerms GetDayTerms(const SiteTerms& site, int16_t N);

// The steps of one hour, shared by the functions above and the period integration. Defined here so that the
// integration's inner loop is compiled as one piece.
namespace detail {

// +, - and x never turn a value that is not finite into a finite one, so a single check at the end of such a
// chain raises 6 exactly when a check after every step would; the hot loop relies on that.

inline double HourAngleFrom(double longitudeHours, double equationOfTime, int16_t g, int16_t h) {
    const double d = static_cast<double>(vb::Sub16(h, g));
    // Solar time T: the longitude adds its hours, the equation of time is subtracted.
    const double T = (longitudeHours + d) - equationOfTime;
    return DegToRad(vb::Checked((12.0 - T) * 15.0));
}

inline double SunAltitudeFrom(const DayTerms& day, double omega) {
    return ArcSinClamped(vb::Checked(day.cosLatCosDecl * trig::Cos(omega) + day.sinLatSinDecl));
}

// gamma lies in 0..pi/2, so the result is always finite.
inline double SkyIlluminanceFrom(double gamma) {
    return 300.0 + 21000.0 * trig::Sin(gamma);
}

inline double ArtificialLightFrom(double Eh, double f, int32_t En) {
    const double D = vb::Checked(static_cast<double>(En) - Eh * f);
    return D > 0.0 ? D : 0.0;
}

} // namespace detail

inline double GetSkyIlluminance(const SiteTerms& site, const DayTerms& day, int16_t g, int16_t h) {
    return detail::SkyIlluminanceFrom(
        detail::SunAltitudeFrom(day, detail::HourAngleFrom(site.longitudeHours, day.equationOfTime, g, h)));
}

inline double GetArtificialLight(const SiteTerms& site, const DayTerms& day, int16_t g, double f, int32_t En,
                                 int16_t h) {
    return detail::ArtificialLightFrom(GetSkyIlluminance(site, day, g, h), f, En);
}

// The sky over one site, hour by hour. The site's and each day's terms are taken when the first hour needs
// them, so that a period without any working hour raises exactly what it would raise hour by hour.
class SiteSky {
  public:
    SiteSky(double longitude, double latitude, int16_t g)
        : longitude_(longitude), latitude_(latitude), g_(g) {}

    // GetSkyIlluminance(longitude, latitude, g, N, h), for hours visited day by day.
    double Illuminance(int16_t N, int16_t h) {
        if (!site_)
            site_ = GetSiteTerms(longitude_, latitude_);
        if (!day_ || dayOfTerms_ != N) {
            day_ = GetDayTerms(*site_, N);
            dayOfTerms_ = N;
        }
        return GetSkyIlluminance(*site_, *day_, g_, h);
    }

  private:
    double longitude_;
    double latitude_;
    int16_t g_;
    std::optional<SiteTerms> site_;
    std::optional<DayTerms> day_;
    int16_t dayOfTerms_ = 0;
};

// Day of year of a day in a month 1..12 (16-bit sum); 0 for any other month. The day is not checked.
int16_t GetDayOfYear(int16_t day, int16_t month);
// Length of month 1..12 (February always 28); 0 for any other month.
int16_t GetDaysOfMonth(int16_t month);

} // namespace korvane::daylight
