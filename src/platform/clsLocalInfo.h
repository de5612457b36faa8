#pragma once
// The locale reader: values of the user's or the machine's default locale, above all its decimal separator.
//
// On Linux the user's default locale is the one the environment names (LC_ALL, then LC_NUMERIC, then LANG,
// as the window toolkit reads them) and the machine's default is LANG of /etc/locale.conf or
// /etc/default/locale ("C" when neither names one). Separators come from a built-in table that agrees with
// the window toolkit's locale data, so no C library locale has to be installed.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane {

// The user locale's decimal separator, written once at start-up; empty when it could not be read.
extern std::string gDecimalSeparator;

// Locale value type of the decimal separator.
inline constexpr int32_t kLocaleDecimalSeparator = 14;

// Where locale names come from. Tests replace the process's environment and configuration files.
struct LocaleSources {
    // The value of an environment variable; nothing when it is not set.
    std::function<std::optional<std::string>(const char* name)> environment;
    // Files of KEY=value lines naming the machine's locale in LANG; the first that names one counts.
    std::vector<std::string> systemConfigFiles;
};

// The process environment and /etc/locale.conf, /etc/default/locale.
LocaleSources ProcessLocaleSources();
// A fixed environment (variables not in the map are unset) and the given configuration files.
LocaleSources FixedLocaleSources(std::map<std::string, std::string> environment,
                                 std::vector<std::string> systemConfigFiles = {});

// Makes every clsLocalInfo read from `sources` and returns the sources used so far.
LocaleSources SetLocaleSources(LocaleSources sources);

// Sets the locale sources for one scope and restores the previous ones at its end.
class ScopedLocaleSources {
  public:
    explicit ScopedLocaleSources(LocaleSources sources) : previous_(SetLocaleSources(std::move(sources))) {}
    ~ScopedLocaleSources() { SetLocaleSources(std::move(previous_)); }
    ScopedLocaleSources(const ScopedLocaleSources&) = delete;
    ScopedLocaleSources& operator=(const ScopedLocaleSources&) = delete;

  private:
    LocaleSources previous_;
};

// Decimal separator (UTF-8) of a locale named as in LANG: "de_DE.UTF-8" gives ",", "C" and "POSIX" give ".",
// "sr_RS@latin" and "de-CH" are understood; nothing for a language we do not know.
std::optional<std::string> DecimalSeparatorOfLocale(std::string_view localeName);

class clsLocalInfo {
  public:
    // 1: the user's default locale; 0 and any other value: the machine's. Errors are ignored.
    void SelectLocale(int32_t& source);
    // GetValue(14); empty after an error.
    std::string DecimalSeparator();
    // The selected locale's value of this type; empty when the locale or the type cannot be read.
    std::string GetValue(int32_t valueType);

  private:
#ifdef _WIN32
    uint32_t localeId_ = 0;
#else
    std::optional<std::string> localeName_;
#endif
};

} // namespace korvane
