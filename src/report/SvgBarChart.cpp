#include "SvgBarChart.h"

#include "modLangConstants.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace korvane::report {

namespace {

constexpr int16_t kErrorText = 147; // "Error"
constexpr double kWidth = 720, kHeight = 400;
constexpr double kLeft = 56, kRight = 16, kTop = 40, kBottom = 96; // room for the axis and the names
constexpr double kPlotWidth = kWidth - kLeft - kRight, kPlotHeight = kHeight - kTop - kBottom;
constexpr const char* kYearColour = "#1f5f8b";
constexpr const char* kMonthColour = "#5b9bd5";
constexpr const char* kErrorColour = "#c0392b";

// Locale-free, at most two decimals.
std::string Num(double value) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::round(value * 100) / 100);
    return std::string(buf, r.ptr);
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::string XmlEscaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string MonthlySavingSvg(const std::array<PeriodBar, 13>& bars) {
    const double bottom = kTop + kPlotHeight;
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      Num(kWidth) + "\" height=\"" + Num(kHeight) + "\" viewBox=\"0 0 " + Num(kWidth) + " " +
                      Num(kHeight) +
                      "\" font-family=\"DejaVu Sans, Liberation Sans, Arial, sans-serif\" font-size=\"12\">\n"
                      "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    for (int p = 0; p <= 100; p += 20) {
        const std::string y = Num(bottom - kPlotHeight * p / 100);
        svg += "<line class=\"grid\" x1=\"" + Num(kLeft) + "\" y1=\"" + y + "\" x2=\"" +
               Num(kLeft + kPlotWidth) + "\" y2=\"" + y + "\" stroke=\"" + (p ? "#d0d0d0" : "#404040") +
               "\"/>\n";
        svg += "<text x=\"" + Num(kLeft - 6) + "\" y=\"" + y + "\" dy=\"4\" text-anchor=\"end\">" +
               std::to_string(p) + "</text>\n";
    }
    svg += "<text x=\"" + Num(kLeft - 6) + "\" y=\"" + Num(kTop - 16) + "\" text-anchor=\"end\">%</text>\n";

    const double slot = kPlotWidth / bars.size();
    bool anyError = false;
    for (size_t i = 0; i < bars.size(); ++i) {
        const PeriodBar& bar = bars[i];
        anyError = anyError || bar.error;
        const double percent = std::clamp(bar.percent.value_or(0), 0, 100);
        const double height = kPlotHeight * percent / 100;
        const double x = kLeft + slot * i + slot * 0.15, centre = kLeft + slot * (i + 0.5);
        const char* colour = bar.error ? kErrorColour : i == 0 ? kYearColour : kMonthColour;
        svg += "<rect class=\"bar" + std::string(bar.error ? " error" : "") + "\" x=\"" + Num(x) + "\" y=\"" +
               Num(bottom - height) + "\" width=\"" + Num(slot * 0.7) + "\" height=\"" + Num(height) +
               "\" fill=\"" + colour + "\"/>\n";
        svg += "<text class=\"value\" x=\"" + Num(centre) + "\" y=\"" + Num(bottom - height - 5) +
               "\" text-anchor=\"middle\">" + (bar.percent ? std::to_string(*bar.percent) + "%" : "–") +
               (bar.error ? " !" : "") + "</text>\n";
        const std::string name = Trimmed(PeriodName(static_cast<int16_t>(i)));
        svg += "<text class=\"name\" transform=\"translate(" + Num(centre + 4) + " " + Num(bottom + 10) +
               ") rotate(-45)\" text-anchor=\"end\">" + XmlEscaped(name) + "</text>\n";
    }
    if (anyError) {
        const double x = kLeft + kPlotWidth - 120;
        svg += "<rect x=\"" + Num(x) + "\" y=\"" + Num(kTop - 30) + "\" width=\"12\" height=\"12\" fill=\"" +
               kErrorColour + "\"/>\n<text class=\"legend\" x=\"" + Num(x + 18) + "\" y=\"" + Num(kTop - 20) +
               "\">" + XmlEscaped(Trimmed(GetLangString(kErrorText))) + " !</text>\n";
    }
    return svg + "</svg>\n";
}

} // namespace korvane::report
