// What the page asks of the core: the calculation of the window's fields, the year and its months, the
// texts of both string tables, the site list, the fields' checks and room files. JavaScript only shows what
// comes back.

#include "DefaultGeo.h"
#include "InputFields.h"
#include "RoomFile.h"
#include "StudyTexts.h"
#include "TextInput.h"
#include "VbConvert.h"
#include "VbError.h"
#include "clsGeoFile.h"
#include "clsInputOutput.h"
#include "clsLocalInfo.h"
#include "modLangConstants.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

using emscripten::val;

namespace korvane::web {

namespace {

constexpr int16_t kMsgIncomplete = 146;
constexpr int16_t kUserDefined = 177;

// Base ids of the table that is asked for texts; the page takes them all at once per language.
constexpr int16_t kFirstText = 100;
constexpr int16_t kLastText = 184;

void SetLanguage(int language) {
    if (language < 1 || language > 6)
        RaiseRuntime(ErrInvalidCall, "web:SetLanguage");
    gLanguage = static_cast<int16_t>(language);
}

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

std::string Text(const val& fields, int index) {
    const val text = fields[std::to_string(index)];
    return text.isString() ? text.as<std::string>() : std::string();
}

// The window's calculation run on the page's inputs: {texts of the fields by index, windowType, band, slope
// (the option tags), period, separator, language}. Gives {message: 146 or 153} when the run stops before the
// engine, else the period's outcome and, on request, the thirteen periods.
val Calculate(const val& page, bool withPeriods) {
    SetLanguage(page["language"].as<int>());
    const std::string sep = page["separator"].as<std::string>();
    const val fields = page["fields"];
    const auto text = [&](int index) { return Text(fields, index); };
    clsInputOutput io;
    try {
        io.BeginHour = CInt(text(0), sep);
        io.EndHour = CInt(text(1), sep);
        if (const auto message = inputs::CheckWorkingHours(io.BeginHour, io.EndHour)) {
            val stop = val::object();
            stop.set("message", *message);
            return stop;
        }
        inputs::SetFieldInputs(io, text, page["windowType"].as<int>(), sep);
        io.WindowArray = CInt(page["band"].as<std::string>(), sep);
        io.WindowSlope = CInt(page["slope"].as<std::string>(), sep);
    } catch (const VbError& e) {
        if (e.Number() != ErrTypeMismatch)
            throw;
        val stop = val::object();
        stop.set("message", kMsgIncomplete);
        return stop;
    }
    io.CalcPeriod = static_cast<int16_t>(page["period"].as<int>());

    std::optional<VbError> error;
    try {
        io.CalculateEnergySaving();
    } catch (const VbError& e) {
        error = e;
    }
    val result = OutcomeObject(io.StoredPercent(), io.SavedFraction(), error);
    if (withPeriods) {
        val periods = val::array();
        for (const PeriodOutcome& p : CalculateAllPeriods(io))
            periods.call<void>("push", OutcomeObject(p.percent, p.fraction, p.error));
        result.set("periods", periods);
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

val SiteArray(const std::vector<GeoEntry>& sites) {
    val list = val::array();
    for (const GeoEntry& site : sites) {
        val entry = val::object();
        entry.set("name", site.Name);
        entry.set("longitude", site.Longitude);
        entry.set("latitude", site.Latitude);
        entry.set("gmt", site.TimeDiffGMT);
        list.call<void>("push", entry);
    }
    return list;
}

// The position the site list selects after each refill: the last site whose name contains "frankfurt", in
// any case, else 1.
int DefaultSite(const std::vector<GeoEntry>& sites) {
    int selection = 1;
    for (size_t i = 0; i < sites.size(); ++i) {
        std::string name = sites[i].Name;
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (name.find("frankfurt") != std::string::npos)
            selection = static_cast<int>(i);
    }
    return selection;
}

// A site file {name, size, bytes} (the built-in one when none is given) as {sites, defaultSite}; entry 0 is
// the user-defined site, named in the language given. A file over the window's limit is refused by its size,
// so the page need not read it.
val ReadSites(const val& file, int language) {
    return Trapped([&] {
        SetLanguage(language);
        std::vector<GeoEntry> sites(1);
        clsGeoFile reader;
        if (file.isUndefined() || file.isNull())
            reader.ReadGeoData(DefaultGeoBytes(), sites);
        else {
            const std::string name = file["name"].as<std::string>();
            PassOn("clsGeoFile:OpenGeoFile", [&] {
                CheckFileSize(name, static_cast<uintmax_t>(file["size"].as<double>()),
                              clsGeoFile::kMaxFileBytes);
            });
            // The file's bytes as they are: the reader tells UTF-8 from Windows-1252 itself.
            const auto raw = emscripten::convertJSArrayToNumberVector<unsigned char>(file["bytes"]);
            reader.ReadGeoData(std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()), sites,
                               name);
        }
        sites[0].Name = GetLangString(kUserDefined);
        val result = val::object();
        result.set("sites", SiteArray(sites));
        result.set("defaultSite", DefaultSite(sites));
        return result;
    });
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
    const std::string sep = page["separator"].as<std::string>();
    const val fields = page["fields"];
    std::optional<int> invalid;
    const auto number = [&](int index) -> room::Number {
        const std::string text = Text(fields, index);
        if (text.empty())
            return std::nullopt;
        if (!IsNumeric(text, sep)) {
            invalid = invalid.value_or(index);
            return std::nullopt;
        }
        return CDbl(text, sep);
    };
    room::Room r;
    r.beginHour = number(0);
    r.endHour = number(1);
    r.period = page["period"].as<int>();
    r.depth = number(2);
    r.width = number(3);
    r.illuminance = number(4);
    if (const std::string site = page["siteName"].as<std::string>(); !site.empty())
        r.siteName = site;
    r.longitude = number(5);
    r.latitude = number(6);
    r.timeDiffGMT = number(7);
    r.glazing = page["glazing"].as<int>();
    r.transmittance = number(9);
    r.windowType = page["windowType"].as<int>();
    r.band = std::stoi(page["band"].as<std::string>());
    r.windowHeight = number(11);
    r.flatRoomHeight = number(10);
    r.windowArea = number(12);
    r.roofLightDistance = number(13);
    r.glassHeight = number(14);
    r.sawtoothRoomHeight = number(15);
    r.rowDistance = number(16);
    r.slope = std::stoi(page["slope"].as<std::string>());
    val result = val::object();
    if (invalid)
        result.set("invalidField", *invalid);
    else
        result.set("text", room::WriteRoom(r));
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
    const auto put = [&](int index, const room::Number& value) {
        std::string text = value ? room::FieldText(*value) : std::string();
        if (const size_t point = text.find('.'); point != std::string::npos)
            text.replace(point, 1, sep);
        fields.set(std::to_string(index), text);
    };
    put(0, r.beginHour);
    put(1, r.endHour);
    put(2, r.depth);
    put(3, r.width);
    put(4, r.illuminance);
    put(5, r.longitude);
    put(6, r.latitude);
    put(7, r.timeDiffGMT);
    put(9, r.transmittance);
    put(10, r.flatRoomHeight);
    put(11, r.windowHeight);
    put(12, r.windowArea);
    put(13, r.roofLightDistance);
    put(14, r.glassHeight);
    put(15, r.sawtoothRoomHeight);
    put(16, r.rowDistance);
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

// Length and minus sign of every field, by the window's field number.
val FieldLimits() {
    val limits = val::object();
    for (const inputs::FieldRule& rule : inputs::FieldRules()) {
        val field = val::object();
        field.set("maxLength", rule.maxLength);
        field.set("minus", rule.minusAllowed);
        limits.set(std::to_string(static_cast<int>(rule.id)), field);
    }
    return limits;
}

// The key filter: digits, "," and "." (which type the separator), and the minus sign where the field's rule
// allows it; the character the field receives, or the empty text when it refuses the key.
std::string FilterKey(int index, std::string typed, std::string sep) {
    const inputs::FieldRule& rule = inputs::RuleOf(static_cast<inputs::FieldId>(index));
    if (typed == "," || typed == ".")
        return sep;
    const bool digit = typed.size() == 1 && typed[0] >= '0' && typed[0] <= '9';
    return digit || (typed == "-" && rule.minusAllowed) ? typed : std::string();
}

// The check on leaving a field: false when its text is a number outside the field's range. Empty or
// unreadable text passes here; the calculation run reports it.
bool AcceptOnLeave(int index, std::string text, std::string sep) {
    const auto problem = inputs::CheckField(static_cast<inputs::FieldId>(index), text, sep);
    return !(problem && problem->kind == inputs::ProblemKind::Range);
}

// The most the page reads of a file before the core refuses it, as the window's readers do.
val FileLimits() {
    val limits = val::object();
    limits.set("room", room::kMaxFileSize);
    limits.set("sites", static_cast<double>(clsGeoFile::kMaxFileBytes));
    return limits;
}

std::string Version() {
    return KORVANE_VERSION;
}

} // namespace

} // namespace korvane::web

EMSCRIPTEN_BINDINGS(korvane) {
    using namespace korvane::web;
    emscripten::function("calculate", &CalculateBinding);
    emscripten::function("texts", &Texts);
    emscripten::function("studyTexts", &StudyTexts);
    emscripten::function("readSites", &ReadSites);
    emscripten::function("separatorOfLocale", &SeparatorOfLocale);
    emscripten::function("formatNumber", &FormatNumber);
    emscripten::function("roomText", &RoomText);
    emscripten::function("openRoom", &OpenRoom);
    emscripten::function("fieldLimits", &FieldLimits);
    emscripten::function("filterKey", &FilterKey);
    emscripten::function("acceptOnLeave", &AcceptOnLeave);
    emscripten::function("fileLimits", &FileLimits);
    emscripten::function("version", &Version);
}
