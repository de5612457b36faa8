#pragma once
// The saving of one room in the year and each month as a small bar chart, plain SVG text.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::report {

struct PeriodBar {
    std::optional<int> percent; // none when the period has no result
    bool error = false;         // the period's calculation left an error
};

// 13 bars, the whole year first, on a percent axis from 0 to 100 with grid lines; the periods named in the
// current language, the periods with an error drawn in their own colour and listed in a legend.
std::string MonthlySavingSvg(const std::array<PeriodBar, 13>& bars);

// Text with & < > " ' written as XML entities.
std::string XmlEscaped(std::string_view text);

} // namespace korvane::report
