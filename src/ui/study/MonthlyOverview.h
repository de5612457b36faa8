#pragma once
// The monthly overview: the year and the twelve months of the current inputs, as a table and a chart. The
// main window refills it after each calculation and on each change of language.

#include "StudyReport.h"

#include <QDialog>

class QTableWidget;

namespace korvane::report {

class MonthChart : public QWidget {
    Q_OBJECT
  public:
    explicit MonthChart(QWidget* parent = nullptr);
    void SetData(const Periods& periods, const MonthTexts& texts);
    QSize sizeHint() const override { return {420, 260}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Periods periods_;
    MonthTexts texts_;
};

class MonthlyOverview : public QDialog {
    Q_OBJECT
  public:
    explicit MonthlyOverview(QWidget* parent);
    void SetData(const QString& title, const Periods& periods, const MonthTexts& texts);

  private:
    QTableWidget* table_;
    MonthChart* chart_;
};

} // namespace korvane::report
