#pragma once

#include "GeoEntry.h"
#include "VbError.h"
#include "clsLocalInfo.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace korvane {

inline void PrintTo(const GeoEntry& e, std::ostream* os) {
    *os << "{" << e.Name << ", " << e.Longitude << ", " << e.Latitude << ", " << e.TimeDiffGMT << "}";
}

// The user's locale, as the environment names it, for one scope.
inline ScopedLocaleSources UserLocale(const std::string& name) {
    return ScopedLocaleSources(FixedLocaleSources({{"LC_ALL", name}}));
}

struct RaisedError {
    int32_t number = 0; // 0: nothing raised
    std::string source;
};

inline RaisedError ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        return {e.Number(), e.Source()};
    }
    return {};
}

} // namespace korvane
