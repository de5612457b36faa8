#include "RoomFile.h"

#include "StudyTexts.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>

namespace korvane::room {

namespace {

using nlohmann::json;

[[noreturn]] void Fail(Fault fault, const std::string& field, const std::string& why) {
    throw RoomFileError(fault, field, field.empty() ? why : field + ": " + why);
}

// How the window's field takes a value: its length limit, whether a minus sign can be typed, and the range
// its check on leaving allows.
struct FieldRule {
    size_t maxLength;
    bool minus;
    double low;
    double high;
};
constexpr double kAny = 1e300;
constexpr FieldRule kHours{2, false, 0, 24};
constexpr FieldRule kLength{5, false, 0, kAny};
constexpr FieldRule kIlluminance{6, false, 0, kAny};
constexpr FieldRule kDegrees{6, true, -kAny, kAny};
constexpr FieldRule kGmt{3, true, -24, 24};
constexpr FieldRule kPercent{3, false, 0, 100};

nlohmann::ordered_json Put(const Number& value) {
    if (!value)
        return nullptr;
    // Whole values read better without a point.
    if (std::trunc(*value) == *value && std::fabs(*value) < 1e15)
        return static_cast<int64_t>(*value);
    return *value;
}

const json& Member(const json& object, const char* group, const char* name) {
    static const json missing;
    if (!object.is_object())
        Fail(Fault::WrongType, group, "is not an object");
    const auto it = object.find(name);
    if (it == object.end())
        Fail(Fault::WrongType, std::string(group).empty() ? name : std::string(group) + "." + name,
             "is missing");
    return *it;
}

std::string Path(const char* group, const char* name) {
    return std::string(group).empty() ? std::string(name) : std::string(group) + "." + name;
}

Number GetNumber(const json& object, const char* group, const char* name, const FieldRule& rule) {
    const json& value = Member(object, group, name);
    const std::string path = Path(group, name);
    if (value.is_null())
        return std::nullopt;
    if (!value.is_number())
        Fail(Fault::WrongType, path, "is not a number");
    const double number = value.get<double>();
    if (!std::isfinite(number))
        Fail(Fault::WrongType, path, "is not a finite number");
    if ((number < 0 && !rule.minus) || number < rule.low || number > rule.high)
        Fail(Fault::WrongType, path, FieldText(number) + " is out of range");
    if (FieldText(number).size() > rule.maxLength)
        Fail(Fault::WrongType, path, FieldText(number) + " is longer than the field");
    return number;
}

int GetChoice(const json& object, const char* group, const char* name, std::initializer_list<int> allowed) {
    const json& value = Member(object, group, name);
    const std::string path = Path(group, name);
    if (!value.is_number_integer())
        Fail(Fault::WrongType, path, "is not a whole number");
    const auto number = value.get<int64_t>();
    for (const int choice : allowed) {
        if (number == choice)
            return choice;
    }
    Fail(Fault::WrongType, path, std::to_string(number) + " is not one of the choices");
}

const json& Group(const json& root, const char* name) {
    const json& group = Member(root, "", name);
    if (!group.is_object())
        Fail(Fault::WrongType, name, "is not an object");
    return group;
}

} // namespace

std::string FieldText(double value) {
    if (value == 0)
        return "0"; // no "-0"
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string();
}

// The numeric fields in the keyboard's order: index, and where the room holds it.
constexpr std::pair<int, Number Room::*> kFieldNumbers[] = {
    {0, &Room::beginHour},          {1, &Room::endHour},           {2, &Room::depth},
    {3, &Room::width},              {4, &Room::illuminance},       {5, &Room::longitude},
    {6, &Room::latitude},           {7, &Room::timeDiffGMT},       {9, &Room::transmittance},
    {11, &Room::windowHeight},      {10, &Room::flatRoomHeight},   {12, &Room::windowArea},
    {13, &Room::roofLightDistance}, {14, &Room::glassHeight},      {15, &Room::sawtoothRoomHeight},
    {16, &Room::rowDistance},
};

void SetFieldNumbers(Room& r, const std::function<Number(int)>& field) {
    for (const auto& [index, member] : kFieldNumbers)
        r.*member = field(index);
}

std::string WriteRoom(const Room& room) {
    // In the order written here, so that "format" and "version" open the file.
    nlohmann::ordered_json out = nlohmann::ordered_json::object();
    out["format"] = kFormatName;
    out["version"] = kFormatVersion;
    out["workingHours"] = {{"begin", Put(room.beginHour)}, {"end", Put(room.endHour)}};
    out["period"] = room.period;
    out["room"] = {
        {"depth", Put(room.depth)}, {"width", Put(room.width)}, {"illuminance", Put(room.illuminance)}};
    out["site"] = {{"name", room.siteName ? nlohmann::ordered_json(*room.siteName) : nullptr},
                   {"longitude", Put(room.longitude)},
                   {"latitude", Put(room.latitude)},
                   {"gmt", Put(room.timeDiffGMT)}};
    out["glazing"] = {{"choice", room.glazing}, {"transmittance", Put(room.transmittance)}};
    out["windowType"] = room.windowType;
    out["facadeWindows"] = {{"band", room.band}, {"windowHeight", Put(room.windowHeight)}};
    out["flatRoof"] = {{"roomHeight", Put(room.flatRoomHeight)},
                       {"windowArea", Put(room.windowArea)},
                       {"distance", Put(room.roofLightDistance)}};
    out["sawtoothRoof"] = {{"glassHeight", Put(room.glassHeight)},
                           {"roomHeight", Put(room.sawtoothRoomHeight)},
                           {"distance", Put(room.rowDistance)},
                           {"slope", room.slope}};
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
        Fail(Fault::Foreign, "version", "is not a version number");
    if (version->get<int64_t>() > kFormatVersion)
        Fail(Fault::Newer, "version",
             std::to_string(version->get<int64_t>()) + " is newer than this program's " +
                 std::to_string(kFormatVersion));

    Room room;
    const json& hours = Group(root, "workingHours");
    room.beginHour = GetNumber(hours, "workingHours", "begin", kHours);
    room.endHour = GetNumber(hours, "workingHours", "end", kHours);
    room.period = GetChoice(root, "", "period", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    const json& inside = Group(root, "room");
    room.depth = GetNumber(inside, "room", "depth", kLength);
    room.width = GetNumber(inside, "room", "width", kLength);
    room.illuminance = GetNumber(inside, "room", "illuminance", kIlluminance);
    const json& site = Group(root, "site");
    const json& name = Member(site, "site", "name");
    if (name.is_string())
        room.siteName = name.get<std::string>();
    else if (!name.is_null())
        Fail(Fault::WrongType, "site.name", "is not a text");
    room.longitude = GetNumber(site, "site", "longitude", kDegrees);
    room.latitude = GetNumber(site, "site", "latitude", kDegrees);
    room.timeDiffGMT = GetNumber(site, "site", "gmt", kGmt);
    const json& glazing = Group(root, "glazing");
    room.glazing = GetChoice(glazing, "glazing", "choice", {0, 1, 2, 3});
    room.transmittance = GetNumber(glazing, "glazing", "transmittance", kPercent);
    room.windowType = GetChoice(root, "", "windowType", {1, 2, 3});
    const json& facade = Group(root, "facadeWindows");
    room.band = GetChoice(facade, "facadeWindows", "band", {30, 60, 90});
    room.windowHeight = GetNumber(facade, "facadeWindows", "windowHeight", kLength);
    const json& flat = Group(root, "flatRoof");
    room.flatRoomHeight = GetNumber(flat, "flatRoof", "roomHeight", kLength);
    room.windowArea = GetNumber(flat, "flatRoof", "windowArea", kLength);
    room.roofLightDistance = GetNumber(flat, "flatRoof", "distance", kLength);
    const json& saw = Group(root, "sawtoothRoof");
    room.glassHeight = GetNumber(saw, "sawtoothRoof", "glassHeight", kLength);
    room.sawtoothRoomHeight = GetNumber(saw, "sawtoothRoof", "roomHeight", kLength);
    room.rowDistance = GetNumber(saw, "sawtoothRoof", "distance", kLength);
    room.slope = GetChoice(saw, "sawtoothRoof", "slope", {60, 90});
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
