#include "RoomFile.h"

#include "StudyTexts.h"
#include "VbConvert.h"

#include <nlohmann/json.hpp>

#include <array>
#include <functional>
#include <charconv>
#include <cmath>

namespace korvane::room {

namespace {

using nlohmann::json;

using inputs::ChoiceId;
using inputs::FieldId;

[[noreturn]] void Fail(Fault fault, const std::string& field, const std::string& why) {
    throw RoomFileError(fault, field, why);
}

// Where each field and choice is kept in a Room.
struct NumberSlot {
    FieldId id;
    Number Room::*member;
};
constexpr std::array<NumberSlot, 16> kNumbers{{
    {FieldId::BeginHour, &Room::beginHour},
    {FieldId::EndHour, &Room::endHour},
    {FieldId::RoomDepth, &Room::depth},
    {FieldId::RoomWidth, &Room::width},
    {FieldId::NominalIlluminance, &Room::illuminance},
    {FieldId::Longitude, &Room::longitude},
    {FieldId::Latitude, &Room::latitude},
    {FieldId::TimeDiffGMT, &Room::timeDiffGMT},
    {FieldId::Transmittance, &Room::transmittance},
    {FieldId::FlatRoofRoomHeight, &Room::flatRoomHeight},
    {FieldId::WindowHeight, &Room::windowHeight},
    {FieldId::WindowArea, &Room::windowArea},
    {FieldId::WindowDistance, &Room::roofLightDistance},
    {FieldId::SawtoothGlassHeight, &Room::glassHeight},
    {FieldId::SawtoothRoomHeight, &Room::sawtoothRoomHeight},
    {FieldId::SawtoothDistance, &Room::rowDistance},
}};
struct ChoiceSlot {
    ChoiceId id;
    int Room::*member;
};
constexpr std::array<ChoiceSlot, inputs::kChoiceCount> kChoices{{
    {ChoiceId::Period, &Room::period},
    {ChoiceId::WindowType, &Room::windowType},
    {ChoiceId::Glazing, &Room::glazing},
    {ChoiceId::Band, &Room::band},
    {ChoiceId::Slope, &Room::slope},
}};
constexpr const char* kSiteName = "site.name";
constexpr const char* kWeather = "weather";
// The file's layout: its groups and top-level choices in the order written.
constexpr std::array<const char*, 9> kLayout{"workingHours", "period", "room", "site", "glazing", "windowType",
                                             "facadeWindows", "flatRoof", "sawtoothRoof"};

// A member "group.name" as its group ("" at the top) and its name.
std::pair<std::string, std::string> Split(std::string_view member) {
    const size_t dot = member.find('.');
    if (dot == std::string_view::npos)
        return {std::string(), std::string(member)};
    return {std::string(member.substr(0, dot)), std::string(member.substr(dot + 1))};
}

nlohmann::ordered_json Put(const Number& value) {
    if (!value)
        return nullptr;
    // Whole values read better without a point.
    if (std::trunc(*value) == *value && std::fabs(*value) < 1e15)
        return static_cast<int64_t>(*value);
    return *value;
}

nlohmann::ordered_json& Slot(nlohmann::ordered_json& out, std::string_view member) {
    const auto [group, name] = Split(member);
    return group.empty() ? out[name] : out[group][name];
}

// The member's value; its label names it when it is missing.
const json& Member(const json& root, std::string_view member, const std::function<std::string()>& label) {
    const auto [group, name] = Split(member);
    const json* object = &root;
    if (!group.empty()) {
        const auto it = root.find(group);
        if (it == root.end() || !it->is_object())
            Fail(Fault::WrongType, std::string(member), label() + " " + StudyText("fieldMissing"));
        object = &*it;
    }
    const auto it = object->find(name);
    if (it == object->end())
        Fail(Fault::WrongType, std::string(member), label() + " " + StudyText("fieldMissing"));
    return *it;
}

Number GetNumber(const json& root, const inputs::FieldRule& rule) {
    const json& value = Member(root, rule.member, [&] { return inputs::FieldLabel(rule.id); });
    if (value.is_null())
        return std::nullopt;
    const std::string text = value.is_number() ? FieldText(value.get<double>()) : value.dump();
    if (!value.is_number() || !std::isfinite(value.get<double>()))
        Fail(Fault::WrongType, rule.member, inputs::SaidInLanguage(rule.id, inputs::ProblemKind::NotANumber, text));
    if (const auto problem = inputs::CheckField(rule.id, text, "."))
        Fail(Fault::WrongType, rule.member, inputs::SaidInLanguage(rule.id, problem->kind, text));
    return value.get<double>();
}

int GetChoice(const json& root, const inputs::ChoiceRule& rule) {
    const json& value = Member(root, rule.member, [&] { return inputs::ChoiceLabel(rule.id); });
    const std::string text = value.dump();
    const auto choice = value.is_number_integer() ? inputs::ChoiceOf(rule.id, text) : std::nullopt;
    if (!choice)
        Fail(Fault::WrongType, rule.member, inputs::ChoiceSaidInLanguage(rule.id, text));
    return *choice;
}

} // namespace

std::string FieldText(double value) {
    if (value == 0)
        return "0"; // no "-0"
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string();
}

std::string WriteRoom(const Room& room) {
    // In the order written here, so that "format" and "version" open the file.
    nlohmann::ordered_json out = nlohmann::ordered_json::object();
    out["format"] = kFormatName;
    out["version"] = kFormatVersion;
    for (const char* part : kLayout)
        out[part] = nlohmann::ordered_json::object();
    for (const bool leading : {true, false}) {
        for (const ChoiceSlot& slot : kChoices) {
            if (inputs::RuleOf(slot.id).leadsGroup == leading)
                Slot(out, inputs::RuleOf(slot.id).member) = room.*slot.member;
        }
        if (leading) {
            Slot(out, kSiteName) = room.siteName ? nlohmann::ordered_json(*room.siteName) : nullptr;
            for (const NumberSlot& slot : kNumbers)
                Slot(out, inputs::RuleOf(slot.id).member) = Put(room.*slot.member);
        }
    }
    if (room.weatherFile)
        out[kWeather] = *room.weatherFile;
    return out.dump(2) + "\n";
}

Room ReadRoom(std::string_view bytes) {
    if (bytes.size() > kMaxFileSize)
        Fail(Fault::TooLarge, "", "the file is larger than " + std::to_string(kMaxFileSize / 1024) + " KB");
    // The parser refuses malformed UTF-8 as well.
    const json root = json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (root.is_discarded())
        Fail(Fault::Damaged, "", "the file is damaged or not JSON");
    const auto format = root.is_object() ? root.find("format") : root.end();
    if (!root.is_object() || format == root.end() || *format != kFormatName)
        Fail(Fault::Foreign, "", "the file is not a room file");
    const auto version = root.find("version");
    if (version == root.end() || !version->is_number_integer() || version->get<int64_t>() < 1)
        Fail(Fault::Foreign, "version", "version: is not a version number");
    if (version->get<int64_t>() > kFormatVersion)
        Fail(Fault::Newer, "version",
             "version: " + std::to_string(version->get<int64_t>()) + " is newer than this program's " +
                 std::to_string(kFormatVersion));

    Room room;
    for (const NumberSlot& slot : kNumbers)
        room.*slot.member = GetNumber(root, inputs::RuleOf(slot.id));
    for (const ChoiceSlot& slot : kChoices)
        room.*slot.member = GetChoice(root, inputs::RuleOf(slot.id));
    const json& name = Member(root, kSiteName, [] { return std::string(kSiteName); });
    if (name.is_string())
        room.siteName = name.get<std::string>();
    else if (!name.is_null())
        Fail(Fault::WrongType, kSiteName, std::string(kSiteName) + " " + StudyText("fieldNotText"));
    // Optional, so that files written before it existed still open.
    if (const auto weather = root.find(kWeather); weather != root.end() && !weather->is_null()) {
        if (!weather->is_string() || weather->get<std::string>().empty())
            Fail(Fault::WrongType, kWeather, std::string(kWeather) + " " + StudyText("fieldNotText"));
        room.weatherFile = weather->get<std::string>();
    }
    return room;
}

inputs::RoomTexts TextsOf(const Room& room) {
    inputs::RoomTexts texts;
    for (const NumberSlot& slot : kNumbers) {
        const Number& value = room.*slot.member;
        texts.Field(slot.id) = value ? FieldText(*value) : std::string();
    }
    for (const ChoiceSlot& slot : kChoices)
        texts.Choice(slot.id) = room.*slot.member;
    texts.siteName = room.siteName;
    return texts;
}

Room RoomOf(const inputs::RoomTexts& texts) {
    Room room;
    for (const NumberSlot& slot : kNumbers) {
        const std::string& text = texts.Field(slot.id);
        room.*slot.member = text.empty() ? Number() : Number(CDbl(text, texts.separator));
    }
    for (const ChoiceSlot& slot : kChoices)
        room.*slot.member = texts.Choice(slot.id);
    room.siteName = texts.siteName;
    return room;
}

std::string FaultText(const RoomFileError& e) {
    switch (e.WhatIsWrong()) {
    case Fault::Damaged:
        return StudyText("faultDamaged");
    case Fault::Foreign:
        return StudyText("faultForeign");
    case Fault::Newer:
        return StudyText("faultNewer");
    case Fault::TooLarge:
        return StudyText("faultTooLarge");
    case Fault::WrongType:
        break;
    }
    return StudyText("faultWrongType") + " " + e.Description();
}

} // namespace korvane::room
