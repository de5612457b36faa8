#include "CliReport.h"

#include "CliFormat.h"
#include "CliWeather.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iomanip>

namespace korvane::cli {

namespace {

// Fixed-point text with one decimal, locale-free.
std::string Fixed1(double value) {
    std::array<char, 64> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed, 1);
    return std::string(buf.data(), r.ptr);
}

// Characters, not bytes, so that UTF-8 period names line up.
size_t DisplayWidth(std::string_view text) {
    return static_cast<size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Padded(std::string_view text, size_t width, bool right) {
    const size_t pad = width > DisplayWidth(text) ? width - DisplayWidth(text) : 0;
    return right ? std::string(pad, ' ') + std::string(text) : std::string(text) + std::string(pad, ' ');
}

std::string JsonEnergy(const EnergyFigures& e) {
    return "{\"floor_area_m2\": " + FormatShortest(e.floorArea) +
           ", \"working_hours\": " + FormatShortest(e.workingHours) +
           ", \"kwh_without_control\": " + FormatShortest(e.withoutControl) +
           ", \"kwh_with_control\": " + FormatShortest(e.withControl) +
           ", \"kwh_saved\": " + FormatShortest(e.saved) + "}";
}

// The sky's members of a result under a weather file: its name, the file's site and the hours whose
// illuminance came from irradiance.
std::string JsonWeather(const WeatherFile& file) {
    const auto& site = file.year.site;
    return ", \"sky\": \"weather\", \"weather\": " + JsonString(file.name) +
           ", \"site\": {\"name\": " + JsonString(site.city) +
           ", \"longitude\": " + FormatShortest(site.observer.longitude) +
           ", \"latitude\": " + FormatShortest(site.observer.latitude) +
           ", \"gmt\": " + FormatShortest(site.observer.timeZone) +
           "}, \"derivedHours\": " + std::to_string(file.year.derivedHours);
}

} // namespace

std::string JsonError(const VbError& e) {
    return "{\"number\": " + std::to_string(e.Number()) + ", \"source\": " + JsonString(e.Source()) +
           ", \"description\": " + JsonString(e.Description()) + "}";
}

std::string ErrorLine(const VbError& e) {
    return "error " + std::to_string(e.Number()) + ": " + e.Description() + " (" + e.Source() + ")";
}

std::string JsonResultMembers(const RoomResult& r) {
    std::string text =
        "\"percent\": " + (r.percent ? std::to_string(*r.percent) : std::string("null")) +
        ", \"fraction\": " + (r.fraction ? FormatJsonFraction(*r.fraction) : std::string("null")) +
        ", \"autonomy\": " + (r.autonomy ? FormatJsonFraction(*r.autonomy) : std::string("null")) +
        ", \"error\": " + (r.error ? JsonError(*r.error) : std::string("null"));
    if (r.energy)
        text += ", \"energy\": " + JsonEnergy(*r.energy);
    if (r.weather)
        text += JsonWeather(*r.weather);
    return text;
}

void WriteEnergyText(const EnergyFigures& e, std::ostream& out) {
    out << "floor area: " << FormatShortest(e.floorArea) << " m2\n"
        << "working hours: " << FormatShortest(e.workingHours) << " h\n"
        << "energy without control: " << Fixed1(e.withoutControl) << " kWh\n"
        << "energy with control: " << Fixed1(e.withControl) << " kWh\n"
        << "energy saved: " << Fixed1(e.saved) << " kWh\n";
}

void WritePeriodTable(const std::vector<PeriodRow>& rows, std::ostream& out) {
    size_t nameWidth = 0;
    bool energy = false;
    for (const auto& row : rows) {
        nameWidth = std::max(nameWidth, DisplayWidth(row.name));
        energy = energy || row.result.energy.has_value();
    }
    if (energy) {
        out << Padded("", nameWidth, false) << "  saving  without kWh  with kWh  saved kWh\n";
    }
    for (const auto& row : rows) {
        const auto& r = row.result;
        out << Padded(row.name, nameWidth, false) << "  "
            << Padded(r.percent ? std::to_string(*r.percent) + "%" : "-", 6, true);
        if (r.energy) {
            out << "  " << Padded(Fixed1(r.energy->withoutControl), 11, true) << "  "
                << Padded(Fixed1(r.energy->withControl), 8, true) << "  "
                << Padded(Fixed1(r.energy->saved), 9, true);
        }
        if (r.error)
            out << "  " << ErrorLine(*r.error);
        out << '\n';
    }
}

void WritePeriodJson(const std::vector<PeriodRow>& rows, std::ostream& out) {
    out << "{\"periods\": [";
    for (size_t i = 0; i < rows.size(); ++i) {
        out << (i ? ", " : "") << "{\"period\": " << rows[i].period
            << ", \"name\": " << JsonString(rows[i].name) << ", " << JsonResultMembers(rows[i].result) << "}";
    }
    out << "]}\n";
}

} // namespace korvane::cli
