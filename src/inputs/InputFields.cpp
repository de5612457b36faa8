#include "InputFields.h"

#include "VbConvert.h"
#include "VbError.h"

#include <algorithm>
#include <array>

namespace korvane::inputs {

namespace {

constexpr int16_t kHoursOutOfOrder = 153;

constexpr std::array<FieldRule, 16> kRules{{
    {FieldId::BeginHour, 2, false, 0, 24},
    {FieldId::EndHour, 2, false, 0, 24},
    {FieldId::RoomDepth, 5, false, 0, std::nullopt},
    {FieldId::RoomWidth, 5, false, 0, std::nullopt},
    {FieldId::NominalIlluminance, 6, false, std::nullopt, std::nullopt},
    {FieldId::Longitude, 6, true, std::nullopt, std::nullopt},
    {FieldId::Latitude, 6, true, std::nullopt, std::nullopt},
    {FieldId::TimeDiffGMT, 3, true, -24, 24},
    {FieldId::Transmittance, 3, false, 0, 100},
    {FieldId::FlatRoofRoomHeight, 5, false, 0, std::nullopt},
    {FieldId::WindowHeight, 5, false, 0, std::nullopt},
    {FieldId::WindowArea, 5, false, 0, std::nullopt},
    {FieldId::WindowDistance, 5, false, 0, std::nullopt},
    {FieldId::SawtoothGlassHeight, 5, false, std::nullopt, std::nullopt},
    {FieldId::SawtoothRoomHeight, 5, false, std::nullopt, std::nullopt},
    {FieldId::SawtoothDistance, 5, false, std::nullopt, std::nullopt},
}};

std::string Bound(double value) {
    return CStr(value, ".");
}

std::string Quoted(std::string_view text) {
    // Appended piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict) about "'" + std::string.
    return std::string("'").append(text).append("'");
}

std::string RangeText(const FieldRule& rule) {
    if (rule.low && rule.high)
        return "outside " + Bound(*rule.low) + " to " + Bound(*rule.high);
    return rule.low ? "below " + Bound(*rule.low) : "above " + Bound(*rule.high);
}

bool InRange(const FieldRule& rule, double value) {
    return (!rule.low || value >= *rule.low) && (!rule.high || value <= *rule.high);
}

} // namespace

std::span<const FieldRule> FieldRules() {
    return kRules;
}

const FieldRule& RuleOf(FieldId id) {
    const auto rule =
        std::find_if(kRules.begin(), kRules.end(), [id](const FieldRule& r) { return r.id == id; });
    // An index from outside (the browser's script, say) may name no field, such as 8.
    if (rule == kRules.end())
        RaiseNoControlArrayElement(static_cast<int16_t>(id), "InputFields:RuleOf");
    return *rule;
}

std::optional<FieldProblem> CheckField(FieldId id, std::string_view text, std::string_view decimalSeparator) {
    const FieldRule& rule = RuleOf(id);
    const auto problem = [&](ProblemKind kind, const std::string& what) {
        return FieldProblem{kind, Quoted(text) + " " + what};
    };
    const std::string allowedCharacters = std::string("digits") + (rule.minusAllowed ? ", '-'" : "") +
                                          " and '" + std::string(decimalSeparator) + "'";
    bool minus = false, other = false;
    size_t characters = 0;
    for (size_t at = 0; at < text.size(); ++at, ++characters) {
        // The separator is one character, though not always one byte.
        if (!decimalSeparator.empty() && text.substr(at).starts_with(decimalSeparator))
            at += decimalSeparator.size() - 1;
        else if (text[at] == '-')
            minus = true;
        else if (text[at] < '0' || text[at] > '9')
            other = true;
    }
    const bool numeric = IsNumeric(text, decimalSeparator);
    if (!numeric)
        return problem(ProblemKind::NotANumber, "is not a number");
    if (other || (minus && !rule.minusAllowed)) {
        // A negative number in a field with a lower bound is out of range, which says more than the
        // character.
        if (!other && !InRange(rule, CDbl(text, decimalSeparator)))
            return problem(ProblemKind::Range, "is " + RangeText(rule));
        return problem(ProblemKind::Character, "may hold only " + allowedCharacters);
    }
    if (characters > static_cast<size_t>(rule.maxLength))
        return problem(ProblemKind::Length,
                       "is longer than " + std::to_string(rule.maxLength) + " characters");
    if (!InRange(rule, CDbl(text, decimalSeparator)))
        return problem(ProblemKind::Range, "is " + RangeText(rule));
    return std::nullopt;
}

std::optional<int16_t> CheckWorkingHours(int16_t begin, int16_t end) {
    if (begin < end)
        return std::nullopt;
    return kHoursOutOfOrder;
}

void SetFieldInputs(clsInputOutput& io, const std::function<std::string(int)>& text, int windowType,
                    std::string_view sep) {
    io.RoomDepth = CDbl(text(2), sep);
    io.RoomWidth = CDbl(text(3), sep);
    io.NominalIlluminance = CLng(text(4), sep);
    io.Longitude = CDbl(text(5), sep);
    io.Latitude = CDbl(text(6), sep);
    io.TimeDiffGMT = CInt(text(7), sep);
    io.Transmittance = CInt(text(9), sep);
    switch (windowType) {
    case 1:
        io.WindowHeight = CDbl(text(11), sep);
        break;
    case 2:
        io.RoomHeight = CDbl(text(10), sep);
        io.WindowArea = CDbl(text(12), sep);
        io.WindowDistance = CDbl(text(13), sep);
        break;
    case 3:
        io.WindowHeight = CDbl(text(14), sep);
        io.RoomHeight = CDbl(text(15), sep);
        io.WindowDistance = CDbl(text(16), sep);
        break;
    default:
        break;
    }
    if (windowType >= 1 && windowType <= 3)
        io.WindowType = static_cast<int16_t>(windowType);
}

} // namespace korvane::inputs
