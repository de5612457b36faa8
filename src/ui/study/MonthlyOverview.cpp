#include "MonthlyOverview.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace korvane::report {

MonthChart::MonthChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chartMonths"));
    setMinimumSize(320, 200);
}

void MonthChart::SetData(const Periods& periods, const MonthTexts& texts,
                         const std::optional<WeatherSkyPeriods>& weather) {
    periods_ = periods;
    texts_ = texts;
    weather_ = weather;
    update();
}

void MonthChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    PaintMonthlyChart(painter, QRectF(rect()).adjusted(6, 6, -6, -6), periods_, texts_,
                      weather_ ? &*weather_ : nullptr);
}

MonthlyOverview::MonthlyOverview(QWidget* parent)
    : QDialog(parent), file_(new QLabel(this)), table_(new QTableWidget(kPeriodCount, 2, this)),
      chart_(new MonthChart(this)) {
    setObjectName(QStringLiteral("frmOverview"));
    file_->setObjectName(QStringLiteral("lblWeatherFile"));
    file_->setWordWrap(true);
    file_->hide();
    table_->setObjectName(QStringLiteral("tblPeriods"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table_->setMinimumWidth(230);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    layout->addWidget(file_);
    layout->addLayout(row, 1);
    row->addWidget(table_);
    row->addWidget(chart_, 1);
    standardSize_ = QSize(760, 13 * (table_->fontMetrics().height() + 8) +
                                   table_->horizontalHeader()->sizeHint().height() + 30);
    resize(standardSize_);
}

void MonthlyOverview::SetData(const QString& title, const Periods& periods, const MonthTexts& texts,
                              const std::optional<WeatherSkyPeriods>& weather) {
    setWindowTitle(title);
    const bool both = weather.has_value();
    const bool changed = table_->columnCount() != (both ? 5 : 2);
    if (changed && !both)
        resize(standardSize_);
    table_->setColumnCount(both ? 5 : 2);
    if (both) {
        // Each sky's name heads its two columns.
        const auto head = [](const QString& sky, const QString& column) { return sky + '\n' + column; };
        table_->setHorizontalHeaderLabels({texts.periodColumn,
                                           head(weather->standardName, texts.savingColumn),
                                           head(weather->standardName, weather->autonomyColumn),
                                           head(weather->weatherName, texts.savingColumn),
                                           head(weather->weatherName, weather->autonomyColumn)});
        file_->setText(weather->fileLine);
    } else {
        table_->setHorizontalHeaderLabels({texts.periodColumn, texts.savingColumn});
    }
    file_->setVisible(both);
    for (int i = 0; i < kPeriodCount; ++i) {
        const auto index = static_cast<size_t>(i);
        QStringList values{PeriodText(periods[index])};
        if (both)
            values << AutonomyText(periods[index]) << PeriodText(weather->periods[index])
                   << AutonomyText(weather->periods[index]);
        table_->setItem(i, 0, new QTableWidgetItem(texts.periodNames.value(i)));
        for (int c = 0; c < values.size(); ++c) {
            auto* value = new QTableWidgetItem(values[c]);
            value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(i, c + 1, value);
        }
    }
    // Both skies: every column as wide as its texts and every row in sight; the standard sky alone as ever.
    QHeaderView* header = table_->horizontalHeader();
    if (both) {
        header->setSectionResizeMode(0, QHeaderView::Interactive);
        table_->resizeColumnsToContents();
        table_->setMinimumSize(header->length() + 2 * table_->frameWidth() + 4,
                               kPeriodCount * table_->verticalHeader()->defaultSectionSize() +
                                   header->sizeHint().height() + 2 * table_->frameWidth());
    } else {
        table_->setMinimumSize(230, 0);
    }
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    if (both) {
        // Texts of another language may need more room than the window has.
        layout()->activate();
        resize(std::max(width(), table_->minimumWidth() + 420), std::max(height(), minimumSizeHint().height()));
    }
    chart_->SetData(periods, texts, weather);
}

} // namespace korvane::report
