#pragma once
// The monthly overview: the year and the twelve months of the current inputs, as a table and a chart. The
// main window refills it after each calculation and on each change of language.

#include "StudyReport.h"

#include <QDialog>

class QLabel;
class QTableWidget;

namespace korvane::report {

class MonthChart : public QWidget {
    Q_OBJECT
  public:
    explicit MonthChart(QWidget* parent = nullptr);
    void SetData(const Periods& periods, const MonthTexts& texts,
                 const std::optional<WeatherSkyPeriods>& weather);
    QSize sizeHint() const override { return {420, 260}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Periods periods_;
    MonthTexts texts_;
    std::optional<WeatherSkyPeriods> weather_;
};

class MonthlyOverview : public QDialog {
    Q_OBJECT
  public:
    explicit MonthlyOverview(QWidget* parent);
    // With a weather sky, its saving and autonomy beside the standard sky's, and the file named above.
    void SetData(const QString& title, const Periods& periods, const MonthTexts& texts,
                 const std::optional<WeatherSkyPeriods>& weather = std::nullopt);

  private:
    QSize standardSize_; // with the standard sky alone
    QLabel* file_;
    QTableWidget* table_;
    MonthChart* chart_;
};

} // namespace korvane::report
