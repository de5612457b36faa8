#include "StudyReport.h"

#include "Drawings.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextOption>

#include <algorithm>

namespace korvane::report {

namespace {

// The page is laid out on a grid of 1000 × 1414 units (A4's proportions, a unit about 0.19 mm), then
// scaled to the printable area.
constexpr double kWidth = 1000;
constexpr double kHeight = 1414;
const QColor kGreen(0, 192, 0);
const QColor kRed(255, 0, 0);
const QColor kGrid(200, 200, 200);
const QColor kWeatherBar(230, 140, 0);
const QColor kYearLine(0, 70, 160);
const QColor kWeatherYearLine(170, 85, 0);

QFont Font(int pixelSize, bool bold = false) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

double Text(QPainter& painter, const QRectF& box, const QString& text, const QFont& font,
            int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap) {
    painter.setFont(font);
    QRectF used;
    painter.drawText(box, flags, text, &used);
    return used.height();
}

// A value right-aligned, wrapped at its words, or anywhere in a word longer than the line.
QTextOption ValueOption() {
    QTextOption option(Qt::AlignRight | Qt::AlignVCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

double LinesHeight(QPainter& painter, const QRectF& box, const QString& text, const QFont& font) {
    painter.setFont(font);
    return painter.boundingRect(QRectF(box.left(), box.top(), box.width(), 1e6), text, ValueOption())
        .height();
}

// text, shortened in its middle until it takes at most `lines` lines of box.
QString Fitted(QPainter& painter, const QRectF& box, const QString& text, const QFont& font, int lines) {
    const double most = QFontMetricsF(font, painter.device()).lineSpacing() * (lines + 0.5);
    QString fitted = text;
    for (qsizetype keep = text.size() - 1; keep > 1 && LinesHeight(painter, box, fitted, font) > most; --keep)
        fitted = text.left(keep / 2) + QChar(0x2026) + text.right(keep - keep / 2);
    return fitted;
}

ui::Sketch SketchOf(int windowType) {
    switch (windowType) {
    case 2:
        return ui::Sketch::FlatRoof;
    case 3:
        return ui::Sketch::Sawtooth;
    default:
        return ui::Sketch::SideWindows;
    }
}

void PaintMonthTable(QPainter& painter, const QRectF& box, const Periods& periods, const MonthTexts& texts) {
    const double row = box.height() / (kPeriodCount + 1);
    const double split = box.left() + box.width() * 0.62;
    painter.setPen(Qt::black);
    Text(painter, QRectF(box.left(), box.top(), split - box.left(), row), texts.periodColumn, Font(17, true),
         Qt::AlignLeft | Qt::AlignVCenter);
    Text(painter, QRectF(split, box.top(), box.right() - split, row), texts.savingColumn, Font(17, true),
         Qt::AlignRight | Qt::AlignVCenter);
    for (int i = 0; i < kPeriodCount; ++i) {
        const double top = box.top() + row * (i + 1);
        painter.setPen(kGrid);
        painter.drawLine(QPointF(box.left(), top), QPointF(box.right(), top));
        painter.setPen(Qt::black);
        const QFont font = Font(17, i == 0);
        Text(painter, QRectF(box.left(), top, split - box.left(), row), texts.periodNames.value(i), font,
             Qt::AlignLeft | Qt::AlignVCenter);
        Text(painter, QRectF(split, top, box.right() - split, row),
             PeriodText(periods[static_cast<size_t>(i)]), font, Qt::AlignRight | Qt::AlignVCenter);
    }
}

// The same table with both skies: saving and autonomy under each sky's name.
void PaintSkiesTable(QPainter& painter, const QRectF& box, const Periods& periods, const MonthTexts& texts,
                     const WeatherSkyPeriods& weather) {
    const double row = box.height() / (kPeriodCount + 3);
    const double first = box.width() * 0.26;
    const double column = (box.width() - first) / 4;
    auto left = [&](int c) { return box.left() + first + column * c; };
    const int centred = Qt::AlignCenter | Qt::TextWordWrap;
    painter.setPen(Qt::black);
    const double skyHeight = row * 1.4;
    Text(painter, QRectF(left(0), box.top(), column * 2, skyHeight), weather.standardName, Font(15, true),
         centred);
    Text(painter, QRectF(left(2), box.top(), column * 2, skyHeight), weather.weatherName, Font(15, true),
         centred);
    const double namesTop = box.top() + skyHeight;
    const double tableTop = box.top() + row * 3;
    Text(painter, QRectF(box.left(), namesTop, first, tableTop - namesTop), texts.periodColumn,
         Font(15, true), Qt::AlignLeft | Qt::AlignBottom);
    // The column names wrap at their words; a word longer than the column makes them all smaller.
    int size = 13;
    for (const QString& name : {texts.savingColumn, weather.autonomyColumn}) {
        for (const QString& word : name.split(' ')) {
            while (size > 8 &&
                   QFontMetricsF(Font(size), painter.device()).horizontalAdvance(word) > column - 4)
                --size;
        }
    }
    for (int c = 0; c < 4; ++c)
        Text(painter, QRectF(left(c) + 2, namesTop, column - 4, tableTop - namesTop),
             c % 2 == 0 ? texts.savingColumn : weather.autonomyColumn, Font(size),
             Qt::AlignHCenter | Qt::AlignBottom | Qt::TextWordWrap);
    for (int i = 0; i < kPeriodCount; ++i) {
        const double top = tableTop + row * i;
        painter.setPen(kGrid);
        painter.drawLine(QPointF(box.left(), top), QPointF(box.right(), top));
        painter.setPen(Qt::black);
        const QFont font = Font(16, i == 0);
        const auto index = static_cast<size_t>(i);
        Text(painter, QRectF(box.left(), top, first, row), texts.periodNames.value(i), font,
             Qt::AlignLeft | Qt::AlignVCenter);
        const QString values[] = {PeriodText(periods[index]), AutonomyText(periods[index]),
                                  PeriodText(weather.periods[index]), AutonomyText(weather.periods[index])};
        for (int c = 0; c < 4; ++c)
            Text(painter, QRectF(left(c), top, column, row), values[c], font, Qt::AlignCenter);
    }
    painter.setPen(kGrid);
    painter.drawLine(QPointF(left(2), box.top()), QPointF(left(2), tableTop + row * kPeriodCount));
}

} // namespace

QString PeriodText(const PeriodOutcome& outcome) {
    if (!outcome.percent)
        return QStringLiteral("–");
    return QString::number(*outcome.percent) + '%' + (outcome.error ? QStringLiteral(" !") : QString());
}

QString AutonomyText(const PeriodOutcome& outcome) {
    if (!outcome.autonomy)
        return QStringLiteral("–");
    return QString::number(PercentOf(*outcome.autonomy)) + '%';
}

void PaintMonthlyChart(QPainter& painter, const QRectF& target, const Periods& periods,
                       const MonthTexts& texts, const WeatherSkyPeriods* weather) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // Labels shrink with the chart, and with the width of a month's slot under the bars.
    const double label = std::max(9.0, std::min(target.height() * 0.07, target.width() / 12 * 0.42));
    const QFont font = Font(static_cast<int>(label * 0.8));
    const QFontMetricsF metrics(font, painter.device());
    const double axis = metrics.horizontalAdvance(QStringLiteral("100%")) + label * 0.4;
    // With two skies a legend line above the plot names their bars.
    const double legend = weather ? label * 1.4 : 0;
    const QRectF plot(target.left() + axis, target.top() + label * 0.6 + legend,
                      target.width() - axis - label * 0.3, target.height() - label * 2.2 - legend);
    auto yOf = [&plot](double percent) { return plot.bottom() - plot.height() * percent / 100.0; };
    painter.setFont(font);
    for (int p = 0; p <= 100; p += 25) {
        painter.setPen(p == 0 ? QPen(Qt::black) : QPen(kGrid));
        painter.drawLine(QPointF(plot.left(), yOf(p)), QPointF(plot.right(), yOf(p)));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(target.left(), yOf(p) - label / 2, axis - label * 0.3, label),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(p) + '%');
    }
    const double slot = plot.width() / 12;
    auto bar = [&](const PeriodOutcome& outcome, double left, double width, const QColor& color) {
        if (outcome.percent)
            painter.fillRect(
                QRectF(left, yOf(*outcome.percent), width, plot.bottom() - yOf(*outcome.percent)),
                outcome.error ? kRed : color);
    };
    for (int m = 1; m <= 12; ++m) {
        const auto index = static_cast<size_t>(m);
        const double x = plot.left() + slot * (m - 1);
        if (weather) {
            bar(periods[index], x + slot * 0.1, slot * 0.38, kGreen);
            bar(weather->periods[index], x + slot * 0.52, slot * 0.38, kWeatherBar);
        } else {
            bar(periods[index], x + slot * 0.15, slot * 0.7, kGreen);
        }
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x, plot.bottom() + label * 0.2, slot, label), Qt::AlignHCenter | Qt::AlignTop,
                         texts.monthShort.value(m - 1));
    }
    // The standard sky's year is named at the right, the weather's at the left, so that close ones both read.
    auto yearLine = [&](const std::optional<int16_t>& year, const QColor& color, Qt::Alignment side) {
        if (!year)
            return;
        QPen line(color);
        line.setWidthF(std::max(1.0, label * 0.15));
        line.setStyle(Qt::DashLine);
        painter.setPen(line);
        painter.drawLine(QPointF(plot.left(), yOf(*year)), QPointF(plot.right(), yOf(*year)));
        // The label sits above the line, or below it when the line runs along the top.
        const double top = *year > 90 ? yOf(*year) + label * 0.1 : yOf(*year) - label * 1.1;
        painter.setPen(color);
        painter.drawText(QRectF(plot.left() + label * 0.2, top, plot.width() - label * 0.4, label),
                         side | Qt::AlignVCenter, texts.yearLabel + ' ' + QString::number(*year) + '%');
    };
    yearLine(periods[0].percent, kYearLine, Qt::AlignRight);
    if (weather) {
        yearLine(weather->periods[0].percent, kWeatherYearLine, Qt::AlignLeft);
        double x = plot.left();
        painter.setPen(Qt::black);
        for (const auto& [color, name] :
             {std::pair(kGreen, weather->standardName), std::pair(kWeatherBar, weather->weatherName)}) {
            painter.fillRect(QRectF(x, target.top() + label * 0.2, label * 0.8, label * 0.8), color);
            x += label * 1.1;
            const QRectF room(x, target.top(), plot.right() - x, label * 1.2);
            painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter, name);
            x += metrics.horizontalAdvance(name) + label;
        }
    }
    painter.restore();
}

void PaintReport(QPainter& painter, const QRectF& page, const StudyReport& r) {
    painter.save();
    const double scale = std::min(page.width() / kWidth, page.height() / kHeight);
    painter.translate(page.topLeft());
    painter.scale(scale, scale);
    painter.setPen(Qt::black);

    double y = Text(painter, QRectF(0, 0, kWidth, 120), r.title, Font(32, true)) + 12;
    Text(painter, QRectF(0, y, kWidth, 30), r.dateLine, Font(17));
    Text(painter, QRectF(0, y, kWidth, 30), r.versionLine, Font(17), Qt::AlignRight | Qt::AlignTop);
    y += 50;

    // Inputs on the left, the window type's sketch on the right.
    Text(painter, QRectF(0, y, 620, 30), r.inputsHeading, Font(21, true));
    const double sketchTop = y;
    y += 36;
    const double row = 25;
    for (const ReportLine& line : r.inputs) {
        // A long value (a site's full name) wraps onto more lines, and is shortened in the middle, with an
        // ellipsis, beyond three.
        const QRectF valueBox(330, y, 240, row);
        const QString value = Fitted(painter, valueBox, line.value, Font(16, true), 3);
        const double height = std::max(row, LinesHeight(painter, valueBox, value, Font(16, true)));
        painter.setPen(kGrid);
        painter.drawLine(QPointF(0, y + height), QPointF(620, y + height));
        painter.setPen(Qt::black);
        Text(painter, QRectF(0, y, 330, height), line.label, Font(16), Qt::AlignLeft | Qt::AlignVCenter);
        painter.setFont(Font(16, true));
        painter.drawText(QRectF(330, y, 240, height), value, ValueOption());
        Text(painter, QRectF(580, y, 40, height), line.unit, Font(16), Qt::AlignLeft | Qt::AlignVCenter);
        y += height;
    }
    ui::PaintSketch(SketchOf(r.windowType), painter, QRectF(650, sketchTop + 36, 350, 380));

    // The result.
    y += 30;
    Text(painter, QRectF(0, y, 400, 60),
         r.resultPeriod.isEmpty() ? r.resultLabel : r.resultLabel + QStringLiteral(": ") + r.resultPeriod,
         Font(24, true), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap);
    const QRectF field(420, y, 200, 60);
    painter.fillRect(field, r.resultOk ? kGreen : kRed);
    Text(painter, field, r.resultText, Font(36, true), Qt::AlignCenter);
    y += 66;
    if (!r.resultOk && !r.resultMessage.isEmpty())
        y += Text(painter, QRectF(0, y, kWidth, 80), r.resultMessage, Font(16)) + 6;

    // The year and its months.
    y += 24;
    Text(painter, QRectF(0, y, kWidth, 30), r.monthsHeading, Font(21, true));
    y += 40;
    if (r.weather) {
        y += Text(painter, QRectF(0, y, kWidth, 50), r.weather->fileLine, Font(16)) + 10;
        PaintSkiesTable(painter, QRectF(0, y, 570, 440), r.periods, r.months, *r.weather);
        PaintMonthlyChart(painter, QRectF(600, y, kWidth - 600, 440), r.periods, r.months, &*r.weather);
    } else {
        PaintMonthTable(painter, QRectF(0, y, 300, 420), r.periods, r.months);
        PaintMonthlyChart(painter, QRectF(340, y, kWidth - 340, 420), r.periods, r.months);
    }
    const auto marked = [](const Periods& periods) {
        return std::any_of(periods.begin(), periods.end(), [](const PeriodOutcome& p) { return p.error; });
    };
    if (marked(r.periods) || (r.weather && marked(r.weather->periods)))
        Text(painter, QRectF(0, y + (r.weather ? 450 : 430), kWidth, 50), r.markLegend, Font(15));

    // The disclaimer closes the page.
    painter.setPen(QColor(90, 90, 90));
    Text(painter, QRectF(0, kHeight - 110, kWidth, 110), r.disclaimer, Font(14),
         Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap);
    painter.restore();
}

QRectF ReportArea(const QPageLayout& layout, int resolution) {
    const QRect paper = layout.fullRectPixels(resolution);
    const QRect printable = layout.paintRectPixels(resolution);
    QPageLayout ours(layout);
    ours.setUnits(QPageLayout::Millimeter);
    ours.setMinimumMargins(QMarginsF());
    ours.setMargins(kReportMarginsMm);
    const QRectF wanted = QRectF(ours.paintRectPixels(resolution)).intersected(QRectF(printable));
    // The painter's origin is the printable area's corner, not the paper's.
    return wanted.translated(-QPointF(printable.topLeft() - paper.topLeft()));
}

QByteArray ReportPdf(const StudyReport& report) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(report.title);
        writer.setCreator(QStringLiteral("KORVANE Energy"));
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, kReportMarginsMm,
                                         QPageLayout::Millimeter));
        QPainter painter(&writer);
        PaintReport(painter,
                    QRectF(QPointF(0, 0), writer.pageLayout().paintRectPixels(writer.resolution()).size()),
                    report);
    }
    return bytes;
}

} // namespace korvane::report
