// A room's texts become a calculation's inputs as the window's calculation run makes them of its fields.

#include "InputFields.h"

#include "VbConvert.h"
#include "modLangConstants.h"

namespace korvane::inputs {

namespace {

// The texts that are read: a site of the list and a glazing preset stand in for their fields.
RoomTexts Effective(const RoomTexts& room, std::span<const GeoEntry> sites) {
    RoomTexts read = room;
    if (room.siteName) {
        for (size_t i = 1; i < sites.size(); ++i) {
            if (sites[i].Name != *room.siteName)
                continue;
            read.Field(FieldId::Longitude) = CStr(sites[i].Longitude, room.separator);
            read.Field(FieldId::Latitude) = CStr(sites[i].Latitude, room.separator);
            read.Field(FieldId::TimeDiffGMT) = std::to_string(sites[i].TimeDiffGMT);
            break;
        }
    }
    if (const auto preset = GlazingPreset(room.Choice(ChoiceId::Glazing)))
        read.Field(FieldId::Transmittance) = std::to_string(*preset);
    return read;
}

void CheckChoices(const RoomTexts& room) {
    for (const ChoiceRule& rule : ChoiceRules()) {
        const std::string text = std::to_string(room.Choice(rule.id));
        if (!ChoiceOf(rule.id, text))
            throw VbError(ErrInvalidCall, "InputFields:ToCalculation", ChoiceSaidInLanguage(rule.id, text));
    }
}

// The field's text, refused as the window refuses it: 146 when it is empty or no number, else with the
// beep of the check on leaving.
const std::string& Checked(const RoomTexts& room, FieldId id) {
    const std::string& text = room.Field(id);
    if (const auto problem = CheckField(id, text, room.separator)) {
        const bool incomplete = problem->kind == ProblemKind::Empty || problem->kind == ProblemKind::NotANumber;
        throw InputRefusal(incomplete ? kMsgIncomplete : int16_t{0}, id, problem->kind,
                           SaidInLanguage(id, problem->kind, text));
    }
    return text;
}

double Real(const RoomTexts& room, FieldId id) {
    return CDbl(Checked(room, id), room.separator);
}

// A whole number too large for its type is outside the field's range as well.
template <class Convert> auto Whole(const RoomTexts& room, FieldId id, Convert convert) {
    const std::string& text = Checked(room, id);
    try {
        return convert(text, room.separator);
    } catch (const VbError& e) {
        if (e.Number() != ErrOverflow)
            throw;
        throw InputRefusal(0, id, ProblemKind::Range, SaidInLanguage(id, ProblemKind::Range, text));
    }
}

int16_t Int16(const RoomTexts& room, FieldId id) {
    return Whole(room, id, [](std::string_view t, std::string_view sep) { return CInt(t, sep); });
}

int32_t Int32(const RoomTexts& room, FieldId id) {
    return Whole(room, id, [](std::string_view t, std::string_view sep) { return CLng(t, sep); });
}

void SetGeometry(clsInputOutput& io, const RoomTexts& room, int windowType) {
    switch (windowType) {
    case 1:
        io.WindowHeight = Real(room, FieldId::WindowHeight);
        break;
    case 2:
        io.RoomHeight = Real(room, FieldId::FlatRoofRoomHeight);
        io.WindowArea = Real(room, FieldId::WindowArea);
        io.WindowDistance = Real(room, FieldId::WindowDistance);
        break;
    default:
        io.WindowHeight = Real(room, FieldId::SawtoothGlassHeight);
        io.RoomHeight = Real(room, FieldId::SawtoothRoomHeight);
        io.WindowDistance = Real(room, FieldId::SawtoothDistance);
        break;
    }
}

} // namespace

clsInputOutput ToCalculation(const RoomTexts& given, std::span<const GeoEntry> sites) {
    CheckChoices(given);
    const RoomTexts room = Effective(given, sites);
    clsInputOutput io;
    const int16_t begin = Int16(room, FieldId::BeginHour);
    const int16_t end = Int16(room, FieldId::EndHour);
    if (const auto message = CheckWorkingHours(begin, end))
        throw InputRefusal(*message, FieldId::BeginHour, ProblemKind::Range, GetLangString(*message));
    io.BeginHour = begin;
    io.EndHour = end;
    io.CalcPeriod = static_cast<int16_t>(room.Choice(ChoiceId::Period));
    io.RoomDepth = Real(room, FieldId::RoomDepth);
    io.RoomWidth = Real(room, FieldId::RoomWidth);
    io.NominalIlluminance = Int32(room, FieldId::NominalIlluminance);
    io.Longitude = Real(room, FieldId::Longitude);
    io.Latitude = Real(room, FieldId::Latitude);
    io.TimeDiffGMT = Int16(room, FieldId::TimeDiffGMT);
    io.Transmittance = Int16(room, FieldId::Transmittance);
    const int windowType = room.Choice(ChoiceId::WindowType);
    io.WindowType = static_cast<int16_t>(windowType);
    SetGeometry(io, room, windowType);
    io.WindowArray = static_cast<int16_t>(room.Choice(ChoiceId::Band));
    io.WindowSlope = static_cast<int16_t>(room.Choice(ChoiceId::Slope));
    return io;
}

} // namespace korvane::inputs
