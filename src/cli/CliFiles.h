#pragma once
// Result files written beside what the calculator prints: a workbook a spreadsheet can chart, and the chart
// of one room's months as SVG.

#include "CliBatch.h"
#include "CliReport.h"
#include "VbError.h"
#include "XlsxTable.h"

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvane::cli {

// The year and the months of one room (rows in period order, 0 to 12). Raise 75 when the file cannot be
// written.
void WritePeriodXlsx(const std::vector<PeriodRow>& rows, const std::string& path);
void WritePeriodSvg(const std::vector<PeriodRow>& rows, const std::string& path);
// The same chart as SVG text, for standard output.
std::string PeriodSvg(const std::vector<PeriodRow>& rows);

// The rows of a batch as a workbook: columns passed through from the input stay text, the others are
// numbers where they read as one. With the month columns percent_01 .. percent_12 the first rooms are
// charted month by month. A workbook that fails never stops the batch: Close says so.
class XlsxBatchRows : public BatchRowSink {
  public:
    // maxRows: the rooms a sheet can take below its header.
    explicit XlsxBatchRows(std::string path, size_t maxRows = report::XlsxTableWriter::kMaxRows - 1);
    ~XlsxBatchRows() override;
    void Columns(const std::vector<std::string>& names, const std::vector<bool>& passedThrough) override;
    void Row(const std::vector<std::string>& cells) override;
    // Completes the file with the first maxRows rooms; raises 75 when it cannot be written, and then leaves
    // no file.
    void Close();
    // The rooms after the first maxRows, which the workbook could not take.
    size_t RowsLeftOut() const { return leftOut_; }
    size_t MaxRows() const { return maxRows_; }

  private:
    std::string path_;
    size_t maxRows_, rows_ = 0, leftOut_ = 0;
    std::vector<bool> passedThrough_;
    std::unique_ptr<report::XlsxTableWriter> writer_;
    std::optional<VbError> failure_; // the first, after which nothing more is written
};

} // namespace korvane::cli
