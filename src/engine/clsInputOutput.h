#pragma once
// The parameter set of one calculation and its driver; the one interface between the window and the engine.

#include "Dimming.h"
#include "JahrEnergie.h"
#include "VbError.h"

#include <array>
#include <cstdint>
#include <optional>

namespace korvane {

class clsInputOutput {
  public:
    // Plain properties: writing stores the value unchanged, with no check. Lengths in m, areas in m², angles
    // in degrees (east and north positive), illuminance in lux, transmittance and band share in percent.
    int16_t BeginHour = 0;           // first working hour (8 = 8:00)
    int16_t EndHour = 0;             // the hour that begins here is not worked
    int16_t CalcPeriod = 0;          // 0 the whole year, 1..12 January..December
    bool DaylightSavingTime = false; // carried for the window; the calculation does not use it
    double RoomDepth = 0.0;          // window wall to back wall
    double RoomWidth = 0.0;          // along the window wall
    int32_t NominalIlluminance = 0;
    double Longitude = 0.0;
    double Latitude = 0.0;
    int16_t TimeDiffGMT = 0;     // hours the site's clock is ahead of GMT
    int16_t Transmittance = 0;   // light transmittance of the glazing
    int16_t WindowType = 0;      // 1 side windows, 2 flat roof with roof lights, 3 sawtooth roof
    int16_t WindowArray = 0;     // type 1: share of the window wall taken by the window band (30, 60, 90)
    double WindowHeight = 0.0;   // type 1: active window height; type 3: glass height of one row
    double RoomHeight = 0.0;     // types 2 and 3
    double WindowArea = 0.0;     // type 2: area of one roof light
    double WindowDistance = 0.0; // types 2 and 3: distance between roof lights or sawtooth rows
    int16_t WindowSlope = 0;     // type 3: slope of the sawtooth glazing (60, 75, 90)
    // Command-line studies only: the window leaves the model's gear, continuous dimming down to nothing.
    Dimming::Limits DimmingLimits;

    // Runs the calculation and returns the saving in whole percent (0..100). Raises "Wrong Window Type" for
    // an unknown type, a model's message after the result has been stored, or any run-time error unchanged.
    int16_t CalculateEnergySaving();
    // The same calculation under another sky: the standard overcast sky's hours computed for this object's
    // longitude, latitude, GMT difference, working hours and period give the same result to the bit, for
    // rooms that share a site; hours of another sky must be of this object's working hours and period.
    int16_t CalculateEnergySaving(const JahrEnergie::SkyHours& sky);

    // The percent stored by the last calculation, also when a model message was raised after it.
    std::optional<int16_t> StoredPercent() const { return storedPercent_; }
    // The saved fraction behind that percent.
    std::optional<double> SavedFraction() const { return savedFraction_; }
    // The daylight autonomy of that calculation: the share of the working hours in which daylight alone
    // reaches the nominal illuminance.
    std::optional<double> Autonomy() const { return autonomy_; }
    // The standard overcast sky at this object's site and working hours.
    JahrEnergie::StandardOvercastSky OvercastSky() const {
        return {Longitude, Latitude, TimeDiffGMT, BeginHour, EndHour};
    }

    // The daylight ratio f (transmittance included) the window model gives; may leave a message in
    // gCalcErrorText.
    double DaylightRatio() const;

  private:
    int16_t Calculate(const JahrEnergie::Sky& sky);

    std::optional<int16_t> storedPercent_;
    std::optional<double> savedFraction_;
    std::optional<double> autonomy_;
};

// What one period of a room gives: the percent (kept when a model message followed it), the saved fraction
// behind it, and the error the calculation raised, if any.
struct PeriodOutcome {
    std::optional<int16_t> percent;
    std::optional<double> fraction;
    std::optional<VbError> error;
    std::optional<double> autonomy; // with the fraction
};
inline constexpr int16_t kPeriodCount = 13; // the year, then January to December

// The year (index 0) and the twelve months of these inputs, whatever their CalcPeriod says: each entry what
// CalculateEnergySaving gives for that period, to the bit, from one pass over the year's days.
std::array<PeriodOutcome, kPeriodCount> CalculateAllPeriods(const clsInputOutput& inputs);
// The same with the sky taken from the year's hours (period 0) of the inputs' working hours, for rooms that
// share them; hours that do not hold the whole year are an error of every period.
std::array<PeriodOutcome, kPeriodCount> CalculateAllPeriods(const clsInputOutput& inputs,
                                                            const JahrEnergie::SkyHours& yearSky);

// Whole percent of a saved fraction: s x 100 rounded half away from zero, converted to 16 bits (6 "Overflow"
// beyond), then held to 0..100.
int16_t PercentOf(double savedFraction);

} // namespace korvane
