#include "FieldChecks.h"

#include "VbConvert.h"

#include <algorithm>
#include <array>
#include <limits>

namespace korvane::web {

namespace {

constexpr double kAny = std::numeric_limits<double>::infinity();

constexpr std::array<FieldCheck, 16> kChecks{{
    {0, 2, false, 0, 24},
    {1, 2, false, 0, 24},
    {2, 5, false, 0, kAny},
    {3, 5, false, 0, kAny},
    {4, 6, false, -kAny, kAny},
    {5, 6, true, -kAny, kAny},
    {6, 6, true, -kAny, kAny},
    {7, 3, true, -24, 24},
    {9, 3, false, 0, 100},
    {10, 5, false, 0, kAny},
    {11, 5, false, 0, kAny},
    {12, 5, false, 0, kAny},
    {13, 5, false, 0, kAny},
    {14, 5, false, -kAny, kAny},
    {15, 5, false, -kAny, kAny},
    {16, 5, false, -kAny, kAny},
}};

const FieldCheck* Find(int index) {
    const auto it =
        std::find_if(kChecks.begin(), kChecks.end(), [&](const FieldCheck& c) { return c.index == index; });
    return it == kChecks.end() ? nullptr : &*it;
}

} // namespace

std::span<const FieldCheck> FieldChecks() {
    return kChecks;
}

std::string FilterKey(int index, std::string_view typed, std::string_view separator) {
    const FieldCheck* check = Find(index);
    if (!check || typed.size() != 1)
        return {};
    const char c = typed[0];
    if (c == ',' || c == '.')
        return std::string(separator.substr(0, 1));
    if ((c >= '0' && c <= '9') || (c == '-' && check->minusAllowed))
        return std::string(typed);
    return {};
}

bool AcceptOnLeave(int index, std::string_view text, std::string_view separator) {
    const FieldCheck* check = Find(index);
    if (!check || !IsNumeric(text, separator))
        return true;
    const double value = CDbl(text, separator);
    return value >= check->low && value <= check->high;
}

} // namespace korvane::web
