#pragma once
// A table written as an Excel workbook one row at a time, without holding the table in memory: a bold header
// row kept in view, typed cells, column widths from the contents, and optionally one column chart.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace korvane::report {

// Empty, a number (finite), or text (UTF-8; other bytes are read as Windows-1252).
using Cell = std::variant<std::monostate, double, std::string>;

class XlsxTableWriter {
  public:
    // Rooms charted at most when each row is a room: more series than this are no longer told apart.
    static constexpr size_t kMaxChartRows = 10;
    // Rows a sheet holds, the header's included.
    static constexpr size_t kMaxRows = 1048576;

    // Starts the workbook beside target (nothing is in target's place until Close). frozenColumns: columns
    // kept in view when scrolling sideways. rowByRow: each row goes to disk as it is written, for long
    // tables; the chart then carries no copy of its data and shows text categories as numbers, so a short
    // table is better kept until Close. Raises 75 when the folder cannot take the file.
    XlsxTableWriter(const std::filesystem::path& target, const std::vector<std::string>& header,
                    size_t frozenColumns, bool rowByRow);
    ~XlsxTableWriter(); // without Close, nothing is left behind
    XlsxTableWriter(const XlsxTableWriter&) = delete;
    XlsxTableWriter& operator=(const XlsxTableWriter&) = delete;

    // How the numbers of a column are shown ("0.0"; their value keeps every digit); before the first AddRow.
    void SetNumberFormat(size_t column, const std::string& format);
    // Raises 75 when the sheet cannot take the row (more rows than a sheet has, text too long).
    void AddRow(const std::vector<Cell>& cells);
    // The chart: one series down valueColumn, a bar per row named by categoryColumn, the first bar in a
    // colour of its own (the year before its months).
    void ChartDownColumn(size_t categoryColumn, size_t valueColumn);
    // The chart: one series per row for the first kMaxChartRows rows, across `count` columns from
    // firstValueColumn (bars numbered 1 to count), each named by the row's nameColumn when there is one.
    void ChartAcrossRows(size_t firstValueColumn, size_t count, std::optional<size_t> nameColumn);
    // Completes the file and puts it in target's place; raises 75 when that fails.
    void Close();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace korvane::report
