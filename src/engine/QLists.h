#pragma once
// Window models: the daylight ratio of a window arrangement for fully transparent glazing (interior
// illuminance at the reference point over outdoor horizontal illuminance, a plain fraction), from small
// tables with straight-line interpolation. All lengths in metres, areas in m², band share and slope in
// percent and degrees.
//
// A model never aborts for an input outside its table: it leaves a message in gCalcErrorText and returns a
// value. Arithmetic faults (a zero distance, a room height of exactly 0.8 m) are raised as run-time errors.

#include <cstdint>
#include <string>

namespace korvane {

// The message a model leaves for the calculation driver. One per thread, so that parallel batch work keeps
// the single-calculation semantics on each thread.
extern thread_local std::string gCalcErrorText;

namespace QLists {

// Straight line through (x1, y1) and (x2, y2) at x; no clamping, so it extrapolates too.
double Interpolate(double x1, double y1, double x2, double y2, double x);

// Window type 1. W room width, D room depth, h active window height, band = share of the window wall (30, 60,
// 90).
double GetSideWindowFactor(double W, double D, double h, int16_t band);
// Window type 2. H room height, A area of one roof light, d distance between roof lights.
double GetFlatRoofFactor(double W, double D, double H, double A, double d);
// Window type 3. hg glass height of one row, d row distance, slope in degrees (60 or 90 are tabulated).
double GetSawtoothFactor(double W, double D, double H, double hg, double d, int16_t slope);

// One column pair of the side-window table: width class 1 is the 7 m column, any other class the 10 m column.
double LookupBand30(double D, double h, int16_t widthClass);
double LookupBand60(double D, double h, int16_t widthClass);
double LookupBand90(double D, double h, int16_t widthClass);
// The sawtooth table; D is accepted for symmetry but not read.
double LookupSawtooth(double W, double D, double H, double hg, double d);

} // namespace QLists
} // namespace korvane
