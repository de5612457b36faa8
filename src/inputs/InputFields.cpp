#include "InputFields.h"

#include "StudyTexts.h"
#include "VbConvert.h"
#include "modLangConstants.h"

#include <algorithm>

namespace korvane::inputs {

namespace {

using R = Reading;
constexpr std::nullopt_t kNone = std::nullopt;

// No place on earth lies outside the coordinates' bounds; a site file is held to them as typed text is.
constexpr std::array<FieldRule, 16> kRules{{
    {FieldId::BeginHour, 2, false, 0, 24, R::Int16, 0, 112, "workingHours.begin", "begin", "8"},
    {FieldId::EndHour, 2, false, 0, 24, R::Int16, 0, 113, "workingHours.end", "end", "17"},
    {FieldId::RoomDepth, 5, false, 0, kNone, R::Real, 0, 114, "room.depth", "depth", "4"},
    {FieldId::RoomWidth, 5, false, 0, kNone, R::Real, 0, 115, "room.width", "width", "5"},
    {FieldId::NominalIlluminance, 6, false, kNone, kNone, R::Int32, 0, 116, "room.illuminance", "illuminance",
     "500"},
    {FieldId::Longitude, 6, true, -180, 180, R::Real, 0, 117, "site.longitude", "longitude", ""},
    {FieldId::Latitude, 6, true, -90, 90, R::Real, 0, 118, "site.latitude", "latitude", ""},
    {FieldId::TimeDiffGMT, 3, true, -24, 24, R::Int16, 0, 119, "site.gmt", "gmt", ""},
    {FieldId::Transmittance, 3, false, 0, 100, R::Int16, 0, 121, "glazing.transmittance", "transmittance", ""},
    {FieldId::FlatRoofRoomHeight, 5, false, 0, kNone, R::Real, 2, 123, "flatRoof.roomHeight", "room-height",
     "4"},
    {FieldId::WindowHeight, 5, false, 0, kNone, R::Real, 1, 122, "facadeWindows.windowHeight", "window-height",
     "2"},
    {FieldId::WindowArea, 5, false, 0, kNone, R::Real, 2, 124, "flatRoof.windowArea", "window-area", "1"},
    {FieldId::WindowDistance, 5, false, 0, kNone, R::Real, 2, 125, "flatRoof.distance", "window-distance", "2"},
    {FieldId::SawtoothGlassHeight, 5, false, kNone, kNone, R::Real, 3, 127, "sawtoothRoof.glassHeight",
     "window-height", "1"},
    {FieldId::SawtoothRoomHeight, 5, false, kNone, kNone, R::Real, 3, 123, "sawtoothRoof.roomHeight",
     "room-height", "4"},
    {FieldId::SawtoothDistance, 5, false, kNone, kNone, R::Real, 3, 125, "sawtoothRoof.distance",
     "window-distance", "5"},
}};

constexpr std::array kPeriods{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
constexpr std::array kWindowTypes{1, 2, 3};
constexpr std::array kGlazings{0, 1, 2, 3};
constexpr std::array kBands{30, 60, 90};
constexpr std::array kSlopes{60, 90};

const std::array<ChoiceRule, kChoiceCount> kChoices{{
    {ChoiceId::Period, "period", "period", kPeriods, 0, true, 140},
    {ChoiceId::WindowType, "windowType", "window-type", kWindowTypes, 1, true, 0},
    {ChoiceId::Glazing, "glazing.choice", nullptr, kGlazings, 1, true, 120},
    {ChoiceId::Band, "facadeWindows.band", "band", kBands, 60, true, 0},
    {ChoiceId::Slope, "sawtoothRoof.slope", "slope", kSlopes, 90, false, 128},
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

// A label's text as one line: no access key, no closing colon or blanks.
std::string Label(int16_t labelId, const char* member) {
    if (labelId == 0)
        return member;
    std::string text = GetLangString(labelId);
    std::erase(text, '&');
    while (!text.empty() && (text.back() == ' ' || text.back() == ':'))
        text.pop_back();
    return text;
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

const FieldRule* FieldOfOption(std::string_view option, int windowType) {
    for (const FieldRule& rule : kRules) {
        if (option == rule.option && (rule.windowType == 0 || rule.windowType == windowType))
            return &rule;
    }
    return nullptr;
}

std::span<const ChoiceRule> ChoiceRules() {
    return kChoices;
}

const ChoiceRule& RuleOf(ChoiceId id) {
    return kChoices.at(static_cast<size_t>(id));
}

std::optional<int> ChoiceOf(ChoiceId id, std::string_view text) {
    const ChoiceRule& rule = RuleOf(id);
    for (const int value : rule.allowed) {
        if (text == std::to_string(value))
            return value;
    }
    return std::nullopt;
}

std::string AllowedText(ChoiceId id) {
    std::string text;
    for (const int value : RuleOf(id).allowed)
        text += (text.empty() ? "" : ", ") + std::to_string(value);
    return text;
}

std::optional<int16_t> GlazingPreset(int choice) {
    if (choice < 0 || static_cast<size_t>(choice) >= kGlazingPresets.size())
        RaiseRuntime(ErrSubscript, "InputFields:GlazingPreset");
    return kGlazingPresets[static_cast<size_t>(choice)];
}

char32_t TypedCharacter(FieldId id, char32_t key, std::string_view decimalSeparator) {
    const FieldRule& rule = RuleOf(id);
    if (key == ',' || key == '.') {
        // The separator's first character, decoded from UTF-8; a point when the locale gave none.
        if (decimalSeparator.empty())
            return '.';
        const auto lead = static_cast<unsigned char>(decimalSeparator[0]);
        if (lead < 0x80)
            return lead;
        char32_t code = lead & (lead >= 0xF0 ? 0x07 : lead >= 0xE0 ? 0x0F : 0x1F);
        for (size_t i = 1; i < decimalSeparator.size() && (decimalSeparator[i] & 0xC0) == 0x80; ++i)
            code = (code << 6) | (static_cast<unsigned char>(decimalSeparator[i]) & 0x3F);
        return code;
    }
    if (key >= '0' && key <= '9')
        return key;
    return key == '-' && rule.minusAllowed ? key : 0;
}

bool RefusedOnLeave(FieldId id, std::string_view text, std::string_view decimalSeparator) {
    const FieldRule& rule = RuleOf(id);
    return IsNumeric(text, decimalSeparator) && !InRange(rule, CDbl(text, decimalSeparator));
}

std::optional<FieldProblem> CheckField(FieldId id, std::string_view text, std::string_view decimalSeparator) {
    const FieldRule& rule = RuleOf(id);
    const auto problem = [&](ProblemKind kind, const std::string& what) {
        return FieldProblem{kind, Quoted(text) + " " + what};
    };
    if (text.empty())
        return FieldProblem{ProblemKind::Empty, "is empty"};
    if (!IsNumeric(text, decimalSeparator))
        return problem(ProblemKind::NotANumber, "is not a number");
    bool minus = false, other = false;
    for (size_t at = 0; at < text.size(); ++at) {
        // The separator is one character, though not always one byte.
        if (!decimalSeparator.empty() && text.substr(at).starts_with(decimalSeparator))
            at += decimalSeparator.size() - 1;
        else if (text[at] == '-')
            minus = true;
        else if (text[at] < '0' || text[at] > '9')
            other = true;
    }
    const bool inRange = InRange(rule, CDbl(text, decimalSeparator));
    // A negative number in a field with a lower bound is out of range, which says more than the character.
    if (other || (minus && !rule.minusAllowed && inRange)) {
        const std::string allowed = std::string("digits") + (rule.minusAllowed ? ", '-'" : "") + " and '" +
                                    std::string(decimalSeparator) + "'";
        return problem(ProblemKind::Character, "may hold only " + allowed);
    }
    if (!inRange)
        return problem(ProblemKind::Range, "is " + RangeText(rule));
    return std::nullopt;
}

std::string FieldLabel(FieldId id) {
    const FieldRule& rule = RuleOf(id);
    return Label(rule.labelId, rule.member);
}

std::string ChoiceLabel(ChoiceId id) {
    const ChoiceRule& rule = RuleOf(id);
    return Label(rule.labelId, rule.member);
}

std::string SaidInLanguage(FieldId id, ProblemKind kind, std::string_view text) {
    const FieldRule& rule = RuleOf(id);
    const std::string label = FieldLabel(id);
    switch (kind) {
    case ProblemKind::Empty:
        return label + " " + StudyText("fieldEmpty");
    case ProblemKind::NotANumber:
        return label + " " + Quoted(text) + " " + StudyText("fieldNotNumber");
    case ProblemKind::Character:
        return label + " " + Quoted(text) + " " + StudyText("fieldCharacter");
    case ProblemKind::Range:
        break;
    }
    const std::string low = rule.low ? Bound(*rule.low) : std::string();
    const std::string high = rule.high ? Bound(*rule.high) : std::string();
    return label + " " + Quoted(text) + " " + StudyText("fieldRange") + " (" + low + " … " + high + ")";
}

std::string ChoiceSaidInLanguage(ChoiceId id, std::string_view text) {
    return ChoiceLabel(id) + " " + Quoted(text) + " " + StudyText("fieldChoice") + " (" +
           AllowedText(id) + ")";
}

std::optional<int16_t> CheckWorkingHours(int16_t begin, int16_t end) {
    if (begin < end)
        return std::nullopt;
    return kMsgHoursOutOfOrder;
}

RoomTexts StartRoom() {
    RoomTexts room;
    for (const FieldRule& rule : kRules)
        room.Field(rule.id) = rule.startText;
    for (const ChoiceRule& rule : kChoices)
        room.Choice(rule.id) = rule.startValue;
    return room;
}

InputRefusal::InputRefusal(int16_t message, FieldId field, ProblemKind kind, std::string why)
    : VbError(kind == ProblemKind::Empty || kind == ProblemKind::NotANumber ? ErrTypeMismatch : ErrInvalidCall,
              "InputFields:ToCalculation", std::move(why)),
      message_(message), field_(field), kind_(kind) {}

} // namespace korvane::inputs
