#pragma once
// Sun position and overcast-sky daylight for one site, day and clock hour.
//
// Units and signs at every interface: longitude in degrees, east of Greenwich positive; latitude in degrees,
// north positive; g = whole hours the site's standard time is ahead of GMT (no daylight-saving shift); N =
// day of year, 1 = 1 January .. 365 = 31 December, no leap days; h = whole clock hour of local standard time
// (8 = 8:00); angles passed between the functions in radians; illuminances in lux. All functions are pure.

#include <cstdint>

namespace korvane::daylight {

// Deliberately fourteen decimals, not the full double: results must match the established figures bit for
// bit.
inline constexpr double kPi = 3.14159265358979;

// Degrees to radians, product first then quotient.
double DegToRad(double degrees);
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
double ArcSinClamped(double s);
// Horizontal illuminance of the DIN 5034 overcast sky, lux: 300 + 21000 sin(altitude), so at least 300.
double GetSkyIlluminance(double longitude, double latitude, int16_t g, int16_t N, int16_t h);
// Artificial illuminance still needed (lux, 0 .. En) for daylight ratio f (transmittance included) and
// nominal En.
double GetArtificialLight(double longitude, double latitude, int16_t g, double f, int32_t En, int16_t N,
                          int16_t h);
// Day of year of a day in a month 1..12 (16-bit sum); 0 for any other month. The day is not checked.
int16_t GetDayOfYear(int16_t day, int16_t month);
// Length of month 1..12 (February always 28); 0 for any other month.
int16_t GetDaysOfMonth(int16_t month);

} // namespace korvane::daylight
