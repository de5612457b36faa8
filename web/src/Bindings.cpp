// What the page asks of the core: the calculation of the window's fields, the year and its months, the
// texts of both string tables, the site list, the fields' checks, room files and the weather file. JavaScript
// only shows what comes back.

#include "DefaultGeo.h"
#include "EpwFile.h"
#include "InputFields.h"
#include "RoomFile.h"
#include "SiteEntries.h"
#include "StudyTexts.h"
#include "TextInput.h"
#include "VbConvert.h"
#include "VbError.h"
#include "WeatherSky.h"
#include "clsGeoFile.h"
#include "clsInputOutput.h"
#include "clsLocalInfo.h"
#include "modLangConstants.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using emscripten::val;

namespace korvane::web {

namespace {

// Base ids of the table that is asked for texts; the page takes them all at once per language.
constexpr int16_t kFirstText = 100;
constexpr int16_t kLastText = 184;

// The weather file the page has open, read once; its bytes stay in the browser.
std::optional<weather::WeatherYear> gWeather;

val ErrorObject(const VbError& e) {
    val error = val::object();
    error.set("number", e.Number());
    error.set("source", e.Source());
    error.set("description", e.Description());
    return error;
}

val OutcomeObject(std::optional<int16_t> percent, std::optional<double> fraction,
                  const std::optional<VbError>& error) {
    val outcome = val::object();
    // As the window shows it: the stored percent, or 0 when the engine raised before storing one.
    outcome.set("percent", percent.value_or(0));
    outcome.set("fraction", fraction ? val(*fraction) : val::null());
    outcome.set("error", error ? ErrorObject(*error) : val::null());
    return outcome;
}

// A period's outcome with its daylight autonomy, as a fraction and in whole percent.
val WithAutonomy(const PeriodOutcome& p) {
    val outcome = OutcomeObject(p.percent, p.fraction, p.error);
    outcome.set("autonomy", p.autonomy ? val(*p.autonomy) : val::null());
    outcome.set("autonomyPercent", p.autonomy ? val(PercentOf(*p.autonomy)) : val::null());
    return outcome;
}

val PeriodArray(const std::array<PeriodOutcome, kPeriodCount>& periods,
                val (*outcome)(const PeriodOutcome&)) {
    val list = val::array();
    for (const PeriodOutcome& p : periods)
        list.call<void>("push", outcome(p));
    return list;
}

val PlainOutcome(const PeriodOutcome& p) {
    return OutcomeObject(p.percent, p.fraction, p.error);
}

// The thirteen periods under both skies at the open weather file's site: {standard, weather}.
val BothSkies(clsInputOutput io) {
    io = weather::AtWeatherSite(io, gWeather->site);
    val skies = val::object();
    skies.set("standard", PeriodArray(CalculateAllPeriods(io), &WithAutonomy));
    skies.set("weather", PeriodArray(weather::CalculateAllPeriodsUnderWeather(io, *gWeather), &WithAutonomy));
    return skies;
}

std::string Text(const val& fields, int index) {
    const val text = fields[std::to_string(index)];
    return text.isString() ? text.as<std::string>() : std::string();
}

// The page's inputs as the window's texts: {texts of the fields by index, windowType, band, slope (the option
// tags), period, glazing, siteName (empty for the user-defined site), separator}.
inputs::RoomTexts TextsOfPage(const val& page) {
    inputs::RoomTexts room;
    room.separator = page["separator"].as<std::string>();
    const val fields = page["fields"];
    for (const inputs::FieldRule& rule : inputs::FieldRules())
        room.Field(rule.id) = Text(fields, static_cast<int>(rule.id));
    const auto number = [&](const char* name, int fallback) {
        const val v = page[name];
        if (v.isNumber())
            return v.as<int>();
        return v.isString() ? std::atoi(v.as<std::string>().c_str()) : fallback;
    };
    room.Choice(inputs::ChoiceId::Period) = number("period", 0);
    room.Choice(inputs::ChoiceId::WindowType) = number("windowType", 1);
    // The page's transmittance field shows the preset, as the window's does.
    room.Choice(inputs::ChoiceId::Glazing) = page["glazing"].isNumber() ? page["glazing"].as<int>() : 0;
    room.Choice(inputs::ChoiceId::Band) = number("band", 60);
    room.Choice(inputs::ChoiceId::Slope) = number("slope", 90);
    return room;
}

// The window's calculation run on the page's inputs (TextsOfPage, and language). Gives {message: 146 or 153}
// when the run stops before the engine, {refusedField} for a value out of its field's range, {refused: error}
// for a choice outside its list, else the
// period's outcome and, on request, the thirteen periods (and, with a weather file open, BothSkies as
// `skies`).
val Calculate(const val& page, bool withPeriods) {
    SetLanguage(page["language"].as<int>());
    clsInputOutput io;
    try {
        io = inputs::ToCalculation(TextsOfPage(page), {});
    } catch (const inputs::InputRefusal& e) {
        val stop = val::object();
        if (e.Message() != 0)
            stop.set("message", e.Message());
        else
            stop.set("refusedField", static_cast<int>(e.Field()));
        return stop;
    } catch (const VbError& e) {
        // A choice outside its list.
        val stop = val::object();
        stop.set("refused", ErrorObject(e));
        return stop;
    }

    std::optional<VbError> error;
    try {
        io.CalculateEnergySaving();
    } catch (const VbError& e) {
        error = e;
    }
    val result = OutcomeObject(io.StoredPercent(), io.SavedFraction(), error);
    if (withPeriods) {
        result.set("periods", PeriodArray(CalculateAllPeriods(io), &PlainOutcome));
        if (gWeather)
            result.set("skies", BothSkies(io));
    }
    return result;
}

// Any error that leaves a binding comes to the page as {unhandled: error}, for the common error message.
template <class F> val Trapped(F&& f) {
    try {
        return f();
    } catch (const VbError& e) {
        val failed = val::object();
        failed.set("unhandled", ErrorObject(e));
        return failed;
    }
}

val CalculateBinding(val page, bool withPeriods) {
    return Trapped([&] { return Calculate(page, withPeriods); });
}

// The texts of base ids 100 to 184 in one language, indexed by base id - 100.
val Texts(int language) {
    return Trapped([&] {
        SetLanguage(language);
        val texts = val::array();
        for (int16_t id = kFirstText; id <= kLastText; ++id)
            texts.call<void>("push", GetLangString(id));
        return texts;
    });
}

// The texts of the room files and the monthly overview in one language, by their ids.
val StudyTexts(int language) {
    val texts = val::object();
    for (const lang::StudyTextRow& row : lang::StudyTextRows())
        texts.set(std::string(row.id), std::string(row.texts.at(static_cast<size_t>(language - 1))));
    return texts;
}

val BuiltInSites(int language) {
    return Trapped([&] {
        std::vector<GeoEntry> sites(1);
        clsGeoFile().ReadGeoData(DefaultGeoBytes(), sites);
        SetLanguage(language);
        return PageSites(std::move(sites));
    });
}

// A weather file {name, size, bytes} opened as the page's: {city, longitude, latitude, gmt}, the site the
// calculation moves to; a file over the reader's limit is refused by its size, and a refused file leaves the
// open one as it was.
val OpenWeather(const val& file) {
    return Trapped([&] {
        const std::string name = file["name"].as<std::string>();
        weather::CheckEpwSize(static_cast<uintmax_t>(file["size"].as<double>()), name);
        const auto raw = emscripten::convertJSArrayToNumberVector<unsigned char>(file["bytes"]);
        gWeather =
            weather::ReadEpw(std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()), name);
        const clsInputOutput at = weather::AtWeatherSite(clsInputOutput(), gWeather->site);
        val site = val::object();
        site.set("city", gWeather->site.city);
        site.set("longitude", at.Longitude);
        site.set("latitude", at.Latitude);
        site.set("gmt", at.TimeDiffGMT);
        return site;
    });
}

void CloseWeather() {
    gWeather.reset();
}

std::string SeparatorOfLocale(std::string localeName) {
    std::replace(localeName.begin(), localeName.end(), '-', '_');
    return DecimalSeparatorOfLocale(localeName).value_or(".");
}

std::string FormatNumber(double value, std::string sep) {
    return CStr(value, sep);
}

// The page as a room file: {text}, or {invalidField} for the first field whose text is no number (an empty
// field is kept as empty). The page's inputs as for Calculate, with the glazing choice and the chosen site's
// name (empty for the user-defined site).
val RoomText(const val& page) {
    inputs::RoomTexts texts = TextsOfPage(page);
    if (const std::string site = page["siteName"].as<std::string>(); !site.empty())
        texts.siteName = site;
    val result = val::object();
    for (const inputs::FieldRule& rule : inputs::FieldRules()) {
        const std::string& text = texts.Field(rule.id);
        if (!text.empty() && !IsNumeric(text, texts.separator)) {
            result.set("invalidField", static_cast<int>(rule.id));
            return result;
        }
    }
    const std::string text = room::WriteRoom(room::RoomOf(texts));
    try {
        // What the window would refuse is not kept.
        room::ReadRoom(text);
    } catch (const room::RoomFileError& e) {
        result.set("fault", room::FaultText(e));
        return result;
    }
    result.set("text", text);
    return result;
}

// A room file's bytes as the page's inputs, the numbers written with the page's separator; or {fault} with
// what is wrong when the file is refused.
val OpenRoom(const val& bytes, std::string sep, int language) {
    SetLanguage(language);
    const auto raw = emscripten::convertJSArrayToNumberVector<unsigned char>(bytes);
    room::Room r;
    try {
        r = room::ReadRoom(std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()));
    } catch (const room::RoomFileError& e) {
        val refused = val::object();
        refused.set("fault", room::FaultText(e));
        return refused;
    }
    val fields = val::object();
    const inputs::RoomTexts texts = room::TextsOf(r);
    for (const inputs::FieldRule& rule : inputs::FieldRules()) {
        std::string text = texts.Field(rule.id);
        if (const size_t point = text.find('.'); point != std::string::npos)
            text.replace(point, 1, sep);
        fields.set(std::to_string(static_cast<int>(rule.id)), text);
    }
    val page = val::object();
    page.set("fields", fields);
    page.set("period", r.period);
    page.set("siteName", r.siteName ? val(*r.siteName) : val::null());
    page.set("glazing", r.glazing);
    page.set("windowType", r.windowType);
    page.set("band", std::to_string(r.band));
    page.set("slope", std::to_string(r.slope));
    return page;
}

// Length, minus sign and range of every field, by the window's field number; with the calculator's option
// and the window type that reads it, so that the page's tests can hold the page to the calculator.
val FieldLimits() {
    const auto bound = [](const std::optional<double>& b) { return b ? val(*b) : val::null(); };
    val limits = val::object();
    for (const inputs::FieldRule& rule : inputs::FieldRules()) {
        val field = val::object();
        field.set("maxLength", rule.maxLength);
        field.set("minus", rule.minusAllowed);
        field.set("low", bound(rule.low));
        field.set("high", bound(rule.high));
        field.set("real", rule.reading == inputs::Reading::Real);
        field.set("option", std::string(rule.option));
        field.set("windowType", rule.windowType);
        limits.set(std::to_string(static_cast<int>(rule.id)), field);
    }
    return limits;
}

// The key filter: digits, "," and "." (which type the separator), and the minus sign where the field's rule
// allows it; the character the field receives, or the empty text when it refuses the key.
std::string FilterKey(int index, std::string typed, std::string sep) {
    if (typed.size() != 1)
        return std::string();
    const char32_t key = inputs::TypedCharacter(static_cast<inputs::FieldId>(index),
                                                static_cast<unsigned char>(typed[0]), sep);
    if (key == 0)
        return std::string();
    return key == static_cast<unsigned char>(typed[0]) ? typed : sep;
}

// The check on leaving a field: false when its text is a number outside the field's range. Empty or
// unreadable text passes; the calculation run reports it.
bool AcceptOnLeave(int index, std::string text, std::string sep) {
    return !inputs::RefusedOnLeave(static_cast<inputs::FieldId>(index), text, sep);
}

// The most the page reads of a file before the core refuses it, as the window's readers do.
val FileLimits() {
    val limits = val::object();
    limits.set("room", room::kMaxFileSize);
    limits.set("sites", static_cast<double>(clsGeoFile::kMaxFileBytes));
    limits.set("weather", static_cast<double>(weather::kMaxEpwBytes));
    return limits;
}

std::string Version() {
    return KORVANE_VERSION;
}

// What the page's lists are made of, from the tables the window fills its own from.
val Choices() {
    val presets = val::array();
    for (size_t i = 0; i < inputs::kGlazingPresets.size(); ++i)
        presets.set(i, inputs::kGlazingPresets[i] ? val(*inputs::kGlazingPresets[i]) : val::null());
    val choices = val::object();
    choices.set("glazingPresets", presets);
    choices.set("firstPeriodText", kFirstPeriodText);
    choices.set("periodCount", kPeriodCount);
    return choices;
}

} // namespace

} // namespace korvane::web

EMSCRIPTEN_BINDINGS(korvane) {
    using namespace korvane::web;
    emscripten::function("calculate", &CalculateBinding);
    emscripten::function("texts", &Texts);
    emscripten::function("studyTexts", &StudyTexts);
    emscripten::function("builtInSites", &BuiltInSites);
    emscripten::function("openWeather", &OpenWeather);
    emscripten::function("closeWeather", &CloseWeather);
    emscripten::function("separatorOfLocale", &SeparatorOfLocale);
    emscripten::function("formatNumber", &FormatNumber);
    emscripten::function("roomText", &RoomText);
    emscripten::function("openRoom", &OpenRoom);
    emscripten::function("fieldLimits", &FieldLimits);
    emscripten::function("filterKey", &FilterKey);
    emscripten::function("acceptOnLeave", &AcceptOnLeave);
    emscripten::function("fileLimits", &FileLimits);
    emscripten::function("version", &Version);
    emscripten::function("choices", &Choices);
}
