#pragma once
// A room file (.kvroom): every input of the main window, so that a room can be kept, opened again and handed
// to the command line. UTF-8 JSON with a "format" and a "version" field; numbers carry a "." point whatever
// the locale. The reader takes what the window's fields and lists could hold (the field table's characters,
// ranges and choices; a length limits typing only).

#include "InputFields.h"
#include "VbError.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::room {

inline constexpr std::string_view kFormatName = "korvane-energy-room";
inline constexpr int kFormatVersion = 1;
inline constexpr size_t kMaxFileSize = 64 * 1024; // a room is well under 1 KB; anything far larger is not one
inline constexpr int32_t kErrRoomFile = 321;      // "Invalid file format"
inline constexpr const char* kRoomSource = "RoomFile";

// What is wrong with a file that is refused; the window says it in the user's language.
enum class Fault {
    Damaged,   // not JSON, or cut short
    Foreign,   // JSON, but not a room file
    Newer,     // a room file of a later version
    WrongType, // a field missing, of the wrong type, or a value the window would refuse
    TooLarge,
};

// Raised by ReadRoom: the fault, the member concerned (if any), and the VbError triple; the description says
// what is wrong in the current language, naming a field by its label in the window.
class RoomFileError : public VbError {
  public:
    RoomFileError(Fault fault, std::string field, std::string description)
        : VbError(kErrRoomFile, kRoomSource, std::move(description)), fault_(fault),
          field_(std::move(field)) {}
    Fault WhatIsWrong() const { return fault_; }
    const std::string& Field() const { return field_; }

  private:
    Fault fault_;
    std::string field_;
};

// One numeric field of the window; nothing when the field is empty.
using Number = std::optional<double>;

struct Room {
    Number beginHour, endHour;               // h, 0..24
    int period = 0;                          // 0 the year, 1..12 January..December
    Number depth, width, illuminance;        // m, m, lx
    std::optional<std::string> siteName;     // a site of the site list; nothing: the typed coordinates below
    Number longitude, latitude, timeDiffGMT; // degrees east, degrees north, h (-24..24)
    int glazing = 1;                         // 0 user-defined, 1..3 the presets
    Number transmittance;                    // %, 0..100
    int windowType = 1;                      // 1 facade windows, 2 flat roof, 3 sawtooth roof
    int band = 60;                           // facade: 30, 60 or 90 % of the wall
    Number windowHeight;                     // facade: active window height, m
    Number flatRoomHeight, windowArea, roofLightDistance; // flat roof: m, m², m
    Number glassHeight, sawtoothRoomHeight, rowDistance;  // sawtooth roof: m
    int slope = 90;                                       // sawtooth: 60 or 90 degrees
    // An EPW weather file for the second sky, as written in the file: a relative path is relative to the
    // room file's folder. Nothing: the standard sky only (and no "weather" member is written).
    std::optional<std::string> weatherFile;

    bool operator==(const Room&) const = default;
};

// The room as the file's text, pretty-printed, ending with a line feed.
std::string WriteRoom(const Room& room);
// Reads a room file's bytes; raises RoomFileError saying what is wrong.
Room ReadRoom(std::string_view bytes);

// What is wrong with a refused room file, in the current language, as the window and the page say it.
std::string FaultText(const RoomFileError& e);

// A field's value as the window shows it: "." as the point, no exponent, shortest form ("4", "2.5").
std::string FieldText(double value);

// The room as the window's texts ("." as the point, an empty field as the empty text), and back; RoomOf
// raises 13 for a text that is no number.
inputs::RoomTexts TextsOf(const Room& room);
Room RoomOf(const inputs::RoomTexts& texts);

} // namespace korvane::room
