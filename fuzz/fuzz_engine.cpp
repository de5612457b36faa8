// Any values of the eighteen properties, the dimming limits and the language: a calculation returns a percent
// from 0 to 100 or raises a VbError with a number, a source and a description, stores a percent from 0 to 100
// and a finite fraction, and gives the same outcome to the bit over shared sky hours and from the pass over
// all periods. Each number is a kind byte and its bytes, so a seed spells a room: 0 raw bits, 1 a small whole
// number, 2 hundredths, 3 an edge.
#include "FuzzCheck.h"
#include "JahrEnergie.h"
#include "VbError.h"
#include "clsInputOutput.h"
#include "modLangConstants.h"

#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <string>

using namespace korvane;

namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;

    uint8_t Byte() { return at < size ? data[at++] : 0; }
    template <class T> T Raw() {
        std::array<uint8_t, sizeof(T)> bytes;
        for (uint8_t& b : bytes)
            b = Byte();
        return std::bit_cast<T>(bytes);
    }
    template <class T, size_t N> T Edge(const T (&edges)[N]) { return edges[Byte() % N]; }

    double Real() {
        using L = std::numeric_limits<double>;
        static constexpr double kTiny = L::denorm_min(), kMax = L::max(), kInf = L::infinity(),
                                kNaN = L::quiet_NaN();
        static constexpr double kEdges[] = {0.0,   -0.0, 0.8,   1.5,  5.0,   1e-300,
                                            kTiny, kMax, -kMax, kInf, -kInf, kNaN};
        const int k = Byte() % 4;
        return k == 0   ? Raw<double>()
               : k == 1 ? int8_t(Byte())
               : k == 2 ? Raw<int16_t>() / 1e2
                        : Edge(kEdges);
    }
    int16_t Int16() {
        static constexpr int16_t kEdges[] = {0, -1, 24, 30, 60, 75, 90, 100, 32767, -32768};
        const int k = Byte() % 4; // kind 2 is a period here
        return k == 0 ? Raw<int16_t>() : k == 1 ? int8_t(Byte()) : k == 2 ? Byte() % 13 : Edge(kEdges);
    }
    int32_t Int32() {
        static constexpr int32_t kEdges[] = {0, -1, 1, 2147483647, -2147483647 - 1};
        const int kind = Byte() % 3;
        return kind == 0 ? Raw<int32_t>() : kind == 1 ? Raw<int16_t>() : Edge(kEdges);
    }
};

// An outcome as text, the fraction by its bits, after checking it.
std::string Describe(const PeriodOutcome& o) {
    std::string text = "returned";
    if (o.error) {
        Check(o.error->Number() != 0 && !o.error->Source().empty() && !o.error->Description().empty());
        text = "raised " + std::to_string(o.error->Number()) + " " + o.error->Source() + " " +
               o.error->Description();
    }
    Check(o.percent.has_value() == o.fraction.has_value() &&
          o.fraction.has_value() == o.autonomy.has_value());
    if (!o.percent)
        return text;
    Check(*o.percent >= 0 && *o.percent <= 100 && std::isfinite(*o.fraction) && *o.autonomy >= 0 &&
          *o.autonomy <= 1);
    return text + ", stored " + std::to_string(*o.percent) + " " +
           std::to_string(std::bit_cast<uint64_t>(*o.fraction)) + " " +
           std::to_string(std::bit_cast<uint64_t>(*o.autonomy));
}

template <class Run> std::string Calculate(clsInputOutput io, Run&& run) {
    PeriodOutcome outcome;
    try {
        const int16_t percent = run(io);
        Check(io.StoredPercent() == percent);
    } catch (const VbError& e) {
        outcome.error = e;
    }
    outcome.percent = io.StoredPercent();
    outcome.fraction = io.SavedFraction();
    outcome.autonomy = io.Autonomy();
    return Describe(outcome);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in{data, size};
    gLanguage = static_cast<int16_t>(in.Byte() % 8); // 0 and 7 have no texts: a model message then fails
    clsInputOutput io;
    io.BeginHour = in.Int16(), io.EndHour = in.Int16(), io.CalcPeriod = in.Int16();
    io.DaylightSavingTime = in.Byte() & 1, io.RoomDepth = in.Real(), io.RoomWidth = in.Real();
    io.NominalIlluminance = in.Int32(), io.Longitude = in.Real(), io.Latitude = in.Real();
    io.TimeDiffGMT = in.Int16(), io.Transmittance = in.Int16(), io.WindowType = in.Int16();
    io.WindowArray = in.Int16(), io.WindowHeight = in.Real(), io.RoomHeight = in.Real();
    io.WindowArea = in.Real(), io.WindowDistance = in.Real(), io.WindowSlope = in.Int16();
    io.DimmingLimits.minPowerFraction = in.Real(), io.DimmingLimits.minLightFraction = in.Real();
    io.DimmingLimits.control = in.Byte() & 1 ? Dimming::Control::ContinuousOff : Dimming::Control::Continuous;
    // A day of more than 48 hours over a year, or of more than 2000 over a month, only takes longer: such
    // spans are folded back, the ones that overflow 16 bits stay.
    const int32_t span = int32_t{io.EndHour} - io.BeginHour;
    const int32_t limit = io.CalcPeriod == 0 ? 48 : io.CalcPeriod >= 1 && io.CalcPeriod <= 12 ? 2000 : 32767;
    if (span > limit && span <= 32767)
        io.EndHour = static_cast<int16_t>(io.BeginHour + span % (limit + 1));

    Check(Calculate(io, [](clsInputOutput& p) { return p.CalculateEnergySaving(); }) ==
          Calculate(io, [](clsInputOutput& p) {
              return p.CalculateEnergySaving(JahrEnergie::GetSkyHours(p.Longitude, p.Latitude, p.TimeDiffGMT,
                                                                      p.BeginHour, p.EndHour, p.CalcPeriod));
          }));
    // The year and the months in one pass, directly and over the year's sky hours, are the thirteen single
    // runs; days longer than the year's fold are left to the single-period check above.
    if (const int32_t day = int32_t{io.EndHour} - io.BeginHour; day > 48 && day <= 32767)
        return 0;
    const auto sky =
        JahrEnergie::GetSkyHours(io.Longitude, io.Latitude, io.TimeDiffGMT, io.BeginHour, io.EndHour, 0);
    const bool complete = JahrEnergie::IsCompleteYear(sky);
    const auto direct = CalculateAllPeriods(io), shared = CalculateAllPeriods(io, sky);
    for (int16_t period = 0; period < kPeriodCount; ++period) {
        io.CalcPeriod = period;
        const std::string alone = Calculate(io, [](clsInputOutput& p) { return p.CalculateEnergySaving(); });
        Check(Describe(direct[static_cast<size_t>(period)]) == alone);
        // Shared hours that stopped at an error cannot tell a later month's own errors at earlier hours: such
        // a month may raise the hours' error instead. Hours that do not hold the year fail every period.
        const auto& over = shared[static_cast<size_t>(period)];
        const std::string overText = Describe(over);
        const bool beyondHeldHours =
            sky.error && period > 0 &&
            JahrEnergie::PeriodHourIndex(sky.hours, JahrEnergie::HoursOfPeriod(sky.hours, period).firstDay,
                                         sky.hours.beginHour) >= sky.illuminance.size();
        if (!complete)
            Check(over.error.has_value());
        else
            Check(overText == alone ||
                  (beyondHeldHours && over.error && over.error->Number() == sky.error->Number()));
    }
    return 0;
}
