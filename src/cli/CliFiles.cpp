#include "CliFiles.h"

#include "CliFormat.h"
#include "DataFiles.h"
#include "ReplacingFile.h"
#include "ResultSchema.h"
#include "SvgBarChart.h"
#include "XlsxTable.h"

#include <algorithm>
#include <filesystem>
#include <istream>

namespace korvane::cli {

namespace {

using report::Cell;

Cell Number(const std::optional<double>& value) {
    return value ? Cell(*value) : Cell();
}

// A number where the text reads as one, with a point or, as a spreadsheet's own export may have it, a single
// decimal comma; empty stays empty, anything else is text.
Cell Typed(const std::string& text) {
    if (text.empty())
        return {};
    if (const auto value = ParseReal(text))
        return *value;
    if (std::count(text.begin(), text.end(), ',') == 1 && text.find('.') == std::string::npos) {
        std::string pointed = text;
        std::replace(pointed.begin(), pointed.end(), ',', '.');
        if (const auto value = ParseReal(pointed))
            return *value;
    }
    return text;
}

// Figures as the printed table shows them; the cells keep every digit.
void SetNumberFormats(report::XlsxTableWriter& table, const std::vector<std::string>& names) {
    for (size_t i = 0; i < names.size(); ++i) {
        if (const std::string format = NumberFormatOf(names[i]); !format.empty())
            table.SetNumberFormat(i, format);
    }
}

std::string MonthColumn(int month) {
    return std::string(kPercent.periodColumn) + (month < 10 ? "0" : "") + std::to_string(month);
}

} // namespace

void WritePeriodXlsx(const std::vector<PeriodRow>& rows, const std::string& path) {
    const bool energy = std::any_of(rows.begin(), rows.end(), [](const auto& r) { return r.result.energy; });
    std::vector<std::string> header = ResultColumns(energy, false);
    header.insert(header.begin(), "period");
    report::XlsxTableWriter table(Utf8Path(path), header, 1, false);
    SetNumberFormats(table, header);
    for (const auto& row : rows) {
        const RoomResult& r = row.result;
        std::vector<Cell> cells{row.name, r.percent ? Cell(double(*r.percent)) : Cell(), Number(r.fraction),
                                r.error ? Cell(double(r.error->Number())) : Cell(),
                                r.error ? Cell(r.error->Description()) : Cell()};
        for (const auto& field : kEnergyFields) {
            if (energy)
                cells.push_back(Number(r.energy ? std::optional((*r.energy).*field.energy) : std::nullopt));
        }
        cells.push_back(Number(r.autonomy));
        table.AddRow(cells);
    }
    table.ChartDownColumn(0, 1);
    table.Close();
}

std::string PeriodSvg(const std::vector<PeriodRow>& rows) {
    std::array<report::PeriodBar, 13> bars{};
    for (const auto& row : rows) {
        if (row.period >= 0 && row.period <= 12)
            bars[static_cast<size_t>(row.period)] = {row.result.percent, row.result.error.has_value()};
    }
    return report::MonthlySavingSvg(bars);
}

void WritePeriodSvg(const std::vector<PeriodRow>& rows, const std::string& path) {
    report::WriteFileReplacing(Utf8Path(path), PeriodSvg(rows), "WritePeriodSvg");
}

XlsxBatchRows::XlsxBatchRows(std::string path, size_t maxRows) : path_(std::move(path)), maxRows_(maxRows) {}
XlsxBatchRows::~XlsxBatchRows() = default;

void XlsxBatchRows::Columns(const std::vector<std::string>& names, const std::vector<bool>& passedThrough) {
    passedThrough_ = passedThrough;
    // A room's own name or number in the first column stays in view.
    const bool named = !passedThrough.empty() && passedThrough.front();
    try {
        writer_ = std::make_unique<report::XlsxTableWriter>(Utf8Path(path_), names, named ? 1 : 0, true);
    } catch (const VbError& e) {
        failure_ = e;
        return;
    }
    SetNumberFormats(*writer_, names);
    const auto january = std::find(names.begin(), names.end(), MonthColumn(1));
    const auto first = static_cast<size_t>(january - names.begin());
    bool months = first + 12 <= names.size();
    for (int m = 1; months && m <= 12; ++m)
        months = names[first + m - 1] == MonthColumn(m) && !passedThrough[first + m - 1];
    if (months)
        writer_->ChartAcrossRows(first, 12, named ? std::optional<size_t>(0) : std::nullopt);
}

void XlsxBatchRows::Row(const std::vector<std::string>& cells) {
    if (rows_ == maxRows_)
        ++leftOut_;
    if (failure_ || rows_ == maxRows_)
        return;
    ++rows_;
    std::vector<Cell> typed;
    typed.reserve(cells.size());
    for (size_t i = 0; i < cells.size(); ++i) {
        const bool text = i < passedThrough_.size() && passedThrough_[i];
        typed.push_back(text ? (cells[i].empty() ? Cell() : Cell(cells[i])) : Typed(cells[i]));
    }
    try {
        writer_->AddRow(typed);
    } catch (const VbError& e) {
        failure_ = e;
        writer_.reset(); // the unfinished file goes
    }
}

void XlsxBatchRows::Close() {
    if (failure_)
        throw *failure_;
    if (writer_)
        writer_->Close();
}

} // namespace korvane::cli
