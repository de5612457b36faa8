#include "QLists.h"

#include "VbMath.h"
#include "modLangConstants.h"

#include <array>
#include <cmath>

namespace korvane {

thread_local std::string gCalcErrorText;

namespace QLists {

using vb::Add;
using vb::Div;
using vb::Mul;
using vb::Sub;

namespace {

constexpr int16_t kMsgWindowTooLow = 155;

constexpr size_t kSideNodes = 14;
using SideColumn = std::array<double, kSideNodes>;

constexpr SideColumn kDepthRatio{1.4, 1.6, 1.8, 2.0, 2.2, 2.4, 2.6, 2.8, 3.0, 3.4, 3.8, 4.2, 4.6, 5.0};

struct BandColumns {
    SideColumn width7;
    SideColumn width10;
};

constexpr BandColumns kBand30{{0.0213, 0.0164, 0.0134, 0.0114, 0.01, 0.0088, 0.0079, 0.0073, 0.0067, 0.0057,
                               0.005, 0.0043, 0.0038, 0.0034},
                              {0.0264, 0.0209, 0.0172, 0.0147, 0.0128, 0.0114, 0.0102, 0.0093, 0.0085, 0.0073,
                               0.0063, 0.0055, 0.0049, 0.0044}};
constexpr BandColumns kBand60{{0.0423, 0.0328, 0.026, 0.0218, 0.0188, 0.0164, 0.0146, 0.0131, 0.0121, 0.0101,
                               0.0087, 0.0075, 0.0065, 0.0059},
                              {0.0503, 0.0403, 0.0331, 0.0282, 0.0247, 0.0218, 0.0196, 0.0178, 0.0163, 0.0138,
                               0.0119, 0.0102, 0.009, 0.0081}};
constexpr BandColumns kBand90{{0.0637, 0.0484, 0.0395, 0.0335, 0.0287, 0.0251, 0.0223, 0.0201, 0.0183, 0.0154,
                               0.0134, 0.0117, 0.0104, 0.0094},
                              {0.0773, 0.0582, 0.0465, 0.039, 0.0339, 0.0299, 0.0267, 0.0242, 0.0222, 0.0187,
                               0.016, 0.0139, 0.0124, 0.0112}};

constexpr size_t kRoofNodes = 5;
struct RoofTable {
    std::array<double, kRoofNodes> roomIndex;
    std::array<double, kRoofNodes> factor;
};
constexpr RoofTable kFlatRoof{{1.5, 2, 4, 10, 100}, {0.42649, 0.49701, 0.6466, 0.75682, 0.8325}};
constexpr RoofTable kSawtooth{{1, 2, 4, 10, 100}, {0.13169, 0.18527, 0.23883, 0.28348, 0.31888}};

double LookupBand(const BandColumns& band, double D, double h, int16_t widthClass) {
    const double q = Div(D, h);
    const SideColumn& Y = widthClass == 1 ? band.width7 : band.width10;
    const SideColumn& X = kDepthRatio;
    if (q < X[0]) {
        const double value = Mul(2.0, Interpolate(X[0], Y[0], X[1], Y[1], q));
        gCalcErrorText = GetLangString(kMsgWindowTooLow);
        return value;
    }
    if (q >= X[kSideNodes - 1]) {
        const double value = Mul(
            2.0, Interpolate(X[kSideNodes - 2], Y[kSideNodes - 2], X[kSideNodes - 1], Y[kSideNodes - 1], q));
        gCalcErrorText = GetLangString(kMsgWindowTooLow);
        return value;
    }
    for (size_t i = 0; i + 1 < kSideNodes; ++i) {
        if (X[i] <= q && q < X[i + 1])
            return Mul(2.0, Interpolate(X[i], Y[i], X[i + 1], Y[i + 1], q));
    }
    return 0.0; // not reached: q is finite and lies within the nodes here
}

// Interpolation over a roof table with the factors scaled by `scale`; both ends of a segment belong to it.
double LookupRoof(const RoofTable& table, double scale, double k) {
    const auto& A = table.roomIndex;
    const auto& B = table.factor;
    for (size_t i = 0; i + 1 < kRoofNodes; ++i) {
        if (A[i] <= k && k <= A[i + 1])
            return Interpolate(A[i], Mul(scale, B[i]), A[i + 1], Mul(scale, B[i + 1]), k);
    }
    return 0.0; // not reached: callers handle k outside the first and last node
}

} // namespace

double Interpolate(double x1, double y1, double x2, double y2, double x) {
    return Add(y2, Mul(Div(Sub(y1, y2), Sub(x1, x2)), Sub(x, x2)));
}

double LookupBand30(double D, double h, int16_t widthClass) {
    return LookupBand(kBand30, D, h, widthClass);
}
double LookupBand60(double D, double h, int16_t widthClass) {
    return LookupBand(kBand60, D, h, widthClass);
}
double LookupBand90(double D, double h, int16_t widthClass) {
    return LookupBand(kBand90, D, h, widthClass);
}

double GetSideWindowFactor(double W, double D, double h, int16_t band) {
    double (*lookup)(double, double, int16_t) = nullptr;
    switch (band) {
    case 30:
        lookup = LookupBand30;
        break;
    case 60:
        lookup = LookupBand60;
        break;
    case 90:
        lookup = LookupBand90;
        break;
    default:
        gCalcErrorText = "Windowpart not correct";
        return 0.0;
    }
    if (W >= 10.0)
        return lookup(D, h, 2);
    if (W <= 7.0)
        return lookup(D, h, 1);
    const double r7 = lookup(D, h, 1);
    const double r10 = lookup(D, h, 2);
    return Interpolate(7.0, r7, 10.0, r10, W);
}

double GetFlatRoofFactor(double W, double D, double H, double A, double d) {
    double nx = std::floor(Div(W, d));
    if (nx < 1.0)
        nx = 1.0;
    const double yRows = std::floor(Div(D, d));
    if (yRows < -32768.0 || yRows > 32767.0)
        vb::RaiseOverflow();
    int16_t ny = static_cast<int16_t>(yRows);
    if (ny < 1)
        ny = 1;
    const double F = Mul(W, D);
    const double g = Div(Mul(Mul(nx, A), static_cast<double>(ny)), F);
    const double k = Div(W, Sub(H, 0.8));
    if (k < 1.5) {
        gCalcErrorText = "Out of Data Space";
        return 0.0;
    }
    if (k >= 100.0)
        return Mul(g, 0.8325);
    return LookupRoof(kFlatRoof, g, k);
}

double GetSawtoothFactor(double W, double D, double H, double hg, double d, int16_t slope) {
    if (slope == 90 || slope == 60)
        return LookupSawtooth(W, D, H, hg, d);
    gCalcErrorText = "Window Angle unknown";
    return 0.0;
}

double LookupSawtooth(double W, double /*D*/, double H, double hg, double d) {
    const double r = Div(hg, d);
    const double k = Div(W, Sub(H, 0.8));
    if (k < 1.0) {
        gCalcErrorText = "Data out of space";
        return 0.0;
    }
    if (k >= 100.0)
        return Mul(r, 0.31888);
    return LookupRoof(kSawtooth, r, k);
}

} // namespace QLists
} // namespace korvane
