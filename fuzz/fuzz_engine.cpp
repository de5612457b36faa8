// Any values of the eighteen properties, the dimming limits and the language: a calculation returns a
// percent from 0 to 100 or raises a VbError with a number, a source and a description; what it stores is a
// percent from 0 to 100 and a finite fraction; the calculation over shared sky hours gives the same outcome
// to the bit.
//
// The input is read from the front, field by field; each number is a kind byte and its bytes, so that a seed
// spells a room: kind 1 is a small whole number, kind 2 hundredths, 0 raw bits, 3 a value from the edges.
#include "JahrEnergie.h"
#include "VbError.h"
#include "clsInputOutput.h"
#include "modLangConstants.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>

using namespace korvane;

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

class Reader {
  public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    template <class T> T Raw() {
        uint8_t bytes[sizeof(T)] = {};
        for (uint8_t& b : bytes)
            b = Byte();
        T value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

    double Real() {
        static constexpr double kEdges[] = {0.0,
                                            -0.0,
                                            0.8,
                                            1.5,
                                            5.0,
                                            1e-300,
                                            std::numeric_limits<double>::denorm_min(),
                                            std::numeric_limits<double>::max(),
                                            -std::numeric_limits<double>::max(),
                                            std::numeric_limits<double>::infinity(),
                                            -std::numeric_limits<double>::infinity(),
                                            std::numeric_limits<double>::quiet_NaN()};
        switch (Byte() % 4) {
        case 0:
            return Raw<double>();
        case 1:
            return static_cast<int8_t>(Byte());
        case 2:
            return Raw<int16_t>() / 100.0;
        default:
            return kEdges[Byte() % std::size(kEdges)];
        }
    }

    int16_t Int16() {
        static constexpr int16_t kEdges[] = {0, -1, 24, 30, 60, 75, 90, 100, 32767, -32768};
        switch (Byte() % 4) {
        case 0:
            return Raw<int16_t>();
        case 1:
            return static_cast<int8_t>(Byte());
        case 2:
            return static_cast<int16_t>(Byte() % 13); // a period
        default:
            return kEdges[Byte() % std::size(kEdges)];
        }
    }

    int32_t Int32() {
        static constexpr int32_t kEdges[] = {0, -1, 1, 2147483647, -2147483647 - 1};
        switch (Byte() % 3) {
        case 0:
            return Raw<int32_t>();
        case 1:
            return Raw<int16_t>();
        default:
            return kEdges[Byte() % std::size(kEdges)];
        }
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// A day of more than 48 hours over a year, or of more than 2000 over a month, only takes longer: such spans
// are folded back, the ones that overflow 16 bits stay.
void BoundWork(clsInputOutput& io) {
    const int32_t span = int32_t{io.EndHour} - io.BeginHour;
    const int32_t limit = io.CalcPeriod == 0                            ? 48
                          : (io.CalcPeriod >= 1 && io.CalcPeriod <= 12) ? 2000
                                                                        : 32767;
    if (span > limit && span <= 32767)
        io.EndHour = static_cast<int16_t>(io.BeginHour + span % (limit + 1));
}

struct Outcome {
    std::optional<int16_t> returned;
    std::optional<VbError> error;
    std::optional<int16_t> stored;
    std::optional<double> fraction;
};

template <class Run> Outcome Calculate(clsInputOutput io, Run&& run) {
    Outcome o;
    try {
        o.returned = run(io);
    } catch (const VbError& e) {
        o.error = e;
    }
    o.stored = io.StoredPercent();
    o.fraction = io.SavedFraction();
    return o;
}

void CheckOutcome(const Outcome& o) {
    Check(o.returned.has_value() != o.error.has_value());
    if (o.returned) {
        Check(*o.returned >= 0 && *o.returned <= 100);
        Check(o.stored == o.returned);
    } else {
        Check(o.error->Number() != 0);
        Check(!o.error->Source().empty());
        Check(!o.error->Description().empty());
    }
    if (o.stored)
        Check(*o.stored >= 0 && *o.stored <= 100);
    Check(o.stored.has_value() == o.fraction.has_value());
    if (o.fraction)
        Check(std::isfinite(*o.fraction));
}

bool SameError(const std::optional<VbError>& a, const std::optional<VbError>& b) {
    if (!a || !b)
        return !a && !b;
    return a->Number() == b->Number() && a->Source() == b->Source() && a->Description() == b->Description();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in(data, size);
    gLanguage = static_cast<int16_t>(in.Byte() % 8); // 0 and 7 have no texts: a model message then fails
    clsInputOutput io;
    io.BeginHour = in.Int16();
    io.EndHour = in.Int16();
    io.CalcPeriod = in.Int16();
    io.DaylightSavingTime = in.Byte() & 1;
    io.RoomDepth = in.Real();
    io.RoomWidth = in.Real();
    io.NominalIlluminance = in.Int32();
    io.Longitude = in.Real();
    io.Latitude = in.Real();
    io.TimeDiffGMT = in.Int16();
    io.Transmittance = in.Int16();
    io.WindowType = in.Int16();
    io.WindowArray = in.Int16();
    io.WindowHeight = in.Real();
    io.RoomHeight = in.Real();
    io.WindowArea = in.Real();
    io.WindowDistance = in.Real();
    io.WindowSlope = in.Int16();
    io.DimmingLimits.minPowerFraction = in.Real();
    io.DimmingLimits.minLightFraction = in.Real();
    io.DimmingLimits.control = in.Byte() & 1 ? Dimming::Control::ContinuousOff : Dimming::Control::Continuous;
    BoundWork(io);

    const Outcome alone = Calculate(io, [](clsInputOutput& p) { return p.CalculateEnergySaving(); });
    const Outcome shared = Calculate(io, [](clsInputOutput& p) {
        return p.CalculateEnergySaving(JahrEnergie::GetSkyHours(p.Longitude, p.Latitude, p.TimeDiffGMT,
                                                                p.BeginHour, p.EndHour, p.CalcPeriod));
    });
    CheckOutcome(alone);
    CheckOutcome(shared);
    Check(alone.returned == shared.returned && alone.stored == shared.stored);
    Check(SameError(alone.error, shared.error));
    Check(alone.fraction.has_value() == shared.fraction.has_value());
    if (alone.fraction)
        Check(std::bit_cast<uint64_t>(*alone.fraction) == std::bit_cast<uint64_t>(*shared.fraction));
    return 0;
}
