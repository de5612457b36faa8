#include "MonthlyOverview.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QTableWidget>

namespace korvane::report {

MonthChart::MonthChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chartMonths"));
    setMinimumSize(320, 200);
}

void MonthChart::SetData(const Periods& periods, const MonthTexts& texts) {
    periods_ = periods;
    texts_ = texts;
    update();
}

void MonthChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    PaintMonthlyChart(painter, QRectF(rect()).adjusted(6, 6, -6, -6), periods_, texts_);
}

MonthlyOverview::MonthlyOverview(QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(kPeriodCount, 2, this)), chart_(new MonthChart(this)) {
    setObjectName(QStringLiteral("frmOverview"));
    table_->setObjectName(QStringLiteral("tblPeriods"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table_->setMinimumWidth(230);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(chart_, 1);
    resize(760,
           13 * (table_->fontMetrics().height() + 8) + table_->horizontalHeader()->sizeHint().height() + 30);
}

void MonthlyOverview::SetData(const QString& title, const Periods& periods, const MonthTexts& texts) {
    setWindowTitle(title);
    table_->setHorizontalHeaderLabels({texts.periodColumn, texts.savingColumn});
    for (int i = 0; i < kPeriodCount; ++i) {
        auto* name = new QTableWidgetItem(texts.periodNames.value(i));
        auto* value = new QTableWidgetItem(PeriodText(periods[static_cast<size_t>(i)]));
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(i, 0, name);
        table_->setItem(i, 1, value);
    }
    chart_->SetData(periods, texts);
}

} // namespace korvane::report
