#include "ResultSchema.h"

#include "CliFormat.h"
#include "CliWeather.h"

#include <array>
#include <charconv>

namespace korvane::cli {

namespace {

std::string PeriodSuffix(int16_t period) {
    return period == 0 ? "year" : (period < 10 ? "0" : "") + std::to_string(period);
}

// Fixed-point text with one decimal, locale-free.
std::string Fixed1(double value) {
    std::array<char, 64> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed, 1);
    return std::string(buf.data(), r.ptr);
}

// The digits of a JSON number under key: a fraction's in full, any other's shortest.
Digits DigitsOfKey(const std::string& key) {
    return key == kFraction.jsonKey || key == kAutonomy.jsonKey ? Digits::All : Digits::Shortest;
}

void AppendJson(std::string& out, const nlohmann::ordered_json& value, const std::string& key) {
    switch (value.type()) {
    case nlohmann::json::value_t::object: {
        out += '{';
        const char* between = "";
        for (const auto& [member, inner] : value.items()) {
            out += between;
            AppendJsonString(out, member);
            out += ": ";
            AppendJson(out, inner, member);
            between = ", ";
        }
        out += '}';
        break;
    }
    case nlohmann::json::value_t::array: {
        out += '[';
        for (size_t i = 0; i < value.size(); ++i) {
            out += i ? ", " : "";
            AppendJson(out, value[i], key);
        }
        out += ']';
        break;
    }
    case nlohmann::json::value_t::string:
        AppendJsonString(out, value.get_ref<const std::string&>());
        break;
    case nlohmann::json::value_t::number_float:
        out += NumberText(DigitsOfKey(key), value.get<double>());
        break;
    default: // null, booleans and integers as nlohmann writes them
        out += value.dump();
    }
}

} // namespace

std::vector<std::string> ResultColumns(bool energy, bool allPeriods) {
    std::vector<std::string> names;
    const auto perPeriod = [&](const ResultField& field) {
        for (int16_t period = 0; period < kPeriodCount; ++period)
            names.push_back(field.periodColumn + PeriodSuffix(period));
    };
    if (allPeriods)
        perPeriod(kPercent);
    else
        names = {kPercent.column, kFraction.column};
    names.insert(names.end(), {kErrorNumber.column, kErrorDescription.column});
    if (energy && allPeriods) {
        perPeriod(kSaved);
    } else if (energy) {
        for (const auto& field : kEnergyFields)
            names.push_back(field.column);
    }
    if (allPeriods)
        perPeriod(kAutonomy);
    else
        names.push_back(kAutonomy.column);
    return names;
}

std::string NumberFormatOf(const std::string& column) {
    for (const ResultField* field : {&kPercent, &kFraction, &kAutonomy, &kEnergyFields[0], &kEnergyFields[1],
                                     &kEnergyFields[2], &kEnergyFields[3], &kEnergyFields[4]}) {
        if (column == field->column || (field->periodColumn && column.starts_with(field->periodColumn)))
            return field->numberFormat;
    }
    return "";
}

std::string NumberText(Digits digits, double value) {
    switch (digits) {
    case Digits::All:
        return FormatJsonFraction(value);
    case Digits::Whole:
        return std::to_string(static_cast<int64_t>(value));
    case Digits::Shortest:
        break;
    }
    return FormatShortest(value);
}

std::string ShownText(const ResultField& field, double value) {
    return std::string_view(field.numberFormat) == "0.0" ? Fixed1(value) : FormatShortest(value);
}

std::string TextLine(const ResultField& field, double value) {
    return std::string(field.label) + ": " + ShownText(field, value) + " " + field.unit;
}

std::string AutonomyText(double autonomy) {
    return std::to_string(PercentOf(autonomy)) + kAutonomy.unit;
}

std::string AutonomyLine(double autonomy) {
    return std::string(kAutonomy.label) + ": " + AutonomyText(autonomy);
}

nlohmann::ordered_json ErrorJson(const std::optional<VbError>& e) {
    if (!e)
        return nullptr;
    return {{kErrorNumber.jsonKey, e->Number()},
            {kErrorSource.jsonKey, e->Source()},
            {kErrorDescription.jsonKey, e->Description()}};
}

nlohmann::ordered_json ResultJson(const RoomResult& r) {
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    json[kPercent.jsonKey] = r.percent ? nlohmann::ordered_json(*r.percent) : nullptr;
    json[kFraction.jsonKey] = r.fraction ? nlohmann::ordered_json(*r.fraction) : nullptr;
    json[kAutonomy.jsonKey] = r.autonomy ? nlohmann::ordered_json(*r.autonomy) : nullptr;
    json["error"] = ErrorJson(r.error);
    if (r.energy) {
        auto& energy = json["energy"] = nlohmann::ordered_json::object();
        for (const auto& field : kEnergyFields)
            energy[field.jsonKey] = (*r.energy).*field.energy;
    }
    if (r.weather) { // the sky's name, the file, its site and the hours derived from irradiance
        const auto& site = r.weather->year.site;
        json["sky"] = "weather";
        json["weather"] = r.weather->name;
        json["site"] = {{"name", site.city},
                        {"longitude", site.observer.longitude},
                        {"latitude", site.observer.latitude},
                        {"gmt", site.observer.timeZone}};
        json["derivedHours"] = r.weather->year.derivedHours;
    }
    return json;
}

std::string JsonText(const nlohmann::ordered_json& value, bool elementLines) {
    std::string out;
    if (!elementLines || !value.is_array()) {
        AppendJson(out, value, "");
        return out;
    }
    out += '[';
    for (size_t i = 0; i < value.size(); ++i) {
        out += i ? ",\n  " : "\n  ";
        AppendJson(out, value[i], "");
    }
    return out + "\n]";
}

} // namespace korvane::cli
