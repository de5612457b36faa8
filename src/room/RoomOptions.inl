#pragma once
// The room's inputs as option texts; included by RoomFile.h.

namespace korvane::room {

template <class Put> void ForEachOption(const Room& room, Put&& put) {
    auto number = [&put](const char* name, const Number& value) {
        if (value)
            put(name, FieldText(*value));
    };
    put("window-type", std::to_string(room.windowType));
    number("begin", room.beginHour);
    number("end", room.endHour);
    put("period", std::to_string(room.period));
    number("depth", room.depth);
    number("width", room.width);
    number("illuminance", room.illuminance);
    // The coordinates rather than the site's name: another site list may not hold it, and a --site given
    // on the command line still wins over them.
    number("longitude", room.longitude);
    number("latitude", room.latitude);
    number("gmt", room.timeDiffGMT);
    number("transmittance", room.transmittance);
    switch (room.windowType) {
    case 1:
        put("band", std::to_string(room.band));
        number("window-height", room.windowHeight);
        break;
    case 2:
        number("room-height", room.flatRoomHeight);
        number("window-area", room.windowArea);
        number("window-distance", room.roofLightDistance);
        break;
    default:
        number("window-height", room.glassHeight);
        number("room-height", room.sawtoothRoomHeight);
        number("window-distance", room.rowDistance);
        put("slope", std::to_string(room.slope));
        break;
    }
}

} // namespace korvane::room
