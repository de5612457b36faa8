#include "CliReport.h"

#include "CliFormat.h"
#include "ResultSchema.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iomanip>

namespace korvane::cli {

namespace {

// Characters, not bytes, so that UTF-8 period names line up.
size_t DisplayWidth(std::string_view text) {
    return static_cast<size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Padded(std::string_view text, size_t width, bool right) {
    const size_t pad = width > DisplayWidth(text) ? width - DisplayWidth(text) : 0;
    return right ? std::string(pad, ' ') + std::string(text) : std::string(text) + std::string(pad, ' ');
}

} // namespace

std::string ErrorLine(const VbError& e) {
    return "error " + std::to_string(e.Number()) + ": " + e.Description() + " (" + e.Source() + ")";
}

void WriteEnergyText(const EnergyFigures& e, std::ostream& out) {
    for (const auto& field : kEnergyFields)
        out << TextLine(field, e.*field.energy) << "\n";
}

void WritePeriodTable(const std::vector<PeriodRow>& rows, std::ostream& out) {
    size_t nameWidth = 0;
    bool energy = false;
    for (const auto& row : rows) {
        nameWidth = std::max(nameWidth, DisplayWidth(row.name));
        energy = energy || row.result.energy.has_value();
    }
    out << Padded("", nameWidth, false) << "  saving" << (energy ? "  without kWh  with kWh  saved kWh" : "")
        << "  autonomy\n";
    for (const auto& row : rows) {
        const auto& r = row.result;
        out << Padded(row.name, nameWidth, false) << "  "
            << Padded(r.percent ? std::to_string(*r.percent) + "%" : "-", 6, true);
        if (energy) { // a period without figures keeps the autonomy in its column
            const auto figure = [&](const ResultField& field, size_t width) {
                return Padded(r.energy ? ShownText(field, (*r.energy).*field.energy) : "-", width, true);
            };
            out << "  " << figure(kEnergyFields[2], 11) << "  " << figure(kEnergyFields[3], 8) << "  "
                << figure(kSaved, 9);
        }
        out << "  " << Padded(r.autonomy ? AutonomyText(*r.autonomy) : "-", 8, true);
        if (r.error)
            out << "  " << ErrorLine(*r.error);
        out << '\n';
    }
}

nlohmann::ordered_json PeriodsJson(const std::vector<PeriodRow>& rows) {
    nlohmann::ordered_json periods = nlohmann::ordered_json::array();
    for (const auto& row : rows) {
        nlohmann::ordered_json period{{"period", row.period}, {"name", row.name}};
        period.update(ResultJson(row.result));
        periods.push_back(std::move(period));
    }
    return periods;
}

void WritePeriodJson(const std::vector<PeriodRow>& rows, std::ostream& out) {
    out << JsonText({{"periods", PeriodsJson(rows)}}) << "\n";
}

} // namespace korvane::cli
