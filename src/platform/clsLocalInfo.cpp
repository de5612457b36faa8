#include "clsLocalInfo.h"

#include "VbError.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

namespace korvane {

std::string gDecimalSeparator;

namespace {

// Decimal separators of the window toolkit's locale data (CLDR), as blank-framed lists of codes: languages
// first, then the language_Script and language_TERRITORY names where a script or a territory differs from
// its language. U+066B is the Arabic decimal separator.
constexpr std::string_view kArabicSeparator = "\xD9\xAB";

constexpr std::string_view kCommaLanguages =
    " af agq ast az bas be bg br bs ca cs da de dsb dua dyo el eo es et eu ewo ff fi fo fr fur fy gl hr"
    " hsb hu hy ia id is it jgo jv ka kab kea kgp kk kkj kl km ksf ksh ku ky lb ln lo lt lu lv mgh mk mua"
    " nb nds nl nmg nn nnh os pl pt rn ro ru rw sah sc se seh sg shi sk sl smn sq sr su sv tg tk tr tt tzm"
    " uk uz vi wae wo yav yrl zgh ";
constexpr std::string_view kPointLanguages =
    " aa ab ak am an arn as asa ba bem bez bgn blt bm bn bo brx bss byn cch ccp ce ceb cgg chr cic co cu"
    " cv cy dav dje doi dv dz ebu ee en fil ga gaa gd gez gn gsw gu guz gv ha haw he hi ig ii io iu ja jbo"
    " jmc kaj kam kcg kde ken khq ki kln kn ko kok kpe ksb kw la lag lg lkt luo luy mai mas mer mfe mg mgo"
    " mi ml mn mni moh mr ms mt mus my myv naq nd ne nqo nr nso nus nv ny nyn oc om or osa pa pcm prg qu"
    " quc rm rof rwk sa saq sat sbp scn sdh ses si sid sma smj sms sn so ss ssy st sw syr szl ta te teo th"
    " ti tig tn to tpi trv ts twq ug ur vai ve vo vun wa wal wbp xh xog yi yo yue zh zu ";
constexpr std::string_view kArabicLanguages = " ar ckb fa ks lrc mzn ps sd ";

constexpr std::string_view kCommaExceptions =
    " ar_DZ ar_LY ar_MA ar_TN en_AT en_BE en_DE en_DK en_FI en_NL en_SE en_SI en_ZA ms_BN ms_ID qu_BO"
    " sw_CD ";
constexpr std::string_view kPointExceptions =
    " ar_AE ar_EH az_Arab az_IR de_CH de_LI es_419 es_BR es_BZ es_CU es_DO es_GT es_HN es_MX es_NI es_PA"
    " es_PE es_PR es_SV es_US ff_Adlm it_CH ks_Deva sd_Deva sd_IN ";
constexpr std::string_view kArabicExceptions = " pa_Arab pa_PK ur_IN uz_AF uz_Arab ";

// Old language codes that locale names still use.
// clang-format off
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kLanguageAliases = {{
    {"in", "id"}, {"iw", "he"}, {"ji", "yi"}, {"mo", "ro"}, {"no", "nb"}, {"sh", "sr"}, {"tl", "fil"},
}};
// clang-format on

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
bool AllOf(std::string_view s, bool (*pred)(char)) {
    return std::all_of(s.begin(), s.end(), pred);
}

bool Listed(std::string_view list, std::string_view code) {
    std::string needle = " ";
    needle.append(code).push_back(' ');
    return list.find(needle) != std::string_view::npos;
}

// The separator of a code in one kind of lists, languages or exceptions.
std::optional<std::string> Lookup(std::string_view code, std::string_view commaList,
                                  std::string_view pointList, std::string_view arabicList) {
    if (Listed(commaList, code))
        return ",";
    if (Listed(pointList, code))
        return ".";
    if (Listed(arabicList, code))
        return std::string(kArabicSeparator);
    return std::nullopt;
}

LocaleSources& CurrentSources() {
    static LocaleSources sources = ProcessLocaleSources();
    return sources;
}

#ifndef _WIN32
std::string Unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

std::string_view Trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// LANG of a file of KEY=value lines, as /etc/locale.conf and /etc/default/locale hold it.
std::optional<std::string> LangOfConfigFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::optional<std::string> lang;
    while (std::getline(in, line)) {
        std::string_view text = Trimmed(line);
        if (text.starts_with("export "))
            text = Trimmed(text.substr(7));
        if (text.starts_with("LANG=")) {
            std::string value = Unquoted(Trimmed(text.substr(5)));
            lang = value.empty() ? std::nullopt : std::optional(value);
        }
    }
    return lang;
}

std::string UserLocaleName(const LocaleSources& sources) {
    for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        std::optional<std::string> value = sources.environment ? sources.environment(name) : std::nullopt;
        if (value && !value->empty())
            return *value;
    }
    return "C";
}

std::string SystemLocaleName(const LocaleSources& sources) {
    for (const std::string& path : sources.systemConfigFiles)
        if (std::optional<std::string> lang = LangOfConfigFile(path))
            return *lang;
    return "C";
}
#endif

} // namespace

LocaleSources ProcessLocaleSources() {
    LocaleSources sources;
    sources.environment = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    sources.systemConfigFiles = {"/etc/locale.conf", "/etc/default/locale"};
    return sources;
}

LocaleSources FixedLocaleSources(std::map<std::string, std::string> environment,
                                 std::vector<std::string> systemConfigFiles) {
    LocaleSources sources;
    sources.environment = [env = std::move(environment)](const char* name) -> std::optional<std::string> {
        const auto it = env.find(name);
        return it == env.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
    sources.systemConfigFiles = std::move(systemConfigFiles);
    return sources;
}

LocaleSources SetLocaleSources(LocaleSources sources) {
    return std::exchange(CurrentSources(), std::move(sources));
}

std::optional<std::string> DecimalSeparatorOfLocale(std::string_view localeName) {
    localeName = localeName.substr(0, localeName.find_first_of(".@"));
    if (localeName == "C" || localeName == "POSIX")
        return ".";

    std::vector<std::string_view> parts;
    while (!localeName.empty()) {
        const size_t cut = localeName.find_first_of("_-");
        parts.push_back(localeName.substr(0, cut));
        localeName = cut == std::string_view::npos ? std::string_view() : localeName.substr(cut + 1);
    }
    if (parts.empty() || parts[0].size() < 2 || parts[0].size() > 3 || !AllOf(parts[0], IsAsciiLetter))
        return std::nullopt;

    std::string language;
    std::transform(parts[0].begin(), parts[0].end(), std::back_inserter(language), Lower);
    for (const auto& [old, current] : kLanguageAliases)
        if (language == old)
            language = current;

    std::string script, territory;
    size_t next = 1;
    if (next < parts.size() && parts[next].size() == 4 && AllOf(parts[next], IsAsciiLetter)) {
        script.push_back(Upper(parts[next][0]));
        std::transform(parts[next].begin() + 1, parts[next].end(), std::back_inserter(script), Lower);
        ++next;
    }
    if (next < parts.size()) {
        const std::string_view t = parts[next];
        const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
        if ((t.size() == 2 && AllOf(t, IsAsciiLetter)) ||
            (t.size() == 3 && std::all_of(t.begin(), t.end(), isDigit)))
            std::transform(t.begin(), t.end(), std::back_inserter(territory), Upper);
    }

    for (const std::string& part : {script, territory})
        if (!part.empty())
            if (auto separator =
                    Lookup(language + "_" + part, kCommaExceptions, kPointExceptions, kArabicExceptions))
                return separator;
    return Lookup(language, kCommaLanguages, kPointLanguages, kArabicLanguages);
}

#ifdef _WIN32

void clsLocalInfo::SelectLocale(int32_t& source) {
    localeId_ = source == 1 ? GetUserDefaultLCID() : GetSystemDefaultLCID();
}

std::string clsLocalInfo::GetValue(int32_t valueType) {
    return PassOn("clsLocalInfo:GetValue", [&]() -> std::string {
        wchar_t buffer[255];
        const int length = GetLocaleInfoW(localeId_, static_cast<LCTYPE>(valueType), buffer, 255);
        if (length <= 1)
            return {};
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, buffer, length - 1, nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<size_t>(bytes), '\0');
        WideCharToMultiByte(CP_UTF8, 0, buffer, length - 1, text.data(), bytes, nullptr, nullptr);
        return text;
    });
}

#else

void clsLocalInfo::SelectLocale(int32_t& source) {
    try {
        const LocaleSources& sources = CurrentSources();
        localeName_ = source == 1 ? UserLocaleName(sources) : SystemLocaleName(sources);
    } catch (...) {
        // Ignored: the previously selected locale stays.
    }
}

std::string clsLocalInfo::GetValue(int32_t valueType) {
    return PassOn("clsLocalInfo:GetValue", [&]() -> std::string {
        if (!localeName_ || valueType != kLocaleDecimalSeparator)
            return {};
        return DecimalSeparatorOfLocale(*localeName_).value_or(std::string());
    });
}

#endif

std::string clsLocalInfo::DecimalSeparator() {
    try {
        return GetValue(kLocaleDecimalSeparator);
    } catch (...) {
        return {};
    }
}

} // namespace korvane
