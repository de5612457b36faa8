#pragma once
// The one-page report of a room and the monthly chart it shares with the overview window. The caller gives
// every text in the user's language; nothing here looks up a language.

#include "clsInputOutput.h"

#include <QByteArray>
#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QPageLayout;
class QPainter;

namespace korvane::report {

using Periods = std::array<PeriodOutcome, kPeriodCount>;

// The texts of the monthly table and chart.
struct MonthTexts {
    QString periodColumn, savingColumn;
    QStringList periodNames; // 13: the year, then the months as the period list names them
    QStringList monthShort;  // 12 short month names under the bars
    QString yearLabel;       // names the year's line
};

// The weather file's sky beside the standard one: its thirteen periods, and the texts that tell the two
// apart.
struct WeatherSkyPeriods {
    QString standardName, weatherName; // head each sky's columns and name its bars
    QString autonomyColumn;
    QString fileLine; // the file's name and site
    Periods periods;
};

// "69%"; "69% !" when a model's message came with it; "–" when there is no figure.
QString PeriodText(const PeriodOutcome& outcome);
// The period's daylight autonomy in whole percent ("33%"), or "–".
QString AutonomyText(const PeriodOutcome& outcome);

// Bars of the twelve months on a 0 to 100 % scale, the year's value as a line across them; with a weather
// sky, its bar beside each month's and its year as a second line, named in a legend.
void PaintMonthlyChart(QPainter& painter, const QRectF& target, const Periods& periods,
                       const MonthTexts& texts, const WeatherSkyPeriods* weather = nullptr);

struct ReportLine {
    QString label, value, unit;
};

struct StudyReport {
    QString title, dateLine, versionLine, inputsHeading, monthsHeading, resultLabel;
    QList<ReportLine> inputs;
    int windowType = 1;   // which sketch
    QString resultPeriod; // the period the result is of, as the period list names it
    QString resultText;   // "69%"
    bool resultOk = true;
    QString resultMessage; // the model's message when not ok
    Periods periods;
    MonthTexts months;
    std::optional<WeatherSkyPeriods> weather; // nothing: the standard sky alone
    QString markLegend; // what a "!" and a red bar mean; shown when a period has one
    QString disclaimer;
};

// The report's margins from the paper's edge, in millimetres, on paper as in the PDF.
inline const QMarginsF kReportMarginsMm(15, 12, 15, 12);

// Where the report goes on a printer whose painter starts at the printable area of `layout`: within the
// report's margins from the paper's edge, or within the printer's own where they are wider.
QRectF ReportArea(const QPageLayout& layout, int resolution);

// Draws the page into `page` (painter coordinates), scaled evenly from an A4 design.
void PaintReport(QPainter& painter, const QRectF& page, const StudyReport& report);

// The report as a one-page A4 PDF: text as text, fonts embedded.
QByteArray ReportPdf(const StudyReport& report);

} // namespace korvane::report
